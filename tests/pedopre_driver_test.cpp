// Whole PEDOPRE runs in a temporary directory: file naming, the log and
// console lines of every stop, and the tables of both input forms.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cfenv>
#include <csignal>
#include <filesystem>

#include "common/connection.h"
#include "common/fixed_text.h"
#include "pedopre_test_files.h"
#include "soilprep/getfilepath.h"
#include "soilprep/pedopre.h"

using pedopre_test::read_file;
using pedopre_test::TempDir;
using pedopre_test::write_file;

namespace {

struct Result {
    pedopre::RunOutcome outcome;
    std::string console;
};

Result run(const std::vector<std::string>& args, bool traps = true) {
    auto console = common::Connection::in_memory(0, "console");
    Result r;
    r.outcome = pedopre::run_pedopre(args, *console, {traps});
    console->flush();
    r.console = console->memory();
    return r;
}

// Runs with `dir` as the current directory.
class InDirectory {
public:
    explicit InDirectory(const std::string& dir) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~InDirectory() { std::filesystem::current_path(old_); }

private:
    std::filesystem::path old_;
};

const std::string kAbnormal = "Program terminated abnormally, see logfile.\r\n";
const std::string kNormalLog = " NOERROR: Program terminated normally\r\n";

// A log line written as the whole 128-character error field.
std::string field_line(const std::string& text) {
    std::string line(" ");
    line += common::fixed(text, 128);
    line += "\r\n";
    return line;
}

std::string data(const std::string& name) { return read_file(std::string(TEST_DATA_DIR) + "/" + name); }

const std::string kMeasured = "Short\n1 0\n3 2.0 40\n0.45 0\n0.35 100\n0.25 15000\n20 30 1\n";

TEST(Getfilepath, SplitsDirectoryAndBaseAtTheLastSeparatorAndPeriod) {
    auto split = [](const std::string& path) {
        std::string dir, base;
        pedopre::GETFILEPATH(dir, common::fixed(path, 256), base);
        EXPECT_EQ(dir.size(), 256u);
        EXPECT_EQ(base.size(), 256u);
        return std::string(common::trim_right(dir)) + "|" + std::string(common::trim_right(base));
    };
    EXPECT_EQ(split("soil.dat"), "|soil");
    EXPECT_EQ(split("a.b.dat"), "|a.b");
    EXPECT_EQ(split("/data/run.1/soil"), "/data/run.1/|/data/run.1/soil");
    EXPECT_EQ(split("../soils/loam.dat"), "../soils/|../soils/loam");
    EXPECT_EQ(split("/soil.dat"), "/|/soil");
}

TEST(PedopreRun, WrongArgumentCountLogsTheSyntaxInTheCurrentDirectory) {
    TempDir dir;
    InDirectory here(dir.path());
    for (const auto& args : {std::vector<std::string>{}, std::vector<std::string>{"a.dat", "b.dat"}}) {
        Result r = run(args);
        EXPECT_EQ(read_file(dir.file("PEDOPRE.LOG")), " ERROR: Syntax - PEDOPRE <INFILE>\r\n");
        EXPECT_EQ(r.console, kAbnormal);
        EXPECT_EQ(r.outcome.console_line, "Program terminated abnormally, see logfile.");
    }
}

TEST(PedopreRun, MissingInputIsNamedInTheLogOfItsDirectory) {
    TempDir dir;
    std::string name = dir.file("nosuch.dat");
    Result r = run({name});
    EXPECT_EQ(read_file(dir.file("PEDOPRE.LOG")), " ERROR: File " + name + " not found!\r\n");
    EXPECT_EQ(r.outcome.log_line, " ERROR: File " + name + " not found!");
    EXPECT_EQ(r.console, kAbnormal);
}

TEST(PedopreRun, OutputsAreNamedAfterTheInputWithoutItsLastExtension) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("d.x"));
    write_file(dir.file("d.x/a.b.dat"), kMeasured);
    Result r = run({dir.file("d.x/a.b.dat")});
    EXPECT_EQ(read_file(dir.file("d.x/PEDOPRE.LOG")), kNormalLog);
    for (const char* ext : {".MIS", ".WTD", ".MQ", ".SAV", ".OUT"})
        EXPECT_TRUE(std::filesystem::exists(dir.file(std::string("d.x/a.b") + ext))) << ext;
    EXPECT_FALSE(std::filesystem::exists(dir.file("d.x/a.MQ")));
    EXPECT_EQ(r.console, "Program terminated normally.\r\n");

    // A name without a directory: everything in the current directory; a
    // name without an extension keeps its whole name as the base.
    InDirectory here(dir.path());
    write_file(dir.file("soil"), kMeasured);
    run({"soil"});
    EXPECT_EQ(read_file(dir.file("PEDOPRE.LOG")), kNormalLog);
    EXPECT_TRUE(std::filesystem::exists(dir.file("soil.MQ")));
}

TEST(PedopreRun, MeasuredPointsGiveTheirTablesToTheByte) {
    TempDir dir;
    write_file(dir.file("soil.dat"), data("pedopre_measured.dat"));
    Result r = run({dir.file("soil.dat")});
    EXPECT_EQ(read_file(dir.file("PEDOPRE.LOG")), kNormalLog);
    EXPECT_EQ(r.console, "  fix theta saturated= 0.42000002\r\nProgram terminated normally.\r\n");
    EXPECT_EQ(read_file(dir.file("soil.MIS")), data("pedopre_measured.expected.MIS"));
    EXPECT_EQ(read_file(dir.file("soil.MQ")), data("pedopre_measured.expected.MQ"));
    EXPECT_EQ(read_file(dir.file("soil.SAV")), data("pedopre_measured.expected.SAV"));
    std::string head =
        "TITLE: Measured points, two layers: first lacks its saturated point, second stops at 50\r\n"
        " ERROR: no saturated theta, value extrapolated\r\n"
        "  \r\n"
        "  ERROR!!\r\n"
        "  SOIL WATER CHARACTERISTIC CURVE FOR LAYER  2\r\n"
        "  DOES NOT GO TO 1000 CM. A VALUE WAS ENTERED BY\r\n"
        "  THE PROGRAM. CHECK THIS VALUE.\r\n";
    EXPECT_EQ(read_file(dir.file("soil.WTD")).substr(0, head.size()), head);
}

TEST(PedopreRun, VanGenuchtenParametersGiveTheirTablesToTheByte) {
    TempDir dir;
    write_file(dir.file("soil.dat"), data("pedopre_vg.dat"));
    Result r = run({dir.file("soil.dat")});
    EXPECT_EQ(read_file(dir.file("PEDOPRE.LOG")), kNormalLog);
    EXPECT_EQ(r.console, "Program terminated normally.\r\n");
    EXPECT_EQ(read_file(dir.file("soil.MIS")), data("pedopre_vg.expected.MIS"));
    EXPECT_EQ(read_file(dir.file("soil.MQ")), data("pedopre_vg.expected.MQ"));
    EXPECT_EQ(read_file(dir.file("soil.SAV")), data("pedopre_vg.expected.SAV"));
    std::string head =
        "TITLE: " + common::fixed("van Genuchten parameters: silt loam over clay (texture-class means)", 80) + "\r\n";
    EXPECT_EQ(read_file(dir.file("soil.WTD")).substr(0, head.size()), head);
}

TEST(PedopreRun, AnyNonzeroFlagSelectsVanGenuchten) {
    TempDir dir;
    std::string vg = data("pedopre_vg.dat");
    write_file(dir.file("soil.dat"), vg.replace(vg.find("\n2 1\n"), 5, "\n2 -1\n"));
    run({dir.file("soil.dat")});
    EXPECT_EQ(read_file(dir.file("soil.MQ")), data("pedopre_vg.expected.MQ"));
}

TEST(PedopreRun, SuctionsAndNegativeHeadsGiveTheSameTables) {
    TempDir dir;
    write_file(dir.file("pos.dat"), "T\n1 0\n4 2.0 50\n0.40 10\n0.38 20\n0.30 300\n0.20 15000\n10 20 1\n");
    write_file(dir.file("neg.dat"), "T\n1 0\n4 2.0 50\n0.40 -10\n0.38 -20\n0.30 -300\n0.20 -15000\n10 20 1\n");
    run({dir.file("pos.dat")});
    run({dir.file("neg.dat")});
    for (const char* ext : {".MQ", ".SAV", ".WTD"})
        EXPECT_EQ(read_file(dir.file(std::string("pos") + ext)), read_file(dir.file(std::string("neg") + ext)))
            << ext;
    EXPECT_EQ(read_file(dir.file("PEDOPRE.LOG")), kNormalLog);
}

// The log line of a run on `input`, named soil.dat in the current directory.
std::string log_of(const std::string& input, bool traps = true) {
    TempDir dir;
    InDirectory here(dir.path());
    write_file("soil.dat", input);
    run({"soil.dat"}, traps);
    return read_file("PEDOPRE.LOG");
}

TEST(PedopreRun, HeadOfTheInputMustBeThereAndReadable) {
    EXPECT_EQ(log_of(""), " ERROR: Line 1 (title) missing in file soil.dat\r\n");
    EXPECT_EQ(log_of("Title only\n"), " ERROR: Line 2 (NLAYER VGFLAG) missing in file soil.dat\r\n");
    EXPECT_EQ(log_of("T\nx 0\n"), " ERROR: Line 2 (NLAYER VGFLAG) unreadable in file soil.dat\r\n");
    EXPECT_EQ(log_of("T\n0 0\n"), " ERROR: NLAYER = 0 is outside 1 to 9\r\n");
    EXPECT_EQ(log_of("T\n10 1\n"), " ERROR: NLAYER = 10 is outside 1 to 9\r\n");
}

TEST(PedopreRun, ReadFailuresInLayerOrClosingRecordsGiveTheReadErrorLine) {
    const std::string line = field_line("ERROR: Read error in file soil.dat");
    EXPECT_EQ(log_of("T\n1 0\n3 2.0 40\n0.45 0\n0.35 100\n"), line);
    EXPECT_EQ(log_of("T\n1 0\n3 2.0 40\n0.45 0\n0.35 100\n0.25 15000\n20 30\n"), line);
    EXPECT_EQ(log_of("T\n1 0\n3 2.0 40\n0.45 0\n0.35 x\n0.25 15000\n20 30 1\n"), line);
    EXPECT_EQ(log_of("T\n1 1\n50.0 0.05 0.45 0.02 1.5 24.0\n"), line);
    EXPECT_EQ(log_of("T\n1 1\n50.0 0.05 0.45 0.02 1.5 24.0 24.0 0.5\n30.0\n"), line);
}

TEST(PedopreRun, SoilsTheTablesCannotHoldAreRejectedNamingTheLayer) {
    std::string points;
    for (int i = 0; i < 99; ++i) points += "0.40 " + std::to_string(i * 10) + "\n";
    EXPECT_EQ(log_of("T\n1 0\n99 1.5 80\n" + points + "20 30 1\n"),
              field_line("ERROR: Layer 1 has 99 points, more than 98"));
    EXPECT_EQ(log_of("T\n2 0\n2 2.0 40\n0.45 0\n0.25 15000\n1 2.0 80\n0.45 0\n20 30 1\n"),
              field_line("ERROR: Layer 2 has fewer than 2 points (1)"));
    EXPECT_EQ(log_of("T\n1 0\n3 2.0 40\n0.45 0\n0.35 100\n0.25 15000\n20 30 2\n"),
              field_line("ERROR: LSIN = 2 is outside 1 to NLAYER = 1"));
    EXPECT_EQ(log_of("T\n1 1\n50.0 0.05 0.45 0.02 1.5 24.0 24.0 0.5\n30.0 20.0 3\n"),
              field_line("ERROR: LSIN = 3 is outside 1 to NLAYER = 1"));
    EXPECT_EQ(log_of("T\n1 0\n3 2.0 40\n1.20 0\n0.35 100\n0.25 15000\n20 30 1\n"),
              field_line("ERROR: Layer 1 has a driest or wettest water content outside 0.001 to 1.0"));
    EXPECT_EQ(log_of("T\n1 0\n3 2.0 40\n0.45 0\n0.35 100\n0.0005 15000\n20 30 1\n"),
              field_line("ERROR: Layer 1 has a driest or wettest water content outside 0.001 to 1.0"));
    // theta_r of zero with a steep curve: the driest water content of layer 2 is below 0.001.
    EXPECT_EQ(log_of("T\n2 1\n50.0 0.05 0.45 0.02 1.5 24.0 24.0 0.5\n90.0 0.0 0.40 0.5 4.0 24.0 24.0 0.5\n"
                     "30.0 20.0 1\n"),
              field_line("ERROR: Layer 2 has a driest or wettest water content outside 0.001 to 1.0"));
    EXPECT_EQ(log_of("T\n1 0\n2 2.0 40\n0.305 0\n0.30 15000\n20 30 1\n"),
              field_line("ERROR: Layer 1 has water contents spanning less than 0.010"));
    EXPECT_EQ(log_of("T\n1 0\n2 2.0 40\n1.0 0\n0.005 15000\n20 30 1\n"),
              field_line("ERROR: Layer 1 regrids to 100 rows, more than 99"));
}

TEST(PedopreRun, FlatDryEndDoesNotStopTheRun) {
    // Traps on: a division by zero would end the process.
    TempDir dir;
    write_file(dir.file("m.dat"), "T\n1 0\n4 2.0 40\n0.45 0\n0.30 100\n0.20 5000\n0.20 15000\n20 30 1\n");
    write_file(dir.file("v.dat"), "T\n1 1\n50.0 0.30 0.35 0.1 8.0 24.0 24.0 0.5\n30.0 20.0 1\n");
    for (const char* base : {"m", "v"}) {
        run({dir.file(std::string(base) + ".dat")});
        std::string mq = read_file(dir.file(std::string(base) + ".MQ"));
        EXPECT_NE(mq.find("SUCTION OF WETTING FRONT"), std::string::npos) << base;
        EXPECT_EQ(mq.find("NaN"), std::string::npos) << base;
        EXPECT_EQ(read_file(dir.file("PEDOPRE.LOG")).find("Floating"), std::string::npos);
    }
}

TEST(PedopreRun, InputIsNeverOverwritten) {
    TempDir dir;
    write_file(dir.file("soil.OUT"), kMeasured);
    Result r = run({dir.file("soil.OUT")});
    EXPECT_EQ(read_file(dir.file("soil.OUT")), kMeasured);
    EXPECT_EQ(read_file(dir.file("PEDOPRE.LOG")), " ERROR: Input file " + dir.file("soil.OUT") +
                                                      " would be overwritten by output file " +
                                                      dir.file("soil.OUT") + "\r\n");
    EXPECT_EQ(r.console, kAbnormal);

    // Spelled another way, through a link to the same file.
    std::filesystem::create_symlink(dir.file("soil.OUT"), dir.file("soil.MQ"));
    run({dir.path() + "/./soil.dat/../soil.MQ"});
    EXPECT_EQ(read_file(dir.file("soil.OUT")), kMeasured);

    // The log itself: the line can only go to the console.
    TempDir other;
    write_file(other.file("PEDOPRE.LOG"), kMeasured);
    Result l = run({other.file("PEDOPRE.LOG")});
    EXPECT_EQ(read_file(other.file("PEDOPRE.LOG")), kMeasured);
    EXPECT_FALSE(l.outcome.logged);
    EXPECT_EQ(l.console, " ERROR: Input file " + other.file("PEDOPRE.LOG") + " would be overwritten by output file " +
                             other.file("PEDOPRE.LOG") + "\r\n" + kAbnormal);
}

TEST(PedopreRun, OutputsThatCannotBeCreatedAreReported) {
    TempDir dir;
    write_file(dir.file("soil.dat"), kMeasured);
    std::filesystem::create_directory(dir.file("soil.MQ"));
    Result r = run({dir.file("soil.dat")});
    EXPECT_EQ(read_file(dir.file("PEDOPRE.LOG")), " ERROR: Cannot open file " + dir.file("soil.MQ") + ": Is a directory\r\n");
    EXPECT_EQ(r.console, kAbnormal);

    TempDir nolog;
    write_file(nolog.file("soil.dat"), kMeasured);
    std::filesystem::create_directory(nolog.file("PEDOPRE.LOG"));
    Result l = run({nolog.file("soil.dat")});
    EXPECT_FALSE(l.outcome.logged);
    EXPECT_EQ(l.console, " ERROR: Cannot open file " + nolog.file("PEDOPRE.LOG") + ": Is a directory\r\n" + kAbnormal);
    EXPECT_FALSE(std::filesystem::exists(nolog.file("soil.MQ")));
}

TEST(PedopreRun, RestoresTheFloatingPointStateItChanges) {
    TempDir dir;
    write_file(dir.file("soil.dat"), kMeasured);
    struct sigaction before {};
    sigaction(SIGFPE, nullptr, &before);
    ASSERT_EQ(fegetexcept(), 0);
    run({dir.file("soil.dat")});
    EXPECT_EQ(fegetexcept(), 0);
    EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), 0);
    struct sigaction after {};
    sigaction(SIGFPE, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}

TEST(PedopreRun, WithoutTrapsANumericalFaultEndsWithACheckNotACrash) {
    // Equal first heads off zero: the saturated-point slope is not finite.
    EXPECT_EQ(log_of("T\n1 0\n3 2.0 40\n0.45 10\n0.35 10\n0.25 15000\n20 30 1\n", false),
              field_line("ERROR: Layer 1 has a driest or wettest water content outside 0.001 to 1.0"));
}

}  // namespace
