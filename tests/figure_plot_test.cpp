// XY figures: one path per series with exactly one coordinate pair per
// drawable point, gaps and the log-axis band noted rather than hidden, series
// told apart by more than colour, and large series kept small and fast.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "browser_check.h"
#include "figure/plot.h"
#include "figure/style.h"
#include "markup_tree.h"

using namespace figure;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::vector<double> ramp(size_t n, double from, double by) {
    std::vector<double> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = from + by * static_cast<double>(i);
    return v;
}

// The paths of a rendered figure that carry ATTR (data-series or
// data-markers), by name.
std::vector<std::pair<std::string, const markup::Element*>> paths(const markup::Tree& t, const char* attr) {
    std::vector<std::pair<std::string, const markup::Element*>> out;
    for (const markup::Element* e :
         markup::find_all(t.root, [&](const markup::Element& e) { return e.name == "path" && e.attribute(attr); })) {
        out.emplace_back(*e->attribute(attr), e);
    }
    return out;
}

int commas(const std::string& s) {
    return static_cast<int>(std::count(s.begin(), s.end(), ','));
}

// The figure well-formed and passing the page checks, as a browser test would.
void expect_sound(const Figure& f) {
    const markup::Tree t = markup::parse(f.svg, true);
    EXPECT_EQ(t.error, "");
    browser_check::Expectations e;
    e.figure_count = 1;
    std::string failures;
    for (const std::string& s : browser_check::check_figures(t.root, e)) failures += s + "\n";
    EXPECT_EQ(failures, "");
}

TEST(Plot, EachSeriesIsOnePathWithOnePairPerPoint) {
    Plot p;
    p.id = "mixed";
    p.title = "Mixed";
    p.x = {"Day", "", Scale::Linear, {}};
    p.y = {"Rain", "mm", Scale::Linear, {}};
    p.series.push_back({"line", ramp(100, 0, 1), ramp(100, 5, 0.5)});
    p.series.push_back({"line with markers", ramp(30, 0, 3), ramp(30, 50, -1), SeriesKind::Line, true});
    p.series.push_back({"points", ramp(7, 3, 10), ramp(7, 1, 7), SeriesKind::Points});
    p.series.push_back({"bars", ramp(12, 0, 8), ramp(12, -20, 6), SeriesKind::Bars});
    p.series.push_back({"more bars", ramp(12, 0, 8), ramp(12, 10, 1), SeriesKind::Bars});
    p.series.push_back({"single", {40}, {30}});
    const Figure f = render(p);
    const markup::Tree t = markup::parse(f.svg, true);
    const auto series = paths(t, "data-series");
    ASSERT_EQ(series.size(), p.series.size());
    for (size_t i = 0; i < series.size(); ++i) {
        const auto& [name, path] = series[i];
        EXPECT_EQ(name, p.series[i].name);
        const int n = static_cast<int>(p.series[i].x.size());
        EXPECT_EQ(*path->attribute("data-points"), std::to_string(n)) << name;
        EXPECT_EQ(commas(*path->attribute("d")), n) << name;
    }
    const auto markers = paths(t, "data-markers");
    ASSERT_EQ(markers.size(), 1u);
    EXPECT_EQ(markers[0].first, "line with markers");
    EXPECT_EQ(commas(*markers[0].second->attribute("d")), 30);
    // A lone point still shows: a zero-length stroke with a round cap.
    const std::string& lone = *series[5].second->attribute("d");
    EXPECT_EQ(lone.substr(lone.size() - 2), "h0");
    EXPECT_EQ(*series[5].second->attribute("stroke-linecap"), "round");
    EXPECT_TRUE(f.notes.empty());
    expect_sound(f);
}

TEST(Plot, UndrawableValuesBreakTheLineAndAreNoted) {
    Plot p;
    p.id = "gaps";
    p.x = {"Day", "", Scale::Linear, {}};
    p.y = {"Rain", "mm", Scale::Linear, {}};
    p.series.push_back({"daily", ramp(10, 1, 1), {1, 2, kNaN, 4, 5, kInf, 7, 8, 9, -kInf}});
    p.series.push_back({"empty", {}, {}});
    p.series.push_back({"all missing", {1, 2}, {kNaN, kNaN}, SeriesKind::Points});
    const Figure f = render(p);
    const markup::Tree t = markup::parse(f.svg, true);
    const auto series = paths(t, "data-series");
    ASSERT_EQ(series.size(), 3u);
    EXPECT_EQ(*series[0].second->attribute("data-points"), "7");
    const std::string& d = *series[0].second->attribute("d");
    EXPECT_EQ(commas(d), 7);
    EXPECT_EQ(std::count(d.begin(), d.end(), 'm'), 2) << d;  // two gaps, two new starts
    EXPECT_EQ(*series[1].second->attribute("data-points"), "0");
    EXPECT_EQ(*series[2].second->attribute("data-points"), "0");
    const std::string notes = [&] {
        std::string s;
        for (const std::string& n : f.notes) s += n + "\n";
        return s;
    }();
    EXPECT_NE(notes.find("\xE2\x80\x9C"
                         "daily\xE2\x80\x9D: 3 of 10 points"),
              std::string::npos)
        << notes;
    EXPECT_NE(notes.find("gaps"), std::string::npos) << notes;
    EXPECT_NE(notes.find("\xE2\x80\x9C"
                         "empty\xE2\x80\x9D has no points"),
              std::string::npos)
        << notes;
    EXPECT_NE(notes.find("\xE2\x80\x9C"
                         "all missing\xE2\x80\x9D: 2 of 2"),
              std::string::npos)
        << notes;
    expect_sound(f);
}

TEST(Plot, ValuesAtOrBelowZeroOnALogAxisAreDrawnInTheBand) {
    Plot p;
    p.id = "retention";
    p.x = {"Suction", "cm", Scale::Log, {}};
    p.y = {"Conductivity", "cm/day", Scale::Log, {}};
    p.series.push_back({"layer", {0, -5, 1, 10, 100, 1000}, {20, 10, 5, 0, 0.1, 0.001}});
    const Figure f = render(p);
    const markup::Tree t = markup::parse(f.svg, true);
    const auto series = paths(t, "data-series");
    ASSERT_EQ(series.size(), 1u);
    EXPECT_EQ(*series[0].second->attribute("data-points"), "6");  // none dropped
    EXPECT_EQ(commas(*series[0].second->attribute("d")), 6);

    // The first point, x = 0, lies within the x axis's band.
    const auto bands = markup::find_all(t.root, [](const markup::Element& e) { return e.has_classes("band"); });
    ASSERT_EQ(bands.size(), 2u);
    const double band_left = std::stod(*bands[0]->attribute("x"));
    const double band_right = band_left + std::stod(*bands[0]->attribute("width"));
    const std::string& d = *series[0].second->attribute("d");
    const double x0 = std::stod(d.substr(1));
    EXPECT_GT(x0, band_left);
    EXPECT_LT(x0, band_right);

    const auto band_labels = markup::find_all(
        t.root, [](const markup::Element& e) { return e.has_classes("band-label") && e.all_text() == kBandLabel; });
    EXPECT_EQ(band_labels.size(), 2u);
    ASSERT_EQ(f.notes.size(), 2u);
    EXPECT_NE(f.notes[0].find("x axis is logarithmic"), std::string::npos);
    EXPECT_NE(f.notes[0].find(": 2 values"), std::string::npos) << f.notes[0];
    EXPECT_NE(f.notes[1].find("y axis is logarithmic"), std::string::npos);
    EXPECT_NE(f.notes[1].find(": 1 value"), std::string::npos) << f.notes[1];
    expect_sound(f);
}

TEST(Plot, SeriesDifferByMoreThanColour) {
    std::set<std::string_view> dashes;
    for (size_t i = 0; i < kDashCount; ++i) dashes.insert(series_style(i).dash);
    EXPECT_EQ(dashes.size(), kDashCount);
    std::set<std::pair<std::string_view, Marker>> looks;
    for (size_t i = 0; i < 49; ++i) looks.insert({series_style(i).colour, series_style(i).marker});
    EXPECT_EQ(looks.size(), 49u);

    // More lines than dash patterns: every line gets markers as well.
    Plot p;
    p.id = "many";
    p.x = {"x", "", Scale::Linear, {}};
    p.y = {"y", "", Scale::Linear, {}};
    for (int i = 0; i < 12; ++i) p.series.push_back({"s" + std::to_string(i), {0, 1}, {0.0 + i, 1.0 + i}});
    const markup::Tree t = markup::parse(render(p).svg, true);
    EXPECT_EQ(paths(t, "data-markers").size(), 12u);
}

TEST(Plot, HostileNamesAndOddRangesGiveSoundFigures) {
    Plot p;
    p.id = "odd id <1>";
    p.title = "Title with <tags> & \"quotes\" and a Latin-1 \xB0";
    p.x = {"x & <x>", "\"u\"", Scale::Linear, {}};
    p.y = {"y", "", Scale::Log, {}};
    p.series.push_back({"</path><script>", {1, 1, 1}, {0, 0, 0}});
    const Figure f = render(p);
    EXPECT_EQ(f.id, "odd-id--1-");
    EXPECT_EQ(f.svg.find("<script"), std::string::npos);
    expect_sound(f);

    Plot empty;
    empty.id = "empty";
    empty.x.title = "x";
    empty.y.title = "y";
    expect_sound(render(empty));

    Plot huge = empty;
    huge.id = "huge";
    huge.series.push_back({"h", {-1e300, 1e300}, {1e-300, 1e300}, SeriesKind::Bars});
    expect_sound(render(huge));
}

TEST(Plot, SeriesOfUnequalLengthsAreRefused) {
    Plot p;
    p.series.push_back({"bad", {1, 2, 3}, {1, 2}});
    EXPECT_THROW(render(p), std::invalid_argument);
}

TEST(Plot, TwentyThousandPointsStayCompactAndFast) {
    Plot p;
    p.id = "daily";
    p.x = {"Day", "", Scale::Linear, {}};
    p.y = {"Rain", "mm", Scale::Linear, {}};
    Series s{"daily", ramp(20000, 0, 1), {}};
    for (size_t i = 0; i < s.x.size(); ++i) s.y.push_back(std::fabs(30 * std::sin(0.37 * static_cast<double>(i))));
    p.series.push_back(std::move(s));
    const auto start = std::chrono::steady_clock::now();
    const Figure f = render(p);
    const auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(f.svg.size(), 250000u);  // about a dozen bytes a point
    EXPECT_LT(ms, 500.0);              // milliseconds in practice; this bound only catches a slow path
    expect_sound(f);
}

}  // namespace
