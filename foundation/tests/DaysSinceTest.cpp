#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "foundation/DaysSince.h"
#include "foundation/tests/StringTestSupport.h"

namespace {

TEST(DaysSince, CountsTheDaysFromNoonOfThatDate) {
    std::tm noon{};
    noon.tm_year = 2004 - 1900;
    noon.tm_mon = 0;
    noon.tm_mday = 5;
    noon.tm_hour = 12;
    noon.tm_isdst = 0;
    const double expected = std::difftime(std::time(nullptr), std::mktime(&noon)) / 86400.0;
    const int32_t days = DaysSince(Str(u"Jan 05 2004"));
    EXPECT_GT(days, 7000);
    EXPECT_NEAR(double(days), expected, 1.0);
    EXPECT_NEAR(double(DaysSince(Str(u"Dec 31 2003"))), expected + 5.0, 1.0);
}

TEST(DaysSince, TextsThatAreNoDateGiveZero) {
    for (const char16_t* text :
         {u"jan 05 2004", u"JAN 05 2004", u"Foo 05 2004", u"Jan 05 200", u"", u"Jan"}) {
        EXPECT_EQ(DaysSince(Str(text)), 0) << gStringToUtf8(Str(text));
    }
    EXPECT_EQ(DaysSince(gCString()), 0);
}

} // namespace
