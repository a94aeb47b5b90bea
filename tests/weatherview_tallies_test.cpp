// METVIEW's numbers checked as values: the monthly and annual tallies and
// the extremes of small series whose numbers the tests work out on their
// own; the lines that the free-form reading changes, flagged; and the
// field rule of the replay against the writer's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/connection.h"
#include "common/field_edit.h"
#include "common/file_system.h"
#include "weather/metconv.h"
#include "weatherview/line_reading.h"
#include "weatherview/replay.h"
#include "weatherview/report_page.h"
#include "weatherview/run_check.h"
#include "weatherview/value_figures.h"

using namespace weatherview;

namespace {

// Iw as the record writer edits it, appended to `out`.
void edit_int(std::string& out, int32_t v, int w) {
    const size_t at = out.size();
    out.append(static_cast<size_t>(w), ' ');
    common::edit_int_field(out.data() + at, v, w);
}

// METCONV run on INPUT (as w.dat) with ARGS after the file name, then checked.
std::unique_ptr<RunCheck> convert_and_check(common::MemoryFileSystem& fs, const std::string& input,
                                            std::vector<std::string> args) {
    fs.put("w.dat", input);
    args.insert(args.begin(), "w.dat");
    auto console = common::Connection::in_memory(6, "console");
    weather::run_metconv(args, *console, {.files = &fs});
    const weather::RunParameters p = weather::run_parameters(args);
    DataType type{};
    EXPECT_TRUE(data_type_of(p.TYPE, type));
    return check_run(p, type, fs);
}

const figure::Table& table_of(const std::vector<ValueFigure>& figures, const std::string& id) {
    for (const ValueFigure& f : figures)
        if (f.plot.id == id) return f.data;
    static const figure::Table none;
    ADD_FAILURE() << "no figure " << id;
    return none;
}

// The table's rows by their first cell, each cell read as a number.
std::map<std::string, std::vector<double>> numbers(const figure::Table& t) {
    std::map<std::string, std::vector<double>> out;
    for (const auto& row : t.rows) {
        std::vector<double>& v = out[row[0]];
        for (size_t k = 1; k < row.size(); ++k) v.push_back(row[k] == "missing" ? -1e9 : std::stod(row[k]));
    }
    return out;
}

// Two years of whole degrees F, with one day of -99 and a gap: the file
// holds exactly what was typed, so every tally can be worked out here.
TEST(Tallies, TemperatureMeansAndExtremesAreTheSeriesOwn) {
    struct Day {
        int year, jday, hi, lo;
    };
    std::vector<Day> days;
    std::string input;
    for (int year : {1995, 1996}) {
        for (int j = 1; j <= 59; ++j) {
            if (j >= 40 && j <= 45) continue;  // absent days
            const int hi = 30 + (j * 7 + year) % 23, lo = hi - 5 - (j * 3) % 11;
            char line[40];
            if (year == 1995 && j == 10) {
                input += "1995 10 -99 -99\n";
                continue;
            }
            std::snprintf(line, sizeof line, "%d %d %d %d\n", year, j, lo, hi);  // the lower first: a is the higher
            input += line;
            days.push_back({year, j, hi, lo});
        }
    }
    common::MemoryFileSystem fs;
    auto c = convert_and_check(fs, input, {"TP", "DF", "7"});
    ASSERT_EQ(c->difference_count, 0);
    const std::vector<ValueFigure> figures = value_figures(c->values);

    // Monthly and annual means of the daily maximum and minimum.
    std::map<std::string, std::vector<double>> month, year;
    for (const Day& d : days) {
        char key[16];
        std::snprintf(key, sizeof key, "%d-%02d", d.year, d.jday <= 31 ? 1 : 2);
        for (std::vector<double>* v : {&month[key], &year[std::to_string(d.year)]}) {
            v->resize(3);
            (*v)[0] += d.hi, (*v)[1] += d.lo, (*v)[2] += 1;
        }
    }
    const auto monthly = numbers(table_of(figures, "monthly"));
    const auto annual = numbers(table_of(figures, "annual"));
    for (const auto& [want, got] : {std::pair{&month, &monthly}, std::pair{&year, &annual}}) {
        for (const auto& [key, v] : *want) {
            ASSERT_TRUE(got->count(key)) << key;
            const std::vector<double>& row = got->at(key);
            EXPECT_NEAR(row[0], v[0] / v[2], 0.051) << key << " mean daily maximum";
            EXPECT_NEAR(row[1], v[1] / v[2], 0.051) << key << " mean daily minimum";
            EXPECT_EQ(row[2], v[2]) << key << " days with a value";
        }
    }
    EXPECT_EQ(monthly.at("1995-01")[3], 1);  // the day of -99
    EXPECT_EQ(annual.at("1995")[3], 7);      // and the six absent days, written as -99
    EXPECT_EQ(annual.at("1996")[3], 7);      // and 29 February, written as -99

    // The ten highest maxima and the ten lowest minima.
    std::vector<int> his, los;
    for (const Day& d : days) his.push_back(d.hi), los.push_back(d.lo);
    std::sort(his.rbegin(), his.rend());
    std::sort(los.begin(), los.end());
    const std::vector<figure::Table> ranked = largest_tables(c->values);
    ASSERT_EQ(ranked.size(), 2u);
    for (size_t r = 0; r < 10; ++r) {
        EXPECT_EQ(ranked[0].rows.at(r)[2], std::to_string(his[r])) << "highest, rank " << r + 1;
        EXPECT_EQ(ranked[1].rows.at(r)[2], std::to_string(los[r])) << "lowest, rank " << r + 1;
    }
}

TEST(Tallies, RainTotalsAreTheSeriesOwn) {
    // Evapotranspiration in hundredths of an inch typed as inches.
    std::map<std::string, int> month, year;
    std::vector<int> all;
    std::string input;
    for (int y : {2001, 2002}) {
        for (int j = 1; j <= 90; j += 2) {
            const int v = (j * 13 + y) % 37;
            char line[40];
            std::snprintf(line, sizeof line, "%d %d %d.%02d\n", y, j, v / 100, v % 100);
            input += line;
            const int m = j <= 31 ? 1 : j <= 59 ? 2 : 3;  // common years
            char key[16];
            std::snprintf(key, sizeof key, "%d-%02d", y, m);
            month[key] += v;
            year[std::to_string(y)] += v;
            all.push_back(v);
        }
    }
    common::MemoryFileSystem fs;
    auto c = convert_and_check(fs, input, {"ET", "IN", "7"});
    ASSERT_EQ(c->difference_count, 0);
    const std::vector<ValueFigure> figures = value_figures(c->values);
    const auto monthly = numbers(table_of(figures, "monthly"));
    const auto annual = numbers(table_of(figures, "annual"));
    for (const auto& [key, total] : month) EXPECT_EQ(monthly.at(key).at(0), total) << key;
    for (const auto& [key, total] : year) EXPECT_EQ(annual.at(key).at(0), total) << key;
    std::sort(all.rbegin(), all.rend());
    const std::vector<figure::Table> ranked = largest_tables(c->values);
    for (size_t r = 0; r < 10; ++r) EXPECT_EQ(ranked.at(0).rows.at(r)[2], std::to_string(all[r])) << r;
}

// The replay's field rule is the writer's: a value fits exactly when the
// edit writes no asterisks.
TEST(FieldRule, FitsAsTheWriterEdits) {
    for (int w = 1; w <= 11; ++w) {
        for (int64_t base = 1; base <= 10000000000LL; base *= 10) {
            for (int64_t d : {-1, 0, 1}) {
                for (int64_t sign : {1, -1}) {
                    const int64_t v64 = sign * (base + d);
                    if (v64 > INT32_MAX || v64 < INT32_MIN) continue;
                    const auto v = static_cast<int32_t>(v64);
                    std::string out;
                    edit_int(out, v, w);
                    EXPECT_EQ(fits(v, w), out.find('*') == std::string::npos) << v << " in I" << w;
                }
            }
        }
        for (int32_t v : {0, INT32_MAX, INT32_MIN, -99}) {
            std::string out;
            edit_int(out, v, w);
            EXPECT_EQ(fits(v, w), out.find('*') == std::string::npos) << v << " in I" << w;
        }
    }
}

// How the reader takes a record's values from its line.
TEST(LineReading, NullValuesShortLinesAndValuesLeftOver) {
    auto r = read_line_values("1997,5,0.2", 3);
    EXPECT_TRUE(r.nulls.empty() && !r.short_line && r.ignored.empty());
    // A separating comma or blanks after the last value are no value.
    r = read_line_values("1997, 5 ,0.2, ", 3);
    EXPECT_TRUE(r.nulls.empty() && !r.short_line && r.ignored.empty());
    r = read_line_values("1997,,0.2", 3);
    EXPECT_EQ(r.nulls, std::vector<int>{1});
    r = read_line_values(",5,0.2", 3);
    EXPECT_EQ(r.nulls, std::vector<int>{0});
    r = read_line_values("1997 2* ", 4);
    EXPECT_EQ(r.nulls, (std::vector<int>{1, 2}));
    EXPECT_TRUE(r.short_line);
    r = read_line_values("1997 5 / 7", 4);
    EXPECT_EQ(r.nulls, (std::vector<int>{2, 3}));
    EXPECT_TRUE(r.slash);
    r = read_line_values("1997 5 3*1.0", 4);
    EXPECT_TRUE(r.nulls.empty());
    EXPECT_FALSE(r.ignored.empty());
    r = read_line_values("1997,5,", 3);
    EXPECT_TRUE(r.short_line);
    EXPECT_EQ(r.taken, 2);
    r = read_line_values("1997 5 6,5", 3);
    EXPECT_EQ(r.ignored, "5");
    r = read_line_values("1997 5 'a b' 2", 3);
    EXPECT_EQ(r.ignored, "2");
}

// Spreadsheet rows that the free-form reading changes: each is flagged on
// its line, and the series does not pass the check of records kept.
TEST(Tallies, RowsTheReadingChangesAreFlagged) {
    common::MemoryFileSystem fs;
    auto c = convert_and_check(fs,
                               "1997,1,0.5\r\n"
                               "1997,2,\r\n"  // empty last cell: the rain is the next line's year
                               "1997,3,0.2\r\n"
                               "1997,4,,\r\n"          // empty cell: the rain of the record before
                               "1997,5,6,5\r\n"        // decimal comma
                               "1997 6 0.3 30 10\r\n"  // five columns given as daily rain
                               "1997,7,0.1,\r\n",      // a trailing comma: nothing changed
                               {"DR", "MM", "7", "5", "1"});
    ASSERT_EQ(c->difference_count, 0);
    auto reason = [&](int64_t line, Fate f) {
        auto it = c->findings.rows().find(line);
        if (it == c->findings.rows().end()) return std::string();
        for (const auto& [fate, why] : it->second.reasons)
            if (fate == f) return why;
        return std::string();
    };
    EXPECT_NE(reason(2, Fate::NextLine).find("the rain (1997) taken from the next line"), std::string::npos)
        << reason(2, Fate::NextLine);
    EXPECT_NE(reason(4, Fate::NullValue).find("the rain (1997) is kept from the record before"), std::string::npos)
        << reason(4, Fate::NullValue);
    EXPECT_NE(reason(5, Fate::Ignored).find("\"5\" is ignored"), std::string::npos) << reason(5, Fate::Ignored);
    EXPECT_NE(reason(6, Fate::Ignored).find("\"30 10\" is ignored"), std::string::npos) << reason(6, Fate::Ignored);
    EXPECT_EQ(c->findings.rows().count(1), 0u);
    EXPECT_EQ(c->findings.rows().count(7), 0u);
    const std::string html = report_page(*c, "METCONV w.dat DR MM 7 5 1").html();
    EXPECT_EQ(html.find("No record is left out, replaced or lost"), std::string::npos);
    EXPECT_NE(html.find("4 records are not read as their lines say"), std::string::npos);

    // The same rows without what the reading changes pass the check.
    c = convert_and_check(fs, "1997,1,0.5\r\n1997,3,0.2\r\n1997,7,0.1,\r\n", {"DR", "MM", "7", "5", "1"});
    EXPECT_NE(report_page(*c, "METCONV w.dat DR MM 7 5 1").html().find("No record is left out, replaced or lost"),
              std::string::npos);

    // A whole year without a reading between two others: its 366 days, no
    // more, lie between the first reading and the last.
    c = convert_and_check(fs, "1995 365.5 0.1\n1997 1.5 0.2\n", {"HR", "IN", "7"});
    const std::string gap = report_page(*c, "METCONV w.dat HR IN 7").html();
    EXPECT_NE(gap.find("366 days have no reading between the first and the last"), std::string::npos);

    // Temperatures: an empty first temperature keeps the day before's.
    c = convert_and_check(fs, "1997,1,5,-3\n1997,2,,-2\n", {"TP", "DC", "7"});
    EXPECT_NE(reason(2, Fate::NullValue).find("the first temperature (5) is kept"), std::string::npos)
        << reason(2, Fate::NullValue);
}

// An hour of rain below zero stops METCONV, and the replay stops with it.
TEST(Tallies, AnHourBelowZeroStopsTheReplayAsItStopsMetconv) {
    common::MemoryFileSystem fs;
    auto c = convert_and_check(fs, "1995 1.5 0.01\n1995 2.5 0.02\n1995 2.51 -99\n1995 3.5 0.1\n1995 4.5 0.1\n",
                               {"HR", "IN", "7"});
    EXPECT_EQ(c->log_line, "Invalid record in input file");
    EXPECT_EQ(c->expected_log, c->log_line);
    EXPECT_EQ(c->difference_count, 0);
    EXPECT_EQ(c->stopped_at, 3);
    EXPECT_EQ(c->not_converted, 2);
    auto it = c->findings.rows().find(3);
    ASSERT_NE(it, c->findings.rows().end());
    bool refused = false;
    for (const auto& [fate, why] : it->second.reasons)
        refused = refused || (fate == Fate::Refused &&
                              why.find("sum to -9900 hundredths of an inch, below zero") != std::string::npos);
    EXPECT_TRUE(refused);
}

}  // namespace
