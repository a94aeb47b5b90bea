// The van Genuchten form: water content and conductivity at a suction, and
// the characteristic and conductivity tables that ROSETTA writes.
#include <gtest/gtest.h>

#include <cmath>

#include "pedopre_test_files.h"
#include "soilcalc/mhgenuch.h"
#include "soilcalc/run_state.h"

using pedopre_test::TempDir;

namespace {

TEST(SwcGenuchten, WaterContentAndConductivityAtASuction) {
    pedopre::VanGenuchten vg{0.05f, 0.45f, 0.02f, 1.5f, 48.0f, 0.5f};
    const float h[3] = {0.0f, 100.0f, 1000.0f};
    float theta[3], k[3];
    EXPECT_EQ(pedopre::SWC_GENUCHTEN(3, vg, theta, k, h), 0);
    EXPECT_EQ(pedopre::routine_name().substr(0, 14), "SWC_GENUCHTEN ");
    // Saturation: theta_s and K0 / 24 (cm/hr).
    EXPECT_EQ(theta[0], 0.45f);
    EXPECT_EQ(k[0], 2.0f);
    // At 100 cm: Se = (1 + 2^1.5)^(-1/3), m = 1/3.
    double se = std::pow(1.0 + std::pow(2.0, 1.5), -1.0 / 3.0);
    EXPECT_NEAR(theta[1], 0.4 * se + 0.05, 2e-7);
    double f = 1.0 - std::pow(1.0 - std::pow(se, 3.0), 1.0 / 3.0);
    EXPECT_NEAR(k[1], 2.0 * std::sqrt(se) * f * f, 1e-6);
    EXPECT_LT(theta[2], theta[1]);
}

// ROSETTA on a whole input file.
struct VgRun {
    int32_t status = 0;
    pedopre::SoilTable soil;
    std::string wtd, mis, mq, sav, error;
};

VgRun run_rosetta(const std::string& input) {
    TempDir dir;
    pedopre_test::write_file(dir.file("soil.dat"), input);
    pedopre::Context ctx;
    ctx.units.open_existing(pedopre::kInputUnit, dir.file("soil.dat"));
    ctx.units.open(pedopre::kWtdUnit, dir.file("soil.WTD"));
    ctx.units.open(pedopre::kMisUnit, dir.file("soil.MIS"));
    ctx.units.open(pedopre::kMqUnit, dir.file("soil.MQ"));
    ctx.units.open(pedopre::kSavUnit, dir.file("soil.SAV"));
    pedopre::clear_error();
    VgRun r;
    r.status = pedopre::ROSETTA(ctx, pedopre::kInputUnit, pedopre::kWtdUnit, pedopre::kMisUnit, pedopre::kMqUnit,
                                pedopre::kSavUnit, r.soil);
    ctx.units.close_all();
    r.wtd = pedopre_test::read_file(dir.file("soil.WTD"));
    r.mis = pedopre_test::read_file(dir.file("soil.MIS"));
    r.mq = pedopre_test::read_file(dir.file("soil.MQ"));
    r.sav = pedopre_test::read_file(dir.file("soil.SAV"));
    r.error = std::string(common::trim_right(pedopre::error_message()));
    return r;
}

TEST(Rosetta, FillsTheTableAndWritesTheCharacteristic) {
    VgRun r = run_rosetta("Loam\n1 1\n50.0 0.05 0.45 0.02 1.5 24.0 24.0 0.5\n30.0 20.0 1\n");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.soil.nlayer, 1);
    EXPECT_EQ(r.soil.lsin, 1);
    EXPECT_EQ(r.soil.npts[0], 12);
    EXPECT_EQ(r.soil.ksat[0], 1.0f);  // 24 cm/day
    EXPECT_EQ(r.soil.head[0][11], 15000.0f);
    EXPECT_EQ(r.soil.theta[0][0], 0.45f);

    auto mis = pedopre_test::lines_of(r.mis);
    ASSERT_EQ(mis.size(), 17u);
    EXPECT_EQ(mis[0], "   1");
    EXPECT_EQ(mis[2], "     0.0    50.0");
    EXPECT_EQ(mis[4], "  12");
    EXPECT_EQ(mis[5], "0.45000         0.0");
    EXPECT_EQ(mis[16].substr(7), "     15000.0");
    EXPECT_EQ(r.wtd, "TITLE: Loam" + std::string(76, ' ') + "\r\n");

    auto mq = pedopre_test::lines_of(r.mq);
    EXPECT_EQ(mq[1], " NUMBER OF LAYERS=  1");
    EXPECT_EQ(mq[3].substr(0, 11), mq[3].substr(0, 3) + "   1.000");  // K0 / 24 (cm/hr)
    // The wet end: water content 0.450, head 0, conductivity Ks / 24.
    int32_t rows = std::stoi(mq[3].substr(1, 2));
    EXPECT_EQ(mq[4 + rows], "     0.450                 0.0         1.000000000");
    // Summary, an empty free-form record, then the closing record.
    EXPECT_EQ(mq[mq.size() - 3].substr(0, 20), "     1       50.    ");
    EXPECT_EQ(mq[mq.size() - 2], " ");
    EXPECT_EQ(mq.back(), " 30.0 20.0 1");
}

TEST(Rosetta, MatchingPointConductivityChangesOnlyTheBlockHeader) {
    VgRun a = run_rosetta("L\n1 1\n50.0 0.05 0.45 0.02 1.5 24.0 24.0 0.5\n30.0 20.0 1\n");
    VgRun b = run_rosetta("L\n1 1\n50.0 0.05 0.45 0.02 1.5 24.0 96.0 0.5\n30.0 20.0 1\n");
    auto la = pedopre_test::lines_of(a.mq), lb = pedopre_test::lines_of(b.mq);
    ASSERT_EQ(la.size(), lb.size());
    for (size_t i = 0; i < la.size(); ++i) {
        if (i == 3) {
            EXPECT_EQ(la[i], " 38   1.000     50.00");
            EXPECT_EQ(lb[i], " 38   4.000     50.00");
        } else {
            EXPECT_EQ(la[i], lb[i]) << "line " << i + 1;
        }
    }
    EXPECT_EQ(a.sav, b.sav);
}

TEST(Rosetta, LayerRecordMayRunOnToTheNextLine) {
    VgRun one = run_rosetta("L\n1 1\n50.0 0.05 0.45 0.02 1.5 24.0 24.0 0.5\n30.0 20.0 1\n");
    VgRun two = run_rosetta("L\n1 1\n50.0 0.05 0.45 0.02 1.5 24.0 24.0\n0.5 ignored\n30.0 20.0 1\n");
    EXPECT_EQ(one.mq, two.mq);
}

TEST(Rosetta, FlatDryEndRunsThrough) {
    // n = 8 flattens the curve at theta_r from 200 cm on, in single precision.
    VgRun r = run_rosetta("F\n1 1\n50.0 0.30 0.35 0.1 8.0 24.0 24.0 0.5\n30.0 20.0 1\n");
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(r.soil.theta[0][10], r.soil.theta[0][11]);
    EXPECT_EQ(r.mq.find("NaN"), std::string::npos);
    auto mq = pedopre_test::lines_of(r.mq);
    EXPECT_EQ(mq[3], "  6   1.000     50.00");  // 0.300 .. 0.350
}

}  // namespace
