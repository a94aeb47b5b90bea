// METVIEW's pages in headless Chromium: METCONV and METVIEW run in memory on
// the bundled examples and on series with planted problems (gaps of -99 and
// of absent days, a day given twice, an hour typed twice, records out of
// order, a refused record, a long series). Each page must render with its
// figures, list every planted problem on its input line and mark its day in
// the calendar strips. Pages and screenshots stay in build/screenshots/.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "browser_check.h"
#include "common/connection.h"
#include "common/file_system.h"
#include "markup_tree.h"
#include "weather/metconv.h"
#include "weatherview/metview.h"

namespace fs = std::filesystem;

namespace {

std::string read_file(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// A series built line by line, remembering where each record went.
struct Series {
    std::string text;
    int64_t lines = 0;
    int64_t add(const std::string& record) {
        text += record + "\n";
        return ++lines;
    }
};

// METCONV then METVIEW on INPUT saved as NAME.dat; the page, also written
// to the screenshot folder.
struct Made {
    std::string html;
    fs::path file;
    std::string weather_file;
};

Made make_page(const std::string& name, const std::string& input, std::vector<std::string> args) {
    common::MemoryFileSystem mem;
    mem.put(name + ".dat", input);
    args.insert(args.begin(), name + ".dat");
    auto console = common::Connection::in_memory(6, "console");
    weather::run_metconv(args, *console, {.files = &mem});
    const common::PageOutcome o = weatherview::run_metview(args, *console, mem);
    Made m;
    EXPECT_TRUE(o.page) << name;
    if (!o.page) return m;
    m.html = *mem.get(*o.page);
    for (const char* ext : {".TEM", ".PET", ".RAI"})
        if (const std::string* w = mem.get(name + ext)) m.weather_file = *w;
    fs::create_directories(SCREENSHOT_DIR);
    m.file = fs::path(SCREENSHOT_DIR) / ("metview_" + name + ".html");
    std::ofstream(m.file, std::ios::binary) << m.html;
    return m;
}

// The page checked as written and, where Chromium is installed, in it.
void check(const Made& m, const browser_check::Expectations& e) {
    if (m.html.empty()) return;
    for (const std::string& f : browser_check::check_source(m.html)) ADD_FAILURE() << m.file << ": " << f;
    for (const std::string& f : browser_check::check_dom(m.html, e)) ADD_FAILURE() << m.file << ": " << f;
    if (!browser_check::find_chromium()) return;
    fs::path shot = m.file;
    shot.replace_extension(".png");
    const auto report = browser_check::check_page(m.file, e, shot);
    EXPECT_TRUE(report.ok()) << m.file << "\n" << report.describe();
}

// The cells of the row for input line LINE in the table of records.
std::vector<std::string> record_row(const markup::Element& root, int64_t line) {
    for (const markup::Element* t :
         markup::find_all(root, [](const markup::Element& e) { return e.name == "table"; })) {
        const auto heads = markup::find_all(*t, [](const markup::Element& e) { return e.name == "th"; });
        if (heads.size() != 5 || heads[0]->all_text() != "Line") continue;
        for (const markup::Element* tr :
             markup::find_all(*t, [](const markup::Element& e) { return e.name == "tr"; })) {
            const auto cells = markup::find_all(*tr, [](const markup::Element& e) { return e.name == "td"; });
            if (cells.size() == 5 && cells[0]->all_text() == std::to_string(line)) {
                std::vector<std::string> out;
                for (const markup::Element* c : cells) out.push_back(c->all_text());
                return out;
            }
        }
    }
    return {};
}

// True when the record of LINE is listed with WHAT in "What happened".
::testing::AssertionResult listed(const markup::Element& root, int64_t line, const std::string& what) {
    const auto row = record_row(root, line);
    if (row.empty()) return ::testing::AssertionFailure() << "line " << line << " is not listed";
    if (row[3].find(what) == std::string::npos) {
        return ::testing::AssertionFailure()
               << "line " << line << " is listed as \"" << row[3] << "\" (" << row[4] << ")";
    }
    return ::testing::AssertionSuccess();
}

// True when the calendar strip marks the run of days starting on FROM as MARK.
::testing::AssertionResult marked(const markup::Element& root, const std::string& mark, const std::string& from) {
    for (const markup::Element* g : markup::find_all(root, [&](const markup::Element& e) {
             const std::string* a = e.attribute("data-from");
             return e.name == "g" && a && *a == from;
         })) {
        for (const auto& c : g->children)
            if (c->name == "rect" && c->has_classes("day " + mark)) return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "no \"" << mark << "\" mark starts on " << from;
}

// Entries of a rain file: 8 columns each after column 14 of every line.
int rain_entries(const std::string& rai) {
    int n = 0;
    std::istringstream in(rai);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 14) n += static_cast<int>((line.size() - 14) / 8);
    }
    return n;
}

// What each bundled example's page must show.
browser_check::Expectations example_expectations(const std::string& name, const Made& m) {
    browser_check::Expectations e;
    if (name == "temps") {
        // 1 January to 5 March 1996; the file holds March whole.
        e.figure_count = 2;
        e.figures = {{"monthly", 2, {{"Mean daily maximum", 3}, {"Mean daily minimum", 3}}},
                     {"daily", 2, {{"Daily maximum", 65}, {"Daily minimum", 65}}}};
        e.texts = {"Every record reached the weather file as it was typed", "1996-03-05",
                   "The ten highest daily temperatures",
                   "Temperature (\xC2\xB0"
                   "F)"};
    } else if (name == "pet") {
        // 15 November 1995 to 20 January 1996, in two years.
        e.figure_count = 3;
        e.figures = {{"monthly", 1, {{"Monthly total", 3}}},
                     {"daily", 1, {{"Daily potential ET", 67}}},
                     {"annual", 1, {{"Annual total", 2}}}};
        e.texts = {"Potential ET in the day (hundredths of an inch)", "Days from 1 January 1995", "1996-01-20"};
    } else if (name == "hourly") {
        // Readings every 15 minutes on three days, summed by hour.
        e.figure_count = 2;
        e.figures = {{"monthly", 1, {{"Monthly total", 2}}},
                     {"hourly", 1, {{"Hourly rain", rain_entries(m.weather_file)}}}};
        e.texts = {"Rain in the hour (hundredths of an inch)", "The ten largest hourly amounts", "summed into hour"};
    } else if (name == "daily") {
        e.figure_count = 2;
        e.figures = {{"monthly", 1, {{"Monthly total", 3}}}, {"daily", 1, {}}};
        e.texts = {"The ten largest daily rains", "over 5 hours from hour 20"};
    }
    e.texts.push_back("1. The series");
    return e;
}

TEST(MetviewPages, TheBundledExamples) {
    const fs::path dir = fs::path(EXAMPLES_DIR) / "weather";
    std::istringstream commands(read_file(dir / "COMMANDS"));
    int pages = 0;
    for (std::string line; std::getline(commands, line);) {
        std::istringstream words(line);
        std::vector<std::string> args;
        for (std::string w; words >> w;) args.push_back(w);
        if (args.empty() || args[0][0] == '#') continue;
        const std::string file = args[0];
        const std::string name = file.substr(0, file.find('.'));
        args.erase(args.begin());
        const Made m = make_page(name, read_file(dir / file), args);
        check(m, example_expectations(name, m));
        ++pages;
        if (name == "daily") {
            // One day with -99, at line 40.
            const markup::Tree t = markup::parse(m.html, true);
            EXPECT_TRUE(listed(t.root, 40, "missing value"));
            EXPECT_TRUE(marked(t.root, "missing", "1996-02-09"));
        }
    }
    EXPECT_GE(pages, 4);
}

TEST(MetviewPages, TemperaturesWithGapsADayTwiceAndADayOutOfOrder) {
    Series s;
    int64_t missing = 0, stray = 0, first30 = 0, again30 = 0;
    for (int d = 1; d <= 60; ++d) {
        if (d >= 20 && d <= 24) continue;  // five days absent
        if (d == 10) {
            missing = s.add("1996 10 -99 -99");
            continue;
        }
        const int64_t at = s.add("1996 " + std::to_string(d) + " " + std::to_string(40 + d % 7) + ".5 " +
                                 std::to_string(20 + d % 5) + ".0");
        if (d == 15) stray = s.add("1996 340 45.0 30.0");
        if (d == 30) {
            first30 = at;
            again30 = s.add("1996 30 50.0 31.0");
        }
    }
    const Made m = make_page("planted_tp", s.text, {"TP", "DF", "7"});
    browser_check::Expectations e;
    // The day out of order is written: its block runs from January to December.
    e.figures = {{"monthly", 2, {{"Mean daily maximum", 3}}}, {"daily", 2, {{"Daily maximum", 55}}}};
    e.texts = {"1996-01-20", "1996-01-24", "replaced by line " + std::to_string(again30)};
    check(m, e);
    const markup::Tree t = markup::parse(m.html, true);
    ASSERT_TRUE(t.error.empty()) << t.error;
    EXPECT_TRUE(listed(t.root, missing, "missing value"));
    EXPECT_TRUE(listed(t.root, stray, "out of order"));
    EXPECT_FALSE(listed(t.root, stray, "replaced"));
    EXPECT_TRUE(listed(t.root, first30, "replaced"));
    EXPECT_TRUE(marked(t.root, "missing", "1996-01-10"));
    EXPECT_TRUE(marked(t.root, "absent", "1996-01-20"));
    EXPECT_TRUE(marked(t.root, "changed", "1996-12-05"));
    EXPECT_TRUE(marked(t.root, "changed", "1996-01-30"));
}

TEST(MetviewPages, HourlyRainWithAnHourTypedTwiceAndGaps) {
    Series s;
    int64_t twice = 0, code = 0, back = 0;
    for (int d : {100, 101, 103}) {  // day 102 without a reading
        for (int h = 1; h <= 24; ++h) {
            char t[16];
            std::snprintf(t, sizeof t, "%.5f", d + h / 24.0);
            s.add("1997 " + std::string(t) + " 0.01");
            if (d == 100 && h == 5) twice = s.add("1997 " + std::string(t) + " 0.01");
            if (d == 101 && h == 9) code = s.add("1997 101.39583 150");  // 09:30, the hour after
            if (d == 103 && h == 12) back = s.add("1997 103.125 0.02");  // 03:00, hours before
        }
    }
    const Made m = make_page("planted_hr", s.text, {"HR", "IN", "7"});
    browser_check::Expectations e;
    e.figures = {{"monthly", 1, {{"Monthly total", 1}}},
                 {"hourly", 1, {{"Hourly rain", rain_entries(m.weather_file) - 1}}}};
    e.texts = {"1997-04-12", "the same time as line " + std::to_string(twice - 1)};
    check(m, e);
    const markup::Tree t = markup::parse(m.html, true);
    EXPECT_TRUE(listed(t.root, twice, "typed twice?"));
    EXPECT_TRUE(listed(t.root, code, "too large"));
    EXPECT_TRUE(listed(t.root, back, "out of order"));
    EXPECT_TRUE(listed(t.root, back, "written twice"));
    EXPECT_TRUE(marked(t.root, "changed", "1997-04-10"));
    EXPECT_TRUE(marked(t.root, "absent", "1997-04-12"));
}

TEST(MetviewPages, DailyRainWithADayTwiceAndADayOutOfOrder) {
    Series s;
    int64_t twice = 0, stray = 0, code = 0;
    for (int d = 1; d <= 40; ++d) {
        if (d == 25) continue;
        s.add("1996 " + std::to_string(d) + (d % 3 == 0 ? " 5.0" : " 0.0"));
        if (d == 6) twice = s.add("1996 6 5.0");
        if (d == 10) stray = s.add("1996 340 12.0");
        if (d == 30) code = s.add("1996 31 -99");
    }
    const Made m = make_page("planted_dr", s.text, {"DR", "MM", "7", "4", "8"});
    browser_check::Expectations e;
    e.figures = {{"monthly", 1, {}}, {"daily", 1, {}}};
    e.texts = {"the day was given before, at line " + std::to_string(twice - 1), "1996-01-25"};
    check(m, e);
    const markup::Tree t = markup::parse(m.html, true);
    EXPECT_TRUE(listed(t.root, twice, "written twice"));
    EXPECT_TRUE(listed(t.root, stray, "out of order"));
    EXPECT_TRUE(listed(t.root, code, "missing value"));
    EXPECT_TRUE(marked(t.root, "changed", "1996-01-06"));
    EXPECT_TRUE(marked(t.root, "changed", "1996-12-05"));
    EXPECT_TRUE(marked(t.root, "absent", "1996-01-25"));
}

TEST(MetviewPages, ARunThatStopsAtARefusedRecord) {
    Series s;
    for (int d = 1; d <= 20; ++d) s.add("1995 " + std::to_string(d) + " 0.1" + std::to_string(d % 10));
    const int64_t bad = s.add("1995 21 0.1O");
    for (int d = 22; d <= 30; ++d) s.add("1995 " + std::to_string(d) + " 0.12");
    const Made m = make_page("planted_stop", s.text, {"ET", "IN", "7"});
    browser_check::Expectations e;
    e.figure_count = 0;
    e.texts = {"Run failed", "Invalid record in input file", "METCONV stops at line " + std::to_string(bad)};
    check(m, e);
    const markup::Tree t = markup::parse(m.html, true);
    EXPECT_TRUE(listed(t.root, bad, "refused"));
    EXPECT_TRUE(listed(t.root, 1, "not written"));
    EXPECT_TRUE(marked(t.root, "not-converted", "1995-01-22"));
}

TEST(MetviewPages, TwentyYearsOfHourlyRainStayASmallPage) {
    // Every full hour, and a second reading at the half hour in one hour of
    // four: 190,000 hours and 48,000 readings summed.
    Series s;
    for (int y = 1981; y <= 2000; ++y) {
        const int days = (y % 4 == 0) ? 366 : 365;
        for (int d = 1; d <= days; ++d) {
            for (int h = 1; h <= 24; ++h) {
                char t[64];
                const int rain = (d * 7 + h * 13 + y) % 17 == 0 ? (d + h) % 9 : 0;
                if ((d + h) % 4 == 0) {
                    std::snprintf(t, sizeof t, "%d %.5f 0.01", y, d + (h - 0.5) / 24.0);
                    s.add(t);
                }
                std::snprintf(t, sizeof t, "%d %.5f 0.0%d", y, d + h / 24.0, rain);
                s.add(t);
            }
        }
    }
    const Made m = make_page("long_hr", s.text, {"HR", "IN", "7"});
    EXPECT_LT(m.html.size(), 2u << 20);
    browser_check::Expectations e;
    e.figure_count = 3;
    e.figures = {{"monthly", 1, {{"Monthly total", 240}}}, {"hourly", 1, {}}, {"annual", 1, {{"Annual total", 20}}}};
    e.texts = {"Only the first 200 records of each kind are listed", "each point stands for 11 days",
               "Largest hourly rain of each day"};
    check(m, e);
}

}  // namespace
