// Whole METCONV runs in-process on files in memory: file naming, the log
// line and console line, and the driver's rejections beyond the table of
// bad inputs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/connection.h"
#include "common/file_system.h"
#include "weather/metconv.h"

namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::string>;

std::string read_file(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

std::string padded(const std::string& s) {
    return s + std::string(256 - s.size(), ' ');
}

const std::string kNormal = padded("*NOERROR: Program terminated normally");
const Names kError = {"ERROR detected check logfile."};

class MetconvRun : public ::testing::Test {
  protected:
    // Runs METCONV on the files in memory; the log line, or "(no log)".
    std::string run(const Names& args) {
        auto console = common::Connection::in_memory(6, "console");
        out_ = weather::run_metconv(args, *console, {.files = &fs_});
        console_text_ = console->memory();
        return out_.log_line.value_or("(no log)");
    }
    std::string file(const std::string& name) const {
        const std::string* text = fs_.get(name);
        return text ? *text : "(no file)";
    }

    common::MemoryFileSystem fs_;
    common::RunOutcome out_;
    std::string console_text_;
};

TEST_F(MetconvRun, NamesBesideTheInputAndTheOneLogLine) {
    fs_.put("d/weather.dat", "1996 1 30 50\n");
    EXPECT_EQ(run({"d/weather.dat", "tpx", "dFx", "1234567"}), kNormal);
    EXPECT_EQ(file("d/weather.LOG"), kNormal + "\r\n");
    EXPECT_EQ(out_.console, Names{"Program terminated normally."});
    EXPECT_EQ(console_text_, "Program terminated normally.\r\n");
    // The station number is read from the first six characters only.
    EXPECT_EQ(file("d/weather.TEM").substr(0, 29), "123456 1996 1      30 50-99-9");
    EXPECT_EQ(file("d/weather.dat"), "1996 1 30 50\n");
}

TEST_F(MetconvRun, CutsTheFileNameAtItsFirstDotAndKeepsTheFolder) {
    fs_.put("a.b.c", "1990 1 0.1\n");
    fs_.put("series", "1990 1.5 0.1\n");
    fs_.put("v1.2/rain.dat", "1990 1.5 0.1\n");
    run({"a.b.c", "ET", "in", "1"});
    EXPECT_EQ(run({"series", "HR", "IN", "1"}), kNormal);
    EXPECT_EQ(file("RAI"), "     1 1990 1  112  10\r\n");
    EXPECT_EQ(run({"v1.2/rain.dat", "HR", "IN", "1"}), kNormal);
    EXPECT_EQ(fs_.names(), (Names{"LOG", "RAI", "a.LOG", "a.PET", "a.b.c", "series", "v1.2/rain.LOG", "v1.2/rain.RAI",
                                  "v1.2/rain.dat"}));
}

TEST_F(MetconvRun, UsageWithFewerThanFourArguments) {
    EXPECT_EQ(run({"x.dat", "TP", "DF"}), "(no log)");
    ASSERT_EQ(out_.console.size(), 17u);
    EXPECT_EQ(out_.console[0], " USAGE: METCONV <INFILE> <TYPE> <UNITS> <STA> <NHR> <BEGHR>");
    EXPECT_EQ(out_.console[1], " where  <INFILE>   - Input filename");
    EXPECT_EQ(out_.console[3], "             TP - Temperature");
    EXPECT_EQ(out_.console[14], "        <NHR>      - Hours to distribute day rain");
    EXPECT_EQ(out_.console[15], "        <BEGHR>    - Beginning hour");
    EXPECT_EQ(out_.console[16], "Stop - Program terminated.");
    EXPECT_TRUE(fs_.names().empty());
}

TEST_F(MetconvRun, DailyRainArgumentsThatDoNotRead) {
    fs_.put("d.dat", "1990 1 1\n");
    EXPECT_EQ(run({"d.dat", "DR", "IN", "12a"}), padded("ERROR: Argument <STA> does not read as an integer: 12a"));
    EXPECT_EQ(run({"d.dat", "DR", "IN", "7", "5"}), padded("ERROR: Argument <BEGHR> is missing for data type DR"));
    EXPECT_EQ(run({"d.dat", "DR", "IN", "7", "5", "x"}),
              padded("ERROR: Argument <BEGHR> does not read as an integer: x"));
    EXPECT_EQ(run({"d.dat", "DR", "IN", "7", ",", "1"}),
              padded("ERROR: Argument <NHR> does not read as an integer: ,"));
    EXPECT_EQ(out_.console, kError);
    EXPECT_EQ(fs_.names(), (Names{"d.LOG", "d.dat"}));
    // NHR and BEGHR are read for DR only; free-form reading takes "5,x" as 5.
    EXPECT_EQ(run({"d.dat", "DR", "IN", "7", "5,x", "20"}), kNormal);
    EXPECT_EQ(run({"d.dat", "HR", "IN", "7", "bad", "bad"}), kNormal);
}

TEST_F(MetconvRun, UnknownTypeAndUnitsCreateNoOutput) {
    fs_.put("w.dat", "1990 1 1\n");
    EXPECT_EQ(run({"w.dat", "XY", "IN", "7"}), padded("ERROR: Data type \"XY\" names no converter (TP, ET, HR or DR)"));
    EXPECT_EQ(out_.console, kError);
    EXPECT_EQ(run({"w.dat", "H", "IN", "7"}), padded("ERROR: Data type \"H \" names no converter (TP, ET, HR or DR)"));
    for (const char* type : {"ET", "HR", "DR"})
        EXPECT_EQ(run({"w.dat", type, "ft", "7", "1", "1"}),
                  padded(std::string("ERROR: Units \"FT\" are not known for data type ") + type + " (IN, CM or MM)"));
    EXPECT_EQ(fs_.names(), (Names{"w.LOG", "w.dat"}));
    // Temperatures take every unit other than DF as degrees C.
    EXPECT_EQ(run({"w.dat", "TP", "ft", "7"}), padded("Invalid record or EOF in input file"));
}

TEST_F(MetconvRun, InputsThatCannotBeReadOrWouldBeReplacedCreateNothing) {
    EXPECT_EQ(run({"d/none.dat", "TP", "DF", "7"}),
              padded("ERROR: Cannot open file d/none.dat: No such file or directory"));
    EXPECT_EQ(out_.console, kError);
    fs_.put("d/rain.RAI", "1990 1.5 0.1\n");
    EXPECT_EQ(run({"d/rain.RAI", "HR", "IN", "7"}),
              padded("ERROR: Input file d/rain.RAI would be replaced by the output file d/rain.RAI"));
    EXPECT_EQ(out_.console, kError);
    fs_.put("d/station.LOG", "1990 1 1 2\n");
    EXPECT_EQ(run({"d/station.LOG", "TP", "DF", "7"}), "(no log)");
    EXPECT_EQ(out_.console, Names{"ERROR: Input file d/station.LOG would be replaced by the log file d/station.LOG"});
    fs_.put("d/t.dat", "1990 1 1 2\n");
    fs_.add_folder("d/t.LOG");
    EXPECT_EQ(run({"d/t.dat", "TP", "DF", "7"}), "(no log)");
    EXPECT_EQ(out_.console, Names{"ERROR: Cannot open log file d/t.LOG: Is a directory"});
    EXPECT_EQ(fs_.names(), (Names{"d/none.LOG", "d/rain.LOG", "d/rain.RAI", "d/station.LOG", "d/t.dat"}));
    EXPECT_EQ(file("d/rain.RAI"), "1990 1.5 0.1\n");
    EXPECT_EQ(file("d/station.LOG"), "1990 1 1 2\n");
}

// Links are the disk's own: this check runs in a temporary folder.
TEST(MetconvRunOnDisk, AnOutputNameLinkedToTheInputIsRefused) {
    std::string name = (fs::temp_directory_path() / "metconv-XXXXXX").string();
    const fs::path dir = ::mkdtemp(name.data());
    fs::create_directories(dir / "sub");
    std::ofstream(dir / "sub" / "h.RAI", std::ios::binary) << "1990 1.5 0.1\n";
    auto run = [&] {
        auto console = common::Connection::in_memory(6, "console");
        return weather::run_metconv({(dir / "g.dat").string(), "HR", "IN", "7"}, *console).log_line.value_or("");
    };
    // The input is a link to a file named like an output, but not its own.
    fs::create_symlink(dir / "sub" / "h.RAI", dir / "g.dat");
    EXPECT_EQ(run(), kNormal);
    fs::remove(dir / "g.RAI");
    fs::create_symlink(dir / "g.dat", dir / "g.RAI");
    EXPECT_NE(run().find("would be replaced by the output file"), std::string::npos);
    EXPECT_EQ(read_file(dir / "sub" / "h.RAI"), "1990 1.5 0.1\n");
    fs::remove_all(dir);
}

TEST_F(MetconvRun, OutputOfAnEarlierRunIsReplacedEvenWhenNothingIsWritten) {
    fs_.put("dry.dat", "1990 1 0\n1990 2 0\n");
    fs_.put("dry.RAI", "     7 1990 1  120  10\r\n");
    EXPECT_EQ(run({"dry.dat", "DR", "IN", "7", "1", "20"}), kNormal);
    EXPECT_EQ(file("dry.RAI"), "");
    // A longer log of an earlier run is replaced too.
    fs_.put("dry.LOG", std::string(1000, 'x'));
    run({"dry.dat", "DR", "IN", "7", "1", "20"});
    EXPECT_EQ(file("dry.LOG"), kNormal + "\r\n");
}

TEST_F(MetconvRun, ExamplesConvertToTheirLayouts) {
    // Every line of every weather file has the width its layout gives.
    std::istringstream commands(read_file(std::string(EXAMPLES_DIR) + "/weather/COMMANDS"));
    int runs = 0;
    for (std::string line; std::getline(commands, line);) {
        std::istringstream words(line);
        Names args;
        for (std::string w; words >> w;) args.push_back(w);
        if (args.empty()) continue;
        fs_.put(args[0], read_file(std::string(EXAMPLES_DIR) + "/weather/" + args[0]));
        ASSERT_EQ(run(args), kNormal) << line;
        const std::string ext = args[1] == "TP" ? "TEM" : args[1] == "ET" ? "PET" : "RAI";
        std::istringstream out(file(args[0].substr(0, args[0].find('.')) + "." + ext));
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
