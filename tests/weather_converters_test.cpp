// The four weather converters on in-memory series: conversions worked by
// hand, the month statements and rain lines to the byte, and the failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "common/connection.h"
#include "weather/calendar.h"
#include "weather/conversion.h"
#include "weather/cvtdlyr.h"
#include "weather/cvtet.h"
#include "weather/cvthlyr.h"
#include "weather/cvttmp.h"

using namespace weather;
using common::Connection;

namespace {

// A converter run on INPUT: the result, the message and the weather file.
struct Result {
    int32_t result;
    std::string msg;
    std::string out;
};

template <class F>
Result convert(const std::string& input, F f) {
    auto in = Connection::in_memory(10, "in", input);
    auto out = Connection::in_memory(11, "out");
    Result r;
    r.result = f(*in, *out, r.msg);
    out->flush();
    r.out = out->memory();
    return r;
}

Result tmp(const std::string& input, const char* units = "DF", int32_t sta = 12345) {
    return convert(input, [&](Connection& i, Connection& o, std::string& m) { return CVTTMP(i, o, units, sta, m); });
}
Result et(const std::string& input, const char* units = "IN") {
    return convert(input, [&](Connection& i, Connection& o, std::string& m) { return CVTET(i, o, units, 7, m); });
}
Result dly(const std::string& input, int32_t nhr, int32_t beghr, const char* units = "IN") {
    return convert(
        input, [&](Connection& i, Connection& o, std::string& m) { return CVTDLYR(i, o, units, 7, nhr, beghr, m); });
}
Result hly(const std::string& input, const char* units = "IN") {
    return convert(input, [&](Connection& i, Connection& o, std::string& m) { return CVTHLYR(i, o, units, 7, m); });
}

std::string fmt(const char* f, int v) {
    char b[32];
    std::snprintf(b, sizeof b, f, v);
    return b;
}

// An I3 field: asterisks when the value needs more than three columns.
std::string i3(int v) {
    return v < -99 || v > 999 ? "***" : fmt("%3d", v);
}

// Expected temperature statement: STA year month, 5 blanks, 14 days of pairs,
// then the rest of the month's pairs on line 2.
std::string tem_month(int sta, int year, int month, const std::vector<int>& pairs) {
    char head[32];
    std::snprintf(head, sizeof head, "%6d %4d%2d     ", sta, year, month);
    std::string s = head;
    for (size_t k = 0; k < pairs.size(); ++k) {
        if (k == 28) s += "\r\n";
        s += i3(pairs[k]);
    }
    return s + "\r\n";
}

std::string pet_month(int sta, int year, int month, const std::vector<int>& days) {
    char head[32];
    std::snprintf(head, sizeof head, "%6d %4d%2d   ", sta, year, month);
    std::string s = head;
    for (size_t k = 0; k < days.size(); ++k) {
        if (k == 14) s += "\r\n";
        s += ' ';
        s += i3(days[k]);
    }
    return s + "\r\n";
}

struct Entry {
    int day, hour, amount;
};
std::string rain_line(int sta, int year, int month, const std::vector<Entry>& e) {
    char head[32];
    std::snprintf(head, sizeof head, "%6d%5d%2d ", sta, year, month);
    std::string s = head;
    for (const Entry& x : e) s += fmt("%2d", x.day) + fmt("%2d", x.hour) + fmt("%4d", x.amount);
    return s + "\r\n";
}

std::vector<int> missing(size_t n) {
    return std::vector<int>(n, -99);
}

TEST(Conversion, TemperaturesToWholeDegreesF) {
    EXPECT_EQ(convert_temperature(71.5f, true), 72);
    EXPECT_EQ(convert_temperature(-0.5f, true), -1);
    EXPECT_EQ(convert_temperature(0.4f, true), 0);
    // The stored value is rounded exactly: just below a half gives 0.
    EXPECT_EQ(convert_temperature(0.49999997f, true), 0);
    EXPECT_EQ(convert_temperature(-0.49999997f, true), 0);
    EXPECT_EQ(convert_temperature(100.0f, false), 212);
    EXPECT_EQ(convert_temperature(-40.0f, false), -40);
    // 2.5 x 1.7999999523 + 32 lies just below 36.5.
    EXPECT_EQ(convert_temperature(2.5f, false), 36);
    EXPECT_EQ(convert_temperature(-99.0f, false), -146);
    // Beyond the 32-bit range: saturated, so the I3 field shows asterisks.
    EXPECT_EQ(convert_temperature(1e30f, true), INT32_MAX);
    EXPECT_EQ(convert_temperature(-3e38f, false), INT32_MIN);
    EXPECT_EQ(tmp("1990 1 1e30 -1e30\n").out.substr(18, 6), "******");
}

TEST(Conversion, HundredthsOfAnInchAndSaturation) {
    float in = 0, cm = 0, mm = 0, other = 0;
    ASSERT_TRUE(rain_factor("IN", in));
    ASSERT_TRUE(rain_factor("CM", cm));
    ASSERT_TRUE(rain_factor("MM", mm));
    EXPECT_FALSE(rain_factor("DF", other));
    EXPECT_FALSE(rain_factor("in", other));
    EXPECT_EQ(hundredths(0.155f, in), 16);  // 0.155f x 100 lies just above 15.5
    EXPECT_EQ(hundredths(5.0f, mm), 20);
    EXPECT_EQ(hundredths(0.254f, cm), 10);
    EXPECT_EQ(hundredths(10.0f, mm), 39);
    EXPECT_EQ(hundredths(2.54f, cm), 100);
    EXPECT_EQ(hundredths(-0.125f, in), -13);  // an exact half, away from zero
    EXPECT_EQ(hundredths(1e30f, in), INT32_MAX);
    EXPECT_EQ(hundredths(-1e30f, in), INT32_MIN);
    EXPECT_EQ(round_nearest(std::numeric_limits<double>::infinity()), INT32_MAX);
    EXPECT_EQ(round_nearest(std::nan("")), INT32_MIN);
    EXPECT_EQ(round_nearest(2147483646.5), INT32_MAX);
    EXPECT_EQ(round_nearest(-2.5), -3);
}

TEST(Conversion, DailyRainSpreadOverHours) {
    DaySpread s = spread_day(1.23f, 1.0f, 5);
    EXPECT_EQ(s.total, 123);
    EXPECT_EQ(s.per_hour, 24);
    EXPECT_EQ(s.last, 27);
    s = spread_day(0.03f, 1.0f, 5);
    EXPECT_EQ(s.per_hour, 0);
    EXPECT_EQ(s.last, 3);
    s = spread_day(1e30f, 1.0f, 24);  // saturated total: no overflow in the split
    EXPECT_EQ(s.total, INT32_MAX);
    EXPECT_EQ(s.last, INT32_MAX - 23 * (INT32_MAX / 24));
}

TEST(Conversion, ReadingsPlacedInClockHours) {
    ClockHour h;
    ASSERT_TRUE(place_reading(1995, 10.25f, h));
    EXPECT_EQ(h.hour, 6);
    ASSERT_TRUE(place_reading(1995, 10.2604f, h));  // minute 375
    EXPECT_EQ(h.hour, 7);
    ASSERT_TRUE(place_reading(1995, 10.2083f, h));  // minute 300
    EXPECT_EQ(h.hour, 5);
    EXPECT_EQ(h.jday, 10);
    // Midnight belongs to the day before, as its hour 24.
    ASSERT_TRUE(place_reading(1995, 33.0f, h));
    EXPECT_EQ(h.jday, 32);
    EXPECT_EQ(h.hour, 24);
    EXPECT_EQ(h.month, 2);
    EXPECT_EQ(h.mday, 1);
    ASSERT_TRUE(place_reading(1991, 1.0f, h));
    EXPECT_EQ(h.year, 1990);
    EXPECT_EQ(h.jday, 365);
    EXPECT_EQ(h.month, 12);
    EXPECT_EQ(h.mday, 31);
    EXPECT_EQ(h.hour, 24);
    ASSERT_TRUE(place_reading(1997, 1.0f, h));
    EXPECT_EQ(h.year, 1996);
    EXPECT_EQ(h.jday, 366);
    // 366.0 of a common year is hour 24 of its day 365; 367.0 only in a leap year.
    ASSERT_TRUE(place_reading(1995, 366.0f, h));
    EXPECT_EQ(h.jday, 365);
    EXPECT_FALSE(place_reading(1995, 367.0f, h));
    EXPECT_TRUE(place_reading(1996, 367.0f, h));
    // Days outside the year, and values no day can be made of.
    EXPECT_FALSE(place_reading(1995, 366.5f, h));
    EXPECT_FALSE(place_reading(1995, 0.5f, h));
    EXPECT_FALSE(place_reading(1995, 0.0f, h));
    EXPECT_FALSE(place_reading(1995, -3.0f, h));
    EXPECT_FALSE(place_reading(1995, 1e30f, h));
    EXPECT_FALSE(place_reading(INT32_MIN, 1.0f, h));
}

TEST(CVTTMP, LeapYearQuarterAndGapsToTheByte) {
    // 1 January, 29 February and 31 March 1996; January to March written.
    Result r = tmp("1996 1 30 50\n1996 60 -5 2.5\n1996 91,1.0,\n 2\n\n\n");
    ASSERT_EQ(r.result, 0) << r.msg;
    std::vector<int> jan = missing(62), feb = missing(58), mar = missing(62);
    jan[0] = 30, jan[1] = 50;
    feb[56] = -5, feb[57] = 3;  // 2.5 DF rounds away from zero
    mar[60] = 1, mar[61] = 2;
    EXPECT_EQ(r.out, tem_month(12345, 1996, 1, jan) + tem_month(12345, 1996, 2, feb) + tem_month(12345, 1996, 3, mar));
    // A 28-day February in 1995: 28 fields on each line.
    r = tmp("1995 59 1 2\n");
    ASSERT_EQ(r.result, 0);
    std::vector<int> feb95 = missing(56);
    feb95[54] = 1, feb95[55] = 2;
    EXPECT_EQ(r.out, tem_month(12345, 1995, 2, feb95));
    EXPECT_EQ(r.out.substr(0, 24), " 12345 1995 2     -99-99");
}

// A block runs from the earliest to the latest month with a record, in
// whatever order the records come: no month of the year is lost.
TEST(CVTTMP, MonthsBeforeTheFirstRecordOfAYearAreWritten) {
    Result r = tmp("1997 1 5 -3\r\n1997 100 6 -2\r\n1997 200 7 -1\r\n1997 20 8 0\r\n", "DF", 7);
    ASSERT_EQ(r.result, 0) << r.msg;
    std::vector<std::vector<int>> months;
    for (int m = 1; m <= 7; ++m) months.push_back(missing(2 * static_cast<size_t>(MONDAYS(1997, m))));
    months[0][0] = 5, months[0][1] = -3, months[0][38] = 8, months[0][39] = 0;  // 1 and 20 January
    months[3][18] = 6, months[3][19] = -2;                                      // 10 April
    months[6][36] = 7, months[6][37] = -1;                                      // 19 July
    std::string want;
    for (int m = 1; m <= 7; ++m) want += tem_month(7, 1997, m, months[m - 1]);
    EXPECT_EQ(r.out, want);
    // The first record in the latest month: the block starts at the earliest.
    r = et("1990 100 1\n1990 5 2\n1990 40 3\n");
    std::vector<int> jan = missing(31), feb = missing(28), mar = missing(31), apr = missing(30);
    jan[4] = 200, feb[8] = 300, apr[9] = 100;
    EXPECT_EQ(r.out, pet_month(7, 1990, 1, jan) + pet_month(7, 1990, 2, feb) + pet_month(7, 1990, 3, mar) +
                         pet_month(7, 1990, 4, apr));
}

TEST(CVTTMP, YearChangeCelsiusAndAsterisks) {
    // -99 is the missing-value code in any units: it stays -99, where
    // -99 C converted would be -146 F, too wide for I3.
    Result r = tmp("1995 364 100 -40\n1996 2 -100 2.5\n1996 3 -99 -99.0\n", "DC", 1);
    ASSERT_EQ(r.result, 0) << r.msg;
    std::vector<int> dec = missing(62), jan = missing(62);
    dec[58] = 212, dec[59] = -40;
    jan[2] = -148, jan[3] = 36;  // -148 does not fit I3
    EXPECT_EQ(r.out, tem_month(1, 1995, 12, dec) + tem_month(1, 1996, 1, jan));
    EXPECT_NE(r.out.find("-99-99*** 36-99-99-99"), std::string::npos);
    EXPECT_EQ(temperature_cell(-99.0f, false), -99);
    EXPECT_EQ(temperature_cell(-99.5f, false), -147);
}

// A null value keeps the previous record's reading in every converter, also
// when the numbers before it were read in one pass.
TEST(CVTTMP, NullValuesKeepThePreviousReading) {
    Result r = tmp("1998 237 20.0 2.0\n1998 238 21.0 1*\n", "DC", 1);
    ASSERT_EQ(r.result, 0) << r.msg;
    std::vector<int> aug = missing(62);
    aug[48] = 68, aug[49] = 36;  // 25 August
    aug[50] = 70, aug[51] = 36;  // 26 August: 2.0 C again, not 1 C
    EXPECT_EQ(r.out, tem_month(1, 1998, 8, aug));
    EXPECT_EQ(et("1996 1 0.25\n1996 2 1*\n").out, et("1996 1 0.25\n1996 2 0.25\n").out);
    EXPECT_EQ(hly("1996 1.5 0.02\n1996 1.75 2*\n").out, hly("1996 1.5 0.02\n1996 1.75 0.02\n").out);
    EXPECT_EQ(dly("1996 1 0.5\n1996 2 1*\n", 2, 1).out, dly("1996 1 0.5\n1996 2 0.5\n", 2, 1).out);
}

TEST(CVTTMP, ReadFailuresAndDaysOutsideTheYear) {
    Result r = tmp("");
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.msg, "Invalid record or EOF in input file");
    EXPECT_EQ(tmp("1996 x 1 2\n").msg, "Invalid record or EOF in input file");
    EXPECT_EQ(tmp("1995 366 1 2\n").msg, "Invalid record or EOF in input file");
    r = tmp("1995 1 1 2\n1995 2 1 2\n1995 0 1 2\n1995 3 1 2\n");
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.msg, "Invalid record in input file");
    EXPECT_EQ(r.out, "");
    // A block written before the failure stays.
    r = tmp("1995 1 1 2\n1996 1 1 2\n1996 367 1 2\n");
    EXPECT_EQ(r.msg, "Invalid record in input file");
    EXPECT_EQ(r.out.substr(0, 13), " 12345 1995 1");
    EXPECT_EQ(tmp("1995 1 1 2\n1995 2 1.5.2 2\n").msg, "Invalid record in input file");
}

TEST(CVTET, MonthsOfOneYearAndTheLeapFebruary) {
    Result r = et("1996 60 0.155\n1996 61 -0.99\n");
    ASSERT_EQ(r.result, 0) << r.msg;
    std::vector<int> feb = missing(29), mar = missing(31);
    feb[28] = 16;
    mar[0] = -99;  // -0.99 in is -99 hundredths
    EXPECT_EQ(r.out, pet_month(7, 1996, 2, feb) + pet_month(7, 1996, 3, mar));
    // Line 2 of a 29-day February holds 15 values.
    EXPECT_EQ(r.out.find("\r\n", r.out.find("\r\n") + 2) - r.out.find("\r\n") - 2, 60u);
    r = et("1990 5 5\n", "MM");
    std::vector<int> jan = missing(31);
    jan[4] = 20;
    EXPECT_EQ(r.out, pet_month(7, 1990, 1, jan));
    r = et("1990 5 -100\n");  // -10000 does not fit I3
    EXPECT_NE(r.out.find(" -99 -99 -99 -99 ***"), std::string::npos);
    // The missing-value code stays -99 in every unit.
    for (const char* units : {"IN", "CM", "MM"})
        EXPECT_EQ(et("1990 5 -99\n", units).out, pet_month(7, 1990, 1, missing(31))) << units;
    EXPECT_EQ(et("1990 0 1\n").msg, "Invalid record or EOF in input file");
    EXPECT_EQ(et("1990 1 1\n1990 400 1\n").msg, "Invalid record in input file");
    EXPECT_EQ(et("1990 1 1\n", "DF").result, -1);
}

TEST(CVTET, FreeFormVariantsReadAlike) {
    const Result plain = et("1990 1 0.5\n1990 2 0.25\n1990 3 1\n");
    ASSERT_EQ(plain.result, 0);
    for (const char* variant : {
             "1990,1,0.5\r\n1990\t2\t0.25\r\n1990 , 3 , 1.0\r\n",         // commas, tabs, CR LF
             "1990 1 5d-1\n1990 2 +0.25\n1990\n 3\n1\n",                  // D exponent, plus sign, spanning lines
             "1990 1 0.5 extra words\n1990 2 25e-2 /\n+1990 +3 1 2 3\n",  // the rest of a record is skipped
         }) {
        const Result r = et(variant);
        EXPECT_EQ(r.result, 0) << variant << r.msg;
        EXPECT_EQ(r.out, plain.out) << variant;
    }
}

TEST(CVTDLYR, SpreadLinesWrapAndFollowTheMonth) {
    // Three rainy days of five hours: 5 + 5 + 2 entries on line 1, then 3.
    Result r = dly("1990 30 1.23\n1990 31 0\n1990 31 0.03\n1990 31 -99\n1990 31 0.05\n1990 32 0.1\n", 5, 20);
    ASSERT_EQ(r.result, 0) << r.msg;
    EXPECT_EQ(r.out, rain_line(7, 1990, 1,
                               {{30, 20, 24},
                                {30, 21, 24},
                                {30, 22, 24},
                                {30, 23, 24},
                                {30, 24, 27},
                                {31, 20, 0},
                                {31, 21, 0},
                                {31, 22, 0},
                                {31, 23, 0},
                                {31, 24, 3},
                                {31, 20, 1},
                                {31, 21, 1}}) +
                         rain_line(7, 1990, 1, {{31, 22, 1}, {31, 23, 1}, {31, 24, 1}}) +
                         rain_line(7, 1990, 2, {{1, 20, 2}, {1, 21, 2}, {1, 22, 2}, {1, 23, 2}, {1, 24, 2}}));
    EXPECT_EQ(r.out.substr(0, 30), "     7 1990 1 3020  243021  24");
    // A new year with the same month and day starts a new line.
    r = dly("1990 15 0.1\n1991 15 0.1\n", 1, 24);
    EXPECT_EQ(r.out, rain_line(7, 1990, 1, {{15, 24, 10}}) + rain_line(7, 1991, 1, {{15, 24, 10}}));
    // NHR 24 fills exactly two lines per rainy day.
    r = dly("1990 1 0.24\n", 24, 1);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2);
    // A huge rain prints as asterisks.
    r = dly("1990 1 1e30\n", 1, 1);
    EXPECT_EQ(r.out, "     7 1990 1  1 1****\r\n");
}

TEST(CVTDLYR, ChecksFirstRecordAndDaysOutsideTheYear) {
    EXPECT_EQ(dly("1990 1 1\n", 1, 24).result, 0);
    EXPECT_EQ(dly("1990 1 1\n", 2, 24).msg, "Total hours greater than 24.");
    EXPECT_EQ(dly("1990 1 1\n", 1, 30).msg, "Total hours greater than 24.");
    EXPECT_EQ(dly("1990 1 1\n", 1, 0).msg, "Beginning hour < 0 or > 24.");
    EXPECT_EQ(dly("1990 1 1\n", 0, 1).msg, "Hours to distribute rain < 0 or > 24.");
    EXPECT_EQ(dly("1990 1 1\n", -3, 25).msg, "Beginning hour < 0 or > 24.");
    EXPECT_EQ(dly("", 1, 1).msg, "Invalid record or EOF in input file");
    EXPECT_EQ(dly("1990 366 1\n", 1, 1).msg, "Invalid record or EOF in input file");
    EXPECT_EQ(dly("1990 1 1\n1990 366 1\n", 1, 1).msg, "Invalid record in input file");
    EXPECT_EQ(dly("1990 1 1\n1990 1 x\n", 1, 1).msg, "Invalid record in input file");
    // A first record over two lines is read again whole.
    Result r = dly("1990\n 45 0.5\n1990 46 0.25\n", 1, 8);
    ASSERT_EQ(r.result, 0) << r.msg;
    EXPECT_EQ(r.out, rain_line(7, 1990, 2, {{14, 8, 50}, {15, 8, 25}}));
    // Only dry days: nothing to write.
    r = dly("1990 1 0\n1990 2 -1\n", 1, 1);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.out, "");
}

TEST(CVTHLYR, HourlySumsAndLines) {
    // 0.02 and 0.03 in the same hour give 5; midnight of 1991 goes to 1990.
    Result r = hly("1991 1.0 0.02\n1991 1.02 0.02\n1991 1.03 0.03\n1991 1.5 0\n1991 32.0 0.1\n1991 32.01 0.2\n\n");
    ASSERT_EQ(r.result, 0) << r.msg;
    EXPECT_EQ(r.out, rain_line(7, 1990, 12, {{31, 24, 2}}) +
                         rain_line(7, 1991, 1, {{1, 1, 5}, {1, 12, 0}, {31, 24, 10}}) +
                         rain_line(7, 1991, 2, {{1, 1, 20}}));
    EXPECT_EQ(r.out.substr(0, 22), "     7 199012 3124   2");
    // A single record writes one line with one entry; 12 hours fill a line.
    r = hly("1995 10.2604 2.54\n", "CM");
    EXPECT_EQ(r.out, rain_line(7, 1995, 1, {{10, 7, 100}}));
    std::string thirteen;
    for (int h = 1; h <= 13; ++h) {
        char rec[40];
        std::snprintf(rec, sizeof rec, "1995 %.5f 0.01\n", 100.0 + (h * 60 - 30) / 1440.0);
        thirteen += rec;
    }
    r = hly(thirteen);
    ASSERT_EQ(r.result, 0) << r.msg;
    EXPECT_EQ(r.out.substr(r.out.find('\n') + 1), rain_line(7, 1995, 4, {{10, 13, 1}}));
    // Rain too large for the field, and a float sum that overflows.
    r = hly("1995 10.5 1e30\n1995 11.49 3e38\n1995 11.5 3e38\n");
    EXPECT_EQ(r.out, "     7 1995 1 1012****1112****\r\n");
}

// An hour that sums below zero is refused; a correction that leaves the
// hour at zero or more is summed.
TEST(CVTHLYR, AnHourBelowZeroIsAnInvalidRecord) {
    Result r = hly("1995 1.49 0.10\n1995 1.5 -0.05\n1995 1.6 0.2\n");
    ASSERT_EQ(r.result, 0) << r.msg;
    EXPECT_EQ(r.out, rain_line(7, 1995, 1, {{1, 12, 5}, {1, 15, 20}}));
    r = hly("1995 1.49 0.10\n1995 1.5 -0.10\n");
    ASSERT_EQ(r.result, 0) << r.msg;
    EXPECT_EQ(r.out, rain_line(7, 1995, 1, {{1, 12, 0}}));
    for (const char* input :
         {"1995 1.5 -99\n", "1995 1.5 0.01\n1995 1.6 -99\n", "1995 1.49 0.1\n1995 1.5 -0.2\n1995 2.5 1\n"}) {
        r = hly(input);
        EXPECT_EQ(r.result, -1) << input;
        EXPECT_EQ(r.msg, "Invalid record in input file") << input;
        EXPECT_EQ(r.out, "") << input;
    }
    // -0.004 mm rounds to 0 hundredths of an inch: an amount of zero.
    EXPECT_EQ(hly("1995 1.5 -0.004\n", "MM").out, rain_line(7, 1995, 1, {{1, 12, 0}}));
    // Lines written before the refused hour stay.
    std::string input;
    for (int h = 1; h <= 12; ++h) {
        char rec[40];
        std::snprintf(rec, sizeof rec, "1995 %.2f 0.01\n", 10.0 + h * 0.04);  // hours 1 to 12
        input += rec;
    }
    r = hly(input + "1995 11.5 -99\n");
    EXPECT_EQ(r.msg, "Invalid record in input file");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
    EXPECT_EQ(r.out.find('-'), std::string::npos);
}

TEST(CVTHLYR, FailuresAndReadingsOutsideTheYear) {
    EXPECT_EQ(hly("").msg, "Invalid record or EOF in input file");
    EXPECT_EQ(hly("1995 0.5 1\n").msg, "Invalid record or EOF in input file");
    EXPECT_EQ(hly("1995 1e30 1\n").msg, "Invalid record or EOF in input file");
    Result r = hly("1995 1.5 1\n1995 2.5 1\n1995 366.5 1\n");
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.msg, "Invalid record in input file");
    EXPECT_EQ(r.out, "");  // the open hour and the buffer are not written
    EXPECT_EQ(hly("1995 1.5 1\n1995 2.5 a\n").msg, "Invalid record in input file");
    EXPECT_EQ(hly("1995 1.5 1\n", "XX").result, -1);
}

}  // namespace
