// Writing through record layouts: field editing, the walk past the last
// value, the reuse of the last group, and the columns of the layouts that the
// programs write.
#include <gtest/gtest.h>

#include "common/field_edit.h"
#include "common/layout.h"
#include "common/record_write.h"

using common::format_record;
using common::Layout;

namespace {

// Iw as the record writer edits it, appended to `out`.
void edit_int(std::string& out, int32_t v, int w) {
    const size_t at = out.size();
    out.append(static_cast<size_t>(w), ' ');
    common::edit_int_field(out.data() + at, v, w);
}

std::string fixed(float v, int w, int d) {
    std::string s;
    common::edit_fixed(s, v, w, d);
    return s;
}
std::string expo(float v, int w, int d) {
    std::string s;
    common::edit_exp(s, v, w, d);
    return s;
}

TEST(FieldEdit, FixedRoundsTheStoredValueAndPlacesTheLeadingZero) {
    EXPECT_EQ(fixed(0.5f, 8, 3), "   0.500");
    EXPECT_EQ(fixed(0.5f, 5, 4), ".5000");  // no room for the zero
    EXPECT_EQ(fixed(1.256f, 6, 2), "  1.26");
    EXPECT_EQ(fixed(30.0f, 5, 0), "  30.");
    EXPECT_EQ(fixed(0.0f, 5, 0), "   0.");
    EXPECT_EQ(fixed(-0.001f, 5, 2), "-0.00");  // a negative value keeps its sign
    EXPECT_EQ(fixed(-0.0f, 5, 1), "  0.0");    // a zero is written as zero
    EXPECT_EQ(fixed(-1000.0f, 10, 0), "    -1000.");
    EXPECT_EQ(fixed(123456.0f, 5, 1), "*****");
    EXPECT_EQ(fixed(-0.5f, 5, 3), "-.500");
    EXPECT_EQ(fixed(-0.5f, 4, 3), "****");
    // 0.125 is exact in binary: a tie, rounded to even. 0.375 goes up.
    EXPECT_EQ(fixed(0.125f, 5, 2), " 0.12");
    EXPECT_EQ(fixed(0.375f, 5, 2), " 0.38");
    // 0.155 is stored just above 0.155; 2.675 just below 2.675.
    EXPECT_EQ(fixed(0.155f, 5, 2), " 0.16");
    EXPECT_EQ(fixed(2.675f, 5, 2), " 2.67");
    EXPECT_EQ(fixed(3.0e38f, 43, 1), "  300000000549775575777803994281145270272.0");
    EXPECT_EQ(fixed(1.0e-40f, 12, 9), " 0.000000000");
}

TEST(FieldEdit, ExponentForm) {
    EXPECT_EQ(expo(0.5f, 10, 4), "0.5000E+00");
    EXPECT_EQ(expo(0.0f, 10, 4), "0.0000E+00");
    EXPECT_EQ(expo(-0.5f, 10, 4), "-.5000E+00");
    EXPECT_EQ(expo(1234.5f, 12, 4), "  0.1234E+04");  // tie to even
    EXPECT_EQ(expo(0.99996f, 10, 4), "0.1000E+01");
    EXPECT_EQ(expo(1.0e-5f, 10, 4), "0.1000E-04");
    EXPECT_EQ(expo(1.0f, 8, 4), "********");
}

TEST(FieldEdit, IntegersAndTexts) {
    std::string s;
    edit_int(s, 123, 2);
    EXPECT_EQ(s, "**");
    s.clear();
    edit_int(s, -99, 3);
    EXPECT_EQ(s, "-99");
    s.clear();
    edit_int(s, -146, 3);
    EXPECT_EQ(s, "***");
    s.clear();
    common::edit_text(s, "ab", 4);
    common::edit_text(s, "abcdef", 3);
    EXPECT_EQ(s, "  ababc");
}

TEST(RecordWrite, ReusesTheWholeLayoutWhenItHasNoGroup) {
    static const Layout f("(2F8.1)");
    EXPECT_EQ(format_record(f, {1.0f, 2.0f, 3.0f, 4.0f, 5.0f}), "     1.0     2.0\r\n     3.0     4.0\r\n     5.0\r\n");
}

TEST(RecordWrite, ReusesTheLastTopLevelGroupWithItsCount) {
    static const Layout f("(1X,'H',2(I2),/,3(I1))");
    EXPECT_EQ(format_record(f, {1, 2, 3, 4, 5, 6, 7}), " H 1 2\r\n345\r\n67\r\n");
}

TEST(RecordWrite, WalksThroughLiteralsAndSlashesAfterTheLastValue) {
    static const Layout f("(/,I3,F8.3,F10.5,/)");
    EXPECT_EQ(format_record(f, {1, 2.0f, 3.0f}), "\r\n  1   2.000   3.00000\r\n\r\n");
    static const Layout top("('… top ',F6.1,' cm.')");
    EXPECT_EQ(format_record(top, {30.0f}), "… top   30.0 cm.\r\n");
}

TEST(RecordWrite, BlanksAtTheEndOfARecordAreNotWritten) {
    // The month lines end with their last value.
    static const Layout f("(I6,1X,I4,I2,3X,14(1X,I3),/,17(1X,I3))");
    std::string out;
    common::RecordWriter w(f, out);
    for (int v : {12345, 1996, 2}) w.put(v);
    for (int d = 1; d <= 29; ++d) w.put(d);
    w.finish();
    ASSERT_EQ(out.size(), 72u + 2 + 15 * 4 + 2);
    EXPECT_EQ(out.substr(0, 20), " 12345 1996 2      1");
    EXPECT_EQ(out.substr(74), "  15  16  17  18  19  20  21  22  23  24  25  26  27  28  29\r\n");
    // A trailing nX with nothing after it leaves no blanks.
    static const Layout g("(I3,5X)");
    EXPECT_EQ(format_record(g, {1}), "  1\r\n");
}

TEST(RecordWrite, TheClosingSlashOfAGroupLeavesAnEmptyRecord) {
    static const Layout f(
        "(/,1X,' LAYER #  DEPTH (CM)  SUCTION OF WETTING FRONT (CM)',/,"
        "9(3X,I3,5X,F5.0,12X,F9.4,/))");
    EXPECT_EQ(format_record(f, {1, 30.0f, 12.5f, 2, 60.0f, 1.25f}),
              "\r\n  LAYER #  DEPTH (CM)  SUCTION OF WETTING FRONT (CM)\r\n"
              "     1       30.              12.5000\r\n"
              "     2       60.               1.2500\r\n"
              "\r\n");
    static const Layout ga("(10(F10.1,F10.2,F10.2,/))");
    std::string out;
    common::RecordWriter w(ga, out);
    for (int i = 0; i < 30; ++i) w.put(1.0f);
    w.finish();
    EXPECT_EQ(out.size(), 10u * 32 + 2);
    EXPECT_EQ(out.substr(out.size() - 4), "\r\n\r\n");
}

TEST(RecordWrite, TextFields) {
    static const Layout f("('TITLE: ',A80)");
    std::string r = format_record(f, {"Soil"});
    EXPECT_EQ(r.size(), 7u + 80 + 2);
    EXPECT_EQ(r.substr(0, 7 + 76), "TITLE: " + std::string(76, ' '));
    static const Layout a("(A)");
    EXPECT_EQ(format_record(a, {"ab  "}), "ab  \r\n");
}

TEST(RecordWrite, ProgrammingErrorsFailLoudly) {
    EXPECT_THROW(Layout("(F10)"), std::logic_error);
    EXPECT_THROW(Layout("(I3"), std::logic_error);
    EXPECT_THROW(Layout("I3"), std::logic_error);
    EXPECT_THROW(Layout("(0I3)"), std::logic_error);
    EXPECT_THROW(Layout("('abc)"), std::logic_error);
    static const Layout f("(I3)");
    EXPECT_THROW(format_record(f, {1.0f}), std::logic_error);
    static const Layout lit("('*NLAYER')");
    EXPECT_EQ(format_record(lit, {}), "*NLAYER\r\n");
    EXPECT_THROW(format_record(lit, {1}), std::logic_error);
}

}  // namespace
