// The checks of a report page read back from the page as figure::Page
// writes it: every level, text that needed escaping, and a page without
// checks.
#include <gtest/gtest.h>

#include "command/page_checks.h"
#include "figure/page.h"

namespace {

TEST(PageChecks, ReadBackAsThePageListsThem) {
    figure::Page page("soil");
    page.add_check(figure::CheckStatus::Passed, "Layer 1: departs by 0.007 cm\xC2\xB3/cm\xC2\xB3");
    page.add_check(figure::CheckStatus::Warning, "A < B & \"C\" > D's");
    page.add_check(figure::CheckStatus::Failed, "The .TEM file is missing");
    page.add_section("Layers");
    page.add_paragraph("<li class=\"warning\">not a check</li>");
    const auto checks = command::page_checks(page.html());
    ASSERT_EQ(checks.size(), 3u);
    EXPECT_EQ(checks[0].level, "passed");
    EXPECT_EQ(checks[0].text, "Layer 1: departs by 0.007 cm\xC2\xB3/cm\xC2\xB3");
    EXPECT_EQ(checks[1].level, "warning");
    EXPECT_EQ(checks[1].text, "A < B & \"C\" > D's");
    EXPECT_EQ(checks[2].level, "failed");
    EXPECT_EQ(command::warning_count(checks), 2);
    EXPECT_TRUE(command::page_checks(figure::Page("empty").html()).empty());
}

}  // namespace
