// Calendar helpers of the weather converter.
#include <gtest/gtest.h>

#include "weather/calendar.h"

using namespace metconv;

namespace {

TEST(Calendar, LeapYearsByTheGregorianRule) {
    EXPECT_EQ(LEAPYR(1900), 0);
    EXPECT_EQ(FEBDAYS(1900), 28);
    EXPECT_EQ(YEARDAYS(1900), 365);
    EXPECT_EQ(LEAPYR(2000), 1);
    EXPECT_EQ(FEBDAYS(2000), 29);
    EXPECT_EQ(YEARDAYS(2000), 366);
    EXPECT_EQ(LEAPYR(1996), 1);
    EXPECT_EQ(LEAPYR(1995), 0);
    // Years are used as read: 96 is the year 96; 0 and negative years too.
    EXPECT_EQ(LEAPYR(96), 1);
    EXPECT_EQ(LEAPYR(0), 1);
    EXPECT_EQ(LEAPYR(-4), 1);
    EXPECT_EQ(LEAPYR(-100), 0);
    EXPECT_EQ(LEAPYR(-400), 1);
    EXPECT_EQ(LEAPYR(-3), 0);
}

TEST(Calendar, DayOfYearToMonthAndDay) {
    int32_t m = 0, d = 0;
    JDAYMD(1996, 60, m, d);
    EXPECT_EQ(m, 2);
    EXPECT_EQ(d, 29);
    JDAYMD(1995, 60, m, d);
    EXPECT_EQ(m, 3);
    EXPECT_EQ(d, 1);
    JDAYMD(1996, 366, m, d);
    EXPECT_EQ(m, 12);
    EXPECT_EQ(d, 31);
    JDAYMD(1995, 365, m, d);
    EXPECT_EQ(m, 12);
    EXPECT_EQ(d, 31);
    JDAYMD(1995, 32, m, d);
    EXPECT_EQ(m, 2);
    EXPECT_EQ(d, 1);
    JDAYMD(1995, 31, m, d);
    EXPECT_EQ(m, 1);
    EXPECT_EQ(d, 31);
    // Outside the year: month 1 with the day number as it stands.
    JDAYMD(1995, 366, m, d);
    EXPECT_EQ(m, 1);
    EXPECT_EQ(d, 366);
    JDAYMD(1995, 0, m, d);
    EXPECT_EQ(m, 1);
    EXPECT_EQ(d, 0);
    JDAYMD(1995, -5, m, d);
    EXPECT_EQ(m, 1);
    EXPECT_EQ(d, -5);
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
