// Checks of a report page in headless Chromium, for the tests of the report
// programs: give it the HTML file a program wrote and what its figures must
// hold, and it returns every fault it found.
//
// check_page() reads the file and checks that it stands alone (no script,
// no address, no file or font from elsewhere) and is well-formed XML; loads
// it in Chromium and checks the DOM that comes back; loads a copy saved as
// .xhtml, so that the browser's own XML parser judges it (a "parsererror"
// in that DOM is a broken page); and takes a screenshot for people to look
// at, which must be a PNG of the window's size and not trivially small.
// Each Chromium run gets a fresh profile and a time limit, so a hang cannot
// stall the suite.
//
// In every figure <svg class="figure"> of the DOM it checks: an x and a y
// axis with tick labels and a title, a legend with one entry per series,
// data-points of every series path equal to the coordinate pairs in its
// path data, and no NaN or infinity in any attribute or tick label; then
// the caller's expectations per figure id.
//
// Use from a test:
//   if (!browser_check::find_chromium()) GTEST_SKIP() << browser_check::missing_chromium();
//   auto report = browser_check::check_page(page, expectations, shot);
//   EXPECT_TRUE(report.ok()) << report.describe();
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "markup_tree.h"

namespace browser_check {

struct FigureExpectation {
    std::string id;   // id of the figure's <svg>
    int series = -1;  // number of series; -1: not checked
    // Series name and the number of points it must have drawn.
    std::vector<std::pair<std::string, int>> points;
};

struct Expectations {
    std::vector<FigureExpectation> figures;  // each must be on the page
    int figure_count = -1;                   // figures on the page; -1: at least one
    std::vector<std::string> texts;          // must appear in the page's text
    int window_height = 0;                   // of the screenshot; 0: from the page's figures
    size_t min_png_bytes = 10000;
    std::chrono::seconds timeout{60};  // per Chromium run
};

struct Report {
    std::vector<std::string> failures;
    std::filesystem::path screenshot;  // where the screenshot was written
    bool ok() const { return failures.empty(); }
    std::string describe() const;  // the failures, one per line
};

// The Chromium to run: the file named by $CHROMIUM when set, else
// /usr/bin/chromium; nothing when it is not there.
std::optional<std::filesystem::path> find_chromium();
// Why find_chromium() found nothing, for GTEST_SKIP().
std::string missing_chromium();

// The page file as written: stands alone, and parses as XML.
std::vector<std::string> check_source(std::string_view page);
// The figures of a DOM (the tree of a page or of what a browser dumped).
std::vector<std::string> check_figures(const markup::Element& root, const Expectations& expect);
// DOM text read leniently, then check_figures() and the expected texts.
std::vector<std::string> check_dom(std::string_view dom, const Expectations& expect);

// Everything above on the page HTML, the screenshot written to SCREENSHOT
// (its folder is made when missing). Needs find_chromium().
Report check_page(const std::filesystem::path& html, const Expectations& expect,
                  const std::filesystem::path& screenshot);

}  // namespace browser_check
