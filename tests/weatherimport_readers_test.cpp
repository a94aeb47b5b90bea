// The strict readers: GHCN-Daily fixed columns, NOAA daily CSV exports and
// header tables, each built here in its published layout. Every refusal is
// checked for its line and column; values for their units and flags.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "weatherimport/csv_table.h"
#include "weatherimport/ghcn_daily.h"
#include "weatherimport/noaa_csv.h"
#include "weatherimport/table_series.h"
#include "weatherimport/units.h"

namespace weatherimport {
namespace {

struct DayValue {
    int value = -9999;
    char mflag = ' ', qflag = ' ', sflag = ' ';
};

// One .dly line: ID, YEAR, MONTH, ELEMENT, then 31 x (VALUE MFLAG QFLAG SFLAG).
std::string dly(const char* id, int year, int month, const char* element, std::vector<DayValue> days) {
    char head[32];
    std::snprintf(head, sizeof head, "%-11s%04d%02d%-4s", id, year, month, element);
    std::string s = head;
    days.resize(31);
    for (const DayValue& d : days) {
        char f[16];
        std::snprintf(f, sizeof f, "%5d%c%c%c", d.value, d.mflag, d.qflag, d.sflag);
        s += f;
    }
    return s;
}

double value_of(const SourceSeries& s, Quantity q, const std::string& day) {
    for (const Observation& o : s.observations)
        if (o.quantity == q && iso(o.day) == day) return o.value;
    return -12345.0;
}

TEST(GhcnDaily, TenthsFlagsAndMissingValues) {
    std::vector<DayValue> tmax(29), prcp(29);
    for (int d = 0; d < 29; ++d) tmax[d].value = 100 + d, prcp[d].value = d;
    tmax[1].value = -9999;
    tmax[2].qflag = 'I';
    prcp[3].mflag = 'P';
    prcp[4].mflag = 'T';  // a trace: a measured value, kept
    const std::string text = dly("USC00000001", 1996, 2, "TMAX", tmax) + "\r\n" +
                             dly("USC00000001", 1996, 2, "PRCP", prcp) + "\n" +
                             dly("USC00000001", 1996, 2, "SNWD", prcp) + "\n";
    SourceSeries s;
    Refusal r;
    ASSERT_TRUE(read_ghcn_daily("a.dly", text, s, r)) << r.text();
    EXPECT_EQ(value_of(s, Quantity::Tmax, "1996-02-01"), 10.0);
    EXPECT_EQ(value_of(s, Quantity::Tmax, "1996-02-29"), 12.8);
    EXPECT_EQ(value_of(s, Quantity::Tmax, "1996-02-02"), -12345.0);  // -9999
    EXPECT_EQ(value_of(s, Quantity::Tmax, "1996-02-03"), -12345.0);  // quality flag
    EXPECT_EQ(value_of(s, Quantity::Rain, "1996-02-04"), -12345.0);  // P
    EXPECT_EQ(value_of(s, Quantity::Rain, "1996-02-05"), 0.4);
    EXPECT_EQ(s.observations.size(), 27u + 28u);
    ASSERT_EQ(s.findings.size(), 2u);
    EXPECT_EQ(finding_line(s.findings[0]),
              "flagged tmax 1996-02-03: value 102 with quality flag I, read as missing (a.dly:1:38)");
    EXPECT_EQ(s.findings[1].at.line, 2);
    EXPECT_EQ(s.findings[1].at.column, 22 + 8 * 3);
    EXPECT_FALSE(s.carried[index(Quantity::Tmin)]);
}

TEST(GhcnDaily, RefusalsNameLineAndColumn) {
    const std::string good = dly("USC00000001", 1996, 1, "TMAX", {{10}}) + "\n";
    auto refusal = [&](const std::string& second) {
        SourceSeries s;
        Refusal r;
        EXPECT_FALSE(read_ghcn_daily("a.dly", good + second + "\n", s, r));
        return r.text();
    };
    EXPECT_EQ(refusal(good.substr(0, 200)), "a.dly:2:201: a GHCN-Daily line has 269 columns, this one 200");
    std::string bad = dly("USC00000001", 1996, 1, "TMAX", {{10}, {20}});
    bad[21 + 8 + 2] = 'x';  // day 2's VALUE, its third column
    EXPECT_EQ(refusal(bad), "a.dly:2:32: VALUE of day 2 (columns 30-34) is not an integer");
    EXPECT_EQ(refusal(dly("USC00000002", 1996, 1, "TMAX", {{10}})),
              "a.dly:2:1: station USC00000002 in a file of station USC00000001: one station per import");
    std::vector<DayValue> feb(30);
    feb[29].value = 5;  // 30 February
    EXPECT_EQ(refusal(dly("USC00000001", 1996, 2, "TMAX", feb)),
              "a.dly:2:254: a value on day 30 of a month of 29 days");
    EXPECT_EQ(refusal(dly("USC00000001", 1996, 13, "TMAX", {})),
              "a.dly:2:16: MONTH (columns 16-17) is not a month 01 to 12");
}

TEST(CsvTable, QuotingAndRefusals) {
    Table t;
    Refusal r;
    ASSERT_TRUE(read_table("t.csv",
                           "\xEF\xBB\xBF"
                           "a,b\r\n\"x,\"\"y\"\"\",2\r\n,3\n\n",
                           ',', t, r))
        << r.text();
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0].cells[0].text, "x,\"y\"");
    EXPECT_EQ(t.rows[0].cells[1].column, 11);
    EXPECT_EQ(t.rows[1].cells[0].text, "");
    auto refuse = [&](const char* text) {
        EXPECT_FALSE(read_table("t.csv", text, ',', t, r));
        return r.text();
    };
    EXPECT_EQ(refuse("a,b\n1,2,3\n"), "t.csv:2:5: 3 cells where the header has 2");
    EXPECT_EQ(refuse("a,b\n1\n"), "t.csv:2:2: 1 cells where the header has 2");
    EXPECT_EQ(refuse("a,b\n1,\"2\n"), "t.csv:2:3: a quoted cell is not closed on its line");
    EXPECT_EQ(refuse("a,b\n1,\"2\"x\n"), "t.csv:2:6: text after the closing quote of a cell");
    EXPECT_EQ(refuse("a,b\n1,2\"\n"), "t.csv:2:4: a quote inside a cell that does not start with one");
    EXPECT_EQ(refuse("a,b\n1,2\n\n3,4\n"), "t.csv:3:1: a blank line between records");
}

Table table(const char* text, char delimiter = ',') {
    Table t;
    Refusal r;
    EXPECT_TRUE(read_table("s.csv", text, delimiter, t, r)) << r.text();
    return t;
}

TEST(NoaaCsv, StandardUnitsAttributesAndEmptyCells) {
    const Table t = table(
        "\"STATION\",\"DATE\",\"PRCP\",\"PRCP_ATTRIBUTES\",\"TMAX\",\"TMAX_ATTRIBUTES\",\"TMIN\",\"TMIN_ATTRIBUTES\"\n"
        "\"USW00014739\",\"1996-07-01\",\"1.00\",\",,W,2400\",\"77\",\",,W\",\"59\",\",,W\"\n"
        "\"USW00014739\",\"1996-07-02\",\"\",\"\",\"212\",\",X,W\",\"-40\",\",,W\"\n"
        "\"USW00014739\",\"1996-07-03\",\"0.00\",\"P,,W,\",\"70\",\",,W\",\"60\",\",,W\"\n");
    ASSERT_TRUE(looks_like_noaa_csv(t));
    TableLayout layout;
    Refusal r;
    ASSERT_TRUE(noaa_layout(t, false, layout, r));
    SourceSeries s;
    ASSERT_TRUE(read_table_series(t, layout, s, r)) << r.text();
    EXPECT_DOUBLE_EQ(value_of(s, Quantity::Rain, "1996-07-01"), 25.4);
    EXPECT_DOUBLE_EQ(value_of(s, Quantity::Tmax, "1996-07-01"), 25.0);
    EXPECT_DOUBLE_EQ(value_of(s, Quantity::Tmin, "1996-07-02"), -40.0);
    EXPECT_EQ(value_of(s, Quantity::Rain, "1996-07-02"), -12345.0);  // empty: missing
    EXPECT_EQ(value_of(s, Quantity::Tmax, "1996-07-02"), -12345.0);  // quality flag X
    EXPECT_EQ(value_of(s, Quantity::Rain, "1996-07-03"), -12345.0);  // P
    ASSERT_EQ(s.findings.size(), 2u);
    EXPECT_EQ(finding_line(s.findings[0]),
              "flagged tmax 1996-07-02: value 212 with quality flag X, read as missing (s.csv:3:34)");
    // Metric: as read.
    ASSERT_TRUE(noaa_layout(t, true, layout, r));
    SourceSeries m;
    ASSERT_TRUE(read_table_series(t, layout, m, r));
    EXPECT_DOUBLE_EQ(value_of(m, Quantity::Tmax, "1996-07-01"), 77.0);
    // Another station in the same export.
    const Table two = table("\"STATION\",\"DATE\",\"TMAX\"\n\"A\",\"1996-07-01\",\"1\"\n\"B\",\"1996-07-02\",\"1\"\n");
    ASSERT_TRUE(noaa_layout(two, true, layout, r));
    EXPECT_FALSE(read_table_series(two, layout, m, r));
    EXPECT_EQ(r.text(), "s.csv:3:1: station B in a file of station A: one station per import");
}

TEST(TableSeries, DecimalCommaCodesFlagsAndDateForms) {
    const Table t = table(
        "year;doy;tx;tn;rr;q\n"
        "2001;59;12,5;-0,5;1,2;\n"
        "2001;60;NA;3;;\n"
        "2001;61;14;4,25;0,0;E\n",
        ';');
    TableLayout l;
    l.year_column = "year", l.doy_column = "doy";
    l.columns = {{Quantity::Tmax, "tx"}, {Quantity::Tmin, "tn"}, {Quantity::Rain, "rr"}};
    l.flag_columns = {{"rr", "q"}};
    l.decimal_comma = true;
    l.missing_codes = {"NA", ""};
    l.temperature_unit = TemperatureUnit::Fahrenheit;
    l.rain_unit = DepthUnit::Centimetre;
    SourceSeries s;
    Refusal r;
    ASSERT_TRUE(read_table_series(t, l, s, r)) << r.text();
    EXPECT_NEAR(value_of(s, Quantity::Tmax, "2001-02-28"), (12.5 - 32.0) / 1.8, 1e-12);
    EXPECT_DOUBLE_EQ(value_of(s, Quantity::Rain, "2001-02-28"), 12.0);
    EXPECT_EQ(value_of(s, Quantity::Tmax, "2001-03-01"), -12345.0);
    EXPECT_EQ(value_of(s, Quantity::Rain, "2001-03-01"), -12345.0);
    EXPECT_EQ(value_of(s, Quantity::Rain, "2001-03-02"), -12345.0);  // flag E
    EXPECT_NEAR(value_of(s, Quantity::Tmin, "2001-03-02"), (4.25 - 32.0) / 1.8, 1e-12);
    ASSERT_EQ(s.findings.size(), 1u);
    EXPECT_EQ(s.findings[0].text, "value 0,0 with flag \"E\", read as missing");

    // Refusals: each names its line and column.
    auto refuse = [&](const char* text, TableLayout layout, char delimiter = ',') {
        const Table bad = table(text, delimiter);
        SourceSeries out;
        EXPECT_FALSE(read_table_series(bad, layout, out, r));
        return r.text();
    };
    TableLayout iso;
    iso.date_column = "date";
    iso.columns = {{Quantity::Rain, "rain"}};
    EXPECT_EQ(refuse("date,rain\n2001-01-01,1\n2001-01-02,\n", iso),
              "s.csv:3:12: an empty cell in column \"rain\": declare --missing \"\" if an empty cell means no value");
    EXPECT_EQ(refuse("date,rain\n2001-01-01,1.5.2\n", iso),
              "s.csv:2:15: \"1.5.2\" in column \"rain\" is not a number nor a declared missing code");
    EXPECT_EQ(refuse("date,rain\n2001-02-30,1\n", iso), "s.csv:2:9: \"2001-02-30\" is not a date YYYY-MM-DD");
    EXPECT_EQ(refuse("date,rain\n01/02/2001,1\n", iso), "s.csv:2:3: \"01/02/2001\" is not a date YYYY-MM-DD");
    EXPECT_EQ(refuse("day,rain\n2001-01-01,1\n", iso), "s.csv:1:1: the header has no column \"date\"");
    TableLayout comma = iso;
    comma.decimal_comma = true;
    EXPECT_EQ(
        refuse("date;rain\n2001-01-01;1.5\n", comma, ';'),
        "s.csv:2:13: \"1.5\" in column \"rain\" is not a number with a decimal comma nor a declared missing code");
    TableLayout ymd;
    ymd.year_column = "y", ymd.month_column = "m", ymd.day_column = "d";
    ymd.columns = {{Quantity::Rain, "rain"}};
    EXPECT_EQ(refuse("y,m,d,rain\n2001,2,29,1\n", ymd), "s.csv:2:8: 2001-2-29 is no date");
    TableLayout doy;
    doy.year_column = "y", doy.doy_column = "n";
    doy.columns = {{Quantity::Rain, "rain"}};
    EXPECT_EQ(refuse("y,n,rain\n2001,366,1\n", doy), "s.csv:2:6: day 366 is not a day of 2001");
}

// Hourly rain: the stamp of the hour's end or start, on the full hour.
TEST(TableSeries, HourlyStampsAndTheirConvention) {
    const Table t = table("time,mm\n2001-01-01T00:00,1\n2001-01-01 23:00,2\n");
    TableLayout l;
    l.datetime_column = "time";
    l.columns = {{Quantity::Rain, "mm"}};
    SourceSeries ending, beginning;
    Refusal r;
    ASSERT_TRUE(read_table_series(t, l, ending, r)) << r.text();
    l.hour_ending = false;
    ASSERT_TRUE(read_table_series(t, l, beginning, r)) << r.text();
    EXPECT_EQ(iso(ending.hourly_rain[0].hour_end), "2001-01-01T00:00");
    EXPECT_EQ(iso(beginning.hourly_rain[0].hour_end), "2001-01-01T01:00");
    EXPECT_EQ(iso(beginning.hourly_rain[1].hour_end), "2001-01-02T00:00");
    const Table odd = table("time,mm\n2001-01-01T00:30,1\n");
    EXPECT_FALSE(read_table_series(odd, l, beginning, r));
    EXPECT_EQ(r.text(), "s.csv:2:15: an hourly reading is stamped on the full hour, not at 2001-01-01T00:30");
}

// Every unit a column may be given in, against equivalents written out here.
TEST(Units, ColumnsConvertToTheSeriesUnits) {
    EXPECT_DOUBLE_EQ(to_celsius(212, *temperature_unit("degF")), 100.0);
    EXPECT_DOUBLE_EQ(to_celsius(-40, *temperature_unit("F")), -40.0);
    EXPECT_DOUBLE_EQ(to_celsius(21.5, *temperature_unit("c")), 21.5);
    EXPECT_DOUBLE_EQ(to_fahrenheit(37), 98.6);
    EXPECT_DOUBLE_EQ(to_mm(2, *depth_unit("in")), 50.8);
    EXPECT_DOUBLE_EQ(to_mm(1.2, *depth_unit("cm")), 12.0);
    EXPECT_DOUBLE_EQ(to_mm(7, *depth_unit("mm")), 7.0);
    EXPECT_DOUBLE_EQ(to_metres_per_second(36, *speed_unit("km/h")), 10.0);
    EXPECT_DOUBLE_EQ(to_metres_per_second(3, *speed_unit("m/s")), 3.0);
    EXPECT_FALSE(depth_unit("inch"));
    EXPECT_FALSE(speed_unit("mph"));
    EXPECT_STREQ(unit_word(*depth_unit("in")), "in");
}

}  // namespace
}  // namespace weatherimport
