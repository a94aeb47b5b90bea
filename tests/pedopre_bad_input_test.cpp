// Every bad input of the table in docs/bad_inputs.md, run whole: the exact
// log line and console line, and the input file's bytes unchanged.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "common/connection.h"
#include "common/fixed_text.h"
#include "input_kinds.h"
#include "soilprep/pedopre.h"
#include "tests/pedopre_test_files.h"

namespace fs = std::filesystem;
using pedopre_test::read_file;
using pedopre_test::TempDir;
using pedopre_test::write_file;

namespace {

const char kGood[] = "Loam test\n1 0\n3 1.5 100.0\n0.40 0 0.30 100 0.20 1000\n30.0 30.0 1\n";
const std::string kStop = "Program terminated abnormally, see logfile.\r\n";

using input_kinds::Input;

struct Row {
    const char* what;
    const char* input_name;         // file the run gets, written with `input`
    std::string input;              // its bytes
    std::vector<std::string> args;  // empty: just the input's name
    const char* blocking_dir;       // a directory standing where an output goes
    std::string log;                // whole log file; empty when there is none
    std::string console;
    Input kind = Input::File;  // what stands at the input's name
};

std::string line(const std::string& text) {
    std::string s(" ");
    s += text;
    return s + "\r\n";
}
std::string field(const std::string& text) {
    return line(common::fixed(text, 128));
}
// The console notices of fluxes whose water table lies below layer 2.
std::string below_bottom(std::initializer_list<const char*> fluxes) {
    std::string s;
    for (const char* q : fluxes)
        s += line(std::string("FOR UPFLUX=   ") + q + " WATERTABLE IS BELOW BOTTOM OF LAYER  2 GO TO NEXT UPFLUX");
    return s;
}

// 98 measured points from 10 cm: both repairs make 100.
std::string hundred_points() {
    std::string s = "Title\n1 0\n98 1.5 100\n";
    char point[32];
    for (int i = 0; i < 98; ++i) {
        std::snprintf(point, sizeof point, "%.3f %d\n", 0.45 - 0.003 * i, 10 + 5 * i);
        s += point;
    }
    return s + "30 30 1\n";
}

std::vector<Row> rows() {
    const std::string title = "Title\n";
    return {
        {"no argument", "soil.dat", kGood, {"-"}, nullptr, line("ERROR: Syntax - PEDOPRE <INFILE>"), kStop},
        {"two arguments",
         "soil.dat",
         kGood,
         {"soil.dat", "x"},
         nullptr,
         line("ERROR: Syntax - PEDOPRE <INFILE>"),
         kStop},
        {"missing input", "soil.dat", kGood, {"nosuch.dat"}, nullptr, line("ERROR: File nosuch.dat not found!"), kStop},
        {"input named like an output",
         "soil.OUT",
         kGood,
         {},
         nullptr,
         line("ERROR: Input file soil.OUT would be overwritten by output file soil.OUT"),
         kStop},
        {"input named like the log",
         "PEDOPRE.LOG",
         kGood,
         {},
         nullptr,
         "",
         line("ERROR: Input file PEDOPRE.LOG would be overwritten by output file PEDOPRE.LOG") + kStop},
        {"output cannot be created",
         "soil.dat",
         kGood,
         {},
         "soil.MIS",
         line("ERROR: Cannot open file soil.MIS: Is a directory"),
         kStop},
        {"log cannot be created",
         "soil.dat",
         kGood,
         {},
         "PEDOPRE.LOG",
         "",
         line("ERROR: Cannot open file PEDOPRE.LOG: Is a directory") + kStop},
        {"empty file", "soil.dat", "", {}, nullptr, line("ERROR: Line 1 (title) missing in file soil.dat"), kStop},
        {"line 2 missing",
         "soil.dat",
         title,
         {},
         nullptr,
         line("ERROR: Line 2 (NLAYER VGFLAG) missing in file soil.dat"),
         kStop},
        {"line 2 unreadable",
         "soil.dat",
         title + "x 0\n",
         {},
         nullptr,
         line("ERROR: Line 2 (NLAYER VGFLAG) unreadable in file soil.dat"),
         kStop},
        {"too many layers",
         "soil.dat",
         title + "10 0\n",
         {},
         nullptr,
         line("ERROR: NLAYER = 10 is outside 1 to 9"),
         kStop},
        {"text in a layer record",
         "soil.dat",
         title + "1 0\n3 1.5 abc\n",
         {},
         nullptr,
         field("ERROR: Read error in file soil.dat"),
         kStop},
        {"end of file inside the points",
         "soil.dat",
         title + "1 0\n3 1.5 100.0\n0.40 0 0.30\n",
         {},
         nullptr,
         field("ERROR: Read error in file soil.dat"),
         kStop},
        {"closing record missing",
         "soil.dat",
         title + "1 0\n3 1.5 100.0\n0.40 0 0.30 100 0.20 1000\n",
         {},
         nullptr,
         field("ERROR: Read error in file soil.dat"),
         kStop},
        {"van Genuchten record unreadable",
         "soil.dat",
         title + "1 1\n100 0.05 0.45 0.02 x\n",
         {},
         nullptr,
         field("ERROR: Read error in file soil.dat"),
         kStop},
        {"more than 98 points",
         "soil.dat",
         title + "1 0\n99 1.5 100.0\n",
         {},
         nullptr,
         field("ERROR: Layer 1 has 99 points, more than 98"),
         kStop},
        {"fewer than 2 points",
         "soil.dat",
         title + "1 0\n1 1.5 100.0\n0.4 0\n30 30 1\n",
         {},
         nullptr,
         field("ERROR: Layer 1 has fewer than 2 points (1)"),
         kStop},
        {"water content out of range",
         "soil.dat",
         title + "1 0\n2 1.5 100.0\n1.5 0 0.3 1000\n30 30 1\n",
         {},
         nullptr,
         field("ERROR: Layer 1 has a driest or wettest water content outside 0.001 to 1.0"),
         kStop},
        {"narrow water contents",
         "soil.dat",
         title + "1 0\n2 1.5 100.0\n0.305 0 0.300 1000\n30 30 1\n",
         {},
         nullptr,
         field("ERROR: Layer 1 has water contents spanning less than 0.010"),
         kStop},
        {"a point wetter than the saturated point",
         "soil.dat",
         title + "1 0\n3 1.5 100.0\n0.43 0 0.45 10 0.20 1000\n30 30 1\n",
         {},
         nullptr,
         field("ERROR: Layer 1 water content rises with suction from point 1 (0.43 at 0.0 cm) to point 2 (0.45 at "
               "10.0 cm)"),
         kStop},
        {"water contents that go up and down",
         "soil.dat",
         title + "2 0\n2 1.5 50\n0.40 0 0.20 1000\n4 1.5 100.0\n0.40 0 0.20 100 0.35 300 0.10 1000\n30 30 1\n",
         {},
         nullptr,
         field("ERROR: Layer 2 water content rises with suction from point 2 (0.2 at 100.0 cm) to point 3 (0.35 at "
               "300.0 cm)"),
         kStop},
        {"heads out of order",
         "soil.dat",
         title + "1 0\n3 1.5 100.0\n0.40 -10 0.30 -300 0.20 -100\n30 30 1\n",
         {},
         nullptr,
         field("ERROR: Layer 1 suction does not rise from point 2 (0.3 at -300.0 cm) to point 3 (0.2 at -100.0 cm)"),
         kStop},
        {"water contents rising over the whole curve",
         "soil.dat",
         title + "1 0\n2 1.5 100.0\n0.10 0 0.40 1000\n30 30 1\n",
         {},
         nullptr,
         field("ERROR: Layer 1 water content rises with suction from point 1 (0.1 at 0.0 cm) to point 2 (0.4 at "
               "1000.0 cm)"),
         kStop},
        {"a first point off saturation whose next point has the same head",
         "soil.dat",
         title + "1 0\n3 1.5 100\n0.40 10 0.38 10 0.20 1000\n30 30 1\n",
         {},
         nullptr,
         field("ERROR: Layer 1 suction does not rise from point 1 (0.4 at 10.0 cm) to point 2 (0.38 at 10.0 cm)"),
         kStop},
        {"table too long",
         "soil.dat",
         title + "1 0\n2 1.5 100\n1.0 0 0.001 1000\n30 30 1\n",
         {},
         nullptr,
         field("ERROR: Layer 1 regrids to 100 rows, more than 99"),
         kStop},
        {"LSIN out of range",
         "soil.dat",
         title + "1 0\n3 1.5 100.0\n0.40 0 0.30 100 0.20 1000\n30.0 30.0 2\n",
         {},
         nullptr,
         field("ERROR: LSIN = 2 is outside 1 to NLAYER = 1"),
         kStop},
        {"upward flux cannot find a layer bottom",
         "soil.dat",
         "Random soil\n3 0\n4 0.1 100\n0.129 0 0.116 300 0.101 3000 0.026 15000\n4 1.0 150\n"
         "0.479 0 0.283 600 0.24 1000 0.149 3000\n4 50.0 170\n0.476 0 0.251 300 0.195 3000 0.119 15000\n30 30 1\n",
         {},
         nullptr,
         field("ERROR: UPFLUX error "),
         kStop},
        {"two upward fluxes with one water-table depth",
         "soil.dat",
         "Random soil\n2 0\n4 50.0 10\n0.306 0 0.298 30 0.138 100 0.03 1000\n4 0.01 20\n"
         "0.38 0 0.192 30 0.03 300 0.025 3000\n30 9990 1\n",
         {},
         nullptr,
         field("ERROR: The water table for the upward flux 8E-04 cm/hr (15.0 cm) is at the same depth as for "
               "the flux before it; no spline fits"),
         below_bottom({"0.00100", "0.00080", "0.00060", "0.00040", "0.00020"}) + kStop},
        {"zero dry conductivity",
         "soil.dat",
         "Random soil\n3 0\n3 0.01 50\n0.489 0 0.2 5 0.109 100\n3 50.0 100\n0.213 0 0.193 5 0.044 300\n"
         "2 0.1 110\n0.447 0 0.197 15000\n30 30 1\n",
         {},
         nullptr,
         field("ERROR: The conductivity table of layer 1 has a conductivity of zero or less in row 38"),
         kStop},
        {"input is a folder",
         "soil.dat",
         "",
         {},
         nullptr,
         line("ERROR: Input soil.dat is a folder, not a file"),
         kStop,
         Input::Folder},
        {"input is a named pipe",
         "soil.dat",
         "",
         {},
         nullptr,
         line("ERROR: Input soil.dat is a named pipe, not a file"),
         kStop,
         Input::Fifo},
        {"input is a link to a device",
         "soil.dat",
         "",
         {},
         nullptr,
         line("ERROR: Input soil.dat is a device, not a file"),
         kStop,
         Input::DeviceLink},
        {"name longer than 256 characters",
         "soil.dat",
         kGood,
         {std::string(257, 'n')},
         nullptr,
         line(
             ("ERROR: A file name of this run is longer than 256 characters: " + std::string(257, 'n')).substr(0, 128)),
         kStop},
        {"outputs' names longer than 256 characters",
         "soil.dat",
         kGood,
         {"./" + std::string(252, 'n') + ".d"},
         nullptr,
         line(("ERROR: A file name of this run is longer than 256 characters: ./" + std::string(252, 'n'))
                  .substr(0, 128)),
         kStop},
        {"name with a trailing blank",
         "soil.dat",
         kGood,
         {"soil.dat "},
         nullptr,
         line("ERROR: File soil.dat  not found!"),
         kStop},
        {"name with a line end",
         "soil.dat",
         kGood,
         {"x\nNOERROR: Program terminated normally"},
         nullptr,
         line("ERROR: File x\\nNOERROR: Program terminated normally not found!"),
         kStop},
        {"byte-order mark",
         "soil.dat",
         "\xEF\xBB\xBF" + std::string(kGood),
         {},
         nullptr,
         line("NOERROR: Program terminated normally"),
         "Program terminated normally.\r\n"},
        {"line longer than 1 MiB",
         "soil.dat",
         title + "1 0\n" + std::string(size_t{1} << 21, '3') + "\n",
         {},
         nullptr,
         line("ERROR: A line of file soil.dat is longer than 1048576 characters"),
         kStop},
        {"layer bottom above the layer before it",
         "soil.dat",
         title + "2 0\n3 1.5 50\n0.40 0 0.30 100 0.20 1000\n3 1.5 40\n0.40 0 0.30 100 0.20 1000\n30 30 1\n",
         {},
         nullptr,
         field("ERROR: Layer 2 has its bottom at 40.0 cm, not below the bottom of layer 1 at 50.0 cm"),
         kStop},
        {"first layer bottom at the surface",
         "soil.dat",
         title + "1 1\n0 0.05 0.45 0.02 1.5 10 10 0.5\n30 30 1\n",
         {},
         nullptr,
         field("ERROR: Layer 1 has its bottom at 0.0 cm, not below the soil surface"),
         kStop},
        {"van Genuchten n of 1",
         "soil.dat",
         title + "1 1\n100 0.05 0.45 0.02 1.0 10 10 0.5\n30 30 1\n",
         {},
         nullptr,
         field("ERROR: Layer 1 has van Genuchten n = 1.0; it must be above 1"),
         kStop},
        {"residual water content above the saturated one",
         "soil.dat",
         title + "1 1\n100 0.45 0.05 0.02 1.5 10 10 0.5\n30 30 1\n",
         {},
         nullptr,
         field("ERROR: Layer 1 has theta_r = 0.45 and theta_s = 0.05; water contents need theta_r < theta_s <= 1"),
         kStop},
        {"van Genuchten alpha of 0",
         "soil.dat",
         title + "1 1\n100 0.05 0.45 0 1.5 10 10 0.5\n30 30 1\n",
         {},
         nullptr,
         field("ERROR: Layer 1 has van Genuchten alpha = 0.0 1/cm; it must be above 0"),
         kStop},
        {"matching-point conductivity of 0",
         "soil.dat",
         title + "1 1\n100 0.05 0.45 0.02 1.5 10 0 0.5\n30 30 1\n",
         {},
         nullptr,
         field("ERROR: Layer 1 has K0 = 0.0 cm/day; it must be above 0"),
         kStop},
        {"negative Green-Ampt depth",
         "soil.dat",
         title + "1 1\n100 0.05 0.45 0.02 1.5 10 10 0.5\n-5 30 1\n",
         {},
         nullptr,
         field("ERROR: GADEPTH = -5.0 cm (depth of top soil for the Green-Ampt parameters) is not above 0"),
         kStop},
        {"root depth of 0",
         "soil.dat",
         title + "1 0\n3 1.5 100.0\n0.40 0 0.30 100 0.20 1000\n30 0 1\n",
         {},
         nullptr,
         field("ERROR: ROOTDEPTH = 0.0 cm (half the maximum root depth) is not above 0"),
         kStop},
        {"100 points in the soil input file's layer",
         "soil.dat",
         hundred_points(),
         {},
         nullptr,
         field("ERROR: Layer 1 chosen for the soil input file has 100 points; the soil input file holds at most 99"),
         "  fix theta saturated= 0.45599997\r\n" + kStop},
        {"wetting-front suction too wide for its column",
         "soil.dat",
         "Random soil\n3 0\n4 1.0 10\n0.255 0 0.214 300 0.133 1000 0.022 3000\n2 1.0 110\n0.267 0 0.131 3000\n"
         "2 0.01 160\n0.226 0 0.216 15000\n30 30 1\n",
         {},
         nullptr,
         field("ERROR: Read error in file soil.MQ"),
         kStop},
    };
}

TEST(PedopreBadInput, EachRowEndsWithItsLinesAndLeavesTheInputAlone) {
    for (const Row& row : rows()) {
        SCOPED_TRACE(row.what);
        TempDir dir;
        const std::string input = dir.file(row.input_name);
        input_kinds::make_input(input, row.kind, row.input);
        if (row.blocking_dir) fs::create_directory(dir.file(row.blocking_dir));
        std::vector<std::string> args = row.args;
        if (args.empty()) args = {row.input_name};
        if (args.size() == 1 && args[0] == "-") args.clear();

        auto old = fs::current_path();
        fs::current_path(dir.path());
        auto console = common::Connection::in_memory(6, "console");
        common::RunOptions options;
        options.traps = false;
        soilprep::run_pedopre(args, *console, options);
        console->flush();
        fs::current_path(old);

        EXPECT_EQ(console->memory(), row.console);
        if (!row.log.empty()) {
            EXPECT_EQ(read_file(dir.file("PEDOPRE.LOG")), row.log);
        }
        if (row.kind == Input::File) {
            EXPECT_EQ(read_file(input), row.input);
        }
    }
}

// The floating-point trap ends the process: run it in a child.
TEST(PedopreBadInputDeathTest, AFloatingPointFaultIsReportedWithTheRoutineName) {
    TempDir dir;
    // Water contents at the ends of the float range, in order: the slope of
    // the saturated-point repair overflows.
    const std::string input = "Title\n1 0\n3 1.5 100\n3E38 10 -3E38 20 -3E38 1000\n30 30 1\n";
    write_file(dir.file("soil.dat"), input);
    EXPECT_EXIT(
        {
            auto console = common::Connection::in_memory(6, "console");
            soilprep::run_pedopre({dir.file("soil.dat")}, *console);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(read_file(dir.file("PEDOPRE.LOG")),
              common::fixed("ERROR: Floating point exception-Overflow in subroutine READSWCFILE", 128) + "\r\n");
    EXPECT_EQ(read_file(dir.file("soil.dat")), input);
}

}  // namespace
