// The exact references PEDOVIEW draws beside the run's tables, against
// closed forms. With n = 2 (m = 1/2) the van Genuchten water content
// integrates in closed form: the integral of theta_s - theta(h) over 0..d is
// (theta_s - theta_r)(d - asinh(alpha d)/alpha); with l = 0 the Mualem
// conductivity gives the wetting-front suction (2 - pi/2)/alpha.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "soilview/exact_references.h"

using namespace soilview;

namespace {

soilcalc::VanGenuchten soil(float theta_r, float theta_s, float alpha, float n, float l) {
    return {theta_r, theta_s, alpha, n, 0.0f, l};
}

// The drained depth of a uniform column of an n = 2 soil, suctions 0..h.
double drained_n2(const soilcalc::VanGenuchten& vg, double h) {
    const double a = vg.alpha;
    return (static_cast<double>(vg.theta_s) - vg.theta_r) * (h - std::asinh(a * h) / a);
}

TEST(SoilviewReferences, DrainedVolumeMatchesTheClosedFormLayerByLayer) {
    const auto top = soil(0.05f, 0.40f, 0.05f, 2.0f, 0.5f), below = soil(0.10f, 0.45f, 0.02f, 2.0f, 0.5f);
    const std::vector<ProfileLayer> uniform{{top, 100, 1000}};
    for (double d : {3.0, 20.0, 75.0, 200.0, 1000.0})
        EXPECT_NEAR(drained_volume(uniform, d), drained_n2(top, d), 1e-6 * (1 + drained_n2(top, d))) << d;
    // Two layers, boundary at 30 cm: the top layer holds suctions d-30..d.
    const std::vector<ProfileLayer> layered{{top, 100, 30}, {below, 10, 1000}};
    EXPECT_NEAR(drained_volume(layered, 20), drained_n2(top, 20), 1e-6);
    for (double d : {30.0, 45.0, 150.0}) {
        const double exact = drained_n2(top, d) - drained_n2(top, d - 30) + drained_n2(below, d - 30);
        EXPECT_NEAR(drained_volume(layered, d), exact, 1e-6 * (1 + exact)) << d;
    }
}

TEST(SoilviewReferences, WettingFrontSuctionMatchesTheClosedForm) {
    for (float alpha : {0.005f, 0.036f, 0.145f}) {
        const double expected = (2.0 - std::numbers::pi / 2.0) / alpha;
        EXPECT_NEAR(wetting_front_suction(soil(0.05f, 0.4f, alpha, 2.0f, 0.0f)), expected, 1e-6 * expected) << alpha;
    }
    // Far from saturation the conductivity keeps its precision, where
    // 1 - (1 - Se^(1/m))^m evaluated as written gives 0.
    const auto clay = soil(0.068f, 0.38f, 0.008f, 1.09f, 0.5f);
    EXPECT_GT(relative_conductivity(clay, 1e6), 0.0);
    EXPECT_LT(relative_conductivity(clay, 1e6), relative_conductivity(clay, 1e5));
}

// The water table of a flux q in a uniform soil, the integral of
// K/(K + q) over suctions 0..tension, by the trapezoidal rule on a fine
// logarithmic grid.
double uniform_water_table(const soilcalc::VanGenuchten& vg, double ks, double tension, double q) {
    const int steps = 400000;
    auto f = [&](double h) {
        const double k = ks / 24.0 * relative_conductivity(vg, h);
        return k / (k + q);
    };
    double sum = 0, lo = 1e-9;
    sum += lo * f(0);  // the piece from 0 to lo
    const double ratio = std::pow(tension / lo, 1.0 / steps);
    for (int i = 0; i < steps; ++i, lo *= ratio) sum += 0.5 * (f(lo) + f(lo * ratio)) * (lo * ratio - lo);
    return sum;
}

TEST(SoilviewReferences, UpwardFluxWaterTableIntegratesAcrossLayers) {
    const auto loam = soil(0.078f, 0.43f, 0.036f, 1.56f, 0.5f);
    const double ks = 24.96;
    // The layer bottoms as the integration counts them: r = 30 cm, bottoms
    // 10, 50, 120 cm give 5, 25 and 10000 - 30 + 5 cm.
    const std::vector<ProfileLayer> three{{loam, ks, 10}, {loam, ks, 50}, {loam, ks, 120}};
    EXPECT_EQ(bottoms_below_reference(three, 30), (std::vector<double>{5, 25, 9975}));
    const std::vector<ProfileLayer> one{{loam, ks, 120}};
    for (double q : {0.5, 0.01, 0.0002}) {
        const double expected = uniform_water_table(loam, ks, 1000, q);
        EXPECT_NEAR(upflux_water_table(one, bottoms_below_reference(one, 30), 1000, q), expected, 1e-3 * expected) << q;
        // The same soil in three layers: each boundary carries the suction on.
        EXPECT_NEAR(upflux_water_table(three, bottoms_below_reference(three, 30), 1000, q), expected, 1e-3 * expected)
            << q;
    }
    // A vanishing flux finds the water table at the reference tension.
    EXPECT_NEAR(upflux_water_table(one, {10000}, 93.5, 1e-12), 93.5, 1e-3);
}

}  // namespace
