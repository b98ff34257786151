#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/PascalString.h"
#include "foundation/tests/StringTestSupport.h"

namespace {

TEST(StringMacRoman, ReadsEveryByteAsOneUnit) {
    // 0x8E is e acute, 0xDB the euro sign, 0xA5 the bullet, 0xF0 a
    // logo in the private use area.
    gCString s;
    ASSERT_EQ(s.CopyString("caf\x8E \xDB \xA5 \xF0"), eNoError);
    EXPECT_EQ(U(s), u"caf\u00E9 \u20AC \u2022 \uF8FF");

    const char bytes[] = {'a', 0, 'b', char(0x80)};
    ASSERT_EQ(s.CopyStringFromBuffer(bytes, 4), eNoError);
    EXPECT_EQ(U(s), std::u16string(u"a\0b\u00C4", 4)) << "NULs are converted too";

    ASSERT_EQ(s.CopyString(static_cast<const char*>(nullptr)), eNoError);
    EXPECT_EQ(s.GetLength(), 0);
    ASSERT_EQ(s.CopyStringFromBuffer("\0abc", 4), eNoError);
    EXPECT_EQ(s.GetLength(), 0) << "a first byte 0 gives the empty string";
}

TEST(StringMacRoman, ReservesThreeUnitsAByte) {
    gCString s;
    ASSERT_EQ(s.CopyString("abc"), eNoError);
    EXPECT_EQ(s.GetCapacity(), 16);
    ASSERT_EQ(s.CopyString("0123456789"), eNoError); // room for 30 units
    EXPECT_EQ(s.GetCapacity(), 32);
    EXPECT_EQ(s.GetLength(), 10);
}

TEST(StringLatin1, AsciiWritesLatin1AndStopsAtTheFirstUnitItCannotHold) {
    gCString s;
    ASSERT_EQ(s.CopyString("\x8E\x8A"), eNoError); // Mac Roman e acute, a diaeresis
    EXPECT_STREQ(s.Ascii(), "\xE9\xE4");
    ASSERT_EQ(s.CopyString("ab\xA5"
                           "cd"),
              eNoError); // the bullet has no Latin-1 byte
    EXPECT_STREQ(s.Ascii(), "ab");
    EXPECT_STREQ(gCString().Ascii(), "");
}

TEST(StringLatin1, AsciiOfALongTextKeepsItsFirst4095Units) {
    std::u16string text;
    for (int32_t i = 0; i < 5000; ++i) {
        text += char16_t(u'a' + i % 26);
    }
    const char* a = Str(text.c_str()).Ascii();
    ASSERT_EQ(std::strlen(a), 4095u);
    for (int32_t i = 0; i < 4095; ++i) {
        ASSERT_EQ(a[i], char('a' + i % 26)) << i;
    }
}

TEST(StringFormat, FillsPrintfConversions) {
    gCString s;
    ASSERT_EQ(s.Format(u"%d-%s %.2f %%", 5, "ab", 1.5), eNoError);
    EXPECT_EQ(U(s), u"5-ab 1.50 %");
    ASSERT_EQ(s.Format(u"\u00E9%s", "\xC3\xA9"), eNoError); // UTF-8 arguments
    EXPECT_EQ(U(s), u"\u00E9\u00E9");
}

struct PascalCase {
    const char* name;
    size_t length;
    unsigned char lengthByte;
};

TEST(PascalString, C2PStoresTheLengthAndAtMost255Bytes) {
    const PascalCase cases[] = {
        {"one", 1, 1}, {"255", 255, 255}, {"256", 256, 255}, {"300", 300, 255}};
    for (const PascalCase& c : cases) {
        std::string text;
        for (size_t i = 0; i < c.length; ++i) {
            text += char('A' + i % 26);
        }
        std::string buffer = text;
        buffer += '\0';
        ASSERT_EQ(gC2PStr(buffer.data()), buffer.data());
        EXPECT_EQ(static_cast<unsigned char>(buffer[0]), c.lengthByte) << c.name;
        EXPECT_EQ(buffer.substr(1, c.lengthByte), text.substr(0, c.lengthByte)) << c.name;
    }
    char empty[1] = {0};
    EXPECT_EQ(gC2PStr(empty), empty);
    EXPECT_EQ(empty[0], 0);
    EXPECT_EQ(gC2PStr(nullptr), nullptr);
}

TEST(PascalString, P2CRoundTrip) {
    char buffer[8] = "abc";
    gC2PStr(buffer);
    EXPECT_EQ(gP2CStr(reinterpret_cast<unsigned char*>(buffer)),
              reinterpret_cast<unsigned char*>(buffer));
    EXPECT_STREQ(buffer, "abc");
    unsigned char zero[2] = {0, 'x'};
    EXPECT_EQ(gP2CStr(zero), zero);
    EXPECT_EQ(zero[0], 0);
    EXPECT_EQ(gP2CStr(nullptr), nullptr);
}

} // namespace
