#include <gtest/gtest.h>

#include <string>

#include "foundation/tests/StringTestSupport.h"
#include "testsupport/foundation/FakeAppServices.h"

namespace {

struct Utf8Case {
    const char* name;
    std::u16string units;
    std::string bytes;
};

void PrintTo(const Utf8Case& c, std::ostream* os) {
    *os << c.name;
}

class Utf8RoundTrip : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8RoundTrip, EncodesDecodesAndComesBackUnchanged) {
    const Utf8Case& c = GetParam();
    EXPECT_EQ(gUtf16ToUtf8(c.units), c.bytes);
    EXPECT_EQ(gUtf8ToUtf16(c.bytes), c.units);

    gCString s;
    ASSERT_EQ(gStringFromUtf8(s, c.bytes), eNoError);
    EXPECT_EQ(U(s), c.units);
    EXPECT_EQ(gStringToUtf8(s), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8RoundTrip,
    ::testing::Values(Utf8Case{"ascii", u"HD:Users:me:pic.png", "HD:Users:me:pic.png"},
                      Utf8Case{"accented", u"caf\u00E9 \u00FCber \u20AC",
                               "caf\xC3\xA9 \xC3\xBC"
                               "ber \xE2\x82\xAC"},
                      Utf8Case{"emoji_surrogate_pair", u"a\U0001F3A8b",
                               "a\xF0\x9F\x8E\xA8"
                               "b"},
                      Utf8Case{"invalid_bytes_become_lone_surrogates", u"a\xDCFF\xDC80z",
                               "a\xFF\x80z"},
                      Utf8Case{"latin1_name_on_disk", u"\xDCE9t\xDCE9", "\xE9t\xE9"},
                      Utf8Case{"truncated_sequence", u"\xDCE2\xDC82", "\xE2\x82"},
                      Utf8Case{"overlong_slash", u"\xDCC0\xDCAF", "\xC0\xAF"},
                      Utf8Case{"encoded_surrogate", u"\xDCED\xDCA0\xDC80", "\xED\xA0\x80"},
                      Utf8Case{"above_10FFFF", u"\xDCF4\xDC90\xDC80\xDC80", "\xF4\x90\x80\x80"},
                      Utf8Case{"empty", u"", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Utf8, AnyByteStringWithoutNulRoundTrips) {
    std::string bytes;
    for (int b = 1; b < 256; ++b) {
        bytes += char(b);
        bytes += char(0xC3);
        bytes += char(b);
        bytes += char(0xF0);
        bytes += char(0x9F);
        bytes += char(b);
    }
    gCString s;
    ASSERT_EQ(gStringFromUtf8(s, bytes), eNoError);
    EXPECT_EQ(gStringToUtf8(s), bytes);
}

TEST(Utf8, OtherLoneSurrogatesEncodeAsReplacementCharacter) {
    EXPECT_EQ(gUtf16ToUtf8(u"\xD800x\xDC10"), "\xEF\xBF\xBDx\xEF\xBF\xBD");
}

TEST(Utf8, TheFakeApplicationRootIsReadAsUtf8) {
    CFakeAppServices app;
    app.m_ApplicationRoot = "HD:Programme:D\xC3\xA4ublin:";
    gCString root = Str(u"old");
    app.GetApplicationRoot(root);
    EXPECT_EQ(U(root), u"HD:Programme:D\u00E4ublin:");
}

} // namespace
