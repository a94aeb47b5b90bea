// Escaping of data texts and the writing of SVG coordinates: what would
// break a page that must parse as both HTML and XML.
#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <string>

#include "figure/escape.h"
#include "figure/svg.h"
#include "markup_tree.h"

using namespace figure;

namespace {

const std::string kFFFD = "\xEF\xBF\xBD";

TEST(Escape, MarkupCharactersBecomeEntities) {
    EXPECT_EQ(escape("a<b & c>\"d\"'e"), "a&lt;b &amp; c&gt;&quot;d&quot;'e");
    EXPECT_EQ(escape("&amp;"), "&amp;amp;");  // escaped again, not taken as markup
    EXPECT_EQ(escape(""), "");
}

TEST(Escape, TextThatIsNotXmlBecomesReplacementCharacters) {
    // Valid UTF-8 passes as it is: two-, three- and four-byte characters.
    EXPECT_EQ(escape("\xC2\xB0"
                     "C \xE2\x89\xA4 0 \xF0\x9F\x8C\xA7"),
              "\xC2\xB0"
              "C \xE2\x89\xA4 0 \xF0\x9F\x8C\xA7");
    EXPECT_EQ(escape("a\tb\nc\r"), "a\tb\nc\r");
    // A Latin-1 degree sign from an old station file.
    EXPECT_EQ(escape("12\xB0"
                     "C"),
              "12" + kFFFD + "C");
    // Control characters, a cut sequence, an overlong slash, a surrogate,
    // a non-character and a code point past U+10FFFF.
    EXPECT_EQ(escape(std::string("a\0b\x01\x1B", 5)), "a" + kFFFD + "b" + kFFFD + kFFFD);
    EXPECT_EQ(escape("x\xE2\x89"), "x" + kFFFD + kFFFD);
    EXPECT_EQ(escape("\xC0\xAF"), kFFFD + kFFFD);
    EXPECT_EQ(escape("\xED\xA0\x80"), kFFFD + kFFFD + kFFFD);
    EXPECT_EQ(escape("\xEF\xBF\xBE"), kFFFD + kFFFD + kFFFD);
    EXPECT_EQ(escape("\xF4\x90\x80\x80"), kFFFD + kFFFD + kFFFD + kFFFD);
    EXPECT_EQ(escape("\xC2\x85"), kFFFD + kFFFD);         // C1 next line
    EXPECT_EQ(escape("NOERROR\x7F"), "NOERROR" + kFFFD);  // DEL, as a tampered log holds it
}

TEST(Svg, CoordinatesInShortTenths) {
    auto px = [](double v) {
        std::string s;
        append_px(s, v);
        return s;
    };
    EXPECT_EQ(px(3), "3");
    EXPECT_EQ(px(12.25), "12.3");
    EXPECT_EQ(px(0.5), ".5");
    EXPECT_EQ(px(-0.5), "-.5");
    EXPECT_EQ(px(-0.04), "0");  // no "-0"
    EXPECT_EQ(px(-7.46), "-7.5");
    EXPECT_EQ(px(1234567.89), "1234567.9");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(px(nan), std::invalid_argument);
    EXPECT_THROW(px(std::numeric_limits<double>::infinity()), std::invalid_argument);
    Svg svg("s", "strip", 10, 10, "t");
    EXPECT_THROW(svg.rect(0, nan, 1, 1, {}), std::invalid_argument);
}

TEST(Svg, ElementsAreWellFormedWithEscapedTexts) {
    Svg svg("cal<1>", "strip", 100, 20, "Days & \"nights\"");
    svg.open_group("days", attribute("data-year", "19<95>"));
    svg.rect(1, 2, 3, -4, {.fill = "#0072B2", .cls = "day missing"}, "1 Jan: <missing>");
    svg.line(0, 0, 10, 10, {.stroke = "#000", .stroke_width = 0.5, .dash = "2 3"});
    svg.text(5, 5, "a < b & \xB0", Anchor::End, "key", -90);
    const std::string out = svg.finish();  // closes the open group
    const markup::Tree t = markup::parse(out, true);
    EXPECT_EQ(t.error, "") << out;
    const markup::Element& root = *t.root.children.at(0);
    EXPECT_EQ(*root.attribute("id"), "cal<1>");
    EXPECT_EQ(root.all_text().find("a < b & " + kFFFD) != std::string::npos, true) << out;
    const auto rects = markup::find_all(root, [](const markup::Element& e) { return e.name == "rect"; });
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(*rects[0]->attribute("height"), "0");  // a negative size is drawn as none
    EXPECT_TRUE(rects[0]->has_classes("day missing"));
}

}  // namespace
