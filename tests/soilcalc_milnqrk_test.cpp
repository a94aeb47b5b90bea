// Regridding to water-content steps of 0.01, the saturated-point repair and
// the Millington-Quirk conductivity table.
#include <gtest/gtest.h>

#include <cmath>

#include "common/fixed_text.h"
#include "pedopre_test_files.h"
#include "soilcalc/milnqrk.h"
#include "soilcalc/regrid.h"
#include "soilcalc/run_state.h"
#include "soilprep/mq_file.h"

using soilcalc::CurveColumn;

namespace {

// A characteristic of the given rows, driest first.
struct Curve {
    CurveColumn ws{}, hs{};
    int32_t n = 0;
    Curve(std::initializer_list<std::pair<float, float>> rows) {
        for (auto [w, h] : rows) {
            ws[n] = w;
            hs[n] = h;
            ++n;
        }
    }
};

TEST(MissingSaturatedPoint, ExtrapolatesTheSaturatedPointFromSuctionsOrNegativeHeads) {
    CurveColumn theta{0.40f, 0.38f}, h{10.0f, 20.0f};
    int32_t n = 2;
    soilcalc::add_missing_saturated_point(n, theta, h);
    ASSERT_EQ(n, 3);
    EXPECT_NEAR(theta[0], 0.42f, 1e-6f);
    EXPECT_EQ(h[0], 0.0f);
    EXPECT_EQ(theta[1], 0.40f);
    EXPECT_EQ(h[2], 20.0f);

    CurveColumn theta_neg{0.40f, 0.38f}, h_neg{-10.0f, -20.0f};
    int32_t m = 2;
    soilcalc::add_missing_saturated_point(m, theta_neg, h_neg);
    EXPECT_EQ(theta_neg[0], theta[0]);  // the same point, to the last bit

    // A first head of 5 cm: theta0 = theta1 + 5 (theta1 - theta2) / |h2 - h1|.
    CurveColumn t5{0.30f, 0.25f}, h5{5.0f, 55.0f};
    int32_t k = 2;
    soilcalc::add_missing_saturated_point(k, t5, h5);
    EXPECT_NEAR(t5[0], 0.305f, 1e-6f);

    // Within 1.0E-8 cm of zero counts as saturated.
    CurveColumn t0{0.40f, 0.38f}, h0{0.000000005f, 20.0f};
    int32_t z = 2;
    soilcalc::add_missing_saturated_point(z, t0, h0);
    EXPECT_EQ(z, 2);
}

TEST(Regrid, InterpolatesLinearlyAndKeepsTheWetEndHead) {
    Curve c{{0.20f, -200.0f}, {0.30f, 0.0f}};
    ASSERT_EQ(soilcalc::regrid_theta_steps(c.ws, c.hs, c.n, 1), "");
    ASSERT_EQ(c.n, 11);
    EXPECT_EQ(c.ws[0], 0.2f);
    EXPECT_EQ(c.hs[0], -200.0f);
    EXPECT_EQ(c.ws[5], 0.25f);
    EXPECT_EQ(c.hs[5], -100.0f);  // (250 - 200) * 200 / 100 - 200
    EXPECT_EQ(c.ws[10], 0.3f);
    EXPECT_EQ(c.hs[10], 0.0f);
}

TEST(Regrid, WetEndIsTruncatedNotRounded) {
    // theta_s = 0.4567 gives khi = 456: the last row is 0.456 at head 0.
    Curve c{{0.10f, -1000.0f}, {0.4567f, 0.0f}};
    ASSERT_EQ(soilcalc::regrid_theta_steps(c.ws, c.hs, c.n, 1), "");
    ASSERT_EQ(c.n, 36);  // (456 - 100) / 10 + 1
    EXPECT_EQ(c.ws[35], 0.456f);
    EXPECT_EQ(c.hs[35], 0.0f);
    EXPECT_EQ(c.ws[0], 0.106f);
}

TEST(Regrid, RemainderIsDroppedAtTheDryEnd) {
    // khi - klo = 253: 25 intervals, 26 rows, the driest at (klo + 3) / 1000.
    Curve c{{0.100f, -5000.0f}, {0.353f, 0.0f}};
    ASSERT_EQ(soilcalc::regrid_theta_steps(c.ws, c.hs, c.n, 1), "");
    ASSERT_EQ(c.n, 26);
    EXPECT_EQ(c.ws[0], 0.103f);
    EXPECT_EQ(c.ws[25], 0.353f);
}

TEST(Regrid, ExtrapolatesBelowTheDriestPointAlongTheFirstSegment) {
    // 1000 * 0.2004 + 0.1 truncates to klo = 200, below the driest point.
    Curve c{{0.2004f, -1000.0f}, {0.2104f, -900.0f}, {0.4004f, 0.0f}};
    ASSERT_EQ(soilcalc::regrid_theta_steps(c.ws, c.hs, c.n, 1), "");
    EXPECT_EQ(c.ws[0], 0.2f);
    EXPECT_NEAR(c.hs[0], -1004.0f, 0.01f);
}

TEST(Regrid, FlatDryEndIsDroppedBeforeRegridding) {
    Curve flat{{0.10f, -15000.0f}, {0.10f, -5000.0f}, {0.10f, -1000.0f}, {0.20f, -100.0f}, {0.30f, 0.0f}};
    Curve plain{{0.10f, -1000.0f}, {0.20f, -100.0f}, {0.30f, 0.0f}};
    ASSERT_EQ(soilcalc::regrid_theta_steps(flat.ws, flat.hs, flat.n, 1), "");
    ASSERT_EQ(soilcalc::regrid_theta_steps(plain.ws, plain.hs, plain.n, 1), "");
    ASSERT_EQ(flat.n, plain.n);
    for (int32_t j = 0; j < flat.n; ++j) {
        EXPECT_TRUE(std::isfinite(flat.hs[j]));
        EXPECT_EQ(flat.hs[j], plain.hs[j]);
        EXPECT_EQ(flat.ws[j], plain.ws[j]);
    }
    // Equal water contents elsewhere stay: they divide nothing by zero.
    Curve inner{{0.10f, -1000.0f}, {0.20f, -500.0f}, {0.20f, -100.0f}, {0.30f, 0.0f}};
    ASSERT_EQ(soilcalc::regrid_theta_steps(inner.ws, inner.hs, inner.n, 1), "");
    EXPECT_EQ(inner.hs[10], -100.0f);  // 0.20 takes the wetter of the two points
}

TEST(Regrid, RejectsWhatThePermilleGridCannotHold) {
    Curve dry{{0.0005f, -15000.0f}, {0.40f, 0.0f}};
    const std::string dry_error = soilcalc::regrid_theta_steps(dry.ws, dry.hs, dry.n, 3);
    EXPECT_NE(dry_error, "");
    EXPECT_EQ(dry_error, "ERROR: Layer 3 has a driest or wettest water content outside 0.001 to 1.0");

    Curve wet{{0.10f, -15000.0f}, {1.2f, 0.0f}};
    const std::string wet_error = soilcalc::regrid_theta_steps(wet.ws, wet.hs, wet.n, 2);
    EXPECT_NE(wet_error, "");
    EXPECT_EQ(wet_error, "ERROR: Layer 2 has a driest or wettest water content outside 0.001 to 1.0");

    Curve nan{{std::nanf(""), -15000.0f}, {0.40f, 0.0f}};
    const std::string nan_error = soilcalc::regrid_theta_steps(nan.ws, nan.hs, nan.n, 1);
    EXPECT_NE(nan_error, "");

    Curve narrow{{0.300f, -1000.0f}, {0.309f, 0.0f}};
    const std::string narrow_error = soilcalc::regrid_theta_steps(narrow.ws, narrow.hs, narrow.n, 4);
    EXPECT_NE(narrow_error, "");
    EXPECT_EQ(narrow_error, "ERROR: Layer 4 has water contents spanning less than 0.010");

    Curve reversed{{0.40f, -1000.0f}, {0.30f, 0.0f}};
    const std::string reversed_error = soilcalc::regrid_theta_steps(reversed.ws, reversed.hs, reversed.n, 1);
    EXPECT_NE(reversed_error, "");
    EXPECT_EQ(reversed_error,
              "ERROR: Layer 1 has a water content of 0.4 at its highest suction, above the 0.3 at its lowest");

    // 0.010 to 1.000 would need 100 rows, one more than the row count's I2.
    Curve wide{{0.010f, -15000.0f}, {1.0f, 0.0f}};
    const std::string wide_error = soilcalc::regrid_theta_steps(wide.ws, wide.hs, wide.n, 1);
    EXPECT_NE(wide_error, "");
    EXPECT_EQ(wide_error, "ERROR: Layer 1 regrids to 100 rows, more than 99");
    Curve widest{{0.011f, -15000.0f}, {1.0f, 0.0f}};
    EXPECT_EQ(soilcalc::regrid_theta_steps(widest.ws, widest.hs, widest.n, 1), "");
    EXPECT_EQ(widest.n, 99);
}

TEST(MillingtonQuirk, WeighsPoreClassesByTheSquaredClassHead) {
    CurveColumn ws{0.2f, 0.3f, 0.4f}, hs{-300.0f, -100.0f, 0.0f}, kmq{};
    soilcalc::millington_quirk(ws, hs, 3, kmq);
    // Row 2: one class, head (-300 - 100) / 2 = -200: 1 / 40000. Row 3: that
    // class weighted 3, plus the class at -50 cm weighted 1: 3/40000 + 1/2500.
    // The factor 270 and the division by q^2 = 4 stay in.
    double s2 = 1.0 / 40000.0, s3 = 3.0 / 40000.0 + 1.0 / 2500.0;
    EXPECT_NEAR(kmq[1], 270.0 * std::pow(0.3, 1.3333) * s2 / 4.0, 1e-9);
    EXPECT_NEAR(kmq[2], 270.0 * std::pow(0.4, 1.3333) * s3 / 4.0, 1e-8);
    EXPECT_EQ(kmq[0], kmq[1]);
    // The exponent is 1.3333, not 4/3.
    EXPECT_GT(std::fabs(kmq[2] - 270.0 * std::pow(0.4, 4.0 / 3.0) * s3 / 4.0), 1e-9);
}

// The conductivity step of measured points on a main input file in memory: the .MQ and .SAV texts, and the
// tables read back from the .MQ file.
struct MqRun {
    int32_t status = 0;
    int32_t lsin = 0;
    std::string mq, sav, error;
    soilcalc::MqTables tables;
};

MqRun run_milnqrk(const std::string& input) {
    pedopre_test::StepFiles f(input);
    f.open({soilprep::Stream::Mq, soilprep::Stream::Sav});
    MqRun r;
    const soilprep::SoilStop stop = soilprep::conductivity_step(f.input, f.names, &f.writer, f.run);
    r.status = pedopre_test::status_of(stop);
    r.error = pedopre_test::error_of(stop);
    r.lsin = f.input.lsin;
    r.mq = f.text("soil.MQ");
    r.sav = f.text("soil.SAV");
    auto mq = common::Connection::in_memory(1, "soil.MQ", r.mq);
    EXPECT_EQ(soilprep::read_mq(*mq, r.tables, soilcalc::MqColumns::All).failed, soilcalc::MqPart::Done);
    return r;
}

TEST(Milnqrk, SuctionsAndNegativeHeadsGiveTheSameFiles) {
    MqRun pos = run_milnqrk("T\n1 0\n4 2.0 50\n0.40 5\n0.35 50\n0.30 300\n0.20 15000\n10 20 1\n");
    MqRun neg = run_milnqrk("T\n1 0\n4 2.0 50\n0.40 -5\n0.35 -50\n0.30 -300\n0.20 -15000\n10 20 1\n");
    ASSERT_EQ(pos.status, 0) << pos.error;
    ASSERT_EQ(neg.status, 0) << neg.error;
    EXPECT_EQ(pos.lsin, 1);
    EXPECT_EQ(pos.mq, neg.mq);
    EXPECT_EQ(pos.sav, neg.sav);

    // The saturated repair gives 0.4 + 5 * 0.05 / 45 = 0.4056: 21 rows from
    // 0.205 to 0.405, with the layer's Ks and bottom depth.
    const soilcalc::MqLayer& l = pos.tables.layers[0];
    ASSERT_EQ(pos.tables.nl, 1);
    ASSERT_EQ(l.rows, 21);
    EXPECT_EQ(l.k_header, 2.0f);
    EXPECT_EQ(l.bottom, 50.0f);
    EXPECT_EQ(l.theta[0], 0.205f);
    // The first row's conductivity equals the second's; the wet end is Ks at
    // head 0.
    EXPECT_EQ(l.cond[0], l.cond[1]);
    EXPECT_EQ(l.theta[20], 0.405f);
    EXPECT_EQ(l.head[20], 0.0f);
    EXPECT_EQ(l.cond[20], 2.0f);
    EXPECT_EQ(pos.tables.gadepth, 10.0f);
    EXPECT_EQ(pos.tables.rootdepth, 20.0f);
    EXPECT_EQ(pos.tables.lsin, 1);
}

}  // namespace
