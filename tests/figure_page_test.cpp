// Pages: well-formed and standing alone whatever the data hold, the failure
// banner and warnings at the top, data tables collapsed under their figure.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>

#include "browser_check.h"
#include "figure/page.h"
#include "figure/table.h"

using namespace figure;

namespace {

const std::string kHostile = "<b>&amp; \"x\" ]]> \xB0 \x01 </section>";

Plot small_plot(const std::string& id, const std::string& name) {
    Plot p;
    p.id = id;
    p.title = name;
    p.x = {"Depth " + name, "cm", Scale::Linear, {}};
    p.y = {"Volume", "cm", Scale::Linear, {}};
    p.series.push_back({name, {0, 10, 20}, {0, 1.5, 2.25}});
    return p;
}

std::string joined(const std::vector<std::string>& v) {
    std::string out;
    for (const std::string& s : v) out += s + "\n";
    return out;
}

TEST(Page, HostileTextsStillGiveAWellFormedPageThatStandsAlone) {
    Page page(kHostile);
    page.set_subtitle(kHostile);
    page.set_failed(kHostile);
    page.add_check(CheckStatus::Failed, kHostile);
    page.add_section(kHostile);
    page.add_paragraph(kHostile);
    const Plot p = small_plot("f1", kHostile);
    page.add_figure(render(p), plot_table(p));
    page.add_table({kHostile, {kHostile}, {{kHostile}}}, false);
    const std::string html = page.html();
    EXPECT_EQ(joined(browser_check::check_source(html)), "");
    // Parsed back, the texts read as given (less the bytes that were not text).
    const markup::Tree t = markup::parse(html, true);
    const auto h1 = markup::find_all(t.root, [](const markup::Element& e) { return e.name == "h1"; });
    ASSERT_EQ(h1.size(), 1u);
    EXPECT_EQ(h1[0]->all_text(), "<b>&amp; \"x\" ]]> \xEF\xBF\xBD \xEF\xBF\xBD </section>");
}

TEST(Page, TheFailureAndTheWarningsComeFirst) {
    Page ok("Run");
    ok.add_check(CheckStatus::Passed, "all days present");
    ok.add_section("Data");
    ok.add_paragraph("text");
    const std::string quiet = ok.html();
    EXPECT_EQ(quiet.find("role=\"alert\""), std::string::npos);
    EXPECT_EQ(quiet.find("<section class=\"warnings\">"), std::string::npos);
    EXPECT_NE(quiet.find("\xE2\x9C\x93 passed</span> all days present"), std::string::npos);
    EXPECT_FALSE(ok.failed());

    Page bad("Run");
    bad.add_section("Data");
    bad.add_paragraph("text");
    bad.add_check(CheckStatus::Passed, "all days present");
    bad.add_check(CheckStatus::Warning, "12 days missing");
    bad.set_failed("the weather file ends in the middle of a record");
    EXPECT_TRUE(bad.failed());
    const std::string html = bad.html();
    const size_t banner = html.find("<div class=\"banner failed\" role=\"alert\">");
    const size_t warnings = html.find("<section class=\"warnings\">");
    const size_t main = html.find("<main>");
    ASSERT_NE(banner, std::string::npos);
    ASSERT_NE(warnings, std::string::npos);
    EXPECT_LT(banner, warnings);
    EXPECT_LT(warnings, main);
    EXPECT_NE(html.find("the weather file ends in the middle of a record"), std::string::npos);
    // The warning is listed at the top; the passed check only at the end.
    const std::string top = html.substr(warnings, main - warnings);
    EXPECT_NE(top.find("12 days missing"), std::string::npos);
    EXPECT_EQ(top.find("all days present"), std::string::npos);
}

TEST(Page, DataTablesFoldUnderTheirFigure) {
    Page page("Soil");
    const Plot p = small_plot("wtd", "Layer 1");
    page.add_figure(render(p), plot_table(p));
    const std::string html = page.html();
    const size_t figure_end = html.find("</figure>");
    const size_t details = html.find("<details>");
    ASSERT_NE(details, std::string::npos);
    EXPECT_LT(figure_end, details);
    EXPECT_NE(html.find("<summary>Values of Layer 1 (3 rows)</summary>"), std::string::npos);
    EXPECT_NE(html.find("<tr><td>20</td><td>2.25</td></tr>"), std::string::npos);
    // One id per page.
    EXPECT_THROW(page.add_figure(render(p)), std::invalid_argument);
}

TEST(Table, SharedXValuesGiveColumnsOtherwiseRows) {
    Plot p = small_plot("a", "one");
    p.series.push_back({"two", {0, 10, 20}, {1, std::nan(""), 3}});
    Table wide = plot_table(p);
    EXPECT_EQ(wide.header, (std::vector<std::string>{"Depth one (cm)", "one", "two"}));
    ASSERT_EQ(wide.rows.size(), 3u);
    EXPECT_EQ(wide.rows[1], (std::vector<std::string>{"10", "1.5", "missing"}));

    p.series.push_back({"three", {5}, {7}});
    const Table tall = plot_table(p);
    EXPECT_EQ(tall.header, (std::vector<std::string>{"Series", "Depth one (cm)", "Volume (cm)"}));
    EXPECT_EQ(tall.rows.size(), 7u);
    EXPECT_EQ(tall.rows.back(), (std::vector<std::string>{"three", "5", "7"}));
}

TEST(Table, NumbersAreShortAndPlain) {
    EXPECT_EQ(format_value(0.0125), "0.0125");
    EXPECT_EQ(format_value(1.5e-7), "1.5e-7");
    EXPECT_EQ(format_value(250000), "250000");
    EXPECT_EQ(format_value(1234567), "1.23457e6");
    EXPECT_EQ(format_value(-0.0), "0");
    EXPECT_EQ(format_value(std::nan("")), "missing");
    EXPECT_EQ(format_value(-std::numeric_limits<double>::infinity()), "\xE2\x88\x92\xE2\x88\x9E");
}

TEST(Page, WritesTheFileAndRefusesAPlaceItCannotWrite) {
    const auto dir = std::filesystem::temp_directory_path() / "figure_page_test";
    std::filesystem::create_directories(dir);
    Page page("Written");
    page.write(dir / "page.html");
    std::ifstream in(dir / "page.html", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    EXPECT_EQ(s.str(), page.html());
    EXPECT_THROW(page.write(dir / "no such folder" / "page.html"), std::runtime_error);
    std::filesystem::remove_all(dir);
}

}  // namespace
