// Calendar helpers of the weather converter, checked day by day against the
// proleptic Gregorian calendar of std::chrono.
#include <gtest/gtest.h>

#include <chrono>

#include "weather/calendar.h"

using namespace weather;
namespace chr = std::chrono;

namespace {

// Every day of every year from -400 to 3000: the leap rule, the year and
// February lengths, and the month and day of the month of each day number.
// Divisibility does not depend on the sign, so the truncating remainders
// give zero and negative years the same rule as std::chrono.
TEST(Calendar, EveryDayAgreesWithStdChrono) {
    for (int32_t y = -400; y <= 3000; ++y) {
        const chr::year year{y};
        ASSERT_EQ(LEAPYR(y), year.is_leap() ? 1 : 0) << y;
        ASSERT_EQ(static_cast<unsigned>(FEBDAYS(y)), unsigned{(year / chr::February / chr::last).day()}) << y;
        const chr::sys_days first{year / chr::January / 1};
        ASSERT_EQ((chr::sys_days{(year + chr::years{1}) / chr::January / 1} - first).count(), YEARDAYS(y)) << y;
        for (int32_t jday = 1; jday <= YEARDAYS(y); ++jday) {
            const chr::year_month_day date{first + chr::days{jday - 1}};
            int32_t month = 0, mday = 0;
            JDAYMD(y, jday, month, mday);
            if (static_cast<unsigned>(month) != unsigned{date.month()} ||
                static_cast<unsigned>(mday) != unsigned{date.day()})
                FAIL() << "day " << jday << " of " << y << ": JDAYMD gives " << month << "/" << mday
                       << ", the calendar " << unsigned{date.month()} << "/" << unsigned{date.day()};
        }
    }
}

TEST(Calendar, DaysOutsideTheYearGiveMonthOneAndTheDayNumber) {
    for (auto [year, jday] : {std::pair{1995, 366}, {1996, 367}, {1995, 0}, {1995, -5}}) {
        int32_t month = 0, mday = 0;
        JDAYMD(year, jday, month, mday);
        EXPECT_EQ(month, 1) << year << " " << jday;
        EXPECT_EQ(mday, jday) << year << " " << jday;
    }
}

TEST(Calendar, UpcaseOnlyLowerCaseLetters) {
    EXPECT_EQ(UPCASE('a'), 'A');
    EXPECT_EQ(UPCASE('z'), 'Z');
    EXPECT_EQ(UPCASE('T'), 'T');
    EXPECT_EQ(UPCASE('5'), '5');
    EXPECT_EQ(UPCASE(' '), ' ');
    EXPECT_EQ(UPCASE('{'), '{');
    EXPECT_EQ(UPCASE('`'), '`');
}

}  // namespace
