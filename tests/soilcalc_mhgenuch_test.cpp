// The van Genuchten form: water content and conductivity at a suction, and
// the characteristic and conductivity tables of the van Genuchten form.
#include <gtest/gtest.h>

#include <cmath>

#include "common/fixed_text.h"
#include "pedopre_test_files.h"
#include "soilcalc/mhgenuch.h"
#include "soilcalc/run_state.h"

using pedopre_test::lines_of;

namespace {

TEST(SwcGenuchten, WaterContentAndConductivityAtASuction) {
    soilcalc::VanGenuchten vg{0.05f, 0.45f, 0.02f, 1.5f, 48.0f, 0.5f};
    const float h[3] = {0.0f, 100.0f, 1000.0f};
    float theta[3], k[3];
    EXPECT_EQ(soilcalc::SWC_GENUCHTEN(3, vg, theta, k, h), 0);
    EXPECT_EQ(soilcalc::routine_name().substr(0, 14), "SWC_GENUCHTEN ");
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

// The characteristic step of the van Genuchten form on a main input file in
// memory: the soil table, the texts written, and the tables read back from
// the .MQ file.
struct VgRun {
    int32_t status = 0;
    soilcalc::SoilTable soil;
    std::string wtd, mis, mq, sav, error;
    soilcalc::MqTables tables;
};

VgRun run_rosetta(const std::string& input) {
    pedopre_test::StepFiles f(input);
    f.open({soilprep::Stream::Wtd, soilprep::Stream::Mis, soilprep::Stream::Mq, soilprep::Stream::Sav});
    VgRun r;
    const soilprep::SoilStop stop = soilprep::characteristic_step(f.input, f.names, &f.writer, f.run);
    r.status = pedopre_test::status_of(stop);
    r.error = pedopre_test::error_of(stop);
    r.soil = f.run.soil;
    r.wtd = f.text("soil.WTD");
    r.mis = f.text("soil.MIS");
    r.mq = f.text("soil.MQ");
    r.sav = f.text("soil.SAV");
    auto mq = common::Connection::in_memory(1, "soil.MQ", r.mq);
    EXPECT_EQ(soilprep::read_mq(*mq, r.tables, soilcalc::MqColumns::All).failed, soilcalc::MqPart::Done);
    return r;
}

TEST(Rosetta, FillsTheTableAndWritesTheCharacteristic) {
    VgRun r = run_rosetta("Loam\n1 1\n50.0 0.05 0.45 0.02 1.5 24.0 24.0 0.5\n30.0 20.0 1\n");
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(r.soil.nlayer, 1);
    EXPECT_EQ(r.soil.lsin, 1);
    EXPECT_EQ(r.soil.npts[0], 12);
    EXPECT_EQ(r.soil.ksat[0], 1.0f);  // 24 cm/day
    EXPECT_EQ(r.soil.head[0][11], 15000.0f);
    EXPECT_EQ(r.soil.theta[0][0], 0.45f);

    auto mis = lines_of(r.mis);
    ASSERT_EQ(mis.size(), 17u);
    EXPECT_EQ(mis[0], "   1");
    EXPECT_EQ(mis[2], "     0.0    50.0");
    EXPECT_EQ(mis[4], "  12");
    EXPECT_EQ(mis[5], "0.45000         0.0");
    EXPECT_EQ(mis[16].substr(7), "     15000.0");
    EXPECT_EQ(r.wtd, "TITLE: Loam" + std::string(76, ' ') + "\r\n");

    // The layer conductivity is K0 / 24 (cm/hr); the wet end has water
    // content 0.450, head 0 and conductivity Ks / 24.
    const soilcalc::MqLayer& l = r.tables.layers[0];
    ASSERT_EQ(r.tables.nl, 1);
    EXPECT_EQ(l.k_header, 1.0f);
    EXPECT_EQ(l.bottom, 50.0f);
    ASSERT_GT(l.rows, 1);
    EXPECT_EQ(l.theta[l.rows - 1], 0.45f);
    EXPECT_EQ(l.head[l.rows - 1], 0.0f);
    EXPECT_EQ(l.cond[l.rows - 1], 1.0f);
    EXPECT_EQ(r.tables.zb[0], 50.0f);
    EXPECT_EQ(r.tables.gadepth, 30.0f);
    EXPECT_EQ(r.tables.rootdepth, 20.0f);
    EXPECT_EQ(r.tables.lsin, 1);
    // The closing record follows an empty free-form record.
    EXPECT_EQ(lines_of(r.mq).rbegin()[1], " ");
}

TEST(Rosetta, MatchingPointConductivityChangesOnlyTheBlockHeader) {
    VgRun a = run_rosetta("L\n1 1\n50.0 0.05 0.45 0.02 1.5 24.0 24.0 0.5\n30.0 20.0 1\n");
    VgRun b = run_rosetta("L\n1 1\n50.0 0.05 0.45 0.02 1.5 24.0 96.0 0.5\n30.0 20.0 1\n");
    const soilcalc::MqLayer &la = a.tables.layers[0], &lb = b.tables.layers[0];
    EXPECT_EQ(la.rows, 38);
    EXPECT_EQ(la.k_header, 1.0f);
    EXPECT_EQ(lb.k_header, 4.0f);
    EXPECT_EQ(la.rows, lb.rows);
    EXPECT_EQ(la.theta, lb.theta);
    EXPECT_EQ(la.head, lb.head);
    EXPECT_EQ(la.cond, lb.cond);
    EXPECT_EQ(a.tables.sf, b.tables.sf);
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
    EXPECT_EQ(r.tables.layers[0].rows, 6);  // 0.300 .. 0.350
}

}  // namespace
