// Whole PEDOPRE runs on files in memory: file naming, the log and console
// lines of the stops beyond the table of bad inputs, and the tables of both
// input forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <csignal>

#include "common/connection.h"
#include "common/file_system.h"
#include "common/fixed_text.h"
#include "pedopre_test_files.h"
#include "soilprep/getfilepath.h"
#include "soilprep/mq_file.h"
#include "soilprep/pedopre.h"

namespace {

using Names = std::vector<std::string>;

// Runs of PEDOPRE on one set of files in memory.
struct Runs {
    common::MemoryFileSystem fs;
    common::RunOutcome outcome;
    std::string console;

    void operator()(const Names& args, bool traps = true) {
        auto c = common::Connection::in_memory(0, "console");
        outcome = soilprep::run_pedopre(args, *c, {.traps = traps, .files = &fs});
        c->flush();
        console = c->memory();
    }
    std::string file(const std::string& name) const {
        const std::string* text = fs.get(name);
        return text ? *text : "(no file)";
    }
};

const std::string kAbnormal = "Program terminated abnormally, see logfile.\r\n";
const std::string kNormalLog = " NOERROR: Program terminated normally\r\n";
const std::string kMeasured = "Short\n1 0\n3 2.0 40\n0.45 0\n0.35 100\n0.25 15000\n20 30 1\n";

// A log line written as the whole 128-character error field.
std::string field_line(const std::string& text) {
    std::string line(" ");
    line += common::fixed(text, 128);
    return line + "\r\n";
}

std::string data(const std::string& name) {
    return pedopre_test::read_file(std::string(TEST_DATA_DIR) + "/" + name);
}

// The log of a run on `input`, named soil.dat.
std::string log_of(const std::string& input, bool traps = true) {
    Runs r;
    r.fs.put("soil.dat", input);
    r({"soil.dat"}, traps);
    return r.file("PEDOPRE.LOG");
}

TEST(Getfilepath, SplitsDirectoryAndBaseAtTheLastSeparatorAndPeriod) {
    auto split = [](const std::string& path) {
        std::string dir, base;
        soilprep::GETFILEPATH(dir, common::fixed(path, 256), base);
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

TEST(PedopreRun, StopsAreLoggedBesideTheInputOrWithoutOneInTheCurrentFolder) {
    Runs r;
    r({"d/nosuch.dat"});
    EXPECT_EQ(r.file("d/PEDOPRE.LOG"), " ERROR: File d/nosuch.dat not found!\r\n");
    EXPECT_EQ(r.outcome.log_line, " ERROR: File d/nosuch.dat not found!");
    EXPECT_EQ(r.outcome.console.back(), "Program terminated abnormally, see logfile.");
    r({"a.dat", "b.dat"});
    EXPECT_EQ(r.file("PEDOPRE.LOG"), " ERROR: Syntax - PEDOPRE <INFILE>\r\n");
}

TEST(PedopreRun, OutputsAreNamedAfterTheInputWithoutItsLastExtension) {
    // A name without a folder puts everything in the current one; a name
    // without an extension keeps its whole name as the base.
    Runs r;
    r.fs.put("d.x/a.b.dat", kMeasured);
    r.fs.put("soil", kMeasured);
    r({"d.x/a.b.dat"});
    EXPECT_EQ(r.console, "Program terminated normally.\r\n");
    r({"soil"});
    Names expected = {"PEDOPRE.LOG", "d.x/PEDOPRE.LOG", "d.x/a.b.dat", "soil"};
    for (const char* base : {"d.x/a.b.", "soil."})
        for (const char* ext : {"MIS", "MQ", "OUT", "SAV", "SIN", "UPQ", "WDV", "WTD"})
            expected.push_back(std::string(base) + ext);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(r.fs.names(), expected);
    EXPECT_EQ(r.file("d.x/PEDOPRE.LOG"), kNormalLog);
    EXPECT_EQ(r.file("PEDOPRE.LOG"), kNormalLog);
}

// The run on `input` gives the expected tables of the test data `expected`.
void expect_tables(Runs& r, const std::string& input, const std::string& expected) {
    r.fs.put("soil.dat", input);
    r({"soil.dat"});
    EXPECT_EQ(r.file("PEDOPRE.LOG"), kNormalLog);
    for (const char* ext : {"MIS", "MQ", "SAV"})
        EXPECT_EQ(r.file(std::string("soil.") + ext), data(expected + ".expected." + ext)) << ext;
}

TEST(PedopreRun, MeasuredPointsGiveTheirTablesToTheByte) {
    Runs r;
    expect_tables(r, data("pedopre_measured.dat"), "pedopre_measured");
    EXPECT_EQ(r.console, "  fix theta saturated= 0.42000002\r\nProgram terminated normally.\r\n");
    // The outcome holds every console line, the steps' notices among them.
    EXPECT_TRUE(r.outcome.ok);
    EXPECT_EQ(r.outcome.console, Names({"  fix theta saturated= 0.42000002", "Program terminated normally."}));
    std::string head =
        "TITLE: Measured points, two layers: first lacks its saturated point, second stops at 50\r\n"
        " ERROR: no saturated theta, value extrapolated\r\n"
        "  \r\n"
        "  ERROR!!\r\n"
        "  SOIL WATER CHARACTERISTIC CURVE FOR LAYER  2\r\n"
        "  DOES NOT GO TO 1000 CM. A VALUE WAS ENTERED BY\r\n"
        "  THE PROGRAM. CHECK THIS VALUE.\r\n";
    EXPECT_EQ(r.file("soil.WTD").substr(0, head.size()), head);
}

TEST(PedopreRun, VanGenuchtenParametersGiveTheirTablesToTheByteForAnyNonzeroFlag) {
    Runs r;
    std::string vg = data("pedopre_vg.dat");
    expect_tables(r, vg, "pedopre_vg");
    EXPECT_EQ(r.console, "Program terminated normally.\r\n");
    std::string head =
        "TITLE: " + common::fixed("van Genuchten parameters: silt loam over clay (texture-class means)", 80) + "\r\n";
    EXPECT_EQ(r.file("soil.WTD").substr(0, head.size()), head);
    expect_tables(r, vg.replace(vg.find("\n2 1\n"), 5, "\n2 -1\n"), "pedopre_vg");
}

TEST(PedopreRun, SuctionsAndNegativeHeadsGiveTheSameTables) {
    Runs r;
    r.fs.put("pos.dat", "T\n1 0\n4 2.0 50\n0.40 10\n0.38 20\n0.30 300\n0.20 15000\n10 20 1\n");
    r.fs.put("neg.dat", "T\n1 0\n4 2.0 50\n0.40 -10\n0.38 -20\n0.30 -300\n0.20 -15000\n10 20 1\n");
    r({"pos.dat"});
    r({"neg.dat"});
    for (const char* ext : {".MQ", ".SAV", ".WTD"})
        EXPECT_EQ(r.file(std::string("pos") + ext), r.file(std::string("neg") + ext)) << ext;
    EXPECT_EQ(r.file("PEDOPRE.LOG"), kNormalLog);
}

TEST(PedopreRun, ControlCharactersOfTheTitleAreBlankInEveryFile) {
    for (const char* head : {"Loam\x01\tA\rB\x7F|\n1 0\n3 2.0 40\n0.45 0\n0.35 100\n0.25 15000\n20 30 1\n",
                             "Loam\x01\tA\rB\x7F|\n1 1\n50.0 0.05 0.45 0.02 1.5 24.0 24.0 0.5\n30.0 20.0 1\n"}) {
        Runs r;
        r.fs.put("soil.dat", head);
        r({"soil.dat"});
        ASSERT_EQ(r.file("PEDOPRE.LOG"), kNormalLog);
        for (const char* ext : {".WTD", ".MQ", ".UPQ", ".SIN"}) {
            const std::string first = pedopre_test::lines_of(r.file(std::string("soil") + ext)).at(0);
            EXPECT_NE(first.find("Loam  A B |"), std::string::npos) << ext << ": " << first;
            EXPECT_TRUE(std::none_of(first.begin(), first.end(), [](char c) { return c < 0x20 || c == 0x7f; })) << ext;
        }
    }
}

TEST(PedopreRun, HeadOfTheInputMustHoldOneToNineLayers) {
    // The other stops of the head are rows of the table of bad inputs.
    EXPECT_EQ(log_of("T\n0 0\n"), " ERROR: NLAYER = 0 is outside 1 to 9\r\n");
}

TEST(PedopreRun, ReadFailuresInLayerOrClosingRecordsGiveTheReadErrorLine) {
    const std::string line = field_line("ERROR: Read error in file soil.dat");
    EXPECT_EQ(log_of("T\n1 0\n3 2.0 40\n0.45 0\n0.35 100\n0.25 15000\n20 30\n"), line);
    EXPECT_EQ(log_of("T\n1 0\n3 2.0 40\n0.45 0\n0.35 x\n0.25 15000\n20 30 1\n"), line);
    EXPECT_EQ(log_of("T\n1 1\n50.0 0.05 0.45 0.02 1.5 24.0\n"), line);
    EXPECT_EQ(log_of("T\n1 1\n50.0 0.05 0.45 0.02 1.5 24.0 24.0 0.5\n30.0\n"), line);
}

TEST(PedopreRun, SoilsTheTablesCannotHoldAreRejectedNamingTheLayer) {
    EXPECT_EQ(log_of("T\n2 0\n2 2.0 40\n0.45 0\n0.25 15000\n1 2.0 80\n0.45 0\n20 30 1\n"),
              field_line("ERROR: Layer 2 has fewer than 2 points (1)"));
    EXPECT_EQ(log_of("T\n1 1\n50.0 0.05 0.45 0.02 1.5 24.0 24.0 0.5\n30.0 20.0 3\n"),
              field_line("ERROR: LSIN = 3 is outside 1 to NLAYER = 1"));
    EXPECT_EQ(log_of("T\n1 0\n3 2.0 40\n0.45 0\n0.35 100\n0.0005 15000\n20 30 1\n"),
              field_line("ERROR: Layer 1 has a driest or wettest water content outside 0.001 to 1.0"));
    // theta_r of zero with a steep curve: the driest water content of layer 2 is below 0.001.
    EXPECT_EQ(log_of("T\n2 1\n50.0 0.05 0.45 0.02 1.5 24.0 24.0 0.5\n90.0 0.0 0.40 0.5 4.0 24.0 24.0 0.5\n"
                     "30.0 20.0 1\n"),
              field_line("ERROR: Layer 2 has a driest or wettest water content outside 0.001 to 1.0"));
}

TEST(PedopreRun, FlatDryEndDoesNotStopTheRun) {
    // Traps on: a division by zero would end the process.
    for (const char* input : {"T\n1 0\n4 2.0 40\n0.45 0\n0.30 100\n0.20 5000\n0.20 15000\n20 30 1\n",
                              "T\n1 1\n50.0 0.30 0.35 0.1 8.0 24.0 24.0 0.5\n30.0 20.0 1\n"}) {
        Runs r;
        r.fs.put("soil.dat", input);
        r({"soil.dat"});
        EXPECT_EQ(r.file("PEDOPRE.LOG").find("Floating"), std::string::npos) << input;
        auto mq = common::Connection::in_memory(1, "soil.MQ", r.file("soil.MQ"));
        soilcalc::MqTables t;
        EXPECT_EQ(soilprep::read_mq(*mq, t, soilcalc::MqColumns::All).failed, soilcalc::MqPart::Done) << input;
        EXPECT_EQ(r.file("soil.MQ").find("NaN"), std::string::npos) << input;
    }
}

TEST(PedopreRun, InputIsNeverOverwritten) {
    Runs r;
    r.fs.put("d/soil.OUT", kMeasured);
    r.fs.put("e/PEDOPRE.LOG", kMeasured);
    r({"d/soil.OUT"});
    EXPECT_EQ(r.file("d/PEDOPRE.LOG"),
              " ERROR: Input file d/soil.OUT would be overwritten by output file d/soil.OUT\r\n");
    EXPECT_EQ(r.console, kAbnormal);
    // The log itself: the line can only go to the console.
    r({"e/PEDOPRE.LOG"});
    EXPECT_FALSE(r.outcome.log_line);
    EXPECT_EQ(r.console,
              " ERROR: Input file e/PEDOPRE.LOG would be overwritten by output file e/PEDOPRE.LOG\r\n" + kAbnormal);
    EXPECT_EQ(r.file("d/soil.OUT"), kMeasured);
    EXPECT_EQ(r.file("e/PEDOPRE.LOG"), kMeasured);
}

TEST(PedopreRun, OutputsThatCannotBeCreatedAreReported) {
    Runs r;
    r.fs.put("d/soil.dat", kMeasured);
    r.fs.add_folder("d/soil.MQ");
    r({"d/soil.dat"});
    EXPECT_EQ(r.file("d/PEDOPRE.LOG"), " ERROR: Cannot open file d/soil.MQ: Is a directory\r\n");
    EXPECT_EQ(r.console, kAbnormal);

    Runs l;
    l.fs.put("soil.dat", kMeasured);
    l.fs.add_folder("PEDOPRE.LOG");
    l({"soil.dat"});
    EXPECT_FALSE(l.outcome.log_line);
    EXPECT_EQ(l.console, " ERROR: Cannot open file PEDOPRE.LOG: Is a directory\r\n" + kAbnormal);
    EXPECT_EQ(l.fs.names(), Names{"soil.dat"});
}

TEST(PedopreRun, RestoresTheFloatingPointStateItChanges) {
    Runs r;
    r.fs.put("soil.dat", kMeasured);
    struct sigaction before {};
    sigaction(SIGFPE, nullptr, &before);
    ASSERT_EQ(fegetexcept(), 0);
    r({"soil.dat"});
    EXPECT_EQ(fegetexcept(), 0);
    EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), 0);
    struct sigaction after {};
    sigaction(SIGFPE, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
}

TEST(PedopreRun, WithoutTrapsANumericalFaultEndsWithACheckNotACrash) {
    // Water contents at the ends of the float range: the saturated-point
    // slope is not finite.
    EXPECT_EQ(log_of("T\n1 0\n3 2.0 40\n3E38 10\n-3E38 20\n-3E38 15000\n20 30 1\n", false),
              field_line("ERROR: Layer 1 has a driest or wettest water content outside 0.001 to 1.0"));
}

}  // namespace
