// Drained volume against water-table depth: the trapezoids over the grid of
// suctions, the layer boundaries and the drainable porosity, computed
// directly; then the columns of the .WTD, .OUT and .WDV records that the
// drained-volume step writes to files in memory.
#include <gtest/gtest.h>

#include <tuple>

#include "common/fixed_text.h"
#include "pedopre_test_files.h"
#include "soilcalc/wtvoldrn.h"

using namespace soilcalc;
using namespace soilprep;
using pedopre_test::lines_of;

namespace {

// A profile of layers given as (bottom depth in cm, points of suction in cm
// and water content, wettest first).
SoilTable profile(std::vector<std::pair<float, std::vector<std::pair<float, float>>>> layers) {
    SoilTable s;
    s.nlayer = static_cast<int32_t>(layers.size());
    for (size_t l = 0; l < layers.size(); ++l) {
        s.zbot[l] = layers[l].first;
        s.npts[l] = static_cast<int32_t>(layers[l].second.size());
        for (size_t j = 0; j < layers[l].second.size(); ++j)
            std::tie(s.head[l][j], s.theta[l][j]) = layers[l].second[j];
    }
    return s;
}

// Linear in suction: 0.001 per cm to 100 cm, then 0.1 over the next 900 cm.
const std::vector<std::pair<float, float>> kLinear = {{0.0f, 0.40f}, {100.0f, 0.30f}, {1000.0f, 0.20f}};
// Drains 0.001 per cm of suction to 100 cm, then nothing.
const std::vector<std::pair<float, float>> kTop = {{0.0f, 0.40f}, {100.0f, 0.30f}, {1000.0f, 0.30f}};

// The drained-volume step on files in memory: the records of the .WTD, .OUT
// and .WDV files, and the step's log line.
std::string error_text;
struct DrainRun {
    int32_t status = 0;
    std::vector<std::string> wtd, out, wdv;

    explicit DrainRun(const SoilTable& soil, bool wdv_is_folder = false) {
        pedopre_test::StepFiles f;
        if (wdv_is_folder) f.fs.add_folder("soil.WDV");
        f.open({Stream::Wtd, Stream::Out});
        f.run.soil = soil;
        const SoilStop stop = volume_step(&f.writer, f.run);
        status = pedopre_test::status_of(stop);
        error_text = pedopre_test::error_of(stop);
        for (auto [name, lines] : {std::pair{"soil.WTD", &wtd}, {"soil.OUT", &out}, {"soil.WDV", &wdv}})
            *lines = lines_of(f.text(name));
    }
};

}  // namespace

TEST(DrainedVolume, LinearCharacteristicDrainsFiveCmAtOneMetre) {
    const DrainedVolume dv = drained_volume(profile({{150.0f, kLinear}}));
    EXPECT_EQ(dv.z[1], 1.0f);
    EXPECT_EQ(dv.z[1000], 1000.0f);
    // One layer: the profile is the uniform column, down to 1000 cm
    // whatever its bottom.
    ASSERT_EQ(dv.w.size(), 1u);
    EXPECT_EQ(dv.vol, dv.w[0]);
    EXPECT_NEAR(dv.vol[1], 0.0005f, 1e-7f);
    EXPECT_NEAR(dv.vol[90], 4.05f, 1e-4f);  // 0.0005 cm * 90^2
    // The trapezoids are summed in single precision, one cm at a time.
    EXPECT_NEAR(dv.vol[100], 4.99994f, 5e-6f);
    EXPECT_NEAR(dv.vol[200], 15.55545f, 5e-6f);
    // Porosity: the slope over the last cm; none at the surface, and at the
    // deepest point the slope of the cm before.
    EXPECT_EQ(dv.porosity(0), 0.0f);
    EXPECT_NEAR(dv.porosity(100), 0.0995f, 5e-6f);
    EXPECT_EQ(dv.porosity(1000), dv.vol[999] - dv.vol[998]);
}

TEST(DrainedVolume, FlatCharacteristicDrainsNothing) {
    const DrainedVolume dv = drained_volume(profile({{1000.0f, {{0.0f, 0.35f}, {500.0f, 0.35f}, {1000.0f, 0.35f}}}}));
    for (int k = 0; k < kGridPoints; ++k) ASSERT_EQ(dv.vol[k], 0.0f) << k;
    EXPECT_EQ(dv.porosity(1000), 0.0f);
}

TEST(DrainedVolume, LayersAddTheirColumnsFromTheTopDown) {
    // 50 cm: W1(50) - W1(20) + W2(20) = 0.0005*(2500-400) + 0.001*400 = 1.45.
    const DrainedVolume two =
        drained_volume(profile({{30.0f, kTop}, {200.0f, {{0.0f, 0.45f}, {100.0f, 0.25f}, {1000.0f, 0.25f}}}}));
    EXPECT_NEAR(two.vol[50], 1.45f, 1e-4f);
    // A boundary at 25.5 cm truncates to the smaller suction: at 30 cm the
    // top layer spans suctions 30 down to 4 cm (not 4.5), 0.0005*(900 - 16).
    const DrainedVolume cut = drained_volume(profile({{25.5f, kTop}, {80.0f, {{0.0f, 0.35f}, {1000.0f, 0.35f}}}}));
    EXPECT_NEAR(cut.vol[30], 0.442f, 1e-4f);
}

TEST(DrainedVolume, ChecksWhatTheComputationCannotTake) {
    EXPECT_EQ(drained_volume_checks(profile({{100.0f, {{0.0f, 0.4f}}}})),
              "ERROR: The characteristic of layer 1 needs 2 to 100 points");
    const std::vector<std::pair<float, float>> two = {{0.0f, 0.4f}, {1000.0f, 0.2f}};
    EXPECT_EQ(drained_volume_checks(profile({{-5.0f, two}, {200.0f, two}})),
              "ERROR: The bottom of layer 1 lies above the soil surface");
}

TEST(Wtvoldrn, WritesTheListingTheReportSectionAndTheUniformColumns) {
    DrainRun r(profile({{150.0f, kLinear}}));
    ASSERT_EQ(r.status, 0);
    // Echo of the inputs with the bottom as given, and the 10-cm table.
    ASSERT_GE(r.wtd.size(), 8u + 101u);
    EXPECT_EQ(r.wtd[3], "           # OF LAYERS =  1");
    EXPECT_EQ(r.wtd[5], "      150.0");
    EXPECT_EQ(r.wtd[7], " CALCULATED USING  1001 STEPS OF  1.00 CM THICKNESS");
    EXPECT_EQ(r.wtd[r.wtd.size() - 101], "                          0.00               0.000             0.00000");
    EXPECT_EQ(r.wtd[r.wtd.size() - 91], "                        100.00               5.000             0.09950");
    // The report section: a fixed last row of 100 cm.
    ASSERT_EQ(r.out.size(), 22u);
    EXPECT_EQ(r.out[2], "    0.0        0.000");
    EXPECT_EQ(r.out[16], "   90.0        4.050");
    EXPECT_EQ(r.out[21], " 1000.0      100.000");
    // The .WDV file: 0 to 200 cm of each layer, the deepest to 1000 cm.
    ASSERT_EQ(r.wdv.size(), 2u + 4u + 200u);
    EXPECT_EQ(r.wdv[1], "  1");
    EXPECT_EQ(r.wdv[3], "    0.0  1000.0  201");
    EXPECT_EQ(r.wdv[5], "       0       0.00000");
    EXPECT_EQ(r.wdv[205], "     200      15.55545");

    DrainRun flat(profile({{1000.0f, {{0.0f, 0.35f}, {1000.0f, 0.35f}}}}));
    ASSERT_EQ(flat.status, 0);
    EXPECT_EQ(flat.out[20], "  500.0        0.000");
    EXPECT_EQ(flat.out[21], " 1000.0      100.000");
}

TEST(Wtvoldrn, LayeredProfileEchoesTheBottomsAsGiven) {
    DrainRun r(profile({{25.5f, kTop}, {200.0f, {{0.0f, 0.35f}, {1000.0f, 0.35f}}}}));
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.wtd[5], "       25.5     200.0");
    EXPECT_EQ(r.wdv[3], "    0.0    25.5  201");
    EXPECT_EQ(r.wdv[3 + 204], "   25.5  1000.0  201");
}

TEST(Wtvoldrn, RefusesATableThatFailsTheChecksAndAnUnwritableFile) {
    EXPECT_EQ(DrainRun(profile({{100.0f, {{0.0f, 0.4f}}}})).status, -1);
    EXPECT_EQ(error_text, "ERROR: The characteristic of layer 1 needs 2 to 100 points");
    EXPECT_EQ(DrainRun(profile({{100.0f, kLinear}}), true).status, -1);
    EXPECT_EQ(error_text, "ERROR: Cannot open file soil.WDV: Is a directory");
}
