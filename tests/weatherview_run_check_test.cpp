// The comparison of a METCONV run's input with its weather file, on small
// series in memory: METCONV converts them, then check_run() must tell what
// happened to each record, with its line, and where the file differs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/connection.h"
#include "common/file_system.h"
#include "weather/metconv.h"
#include "weatherview/dates.h"
#include "weatherview/input_lines.h"
#include "weatherview/run_check.h"
#include "weatherview/series_input.h"

using namespace weatherview;

namespace {

std::unique_ptr<RunCheck> check(common::MemoryFileSystem& fs, const std::vector<std::string>& args) {
    const weather::RunParameters p = weather::run_parameters(args);
    DataType type{};
    EXPECT_TRUE(data_type_of(p.TYPE, type));
    return check_run(p, type, fs);
}

// METCONV run on INPUT (as w.dat) with ARGS after the file name, then checked.
std::unique_ptr<RunCheck> convert_and_check(common::MemoryFileSystem& fs, const std::string& input,
                                            std::vector<std::string> args) {
    fs.put("w.dat", input);
    args.insert(args.begin(), "w.dat");
    auto console = common::Connection::in_memory(6, "console");
    weather::run_metconv(args, *console, {.files = &fs});
    return check(fs, args);
}

const Finding* row(const RunCheck& c, int64_t line) {
    auto it = c.findings.rows().find(line);
    return it == c.findings.rows().end() ? nullptr : &it->second;
}

// The reason the row of LINE gives for fate F, or "" when it has none.
std::string reason(const RunCheck& c, int64_t line, Fate f) {
    const Finding* r = row(c, line);
    if (!r) return "";
    for (const auto& [fate, why] : r->reasons)
        if (fate == f) return why;
    return "";
}

DayMark mark(const RunCheck& c, int32_t year, int32_t jday) {
    auto it = c.marks.years().find(year);
    if (it == c.marks.years().end()) return DayMark::None;
    return static_cast<DayMark>(it->second.mark[static_cast<size_t>(jday - 1)]);
}

std::vector<int64_t> lines_with(const RunCheck& c, Fate f) {
    std::vector<int64_t> out;
    for (const auto& [line, r] : c.findings.rows())
        for (const auto& [fate, why] : r.reasons)
            if (fate == f) out.push_back(line);
    return out;
}

TEST(RunCheck, TemperatureRecordsThatDoNotReachTheFileAsTyped) {
    common::MemoryFileSystem fs;
    auto c = convert_and_check(fs,
                               "1996 1 40 20\n"
                               "1996 2 41 21\n"
                               "1996 340 45 30\n"  // among January's records
                               "1996 3 42 22\n"
                               "1996 3 43 23\n"    // the same day again
                               "1996 4 -99 -99\n"  // the missing-value code
                               "1996 8 44 24\n",   // days 5 to 7 absent
                               {"TP", "DF", "7"});
    EXPECT_EQ(c->log_line, "*NOERROR: Program terminated normally");
    EXPECT_EQ(c->expected_log, c->log_line);
    EXPECT_EQ(c->records, 7);
    EXPECT_EQ(c->difference_count, 0) << (c->differences.empty() ? "" : c->differences[0].what);
    // The block runs from January to December: the December day is written.
    EXPECT_EQ(c->file_statements, 12);
    EXPECT_NE(reason(*c, 3, Fate::OutOfOrder).find("among the records of 1996-01-02 (line 2) and 1996-01-03 (line 4)"),
              std::string::npos)
        << reason(*c, 3, Fate::OutOfOrder);
    EXPECT_NE(reason(*c, 4, Fate::Replaced).find("replaced by line 5"), std::string::npos);
    EXPECT_NE(reason(*c, 6, Fate::MissingCode).find("both temperatures: the missing-value code -99 is written as -99"),
              std::string::npos);
    EXPECT_EQ(c->findings.count(Fate::MissingCode), 1);
    EXPECT_EQ(row(*c, 3)->text, "1996 340 45 30");
    EXPECT_EQ(row(*c, 3)->when, "1996-12-05");
    // Nothing else happened to any record.
    EXPECT_EQ(c->findings.rows().size(), 3u);

    EXPECT_EQ(mark(*c, 1996, 340), DayMark::Changed);
    EXPECT_EQ(mark(*c, 1996, 3), DayMark::Changed);
    EXPECT_EQ(mark(*c, 1996, 4), DayMark::MissingCode);
    EXPECT_EQ(mark(*c, 1996, 5), DayMark::None);
    EXPECT_EQ(mark(*c, 1996, 8), DayMark::Value);
    // The series runs from its first record to its last: the day out of
    // place does not stretch it.
    EXPECT_EQ(c->marks.first_serial(), serial_day(1996, 1));
    EXPECT_EQ(c->marks.last_serial(), serial_day(1996, 8));
}

TEST(RunCheck, BlocksOutOfOrderAndYearsThatComeBack) {
    common::MemoryFileSystem fs;
    // The last 1995 record lies before the first: the block still runs from
    // January to March. 1996 comes back after 1995 and gets a second
    // statement.
    auto c = convert_and_check(fs,
                               "1996 32 1.0\n"
                               "1996 33 1.0\n"
                               "1995 60 1.0\n"
                               "1995 10 1.0\n"
                               "1996 33 2.0\n",
                               {"ET", "IN", "7"});
    EXPECT_EQ(c->difference_count, 0) << (c->differences.empty() ? "" : c->differences[0].what);
    EXPECT_EQ(c->file_statements, 5);  // 1996 February, 1995 January to March, 1996 February
    EXPECT_EQ(c->findings.count(Fate::Replaced) + c->findings.count(Fate::Lost), 0);
    EXPECT_NE(reason(*c, 5, Fate::Twice).find("given before, at line 2"), std::string::npos);
    EXPECT_EQ(c->values.repeated_months(), 1);
}

TEST(RunCheck, MissingCodesAndValuesTooLargeForTheirColumns) {
    common::MemoryFileSystem fs;
    auto c = convert_and_check(fs, "1996 1 -99 10\n1996 2 600 10\n", {"TP", "DC", "7"});
    EXPECT_EQ(c->difference_count, 0) << (c->differences.empty() ? "" : c->differences[0].what);
    EXPECT_NE(reason(*c, 1, Fate::MissingCode).find("first temperature: the missing-value code -99 is written as -99"),
              std::string::npos)
        << reason(*c, 1, Fate::MissingCode);
    EXPECT_NE(reason(*c, 2, Fate::TooLarge).find("600 degrees C converts to 1112"), std::string::npos)
        << reason(*c, 2, Fate::TooLarge);
    EXPECT_EQ(c->values.asterisks(), 1);

    auto e = convert_and_check(fs, "1996 1 1e30\n1996 2 -99\n", {"ET", "IN", "7"});
    EXPECT_EQ(e->difference_count, 0);
    EXPECT_FALSE(reason(*e, 1, Fate::TooLarge).empty());
    EXPECT_NE(reason(*e, 2, Fate::MissingCode).find("written as -99"), std::string::npos);
}

TEST(RunCheck, HourlyReadingsSummedTypedTwiceAndHoursThatComeBack) {
    common::MemoryFileSystem fs;
    auto c = convert_and_check(fs,
                               "1995 10.5 0.01\n"   // 12:00, hour 12
                               "1995 10.5 0.02\n"   // the same time again
                               "1995 10.49 0.01\n"  // 11:46, hour 12
                               "1995 10.6 0.03\n"   // 14:24, hour 15
                               "1995 10.49 0.04\n"  // back to hour 12
                               "1995 10.4 0.01\n"   // 09:36: back again, before both
                               "1996 1.0 0.05\n",   // 00:00 of 1 January: hour 24 of 31 December
                               {"HR", "IN", "7"});
    EXPECT_EQ(c->difference_count, 0) << (c->differences.empty() ? "" : c->differences[0].what);
    EXPECT_NE(reason(*c, 2, Fate::SameTime).find("the same time as line 1"), std::string::npos);
    EXPECT_NE(reason(*c, 3, Fate::Summed).find("summed into hour 12 with the reading of line 1"), std::string::npos);
    // Hour 15 lies between two readings of hour 12: it is the one out of place.
    EXPECT_NE(reason(*c, 4, Fate::OutOfOrder).find("among the records of 1995-01-10 11:00-12:00 (line 3)"),
              std::string::npos)
        << reason(*c, 4, Fate::OutOfOrder);
    EXPECT_NE(reason(*c, 5, Fate::Twice).find("hour 12 of 1995-01-10 already has an entry"), std::string::npos);
    EXPECT_EQ(row(*c, 5)->when, "1995-01-10 11:00-12:00");
    EXPECT_NE(reason(*c, 6, Fate::OutOfOrder).find("goes back in time: 1995-01-10 09:00-10:00 after"),
              std::string::npos)
        << reason(*c, 6, Fate::OutOfOrder);
    EXPECT_EQ(lines_with(*c, Fate::OutOfOrder), (std::vector<int64_t>{4, 6}));
    EXPECT_EQ(row(*c, 7), nullptr);
    EXPECT_EQ(mark(*c, 1995, 365), DayMark::Value);
    EXPECT_EQ(mark(*c, 1996, 1), DayMark::None);
    ASSERT_FALSE(c->values.largest_hours().empty());
    EXPECT_EQ(c->values.largest_hours()[0].amount, 5);
    EXPECT_EQ(c->values.largest_hours()[0].year, 1995);
    EXPECT_EQ(c->values.largest_hours()[0].jday, 365);
}

TEST(RunCheck, HourlyReadingsOfAnotherYearSummedIntoTheHour) {
    common::MemoryFileSystem fs;
    // The converter compares day and hour, not the year.
    auto c = convert_and_check(fs, "1995 10.5 0.01\n1996 10.5 0.02\n", {"HR", "IN", "7"});
    EXPECT_EQ(c->difference_count, 0) << (c->differences.empty() ? "" : c->differences[0].what);
    EXPECT_NE(reason(*c, 2, Fate::Summed).find("written as hour 12 of 1996-01-10: METCONV compares"), std::string::npos)
        << reason(*c, 2, Fate::Summed);
    EXPECT_EQ(mark(*c, 1995, 10), DayMark::Changed);
    EXPECT_EQ(mark(*c, 1996, 10), DayMark::Changed);
    EXPECT_TRUE(c->values.years().count(1996));
    EXPECT_FALSE(c->values.years().count(1995));
}

TEST(RunCheck, DailyRainGivenTwiceIsSpreadTwiceAndTheMissingCodeSkipped) {
    common::MemoryFileSystem fs;
    auto c = convert_and_check(fs, "1996 4 2.3\n1996 5 -99\n1996 6 1.0\n1996 4 2.3\n1996 7 0\n",
                               {"DR", "MM", "7", "5", "20"});
    EXPECT_EQ(c->difference_count, 0) << (c->differences.empty() ? "" : c->differences[0].what);
    EXPECT_NE(reason(*c, 4, Fate::Twice).find("given before, at line 1"), std::string::npos);
    EXPECT_NE(reason(*c, 2, Fate::MissingCode).find("reads the day as dry"), std::string::npos);
    EXPECT_EQ(mark(*c, 1996, 5), DayMark::MissingCode);
    EXPECT_EQ(mark(*c, 1996, 7), DayMark::Value);
    // The day's rain counts twice in the file: 9 hundredths spread twice.
    const auto& y = c->values.years().at(1996);
    EXPECT_EQ(y.a[3], 18);
}

TEST(RunCheck, TheRunStopsAtTheFirstRecordRefused) {
    common::MemoryFileSystem fs;
    auto c = convert_and_check(fs,
                               "1996 1 40 20\n"
                               "1996 2 41 21\n"
                               "1996 3 x 22\n"  // does not read: METCONV stops
                               "1996 4 43 23\n"
                               "1995 366 1 2\n"  // outside its year
                               "1996 5 44",      // cut off by the end of the file
                               {"TP", "DF", "7"});
    EXPECT_EQ(c->log_line, "Invalid record in input file");
    EXPECT_EQ(c->expected_log, c->log_line);
    EXPECT_EQ(c->stopped_at, 3);
    EXPECT_EQ(c->refused, 3);
    EXPECT_EQ(c->not_converted, 1);
    EXPECT_EQ(lines_with(*c, Fate::Refused), (std::vector<int64_t>{3, 5, 6}));
    EXPECT_NE(reason(*c, 3, Fate::Refused).find("METCONV stops here"), std::string::npos);
    EXPECT_NE(reason(*c, 5, Fate::Refused).find("day 366 does not lie in 1995"), std::string::npos);
    EXPECT_NE(reason(*c, 6, Fate::Refused).find("the file ends inside the record"), std::string::npos);
    // The block METCONV held is never written; the file is empty, as the
    // replay says.
    EXPECT_EQ(lines_with(*c, Fate::Lost), (std::vector<int64_t>{1, 2}));
    EXPECT_EQ(c->file_statements, 0);
    EXPECT_EQ(c->difference_count, 0);
    EXPECT_EQ(mark(*c, 1996, 4), DayMark::NotConverted);

    auto first = convert_and_check(fs, "\n\n", {"TP", "DF", "7"});
    EXPECT_EQ(first->records, 0);
    EXPECT_EQ(first->expected_log, "Invalid record or EOF in input file");
    EXPECT_EQ(first->log_line, first->expected_log);
}

TEST(RunCheck, AConverterThatRefusesBeforeReadingConvertsNothing) {
    common::MemoryFileSystem fs;
    auto c = convert_and_check(fs, "1996 1 1.0\n1996 2 2.0\n", {"DR", "IN", "7", "5", "24"});
    EXPECT_EQ(c->refusal, "Total hours greater than 24.");
    EXPECT_EQ(c->log_line, c->refusal);
    EXPECT_EQ(c->not_converted, 2);
    EXPECT_EQ(c->expected_statements, 0);
    EXPECT_EQ(mark(*c, 1996, 1), DayMark::NotConverted);
}

TEST(RunCheck, TheWeatherFileIsComparedFieldByFieldWithItsLines) {
    common::MemoryFileSystem fs;
    const std::string input = "1996 1 40 20\n1996 40 41 21\n";
    auto c = convert_and_check(fs, input, {"TP", "DF", "7"});
    ASSERT_EQ(c->difference_count, 0);
    const std::string tem = *fs.get("w.TEM");
    const size_t second = tem.find("\r\n", tem.find("\r\n") + 2) + 2;  // line 3: February

    // One value changed: day 1's second temperature of January.
    std::string changed = tem;
    changed.replace(changed.find(" 40 20"), 6, " 40 21");
    fs.put("w.TEM", changed);
    c = check(fs, {"w.dat", "TP", "DF", "7"});
    ASSERT_EQ(c->difference_count, 1);
    EXPECT_EQ(c->differences[0].line, 1);
    EXPECT_EQ(c->differences[0].what, "January 1996, day 1, second temperature: the input gives 20, the file holds 21");

    // February's statement missing, then a statement more than the input gives.
    fs.put("w.TEM", tem.substr(0, second));
    c = check(fs, {"w.dat", "TP", "DF", "7"});
    ASSERT_EQ(c->difference_count, 1);
    EXPECT_EQ(c->differences[0].line, 0);
    EXPECT_NE(
        c->differences[0].what.find("the file ends after line 1, where METCONV writes the statement for February 1996"),
        std::string::npos);
    fs.put("w.TEM", tem + tem.substr(second));
    c = check(fs, {"w.dat", "TP", "DF", "7"});
    ASSERT_EQ(c->difference_count, 1);
    EXPECT_EQ(c->differences[0].line, 5);

    // Another station, and a line that does not read.
    std::string other = tem;
    other.replace(0, 6, "     8");
    fs.put("w.TEM", other);
    c = check(fs, {"w.dat", "TP", "DF", "7"});
    EXPECT_EQ(c->other_station, 1);
    EXPECT_EQ(c->other_station_number, 8);
    EXPECT_EQ(c->difference_count, 0);
    std::string broken = tem;
    broken.replace(broken.find(" 40 20"), 3, " x0");
    fs.put("w.TEM", broken);
    c = check(fs, {"w.dat", "TP", "DF", "7"});
    ASSERT_EQ(c->difference_count, 1);
    EXPECT_NE(c->differences[0].what.find("does not read"), std::string::npos);
}

TEST(RunCheck, WhatIsMissingIsSaidAndTheRestShown) {
    common::MemoryFileSystem fs;
    // METCONV never ran: no log, no weather file; the values are the replay's.
    fs.put("w.dat", "1996 1 0.5\n1996 2 0.25\n");
    auto c = check(fs, {"w.dat", "ET", "IN", "7"});
    EXPECT_FALSE(c->log_found);
    EXPECT_FALSE(c->file_found);
    EXPECT_TRUE(c->input_read);
    EXPECT_EQ(c->values.statements(), 1);
    EXPECT_EQ(c->values.years().at(1996).a[1], 25);

    // The input gone after the run: the weather file's values alone.
    auto console = common::Connection::in_memory(6, "console");
    weather::run_metconv({"w.dat", "ET", "IN", "7"}, *console, {.files = &fs});
    std::string err;
    fs.remove("w.dat", err);
    c = check(fs, {"w.dat", "ET", "IN", "7"});
    EXPECT_FALSE(c->input_read);
    EXPECT_EQ(c->input_problem, "The input file w.dat does not exist");
    EXPECT_EQ(c->file_statements, 1);
    EXPECT_EQ(c->difference_count, 0);
    EXPECT_EQ(c->values.years().at(1996).a[0], 50);

    // A folder where the weather file should be.
    fs.put("w.dat", "1996 1 0.5\n");
    fs.remove("w.PET", err);
    fs.add_folder("w.PET");
    c = check(fs, {"w.dat", "ET", "IN", "7"});
    EXPECT_TRUE(c->file_found);
    EXPECT_NE(c->file_problem.find("is a folder"), std::string::npos) << c->file_problem;
}

TEST(InputLines, RecordsAreFoundOnTheLineTheyStartOn) {
    // A byte-order mark, CR LF ends, blank lines before a record, a record
    // over two lines, and a null value that keeps the value before.
    const std::string text =
        "\xEF\xBB\xBF"
        "1996 1 40 20\r\n\r\n  \r\n1996 2\r\n 41 21\r\n1996 3 42 ,\r\n";
    LineTracker lines;
    common::Connection in(10, "in", lines.track(common::memory_file(text)));
    SeriesInput series(in, lines, DataType::Temperature);
    std::vector<InputRecord> got;
    InputRecord r;
    while (series.next(r)) got.push_back(r);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].line, 1);
    EXPECT_EQ(got[0].text, "1996 1 40 20");
    EXPECT_EQ(got[1].line, 4);
    EXPECT_EQ(got[1].text, "1996 2");
    EXPECT_EQ(got[2].line, 6);
    EXPECT_EQ(got[2].value[1], 21.0f);

    // Far beyond the first chunk of the file, lines are still counted.
    std::string many;
    for (int k = 0; k < 30000; ++k) many += "2001 " + std::to_string(k % 365 + 1) + " 0.1\n";
    LineTracker more;
    common::Connection in2(10, "in", more.track(common::memory_file(many)));
    SeriesInput s2(in2, more, DataType::Evapotranspiration);
    int64_t last = 0;
    while (s2.next(r)) last = r.line;
    EXPECT_EQ(last, 30000);
    EXPECT_EQ(r.text, "2001 70 0.1");
}

TEST(Dates, SerialDaysRunWithoutAGapOverTwelveCenturies) {
    int64_t expect = serial_day(1400, 1);
    for (int32_t y = 1400; y <= 2600; ++y) {
        const int32_t n = (y % 4 == 0 && (y % 100 != 0 || y % 400 == 0)) ? 366 : 365;
        for (int32_t j = 1; j <= n; ++j, ++expect) {
            ASSERT_EQ(serial_day(y, j), expect) << y << " " << j;
            int32_t yy = 0, jj = 0;
            from_serial(expect, yy, jj);
            ASSERT_EQ(yy, y);
            ASSERT_EQ(jj, j);
        }
    }
    EXPECT_EQ(serial_day(1970, 1), 0);
    EXPECT_EQ(date_text(1996, 60), "1996-02-29");
    EXPECT_EQ(date_text(1995, 366), "1995 day 366");
    EXPECT_EQ(hour_text(1995, 172, 14), "1995-06-21 13:00-14:00");
}

}  // namespace
