// Whole METVIEW runs on files in memory: the arguments answered as METCONV
// answers them, --help and --version, the page's name and its writing, and
// METCONV's files left as they were.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <string>
#include <vector>

#include "common/connection.h"
#include "common/file_system.h"
#include "common/fixed_text.h"
#include "weather/messages.h"
#include "weather/metconv.h"
#include "weatherview/metview.h"

namespace {

struct Ran {
    common::PageOutcome outcome;
    std::string console;
};

Ran metview_run(common::MemoryFileSystem& fs, const std::vector<std::string>& args) {
    auto console = common::Connection::in_memory(6, "console");
    Ran r{weatherview::run_metview(args, *console, fs), console->memory()};
    return r;
}

std::string metconv_log(common::MemoryFileSystem& fs, const std::vector<std::string>& args) {
    auto console = common::Connection::in_memory(6, "console");
    const common::RunOutcome o = weather::run_metconv(args, *console, {.files = &fs});
    return o.log_line ? std::string(common::trim_right(*o.log_line)) : std::string();
}

TEST(MetviewRun, UsageHelpAndVersionTouchNoFile) {
    common::MemoryFileSystem fs;
    Ran r = metview_run(fs, {"w.dat", "TP", "DF"});
    ASSERT_EQ(r.outcome.console.size(), 18u);
    EXPECT_EQ(r.outcome.console[0], " USAGE: METVIEW <INFILE> <TYPE> <UNITS> <STA> <NHR> <BEGHR>");
    EXPECT_EQ(r.outcome.console[3], "             TP - Temperature");
    EXPECT_EQ(r.outcome.console.back(), "Stop - Program terminated.");
    EXPECT_FALSE(r.outcome.page);

    r = metview_run(fs, {"--help"});
    EXPECT_EQ(r.outcome.console.size(), 17u);
    EXPECT_EQ(r.outcome.console[0], " USAGE: METVIEW <INFILE> <TYPE> <UNITS> <STA> <NHR> <BEGHR>");
    r = metview_run(fs, {"--version"});
    EXPECT_EQ(r.console, "METVIEW (drainprep) 1.0.0\r\n");
    EXPECT_TRUE(fs.names().empty());
}

TEST(MetviewRun, BadArgumentsGetMetconvsOwnLines) {
    common::MemoryFileSystem fs;
    fs.put("w.dat", "1996 1 1.0\n");
    const std::vector<std::vector<std::string>> cases = {
        {"w.dat", "TP", "DF", "abc"}, {"w.dat", "DR", "IN", "7"}, {"w.dat", "DR", "IN", "7", "5", "x"},
        {"w.dat", "XX", "IN", "7"},   {"w.dat", "ET", "KG", "7"}, {"w.RAI", "HR", "IN", "7"},
        {"w.LOG", "HR", "IN", "7"},
    };
    for (const auto& args : cases) {
        if (args[0] != "w.dat") fs.put(args[0], "1996 1.5 1.0\n");
        const Ran r = metview_run(fs, args);
        // METCONV says it in its log, or on the console when the log would
        // be the input.
        auto console = common::Connection::in_memory(6, "console");
        const common::RunOutcome o = weather::run_metconv(args, *console, {.files = &fs});
        const std::string line = o.log_line ? std::string(common::trim_right(*o.log_line)) : o.console.at(0);
        ASSERT_EQ(r.outcome.console.size(), 2u) << line;
        EXPECT_EQ(r.outcome.console[0], line);
        EXPECT_EQ(r.outcome.console[1], "No page written.");
        EXPECT_FALSE(r.outcome.page);
        for (const std::string& name : fs.names()) EXPECT_EQ(name.find(".html"), std::string::npos) << name;
    }
}

TEST(MetviewRun, ThePageStandsBesideTheWeatherFileAndChangesNothing) {
    EXPECT_EQ(weatherview::page_name("w.RAI"), "w.RAI.html");
    EXPECT_EQ(weatherview::page_name("data/st12.TEM"), "data/st12.TEM.html");
    EXPECT_EQ(weatherview::page_name("RAI"), "RAI.html");
    EXPECT_EQ(weatherview::page_name("v1.5/RAI"), "v1.5/RAI.html");
    // A site's weather pages and its soil page (site07.html) are apart.
    EXPECT_NE(weatherview::page_name("site07.RAI"), weatherview::page_name("site07.TEM"));
    EXPECT_NE(weatherview::page_name("site07.PET"), "site07.html");

    common::MemoryFileSystem fs;
    fs.put("data/st12.2024.dat", "1996 1 40 20\n1996 2 41 21\n");
    const std::vector<std::string> args{"data/st12.2024.dat", "tp", "df", "12345"};
    metconv_log(fs, args);
    const std::vector<std::string> before = fs.names();
    const std::string tem = *fs.get("data/st12.TEM"), log = *fs.get("data/st12.LOG");
    const Ran r = metview_run(fs, args);
    ASSERT_TRUE(r.outcome.page);
    EXPECT_EQ(*r.outcome.page, "data/st12.TEM.html");
    EXPECT_EQ(r.outcome.console, std::vector<std::string>{"Page written: data/st12.TEM.html"});
    EXPECT_EQ(*fs.get("data/st12.TEM"), tem);
    EXPECT_EQ(*fs.get("data/st12.LOG"), log);
    EXPECT_EQ(*fs.get("data/st12.2024.dat"), "1996 1 40 20\n1996 2 41 21\n");
    std::vector<std::string> after = fs.names();
    after.erase(std::find(after.begin(), after.end(), "data/st12.TEM.html"));
    EXPECT_EQ(after, before);
    const std::string& page = *fs.get("data/st12.TEM.html");
    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(page.find("station 12345"), std::string::npos);
}

TEST(MetviewRun, APageThatCannotBeWrittenLeavesNothing) {
    common::MemoryFileSystem fs;
    fs.put("w.dat", "1996 1 1.0\n");
    fs.add_folder("w.PET.html");
    Ran r = metview_run(fs, {"w.dat", "ET", "IN", "7"});
    ASSERT_EQ(r.outcome.console.size(), 2u);
    EXPECT_EQ(r.outcome.console[0].rfind("ERROR: Cannot write file w.PET.html: ", 0), 0u) << r.outcome.console[0];
    EXPECT_FALSE(r.outcome.page);

    // An input named like the page is never replaced by it.
    fs.put("p.PET.html", "1996 1 1.0\n");
    r = metview_run(fs, {"p.PET.html", "ET", "IN", "7"});
    EXPECT_EQ(r.outcome.console[0], "ERROR: Input file p.PET.html would be replaced by the page p.PET.html");
    EXPECT_EQ(*fs.get("p.PET.html"), "1996 1 1.0\n");
}

TEST(MetviewRun, AYearTypedFarAwayNeitherHangsNorStretchesThePage) {
    common::MemoryFileSystem fs;
    fs.put("w.dat", "1996 1 0.1\n2000000000 1 0.1\n1996 2 0.1\n");
    for (bool converted : {false, true}) {
        if (converted) metconv_log(fs, {"w.dat", "ET", "IN", "7"});
        const Ran r = metview_run(fs, {"w.dat", "ET", "IN", "7"});
        ASSERT_TRUE(r.outcome.page);
        const std::string& page = *fs.get("w.PET.html");
        EXPECT_LT(page.size(), 200000u);
        EXPECT_NE(page.find("out of time order"), std::string::npos);
        EXPECT_NE(page.find("data-year=\"2000000000\""), std::string::npos);
    }
}

TEST(MetviewRun, FailedAndMissingRunsAreSaidOnThePage) {
    common::MemoryFileSystem fs;
    fs.put("w.dat", "1996 1 1.0\n1996 x 2.0\n");
    metconv_log(fs, {"w.dat", "ET", "IN", "7"});
    Ran r = metview_run(fs, {"w.dat", "ET", "IN", "7"});
    ASSERT_TRUE(r.outcome.page);
    std::string page = *fs.get("w.PET.html");
    EXPECT_NE(page.find("Run failed:</strong> METCONV's run failed"), std::string::npos);
    EXPECT_NE(page.find("Invalid record in input file"), std::string::npos);

    // No run at all: neither log nor weather file.
    fs.put("n.dat", "1996 1 1.0\n");
    r = metview_run(fs, {"n.dat", "ET", "IN", "7"});
    ASSERT_TRUE(r.outcome.page);
    page = *fs.get("n.PET.html");
    EXPECT_NE(page.find("n.PET is missing and so is METCONV's log n.LOG"), std::string::npos);

    // A run still at work.
    fs.put("n.LOG", std::string(weather::msg::kUnfinished) + "\r\n");
    r = metview_run(fs, {"n.dat", "ET", "IN", "7"});
    EXPECT_NE(fs.get("n.PET.html")->find("did not finish"), std::string::npos);
}

// A tampered log's control bytes, DEL among them, never reach the page.
TEST(MetviewRun, ControlBytesOfATamperedLogAreEscaped) {
    common::MemoryFileSystem fs;
    fs.put("w.dat", "1996 1 1.0\n1996 2 2.0\n");
    metconv_log(fs, {"w.dat", "ET", "IN", "7"});
    fs.put("w.LOG", "*NOERROR\x7F\x1B[2J\x01" + std::string(240, ' ') + "\r\n");
    ASSERT_TRUE(metview_run(fs, {"w.dat", "ET", "IN", "7"}).outcome.page);
    const std::string& page = *fs.get("w.PET.html");
    for (char c : {'\x7F', '\x1B', '\x01'}) EXPECT_EQ(page.find(c), std::string::npos) << int(c);
    EXPECT_NE(page.find("*NOERROR\xEF\xBF\xBD"), std::string::npos);  // shown as U+FFFD
}

// While METCONV holds its log, the page checks none of its files.
TEST(MetviewRun, ARunInProgressIsSaidAndNotChecked) {
    namespace stdfs = std::filesystem;
    const stdfs::path dir = stdfs::temp_directory_path() / ("metview_busy_" + std::to_string(::getpid()));
    stdfs::create_directories(dir);
    std::ofstream(dir / "w.dat", std::ios::binary) << "1996 1 1.0\n1996 2 2.0\n";
    std::string err;
    auto run_log = common::disk().open_log((dir / "w.LOG").string(), err);
    ASSERT_NE(run_log, nullptr) << err;
    auto console = common::Connection::in_memory(6, "console");
    const std::vector<std::string> args = {(dir / "w.dat").string(), "ET", "IN", "7"};
    ASSERT_TRUE(weatherview::run_metview(args, *console, common::disk(), 0).page);
    std::ifstream page(dir / "w.PET.html", std::ios::binary);
    const std::string html{std::istreambuf_iterator<char>(page), {}};
    EXPECT_NE(html.find("METCONV is running on these files now"), std::string::npos);
    EXPECT_EQ(html.find("is missing"), std::string::npos);  // the run's files were not looked at
    run_log.reset();
    stdfs::remove_all(dir);
}

}  // namespace
