#include "foundation/DaysSince.h"

#include <cmath>
#include <ctime>

#include "foundation/gCString.h"

int32_t DaysSince(const gCString& date) {
    static const char16_t kMonths[12][4] = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                            u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
    const char16_t* p = date.GetBuffer();
    if (!p || date.GetLength() <= 10) {
        return 0;
    }
    int month = -1;
    for (int m = 0; m < 12 && month < 0; ++m) {
        if (p[0] == kMonths[m][0] && p[1] == kMonths[m][1] && p[2] == kMonths[m][2]) {
            month = m;
        }
    }
    if (month < 0) {
        return 0;
    }
    std::tm noon{};
    noon.tm_year = date.GetSubString(7, 10).Int32() - 1900;
    noon.tm_mon = month;
    noon.tm_mday = date.GetSubString(4, 5).Int32();
    noon.tm_hour = 12;
    noon.tm_isdst = 0; // daylight saving time taken as not in force
    const std::time_t then = std::mktime(&noon);
    if (then == std::time_t(-1)) {
        return 0;
    }
    const double days = std::difftime(std::time(nullptr), then) / 86400.0;
    return int32_t(std::round(days)); // halves away from zero
}
