// Whole METCONV runs in-process on files in a temporary directory: file
// naming, the log line and console line, and the driver's rejections.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "common/connection.h"
#include "weather/metconv.h"

namespace fs = std::filesystem;
using metconv::Outcome;

namespace {

std::string read_file(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

void write_file(const fs::path& p, const std::string& text) {
    std::ofstream f(p, std::ios::binary);
    f << text;
}

std::string padded(const std::string& s) { return s + std::string(256 - s.size(), ' '); }

class MetconvRun : public ::testing::Test {
protected:
    void SetUp() override {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir_ = fs::temp_directory_path() / ("metconv_run_" + std::to_string(::getpid()) + "_" + std::to_string(stamp));
        fs::create_directories(dir_);
        old_cwd_ = fs::current_path();
    }
    void TearDown() override {
        fs::current_path(old_cwd_);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    Outcome run(const std::vector<std::string>& args) {
        auto console = common::Connection::in_memory(6, "console");
        Outcome o = metconv::run_metconv(args, *console);
        console_text_ = console->memory();
        return o;
    }
    // The whole log file, which must be the one 256-column line.
    std::string log_text(const std::string& name) const { return read_file(dir_ / name); }

    fs::path dir_, old_cwd_;
    std::string console_text_;
};

TEST_F(MetconvRun, NamesBesideTheInputAndTheOneLogLine) {
    write_file(dir_ / "weather.dat", "1996 1 30 50\n");
    Outcome o = run({path("weather.dat"), "tpx", "dFx", "1234567"});
    ASSERT_TRUE(o.log_line);
    EXPECT_EQ(*o.log_line, padded("*NOERROR: Program terminated normally"));
    EXPECT_EQ(log_text("weather.LOG"), padded("*NOERROR: Program terminated normally") + "\r\n");
    EXPECT_EQ(o.console, std::vector<std::string>{"Program terminated normally."});
    EXPECT_EQ(console_text_, "Program terminated normally.\r\n");
    // The station number is read from the first six characters only.
    const std::string tem = read_file(dir_ / "weather.TEM");
    EXPECT_EQ(tem.substr(0, 29), "123456 1996 1      30 50-99-9");
    EXPECT_EQ(read_file(dir_ / "weather.dat"), "1996 1 30 50\n");
}

TEST_F(MetconvRun, CutAtTheFirstDotOfTheWholePath) {
    fs::current_path(dir_);
    write_file(dir_ / "a.b.c", "1990 1 0.1\n");
    run({"a.b.c", "ET", "in", "1"});
    EXPECT_TRUE(fs::exists(dir_ / "a.PET"));
    EXPECT_TRUE(fs::exists(dir_ / "a.LOG"));
    write_file(dir_ / "series", "1990 1.5 0.1\n");
    Outcome o = run({"series", "HR", "IN", "1"});
    EXPECT_EQ(o.console, std::vector<std::string>{"Program terminated normally."});
    EXPECT_EQ(read_file(dir_ / "RAI"), "     1 1990 1  112  10\r\n");
    EXPECT_TRUE(fs::exists(dir_ / "LOG"));
}

TEST_F(MetconvRun, UsageWithFewerThanFourArguments) {
    fs::current_path(dir_);
    Outcome o = run({"x.dat", "TP", "DF"});
    EXPECT_FALSE(o.log_line);
    ASSERT_EQ(o.console.size(), 17u);
    EXPECT_EQ(o.console[0], " USAGE: METCONV <INFILE> <TYPE> <UNITS> <STA> <NHR> <BEGHR>");
    EXPECT_EQ(o.console[1], " where  <INFILE>   - Input filename");
    EXPECT_EQ(o.console[3], "             TP - Temperature");
    EXPECT_EQ(o.console[14], "        <NHR>      - Hours to distribute day rain");
    EXPECT_EQ(o.console[15], "        <BEGHR>    - Beginning hour");
    EXPECT_EQ(o.console[16], "Stop - Program terminated.");
    EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(MetconvRun, DailyRainChecksAndArgumentsThatDoNotRead) {
    write_file(dir_ / "d.dat", "1990 1 1\n");
    Outcome o = run({path("d.dat"), "DR", "IN", "7", "2", "24"});
    EXPECT_EQ(*o.log_line, padded("Total hours greater than 24."));
    EXPECT_EQ(o.console, std::vector<std::string>{"ERROR detected check logfile."});
    fs::remove(dir_ / "d.RAI");

    o = run({path("d.dat"), "DR", "IN", "12a"});
    EXPECT_EQ(*o.log_line, padded("ERROR: Argument <STA> does not read as an integer: 12a"));
    o = run({path("d.dat"), "DR", "IN", "7"});
    EXPECT_EQ(*o.log_line, padded("ERROR: Argument <NHR> is missing for data type DR"));
    o = run({path("d.dat"), "DR", "IN", "7", "5"});
    EXPECT_EQ(*o.log_line, padded("ERROR: Argument <BEGHR> is missing for data type DR"));
    o = run({path("d.dat"), "DR", "IN", "7", "5", "x"});
    EXPECT_EQ(*o.log_line, padded("ERROR: Argument <BEGHR> does not read as an integer: x"));
    o = run({path("d.dat"), "DR", "IN", "7", ",", "1"});
    EXPECT_EQ(*o.log_line, padded("ERROR: Argument <NHR> does not read as an integer: ,"));
    EXPECT_EQ(o.console, std::vector<std::string>{"ERROR detected check logfile."});
    EXPECT_FALSE(fs::exists(dir_ / "d.RAI"));
    // NHR and BEGHR are read for DR only; free-form reading takes "5,x" as 5.
    o = run({path("d.dat"), "DR", "IN", "7", "5,x", "20"});
    EXPECT_EQ(*o.log_line, padded("*NOERROR: Program terminated normally"));
    o = run({path("d.dat"), "HR", "IN", "7", "bad", "bad"});
    EXPECT_EQ(*o.log_line, padded("*NOERROR: Program terminated normally"));
}

TEST_F(MetconvRun, UnknownTypeAndUnitsCreateNoOutput) {
    write_file(dir_ / "w.dat", "1990 1 1\n");
    Outcome o = run({path("w.dat"), "XY", "IN", "7"});
    EXPECT_EQ(*o.log_line, padded("ERROR: Data type \"XY\" names no converter (TP, ET, HR or DR)"));
    EXPECT_EQ(o.console, std::vector<std::string>{"ERROR detected check logfile."});
    EXPECT_FALSE(fs::exists(dir_ / "w."));
    o = run({path("w.dat"), "H", "IN", "7"});
    EXPECT_EQ(*o.log_line, padded("ERROR: Data type \"H \" names no converter (TP, ET, HR or DR)"));

    for (const char* type : {"ET", "HR", "DR"}) {
        o = run({path("w.dat"), type, "ft", "7", "1", "1"});
        EXPECT_EQ(*o.log_line,
                  padded(std::string("ERROR: Units \"FT\" are not known for data type ") + type + " (IN, CM or MM)"));
        EXPECT_FALSE(fs::exists(dir_ / "w.PET"));
        EXPECT_FALSE(fs::exists(dir_ / "w.RAI"));
    }
    // Temperatures take every unit other than DF as degrees C.
    o = run({path("w.dat"), "TP", "ft", "7"});
    EXPECT_EQ(*o.log_line, padded("Invalid record or EOF in input file"));
}

TEST_F(MetconvRun, MissingInputIsReportedAndNothingCreated) {
    Outcome o = run({path("none.dat"), "TP", "DF", "7"});
    EXPECT_EQ(*o.log_line, padded("ERROR: Cannot open file " + path("none.dat") + ": No such file or directory"));
    EXPECT_EQ(o.console, std::vector<std::string>{"ERROR detected check logfile."});
    EXPECT_FALSE(fs::exists(dir_ / "none.dat"));
    EXPECT_FALSE(fs::exists(dir_ / "none.TEM"));
}

TEST_F(MetconvRun, InputNeverReplacedByOutputOrLog) {
    write_file(dir_ / "rain.RAI", "1990 1.5 0.1\n");
    Outcome o = run({path("rain.RAI"), "HR", "IN", "7"});
    EXPECT_EQ(*o.log_line, padded("ERROR: Input file " + path("rain.RAI") + " would be replaced by the output file " +
                                  path("rain.RAI")));
    EXPECT_EQ(o.console, std::vector<std::string>{"ERROR detected check logfile."});
    EXPECT_EQ(read_file(dir_ / "rain.RAI"), "1990 1.5 0.1\n");

    write_file(dir_ / "station.LOG", "1990 1 1 2\n");
    o = run({path("station.LOG"), "TP", "DF", "7"});
    EXPECT_FALSE(o.log_line);
    EXPECT_EQ(o.console, std::vector<std::string>{"ERROR: Input file " + path("station.LOG") +
                                                  " would be replaced by the log file " + path("station.LOG")});
    EXPECT_EQ(read_file(dir_ / "station.LOG"), "1990 1 1 2\n");
    EXPECT_FALSE(fs::exists(dir_ / "station.TEM"));

    // The same file under another name: the output name is a link to the input.
    fs::create_directories(dir_ / "sub");
    write_file(dir_ / "sub" / "h.RAI", "1990 1.5 0.1\n");
    fs::create_symlink(dir_ / "sub" / "h.RAI", dir_ / "g.dat");
    o = run({path("g.dat"), "HR", "IN", "7"});
    EXPECT_EQ(*o.log_line, padded("*NOERROR: Program terminated normally"));
    fs::remove(dir_ / "g.RAI");
    fs::create_symlink(dir_ / "g.dat", dir_ / "g.RAI");
    o = run({path("g.dat"), "HR", "IN", "7"});
    EXPECT_NE(o.log_line->find("would be replaced by the output file"), std::string::npos);
    EXPECT_EQ(read_file(dir_ / "sub" / "h.RAI"), "1990 1.5 0.1\n");
}

TEST_F(MetconvRun, LogThatCannotBeOpenedIsToldOnTheConsole) {
    write_file(dir_ / "t.dat", "1990 1 1 2\n");
    fs::create_directories(dir_ / "t.LOG");
    Outcome o = run({path("t.dat"), "TP", "DF", "7"});
    EXPECT_FALSE(o.log_line);
    EXPECT_EQ(o.console, std::vector<std::string>{"ERROR: Cannot open log file " + path("t.LOG") + ": Is a directory"});
    EXPECT_FALSE(fs::exists(dir_ / "t.TEM"));
}

TEST_F(MetconvRun, OutputOfAnEarlierRunIsReplacedEvenWhenNothingIsWritten) {
    write_file(dir_ / "dry.dat", "1990 1 0\n1990 2 0\n");
    write_file(dir_ / "dry.RAI", "     7 1990 1  120  10\r\n");
    Outcome o = run({path("dry.dat"), "DR", "IN", "7", "1", "20"});
    EXPECT_EQ(*o.log_line, padded("*NOERROR: Program terminated normally"));
    EXPECT_EQ(read_file(dir_ / "dry.RAI"), "");
    // A longer log of an earlier run is replaced too.
    write_file(dir_ / "dry.LOG", std::string(1000, 'x'));
    run({path("dry.dat"), "DR", "IN", "7", "1", "20"});
    EXPECT_EQ(read_file(dir_ / "dry.LOG").size(), 258u);
}

TEST_F(MetconvRun, ExamplesConvertToTheirLayouts) {
    // Every line of every weather file has the width its layout gives.
    std::ifstream commands(std::string(EXAMPLES_DIR) + "/weather/COMMANDS");
    std::string line;
    int runs = 0;
    while (std::getline(commands, line)) {
        std::istringstream words(line);
        std::vector<std::string> args;
        for (std::string w; words >> w;) args.push_back(w);
        if (args.empty()) continue;
        fs::copy_file(std::string(EXAMPLES_DIR) + "/weather/" + args[0], dir_ / args[0]);
        const std::string stem = args[0].substr(0, args[0].find('.'));
        args[0] = path(args[0]);
        Outcome o = run(args);
        ASSERT_EQ(*o.log_line, padded("*NOERROR: Program terminated normally")) << line;
        const std::string ext = args[1] == "TP" ? "TEM" : args[1] == "ET" ? "PET" : "RAI";
        std::istringstream out(read_file(dir_ / (stem + "." + ext)));
        int n = 0;
        for (std::string rec; std::getline(out, rec); ++n) {
            ASSERT_EQ(rec.back(), '\r');
            const size_t w = rec.size() - 1;
            bool fits = false;
            if (ext == "TEM") fits = n % 2 == 0 ? w == 102 : (w >= 84 && w <= 102 && w % 6 == 0);
            if (ext == "PET") fits = n % 2 == 0 ? w == 72 : (w >= 56 && w <= 68 && w % 4 == 0);
            if (ext == "RAI") fits = w >= 22 && w <= 110 && (w - 14) % 8 == 0;
            EXPECT_TRUE(fits) << rec;
        }
        EXPECT_GT(n, 1) << line;
        ++runs;
    }
    EXPECT_EQ(runs, 4);
}

}  // namespace
