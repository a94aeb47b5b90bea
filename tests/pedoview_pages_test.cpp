// PEDOVIEW's pages checked in headless Chromium: PEDOPRE then PEDOVIEW, in
// process on files in memory, on every example soil and on a failed run's
// partial set. Every figure must render with its axes, its legend and one
// path per series, and each table's series must have drawn exactly as many
// points as the file has rows (counted from the files, not by PEDOVIEW).
// The pages and their screenshots land in build/screenshots/.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "browser_check.h"
#include "markup_tree.h"
#include "pedoview_test_runs.h"
#include "soilprep/upq_file.h"
#include "soilview/sin_file.h"

namespace fs = std::filesystem;
using browser_check::Expectations;
using browser_check::FigureExpectation;
using pedoview_test::mis_points;
using pedoview_test::mq_rows;

namespace {

std::string read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string layer(size_t l) {
    return "Layer " + std::to_string(l + 1);
}

// Rows of a file whose depth lies within the 0-200 cm that the depth
// figures draw; deeper rows go into tables.
template <class Depths>
int drawn_rows(const Depths& depth, int rows) {
    int n = 0;
    for (int i = 0; i < rows; ++i) n += depth[i] <= 200.0f;
    return n;
}

int sin_rows_drawn(const common::MemoryFileSystem& files, const std::string& base) {
    const std::string* text = files.get(base + ".SIN");
    if (!text) return 0;
    auto c = common::Connection::in_memory(0, "sin", *text);
    soilview::SinTables t;
    std::string problem;
    soilview::read_sin(*c, t, problem);
    return drawn_rows(t.depth, t.depth_rows);
}

int upq_rows_drawn(const common::MemoryFileSystem& files, const std::string& base) {
    const std::string* text = files.get(base + ".UPQ");
    if (!text) return 0;
    auto c = common::Connection::in_memory(0, "upq", *text);
    soilprep::UpqFluxes t;
    soilprep::read_upq(*c, t);
    return drawn_rows(t.depth, t.rows);
}

// What the page of a run must hold, from the run's files. The conductivity
// table is drawn as the method interpolates it: 24 points per segment
// between rows, and the saturated row.
Expectations expected(const common::MemoryFileSystem& files, const std::string& base, bool vg) {
    const std::vector<int> mq = mq_rows(files.get(base + ".MQ"));
    const std::vector<int> mis = mis_points(files.get(base + ".MIS"));
    Expectations e;
    FigureExpectation characteristic{"characteristic", static_cast<int>(mq.size() + (vg ? mq.size() : mis.size())), {}};
    FigureExpectation conductivity{"conductivity", static_cast<int>(vg ? 2 * mq.size() : mq.size()), {}};
    for (size_t l = 0; l < mq.size(); ++l) {
        characteristic.points.push_back({layer(l) + ", .MQ table", mq[l]});
        conductivity.points.push_back({layer(l) + ", .MQ table as interpolated", 24 * (mq[l] - 1) + 1});
    }
    if (!vg)
        for (size_t l = 0; l < mis.size(); ++l) characteristic.points.push_back({layer(l) + ", .MIS points", mis[l]});
    const int sin = sin_rows_drawn(files, base);
    FigureExpectation volume{"drained-volume", (sin > 0 ? 2 : 1) + (vg ? 1 : 0), {{".WTD, every 10 cm", 21}}};
    if (sin > 0) volume.points.push_back({".SIN, the rows the model reads", sin});
    e.figures = {characteristic, conductivity, volume, {"drainable-porosity", vg ? 2 : 1, {{".WTD, every 10 cm", 21}}}};
    return e;
}

void add_flux_and_green_ampt(Expectations& e, const common::MemoryFileSystem& files, const std::string& base, bool vg) {
    const int sin = sin_rows_drawn(files, base);
    e.figures.push_back({"upward-flux",
                         vg ? 3 : 2,
                         {{".UPQ, water table computed for each flux", upq_rows_drawn(files, base)},
                          {".SIN, the rows the model reads", sin}}});
    e.figures.push_back(
        {"green-ampt-a", vg ? 3 : 2, {{".SIN, A as the model reads it", 9}, {".OUT, A as computed", 9}}});
    e.figures.push_back({"green-ampt-b", 2, {{".SIN, B as the model reads it", 9}, {".OUT, B as computed", 9}}});
}

// Every van Genuchten curve of the page is drawn through many points.
void expect_dense_curves(const std::string& html, size_t layers) {
    const markup::Tree tree = markup::parse(html, false);
    const auto curves = markup::find_all(tree.root, [](const markup::Element& e) {
        const std::string* s = e.attribute("data-series");
        return s && s->find("curve") != std::string::npos;
    });
    EXPECT_EQ(curves.size(), 2 * layers);
    for (const markup::Element* c : curves)
        EXPECT_GE(std::stoi(*c->attribute("data-points")), 100) << *c->attribute("data-series");
}

fs::path screenshots() {
    const fs::path dir = SCREENSHOT_DIR;
    fs::create_directories(dir);
    return dir;
}

void check_in_chromium(const std::string& html, const std::string& name, const Expectations& e) {
    const fs::path page = screenshots() / ("pedoview_" + name + ".html");
    std::ofstream(page, std::ios::binary) << html;
    const auto report = browser_check::check_page(page, e, screenshots() / ("pedoview_" + name + ".png"));
    EXPECT_TRUE(report.ok()) << report.describe();
}

TEST(PedoviewPages, EveryExampleSoilRendersWithEveryTable) {
    if (!browser_check::find_chromium()) GTEST_SKIP() << browser_check::missing_chromium();
    size_t soils = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(EXAMPLES_DIR) / "soils")) {
        if (entry.path().extension() != ".dat") continue;
        const std::string name = entry.path().stem().string();
        SCOPED_TRACE(name);
        ++soils;
        common::MemoryFileSystem files;
        const std::string input = read_file(entry.path());
        const std::string console = pedoview_test::run_both(files, "soils/" + name + ".dat", input);
        ASSERT_EQ(console, "Page written: soils/" + name + ".SIN.html\r\n");
        const std::string* html = files.get("soils/" + name + ".SIN.html");
        ASSERT_NE(html, nullptr);
        EXPECT_LT(html->size(), 300u * 1024u);

        // The second value of line 2 chooses the form.
        const bool vg = input.find("\n9 1") != std::string::npos || input.find("\n3 1") != std::string::npos;
        Expectations e = expected(files, "soils/" + name, vg);
        add_flux_and_green_ampt(e, files, "soils/" + name, vg);
        e.figure_count = 7;
        e.texts = {"NOERROR: Program terminated normally", "Layers", "Wetting-front suction (cm)"};
        if (vg) expect_dense_curves(*html, mq_rows(files.get("soils/" + name + ".MQ")).size());
        check_in_chromium(*html, name, e);
    }
    EXPECT_EQ(soils, 3u);
}

TEST(PedoviewPages, AFailedRunShowsWhatItWroteAndNamesWhatIsMissing) {
    if (!browser_check::find_chromium()) GTEST_SKIP() << browser_check::missing_chromium();
    // The water tables of the smallest fluxes all lie at the profile's bottom:
    // the fit is refused after .UPQ and the first section of .OUT are written.
    common::MemoryFileSystem files;
    const std::string console =
        pedoview_test::run_both(files, "run/soil.dat",
                                "Random soil\n2 0\n4 50.0 10\n0.306 0 0.298 30 0.138 100 0.03 1000\n4 0.01 20\n"
                                "0.38 0 0.192 30 0.03 300 0.025 3000\n30 9990 1\n");
    ASSERT_EQ(console, "Page written: run/soil.SIN.html\r\n");
    ASSERT_EQ(files.get("run/soil.SIN"), nullptr);
    const std::string& html = *files.get("run/soil.SIN.html");

    Expectations e = expected(files, "run/soil", false);
    e.figures.push_back(
        {"upward-flux", 1, {{".UPQ, water table computed for each flux", upq_rows_drawn(files, "run/soil")}}});
    e.figure_count = 5;
    e.texts = {"Run failed:",
               "no spline fits",
               "Not written by this run.",
               "This soil's own files show a run that did not reach its end: missing run/soil.SIN",
               "Nothing to draw: the run left no table of this kind in run/soil.SIN and run/soil.OUT.",
               "the water table lies below the bottom of layer 2",
               "the water table does not deepen as the flux falls"};
    check_in_chromium(html, "failed_run", e);
}

}  // namespace
