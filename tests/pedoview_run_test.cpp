// Whole PEDOVIEW runs on files in memory: the console line of each end, the
// files it writes and those it never touches, and the page of a run whose
// outputs are missing or unreadable.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "pedoview_test_runs.h"
#include "soilview/run_names.h"
#include "soilview/run_tables.h"

using pedoview_test::run_both;
using pedoview_test::view;

namespace {

std::string example(const std::string& name) {
    std::ifstream in(std::string(EXAMPLES_DIR) + "/soils/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::map<std::string, std::string> contents(const common::MemoryFileSystem& fs) {
    std::map<std::string, std::string> m;
    for (const std::string& n : fs.names()) m[n] = *fs.get(n);
    return m;
}

TEST(PedoviewRun, HelpAndVersionPrintAndTouchNoFile) {
    common::MemoryFileSystem fs;
    fs.put("soil.dat", "x");
    const auto before = contents(fs);
    const std::string help = view(fs, {"--help"});
    EXPECT_EQ(help.rfind("Usage: PEDOVIEW <INFILE>\r\n", 0), 0u) << help;
    EXPECT_NE(help.find("characteristic, conductivity, drained-volume"), std::string::npos);
    EXPECT_EQ(view(fs, {"--version"}), "PEDOVIEW (drainprep) 1.0.0\r\n");
    EXPECT_EQ(view(fs, {"--help", "soil.dat"}), "ERROR: Syntax - PEDOVIEW <INFILE> (see PEDOVIEW --help)\r\n");
    EXPECT_EQ(view(fs, {}), "ERROR: Syntax - PEDOVIEW <INFILE> (see PEDOVIEW --help)\r\n");
    EXPECT_EQ(contents(fs), before);
}

TEST(PedoviewRun, AMissingInputOrLogIsAnErrorLineAndNoPage) {
    common::MemoryFileSystem fs;
    EXPECT_EQ(view(fs, {"soils/nosuch.dat"}), "ERROR: File soils/nosuch.dat not found!\r\n");
    EXPECT_EQ(view(fs, {"soils/bad\nname.dat"}), "ERROR: File soils/bad\\nname.dat not found!\r\n");
    fs.put("soils/soil.dat", example("measured_loam.dat"));
    EXPECT_EQ(view(fs, {"soils/soil.dat"}),
              "ERROR: Log file soils/PEDOPRE.LOG not found: PEDOPRE has not run on soils/soil.dat here\r\n");
    fs.add_folder("dir.dat");
    EXPECT_EQ(view(fs, {"dir.dat"}), "ERROR: dir.dat is a folder, not a file\r\n");
    EXPECT_EQ(fs.names(), std::vector<std::string>{"soils/soil.dat"});
}

TEST(PedoviewRun, NeverChangesWhatPedopreReadOrWrote) {
    common::MemoryFileSystem fs;
    ASSERT_EQ(run_both(fs, "soil.dat", example("vg_layered.dat")), "Page written: soil.SIN.html\r\n");
    auto before = contents(fs);
    before.erase("soil.SIN.html");
    EXPECT_EQ(view(fs, {"soil.dat"}), "Page written: soil.SIN.html\r\n");
    auto after = contents(fs);
    after.erase("soil.SIN.html");
    EXPECT_EQ(after, before);

    // An input named like a page keeps its bytes: its own page is named
    // after its .SIN.
    common::MemoryFileSystem same;
    EXPECT_EQ(run_both(same, "soil.SIN.html", example("vg_layered.dat")), "Page written: soil.SIN.SIN.html\r\n");
    EXPECT_EQ(*same.get("soil.SIN.html"), example("vg_layered.dat"));
}

TEST(PedoviewRun, MissingAndUnreadableOutputsAreNamedOnThePage) {
    common::MemoryFileSystem fs;
    run_both(fs, "soil.dat", example("measured_loam.dat"));
    std::string err;
    fs.remove("soil.UPQ", err);
    fs.remove("soil.MQ", err);
    fs.add_folder("soil.MQ");
    ASSERT_EQ(view(fs, {"soil.dat"}), "Page written: soil.SIN.html\r\n");
    const std::string& html = *fs.get("soil.SIN.html");
    EXPECT_NE(html.find("<td>soil.UPQ</td><td>missing</td>"), std::string::npos);
    EXPECT_NE(html.find("<td>soil.MQ</td><td>unreadable</td><td>It is a folder, not a file.</td>"), std::string::npos);
    EXPECT_NE(html.find("This soil's own files show a run that did not reach its end: missing soil.UPQ; incomplete "
                        "or unreadable soil.MQ."),
              std::string::npos);
    EXPECT_NE(html.find("Nothing to draw: the run left no table of this kind in soil.MQ."), std::string::npos);
    // The characteristic is still drawn from .MIS, the flux from .SIN.
    EXPECT_NE(html.find("data-series=\"Layer 2, .MIS points\""), std::string::npos);
    EXPECT_NE(html.find("data-series=\".SIN, the rows the model reads\""), std::string::npos);
}

TEST(PedoviewRun, OneFigureAloneAsAnSvgDocument) {
    common::MemoryFileSystem fs;
    run_both(fs, "soils/nine.dat", example("vg_nine_layers.dat"));
    EXPECT_EQ(view(fs, {"--svg", "characteristic", "soils/nine.dat"}),
              "Figure written: soils/nine.characteristic.svg\r\n");
    const std::string& svg = *fs.get("soils/nine.characteristic.svg");
    EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"", 0),
              0u);
    EXPECT_NE(svg.find("data-series=\"Layer 9, van Genuchten curve\""), std::string::npos);
    EXPECT_EQ(view(fs, {"--svg", "nosuch", "soils/nine.dat"}),
              "ERROR: No figure is named nosuch (see PEDOVIEW --help)\r\n");
    std::string err;
    fs.remove("soils/nine.OUT", err);
    fs.remove("soils/nine.SIN", err);
    EXPECT_EQ(view(fs, {"--svg", "green-ampt-a", "soils/nine.dat"}),
              "ERROR: The run's tables do not give the figure green-ampt-a\r\n");
}

// While PEDOPRE holds its log, the page shows none of its files, which may
// be half one run's and half the next one's; once the run has ended, the
// page is the run's.
TEST(PedoviewRun, ARunInProgressIsSaidAndNotMixedIntoThePage) {
    namespace stdfs = std::filesystem;
    const stdfs::path dir = stdfs::temp_directory_path() / ("pedoview_busy_" + std::to_string(::getpid()));
    stdfs::create_directories(dir);
    const std::string soil = (dir / "soil.dat").string();
    std::ofstream(soil, std::ios::binary) << example("measured_loam.dat");
    std::string err;
    auto run_log = common::disk().open_log((dir / "PEDOPRE.LOG").string(), err);  // a run at work
    ASSERT_NE(run_log, nullptr) << err;
    ASSERT_TRUE(run_log->replace(" ERROR: Run did not finish\r\n"));

    auto console = common::Connection::in_memory(0, "console");
    soilview::run_pedoview({soil}, *console, common::disk(), 0);
    std::ifstream page_file(dir / "soil.SIN.html", std::ios::binary);
    const std::string page{std::istreambuf_iterator<char>(page_file), {}};
    EXPECT_NE(page.find("PEDOPRE is running on these files now"), std::string::npos);
    EXPECT_EQ(page.find("Log "), std::string::npos);  // nothing of the run's files
    soilview::run_pedoview({"--svg", "characteristic", soil}, *console, common::disk(), 0);
    console->flush();
    EXPECT_NE(console->memory().find("ERROR: PEDOPRE is running on these files now"), std::string::npos);
    EXPECT_FALSE(stdfs::exists(dir / "soil.characteristic.svg"));

    run_log.reset();  // the run has ended
    soilview::run_pedoview({soil}, *console, common::disk(), 0);
    std::ifstream again(dir / "soil.SIN.html", std::ios::binary);
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(again), {}).find("stopped from outside"), std::string::npos);
    stdfs::remove_all(dir);
}

// PEDOPRE.LOG is shared by the soils of a folder: a soil whose outputs are
// whole ran to its end whatever the log says, and one whose outputs are not
// did not, even under another soil's NOERROR.
TEST(PedoviewRun, APageNeverTakesAnotherSoilsOutcomeFromTheSharedLog) {
    const std::string failing =
        "Random soil\n2 0\n4 50.0 10\n0.306 0 0.298 30 0.138 100 0.03 1000\n4 0.01 20\n"
        "0.38 0 0.192 30 0.03 300 0.025 3000\n30 9990 1\n";
    common::MemoryFileSystem fs;
    run_both(fs, "good.dat", example("vg_layered.dat"));
    run_both(fs, "bad.dat", failing);  // the log now holds bad.dat's error
    ASSERT_EQ(view(fs, {"good.dat"}), "Page written: good.SIN.html\r\n");
    const std::string& good = *fs.get("good.SIN.html");
    EXPECT_EQ(good.find("Run failed"), std::string::npos);
    EXPECT_NE(good.find("but this soil's eight outputs are whole, .SIN included"), std::string::npos);
    const std::string& bad = *fs.get("bad.SIN.html");
    EXPECT_NE(bad.find("Run failed"), std::string::npos);

    run_both(fs, "good.dat", example("vg_layered.dat"));  // the log says NOERROR again
    ASSERT_EQ(view(fs, {"bad.dat"}), "Page written: bad.SIN.html\r\n");
    const std::string& again = *fs.get("bad.SIN.html");
    EXPECT_NE(again.find("Run failed"), std::string::npos);
    EXPECT_NE(again.find("missing bad.SIN"), std::string::npos);
    EXPECT_NE(again.find("here it is not this soil's"), std::string::npos);
}

}  // namespace

// Every output cut short, after its first line, a third, two thirds and
// just before its last line that holds anything: read as incomplete, with
// what was found said, never as whole.
TEST(PedoviewRun, EveryOutputCutShortIsReadAsIncomplete) {
    common::MemoryFileSystem fs;
    run_both(fs, "soil.dat", example("vg_layered.dat"));
    soilview::RunNames names;
    std::string too_long;
    ASSERT_TRUE(soilview::run_names("soil.dat", names, too_long));
    for (const std::string& path : {names.mis, names.wtd, names.mq, names.upq, names.out, names.sin}) {
        const std::string whole = *fs.get(path);
        std::vector<size_t> starts = {0};  // offset of each line
        size_t last = 0;                   // the last line that is not blank
        for (size_t at = whole.find('\n'); at != std::string::npos; at = whole.find('\n', at + 1)) {
            if (whole.find_first_not_of(" \r", starts.back()) < at) last = starts.size() - 1;
            starts.push_back(at + 1);
        }
        ASSERT_GT(last, 3u) << path;
        for (size_t lines : {size_t{1}, last / 3, 2 * last / 3, last}) {
            fs.put(path, whole.substr(0, starts[lines]));
            const soilview::RunTables r = soilview::read_run(fs, names);
            const soilview::FileStatus& s = r.file(path);
            EXPECT_EQ(s.state, soilview::FileState::Incomplete) << path << " cut after " << lines << " lines";
            EXPECT_FALSE(s.detail.empty()) << path;
        }
        fs.put(path, whole);
        EXPECT_EQ(soilview::read_run(fs, names).file(path).state, soilview::FileState::Read) << path;
    }
}
