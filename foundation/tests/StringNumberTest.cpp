#include <gtest/gtest.h>

#include "foundation/tests/StringTestSupport.h"
#include "testsupport/foundation/FailingMemory.h"
#include "testsupport/foundation/FakeAppServices.h"

namespace {

struct NumberTextCase {
    const char16_t* text;
    bool integer;
    bool real;
};

TEST(StringNumbers, IsIntegerAndIsReal) {
    const NumberTextCase cases[] = {
        {u"", false, false},     {u"-", true, true},     {u"0", true, true},
        {u"-42", true, true},    {u"1-2", false, false}, {u"+1", false, false},
        {u" 1", false, false},   {u"1a", false, false},  {u"1.5", false, true},
        {u"-1.25", false, true}, {u"5.", false, false},  {u"1.2.3", false, false},
        {u"1.-5", false, true}, // the fraction is an integer text of its own
    };
    CFakeAppServices app;
    for (const NumberTextCase& c : cases) {
        const gCString s = Str(c.text);
        EXPECT_EQ(s.IsInteger(), c.integer) << gStringToUtf8(s);
        EXPECT_EQ(s.IsReal(), c.real) << gStringToUtf8(s);
    }
    EXPECT_TRUE(app.m_Alerts.empty());
}

TEST(StringNumbers, IsRealOfALeadingPointIsFalseAndReported) {
    CFakeAppServices app;
    EXPECT_FALSE(Str(u".5").IsReal());
    ASSERT_EQ(app.m_Alerts.size(), 1u);
    EXPECT_EQ(app.m_Alerts[0].headline, "Error.");
    EXPECT_EQ(app.m_Alerts[0].text, "Generic Failure.\nCould not split string at decimal point");
}

struct Int32Case {
    const char16_t* text;
    int32_t value;
};

TEST(StringNumbers, Int32ReadsAsTheToolkitAlwaysHas) {
    const Int32Case cases[] = {
        {u"  42\r", 42},
        {u"\t7\n", 7},
        {u"-17", -17},
        {u"0x1f", 31},
        {u"0X1F", 31},
        {u"-0x10", -16}, // '-' and 'x': digits after the 'x', still negated
        {u"ff", 0},      // lower case is not a digit in base 10
        {u"1A", 20},     // 'A'..'F' count 10..15 in base 10 too
        {u"12ab", 12},
        {u"5-3", -3}, // the digits start after the '-'
        {u"abc", 0},
        {u"", 0},
        {u"4294967295", -1}, // 32-bit arithmetic wraps
        {u"2147483648", INT32_MIN},
        {u"0xFFFFFFFF", -1},
    };
    for (const Int32Case& c : cases) {
        const gCString s = Str(c.text);
        EXPECT_EQ(s.Int32(), c.value) << gStringToUtf8(s);
        // Reading allocates nothing, so a number reads the same when memory
        // runs out (it used to read a trimmed copy, lost without memory).
        CFailingMemory none;
        EXPECT_EQ(s.Int32(), c.value) << "without memory: " << gStringToUtf8(s);
    }
    EXPECT_EQ(gCString().Int32(), 0);
    EXPECT_EQ(Str(u"4294967296").Int64(), int64_t(4294967296));
    EXPECT_EQ(Str(u"-0x10").Int64(), -16);
}

TEST(StringNumbers, Points) {
    EXPECT_EQ(Str(u" 3 ,\t-4\r").Point(), gCPoint(3, -4));
    EXPECT_EQ(Str(u"3,4,5").Point(), gCPoint(3, 4));
    EXPECT_EQ(Str(u"3").Point(), gCPoint(0, 0));
    EXPECT_EQ(gCString().Point(), gCPoint(0, 0));
    EXPECT_EQ(Str(u"1.5, -0.25").RPoint(), gCRPoint(1.5f, -0.25f));
    EXPECT_EQ(Str(u"1.5").RPoint(), gCRPoint(0.0f, 0.0f));
}

} // namespace
