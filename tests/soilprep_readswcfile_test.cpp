// Reading the measured-points form into the characteristic table, with the
// saturated-point and 1000 cm repairs and the .MIS echo.
#include <gtest/gtest.h>

#include "common/connection.h"
#include "common/fixed_text.h"
#include "pedopre_test_files.h"

namespace {

// The characteristic step of measured points on a main input file in memory.
struct ReadRun {
    int32_t status = 0;
    soilcalc::SoilTable soil;
    std::string wtd, mis, console, error;
};

ReadRun read_soil(const std::string& input) {
    pedopre_test::StepFiles f(input);
    f.open({soilprep::Stream::Wtd, soilprep::Stream::Mis});
    ReadRun r;
    const soilprep::SoilStop stop = soilprep::characteristic_step(f.input, f.names, &f.writer, f.run);
    r.status = pedopre_test::status_of(stop);
    r.error = pedopre_test::error_of(stop);
    r.soil = f.run.soil;
    r.console = f.text("console");
    r.wtd = f.text("soil.WTD");
    r.mis = f.text("soil.MIS");
    return r;
}

const std::string kTitleLine = "TITLE: T" + std::string(79, ' ') + "\r\n";
const std::string kShortCurve =
    "  \r\n"
    "  ERROR!!\r\n"
    "  SOIL WATER CHARACTERISTIC CURVE FOR LAYER  1\r\n"
    "  DOES NOT GO TO 1000 CM. A VALUE WAS ENTERED BY\r\n"
    "  THE PROGRAM. CHECK THIS VALUE.\r\n";

TEST(Readswcfile, RepairsAMissingSaturatedPoint) {
    ReadRun r = read_soil("T\n1 0\n3 1.5 40\n0.40 10 0.38 20\n0.30 1000\n10 20 1\n");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.soil.npts[0], 4);
    EXPECT_NEAR(r.soil.theta[0][0], 0.42f, 1e-6f);
    EXPECT_EQ(r.soil.head[0][0], 0.0f);
    EXPECT_EQ(r.soil.head[0][1], 10.0f);
    EXPECT_EQ(r.soil.ksat[0], 1.5f);
    EXPECT_EQ(r.soil.zbot[0], 40.0f);
    EXPECT_EQ(r.wtd, kTitleLine + " ERROR: no saturated theta, value extrapolated\r\n");
    EXPECT_EQ(r.console, "  fix theta saturated= 0.42000002\r\n");
    // The .MIS file holds the points as read, before the repair.
    EXPECT_EQ(r.mis,
              "   1\r\n *TOP AND BOTTOM OF LAYER\r\n     0.0    40.0\r\n *NUMBER OF POINTS IN LAYER\r\n   3\r\n"
              "  0.400        10.0\r\n  0.380        20.0\r\n  0.300      1000.0\r\n");
}

TEST(Readswcfile, AddsAPointAt1000CmToAShortCurve) {
    ReadRun r = read_soil("T\n1 0\n3 1.5 40\n0.40 0\n0.38 20\n0.30 500\n");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.soil.npts[0], 4);
    EXPECT_EQ(r.soil.head[0][3], 1000.0f);
    EXPECT_EQ(r.soil.theta[0][3], 0.30f);
    EXPECT_EQ(r.wtd, kTitleLine + kShortCurve);
    EXPECT_EQ(r.console, "");

    ReadRun both = read_soil("T\n1 0\n2 1.5 40\n0.40 10\n0.30 500\n");
    EXPECT_EQ(both.soil.npts[0], 4);  // two more than given
    EXPECT_EQ(both.wtd, kTitleLine + " ERROR: no saturated theta, value extrapolated\r\n" + kShortCurve);

    ReadRun exact = read_soil("T\n1 0\n2 1.5 40\n0.40 0.000000005\n0.30 1000\n");
    EXPECT_EQ(exact.soil.npts[0], 2);
    EXPECT_EQ(exact.wtd, kTitleLine);
}

TEST(Readswcfile, NegativeHeadsGiveTheSameTableAsSuctions) {
    ReadRun pos = read_soil("T\n1 0\n3 1.5 40\n0.40 10\n0.38 20\n0.20 15000\n");
    ReadRun neg = read_soil("T\n1 0\n3 1.5 40\n0.40 -10\n0.38 -20\n0.20 -15000\n");
    ASSERT_EQ(neg.status, 0);
    EXPECT_EQ(neg.soil.npts[0], 4);  // no point at 1000 cm after the 15000 cm one
    EXPECT_EQ(neg.soil.head, pos.soil.head);
    EXPECT_EQ(neg.soil.theta, pos.soil.theta);
    EXPECT_NEAR(neg.soil.theta[0][0], 0.42f, 1e-6f);
    EXPECT_EQ(neg.wtd, pos.wtd);
    EXPECT_EQ(neg.console, pos.console);
    // The echo keeps the sign as given.
    EXPECT_NE(neg.mis.find("  0.200    -15000.0\r\n"), std::string::npos);
}

TEST(Readswcfile, PointsMayShareLinesAndTheTitleIsCutTo80) {
    std::string title(100, 'x');
    ReadRun one = read_soil(title + "\n1 0 extra\n3 1.5 40 text\n0.40 0\n0.38 20\n0.30 1000 more\n");
    ReadRun many = read_soil(title + "\n1 0\n3 1.5 40\n0.40 0 0.38 20 0.30 1000\n");
    ASSERT_EQ(one.status, 0);
    EXPECT_EQ(one.soil.theta, many.soil.theta);
    EXPECT_EQ(one.mis, many.mis);
    EXPECT_EQ(one.soil.title, std::string(80, 'x') + std::string(48, ' '));
    EXPECT_EQ(one.wtd, "TITLE: " + std::string(80, 'x') + "\r\n");
}

}  // namespace
