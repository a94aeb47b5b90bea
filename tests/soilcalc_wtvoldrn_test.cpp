// Drained volume against water-table depth: the trapezoid over the grid of
// water contents, the layer boundaries, and the columns of the .WTD, .OUT
// and .WDV records.
#include <gtest/gtest.h>

#include "common/fixed_text.h"
#include "pedopre_test_files.h"
#include "soilcalc/wtvoldrn.h"

using namespace pedopre;
using pedopre_test::lines_of;
using pedopre_test::read_file;

namespace {

struct DrainRun {
    pedopre_test::TempDir dir;
    int32_t status = 0;
    std::string wtd, out, wdv;

    explicit DrainRun(const SoilTable& soil, const std::string& wdv_name = "") {
        Context ctx;
        ctx.units.open(kWtdUnit, dir.file("s.WTD"));
        ctx.units.open(kOutUnit, dir.file("s.OUT"));
        status = WTVOLDRN(ctx, kWtdUnit, kOutUnit,
                          common::fixed(wdv_name.empty() ? dir.file("s.WDV") : wdv_name, 256), soil);
        ctx.units.close_all();
        wtd = read_file(dir.file("s.WTD"));
        out = read_file(dir.file("s.OUT"));
        wdv = read_file(dir.file("s.WDV"));
    }
};

void set_layer(SoilTable& s, int l, float zbot, std::vector<std::pair<float, float>> pts) {
    s.zbot[l] = zbot;
    s.npts[l] = static_cast<int32_t>(pts.size());
    for (size_t j = 0; j < pts.size(); ++j) {
        s.head[l][j] = pts[j].first;
        s.theta[l][j] = pts[j].second;
    }
}

// The .WTD report row of water-table depth `cm` (a multiple of 10).
std::string report_row(const std::string& wtd, int cm) {
    auto lines = lines_of(wtd);
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find("(CM/CM)") != std::string::npos) return lines[i + 1 + static_cast<size_t>(cm / 10)];
    return {};
}

}  // namespace

TEST(Wtvoldrn, LinearCharacteristicDrainsFiveCmAtOneMetre) {
    SoilTable s;
    s.nlayer = 1;
    set_layer(s, 0, 150.0f, {{0.0f, 0.40f}, {100.0f, 0.30f}, {1000.0f, 0.20f}});
    DrainRun r(s);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(report_row(r.wtd, 100), "                        100.00               5.000             0.09950");
    EXPECT_EQ(report_row(r.wtd, 0), "                          0.00               0.000             0.00000");
    auto out = lines_of(r.out);
    ASSERT_EQ(out.size(), 22u);
    EXPECT_EQ(out[0], "@WATER TABLE   VOLUME");
    EXPECT_EQ(out[1], "   (CM)         (CM) ");
    EXPECT_EQ(out[1 + 15], "   90.0        4.050");  // 0.0005 cm * 90^2
    EXPECT_EQ(out[21], " 1000.0      100.000");
    // Echo of the inputs with the bottom as given; the .WDV file uses 1000 cm.
    auto wtd = lines_of(r.wtd);
    ASSERT_GE(wtd.size(), 7u);
    EXPECT_EQ(wtd[2], " INPUTS:");
    EXPECT_EQ(wtd[3], "           # OF LAYERS =  1");
    EXPECT_EQ(wtd[4], " DEPTH AT BOTTOM OF EACH LAYER (CM) :");
    EXPECT_EQ(wtd[5], "      150.0");
    EXPECT_EQ(wtd[7], " CALCULATED USING  1001 STEPS OF  1.00 CM THICKNESS");
    auto wdv = lines_of(r.wdv);
    ASSERT_EQ(wdv.size(), 2u + 4u + 200u);
    EXPECT_EQ(wdv[0], "*NLAYER");
    EXPECT_EQ(wdv[1], "  1");
    EXPECT_EQ(wdv[2], "*TLAYER BLAYER NPTS");
    EXPECT_EQ(wdv[3], "    0.0  1000.0  201");
    EXPECT_EQ(wdv[4], "*WATER TABLE  VOLUME DRAINED");
    EXPECT_EQ(wdv[5], "       0       0.00000");
    EXPECT_EQ(wdv[6], "       1       0.00050");
    // The trapezoids are summed in single precision, one cm at a time.
    EXPECT_EQ(wdv[105], "     100       4.99994");
    EXPECT_EQ(wdv[205], "     200      15.55545");
}

TEST(Wtvoldrn, FlatCharacteristicDrainsNothing) {
    SoilTable s;
    s.nlayer = 1;
    set_layer(s, 0, 1000.0f, {{0.0f, 0.35f}, {500.0f, 0.35f}, {1000.0f, 0.35f}});
    DrainRun r(s);
    ASSERT_EQ(r.status, 0);
    auto out = lines_of(r.out);
    ASSERT_EQ(out.size(), 22u);
    for (int i = 2; i < 21; ++i) EXPECT_EQ(out[i].substr(7), "        0.000") << i;
    EXPECT_EQ(out[21], " 1000.0      100.000");
    EXPECT_EQ(report_row(r.wtd, 1000), "                       1000.00               0.000             0.00000");
}

TEST(Wtvoldrn, LayerBoundariesTruncateToTheSmallerSuction) {
    // Top layer drains 0.001 per cm of suction; the second one not at all.
    SoilTable s;
    s.nlayer = 2;
    set_layer(s, 0, 25.5f, {{0.0f, 0.40f}, {100.0f, 0.30f}, {1000.0f, 0.30f}});
    set_layer(s, 1, 80.0f, {{0.0f, 0.35f}, {1000.0f, 0.35f}});
    DrainRun r(s);
    ASSERT_EQ(r.status, 0);
    auto out = lines_of(r.out);
    // 30 cm: the top layer spans suctions 30 down to 4 cm (not 4.5):
    // 0.0005*(900 - 16) = 0.442.
    EXPECT_EQ(out[2 + 8], "   30.0        0.442");
    auto wdv = lines_of(r.wdv);
    EXPECT_EQ(wdv[3], "    0.0    25.5  201");
    EXPECT_EQ(wdv[3 + 204], "   25.5  1000.0  201");
}

TEST(Wtvoldrn, TwoLayersAddTheirColumnsFromTheTopDown) {
    SoilTable s;
    s.nlayer = 2;
    set_layer(s, 0, 30.0f, {{0.0f, 0.40f}, {100.0f, 0.30f}, {1000.0f, 0.30f}});
    set_layer(s, 1, 200.0f, {{0.0f, 0.45f}, {100.0f, 0.25f}, {1000.0f, 0.25f}});
    DrainRun r(s);
    ASSERT_EQ(r.status, 0);
    // 50 cm: W1(50) - W1(20) + W2(20) = 0.0005*(2500-400) + 0.001*400 = 1.45.
    EXPECT_EQ(report_row(r.wtd, 50).substr(30, 20), "               1.450");
    auto wtd = lines_of(r.wtd);
    EXPECT_EQ(wtd[5], "       30.0     200.0");  // the deepest bottom as given
}

TEST(Wtvoldrn, RejectsWhatTheTablesCannotHoldAndUnwritableFiles) {
    SoilTable s;
    s.nlayer = 1;
    set_layer(s, 0, 100.0f, {{0.0f, 0.4f}});
    DrainRun one_point(s);
    EXPECT_EQ(one_point.status, -1);
    EXPECT_EQ(common::trim_right(error_message()), "ERROR: The characteristic of layer 1 needs 2 to 100 points");

    set_layer(s, 0, 100.0f, {{0.0f, 0.4f}, {1000.0f, 0.2f}});
    s.nlayer = 2;
    set_layer(s, 1, 200.0f, {{0.0f, 0.4f}, {1000.0f, 0.2f}});
    s.zbot[0] = -5.0f;
    EXPECT_EQ(DrainRun(s).status, -1);
    EXPECT_EQ(common::trim_right(error_message()), "ERROR: The bottom of layer 1 lies above the soil surface");

    s.zbot[0] = 100.0f;
    DrainRun no_dir(s, "/nonexistent-dir/s.WDV");
    EXPECT_EQ(no_dir.status, -1);
    EXPECT_EQ(common::trim_right(error_message()), "ERROR: Cannot open file /nonexistent-dir/s.WDV");
}
