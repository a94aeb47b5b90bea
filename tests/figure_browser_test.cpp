// The page checks in headless Chromium, on a demonstration page made with the
// figure module: a retention curve on a log axis that holds a suction of 0,
// conductivity on log-log axes with nine layers, annual totals as bars,
// twenty thousand daily values with gaps, a calendar strip and a data table.
// The checks themselves are first shown to catch broken figures and pages,
// without a browser.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "browser_check.h"
#include "figure/page.h"
#include "figure/plot.h"
#include "figure/svg.h"

using namespace figure;

namespace {

constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();

struct VanGenuchten {
    double theta_r, theta_s, alpha, n, ks;
    double se(double h) const {
        const double m = 1 - 1 / n;
        return h <= 0 ? 1 : std::pow(1 + std::pow(alpha * h, n), -m);
    }
    double theta(double h) const { return theta_r + (theta_s - theta_r) * se(h); }
    double k(double h) const {
        const double m = 1 - 1 / n;
        const double s = se(h);
        const double f = 1 - std::pow(1 - std::pow(s, 1 / m), m);
        return ks * std::sqrt(s) * f * f;
    }
};

const std::vector<VanGenuchten> kLayers{
    {0.078, 0.43, 0.036, 1.56, 24.96}, {0.065, 0.41, 0.075, 1.89, 106.1}, {0.095, 0.41, 0.019, 1.31, 6.24},
    {0.100, 0.39, 0.059, 1.48, 31.44}, {0.068, 0.38, 0.008, 1.09, 4.80},  {0.057, 0.41, 0.124, 2.28, 350.2},
    {0.034, 0.46, 0.016, 1.37, 6.00},  {0.089, 0.43, 0.010, 1.23, 1.68},  {0.070, 0.36, 0.005, 1.09, 0.48}};

std::vector<double> suctions(bool with_zero) {
    std::vector<double> h;
    if (with_zero) h.push_back(0);
    for (int e = 0; e <= 42; ++e) h.push_back(std::pow(10.0, e / 10.0));  // 1 to 15849 cm
    return h;
}

Plot retention_plot() {
    Plot p;
    p.id = "retention";
    p.title = "Soil water characteristic";
    p.x = {"Suction", "cm", Scale::Log, {}};
    p.y = {"Water content", "cm\xC2\xB3/cm\xC2\xB3", Scale::Linear, {0}};
    for (size_t i = 0; i < 3; ++i) {
        Series s{"Layer " + std::to_string(i + 1)};
        s.x = suctions(true);
        for (const double h : s.x) s.y.push_back(kLayers[i].theta(h));
        p.series.push_back(std::move(s));
    }
    p.series.push_back(
        {"Measured, layer 1", {0, 10, 33, 100, 1000, 15000}, {0.43, 0.40, 0.33, 0.25, 0.15, 0.09}, SeriesKind::Points});
    return p;
}

Plot conductivity_plot() {
    Plot p;
    p.id = "conductivity";
    p.title = "Unsaturated conductivity";
    p.x = {"Suction", "cm", Scale::Log, {}};
    p.y = {"Conductivity", "cm/day", Scale::Log, {}};
    for (size_t i = 0; i < kLayers.size(); ++i) {
        Series s{"Layer " + std::to_string(i + 1)};
        s.x = suctions(false);
        for (const double h : s.x) s.y.push_back(kLayers[i].k(h));
        p.series.push_back(std::move(s));
    }
    return p;
}

Plot annual_plot() {
    Plot p;
    p.id = "annual";
    p.title = "Annual rain";
    p.x = {"Year", "", Scale::Linear, {}};
    p.y = {"Rain", "mm", Scale::Linear, {}};
    Series bars{"Annual total", {}, {}, SeriesKind::Bars};
    double sum = 0;
    for (int y = 1990; y < 2020; ++y) {
        bars.x.push_back(y);
        bars.y.push_back(y == 2003 ? kMissing : 900 + 250 * std::sin(y * 1.7));
        if (y != 2003) sum += bars.y.back();
    }
    p.series.push_back(bars);
    p.series.push_back({"Mean of 29 years", {1990, 2019}, {sum / 29, sum / 29}});
    return p;
}

Plot daily_plot() {
    Plot p;
    p.id = "daily";
    p.title = "Daily rain";
    p.x = {"Day of the series", "", Scale::Linear, {}};
    p.y = {"Rain", "mm/day", Scale::Linear, {0}};
    Series s{"Station <A&B> \"North\""};
    for (int d = 0; d < 20000; ++d) {
        s.x.push_back(d);
        const bool missing = d % 1000 >= 990;  // ten days missing in every thousand
        s.y.push_back(missing ? kMissing : std::max(0.0, 30 * std::sin(d * 0.37) * std::sin(d * 0.011)));
    }
    p.series.push_back(std::move(s));
    return p;
}

// A year of days as a strip of squares: present, missing or changed.
std::string calendar_strip() {
    Svg svg("calendar-1995", "strip", 760, 84, "Days of 1995");
    for (int d = 0; d < 365; ++d) {
        const int week = d / 7;
        const int wday = d % 7;
        const bool missing = d >= 40 && d < 52;
        const bool changed = d == 200;
        svg.rect(20 + week * 13, 6 + wday * 8, 12, 7,
                 {.fill = missing   ? "#ffffff"
                          : changed ? "#D55E00"
                                    : "#0072B2",
                  .stroke = missing ? "#333333" : "",
                  .stroke_width = missing ? 0.8 : 0,
                  .cls = missing   ? "day missing"
                         : changed ? "day changed"
                                   : "day present"});
    }
    svg.text(20, 78, "blue: present, outlined: missing, orange: changed", Anchor::Start, "strip-key");
    return svg.finish();
}

Page demo_page() {
    Page page("Demonstration of the report figures");
    page.set_subtitle("Soil and weather figures made from generated data");
    page.add_check(CheckStatus::Passed, "Every layer has a characteristic");
    page.add_check(CheckStatus::Warning, "Station <A&B> \"North\": 200 days missing");
    page.add_section("Soil");
    const Plot retention = retention_plot();
    page.add_figure(render(retention), plot_table(retention));
    page.add_figure(render(conductivity_plot()));
    page.add_section("Weather");
    page.add_paragraph("Rain of station <A&B> \"North\", 1990 to 2019.");
    page.add_svg(calendar_strip(), "Days of 1995: twelve missing in February, one changed in July.");
    page.add_figure(render(annual_plot()));
    page.add_figure(render(daily_plot()));
    return page;
}

browser_check::Expectations demo_expectations() {
    browser_check::Expectations e;
    e.figure_count = 4;
    e.figures = {
        {"retention", 4, {{"Layer 1", 44}, {"Measured, layer 1", 6}}},
        {"conductivity", 9, {{"Layer 9", 43}}},
        {"annual", 2, {{"Annual total", 29}, {"Mean of 29 years", 2}}},
        {"daily", 1, {{"Station <A&B> \"North\"", 19800}}},
    };
    e.texts = {"drawn in the band marked", "Station <A&B> \"North\"", "200 of 20000 points"};
    return e;
}

std::string joined(const std::vector<std::string>& v) {
    std::string out;
    for (const std::string& s : v) out += s + "\n";
    return out;
}

// The demonstration page as written, with the first FROM after ANCHOR
// replaced by TO, checked without a browser.
std::vector<std::string> check_edited(const std::string& from, const std::string& to, const std::string& anchor = {}) {
    std::string html = demo_page().html();
    const size_t at = html.find(from, html.find(anchor));
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) html.replace(at, from.size(), to);
    auto fail = browser_check::check_source(html);
    const auto dom = browser_check::check_dom(html, demo_expectations());
    fail.insert(fail.end(), dom.begin(), dom.end());
    return fail;
}

TEST(BrowserCheck, TheDemonstrationPassesWithoutABrowser) {
    const std::string html = demo_page().html();
    EXPECT_TRUE(browser_check::check_source(html).empty()) << joined(browser_check::check_source(html));
    const auto fail = browser_check::check_dom(html, demo_expectations());
    EXPECT_TRUE(fail.empty()) << joined(fail);
}

TEST(BrowserCheck, BrokenFiguresAreCaught) {
    // A point count that does not match the path.
    EXPECT_FALSE(check_edited("data-points=\"6\"", "data-points=\"7\"").empty());
    // A pair written without its comma, as a careless writer would.
    EXPECT_FALSE(check_edited(",", " ", "data-series=\"Layer 2\"").empty());
    // NaN in a coordinate.
    EXPECT_FALSE(check_edited("<text x=\"", "<text x=\"NaN\" y0=\"").empty());
    // A legend entry lost.
    EXPECT_FALSE(check_edited("<g class=\"legend-entry\">", "<g class=\"legend-item\">").empty());
    // An axis without its class, so without ticks a checker can find.
    EXPECT_FALSE(check_edited("class=\"axis y\"", "class=\"axis\"").empty());
    // The caller's expectation on a series' points.
    auto e = demo_expectations();
    e.figures[1].points = {{"Layer 9", 42}};
    EXPECT_FALSE(browser_check::check_dom(demo_page().html(), e).empty());
}

TEST(BrowserCheck, PagesThatDoNotStandAloneOrParseAreCaught) {
    EXPECT_FALSE(check_edited("</head>", "<script>1</script></head>").empty());
    EXPECT_FALSE(check_edited("</head>", "<link rel=\"stylesheet\" href=\"a.css\" /></head>").empty());
    EXPECT_FALSE(check_edited(":root {", "@import \"x.css\";\n:root {").empty());
    EXPECT_FALSE(check_edited("<rect ", "<rect fill=\"url(http://example.org/p)\" ").empty());
    EXPECT_FALSE(check_edited("<p>", "<p><br>").empty());          // not closed
    EXPECT_FALSE(check_edited("&lt;A&amp;B", "&lt;A&B").empty());  // bare ampersand
    EXPECT_FALSE(check_edited("<meta charset=\"utf-8\" />", "<meta charset=utf-8 />").empty());
    // The XML parser's complaint in a dumped DOM.
    EXPECT_FALSE(browser_check::check_dom("<html><parsererror>error on line 3</parsererror><body></body></html>",
                                          demo_expectations())
                     .empty());
    EXPECT_FALSE(browser_check::check_dom("", demo_expectations()).empty());
}

TEST(BrowserCheck, TheDemonstrationPageRendersInChromium) {
    if (!browser_check::find_chromium()) GTEST_SKIP() << browser_check::missing_chromium();
    const std::filesystem::path dir = SCREENSHOT_DIR;
    std::filesystem::create_directories(dir);
    const std::filesystem::path html = dir / "figure_demo.html";
    demo_page().write(html);
    const auto report = browser_check::check_page(html, demo_expectations(), dir / "figure_demo.png");
    EXPECT_TRUE(report.ok()) << report.describe();
}

}  // namespace
