// The van Genuchten fit: recovery of known parameters, van Genuchten's
// (1980) published fits, agreement with another least-squares tool, bounds,
// fixed parameters, refusals; and the reader of lab sheets with its units.
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "soildata/retention_points.h"
#include "soildata/van_genuchten_fit.h"

namespace soildata {
namespace {

const std::vector<double> kHeads = {0, 10, 30, 60, 100, 200, 330, 1000, 3000, 5000, 15000};

MeasuredPoints points_of(const VanGenuchten& vg, const std::vector<double>& heads, double noise = 0,
                         unsigned seed = 1) {
    MeasuredPoints p;
    std::mt19937 gen(seed);
    std::normal_distribution<double> e(0.0, 1.0);
    for (double h : heads) p.retention.push_back({h, vg.theta(h) + noise * e(gen), 1.0});
    return p;
}

void expect_near_rel(double got, double want, double rel, const char* what) {
    EXPECT_NEAR(got, want, rel * std::max(std::fabs(want), 1e-3)) << what;
}

TEST(VanGenuchtenFit, RecoversParametersFromExactPoints) {
    const VanGenuchten loam{0.078, 0.43, 0.036, 1.56, 24.96, 0.5};
    const FitResult fit = fit_van_genuchten(points_of(loam, kHeads), {});
    ASSERT_TRUE(fit.ok()) << fit.error;
    expect_near_rel(fit[Param::ThetaR].value, 0.078, 1e-5, "theta_r");
    expect_near_rel(fit[Param::ThetaS].value, 0.43, 1e-5, "theta_s");
    expect_near_rel(fit[Param::Alpha].value, 0.036, 1e-5, "alpha");
    expect_near_rel(fit[Param::N].value, 1.56, 1e-5, "n");
    EXPECT_LT(fit.rmse, 1e-7);
    EXPECT_GT(fit.converged, 1);
    EXPECT_FALSE(fit[Param::Ks].fitted);
}

// Points computed from the parameters van Genuchten (1980) fitted to five
// soils (his Table 1) over the suctions his figures span: each is found
// again, from the steep Hygiene sandstone (n = 10.4) to Beit Netofa clay
// (n = 1.17, theta_r = 0).
TEST(VanGenuchtenFit, RecoversVanGenuchten1980Fits) {
    struct Soil {
        const char* name;
        VanGenuchten vg;
        double h_max;
    };
    const Soil soils[] = {{"Hygiene sandstone", {0.153, 0.250, 0.0079, 10.4, 108, 0.5}, 1000},
                          {"Touchet silt loam G.E. 3", {0.190, 0.469, 0.0050, 7.09, 303, 0.5}, 1000},
                          {"Silt loam G.E. 3", {0.131, 0.396, 0.00423, 2.06, 4.96, 0.5}, 2000},
                          {"Guelph loam (drying)", {0.218, 0.520, 0.0115, 2.03, 31.6, 0.5}, 1000},
                          {"Beit Netofa clay", {0.0, 0.446, 0.00152, 1.17, 0.082, 0.5}, 20000}};
    for (const auto& s : soils) {
        std::vector<double> heads;
        for (int i = 0; i <= 30; ++i) heads.push_back(s.h_max * std::pow(10.0, -3.0 + 3.0 * i / 30));
        heads.insert(heads.begin(), 0);
        const FitResult fit = fit_van_genuchten(points_of(s.vg, heads), {});
        ASSERT_TRUE(fit.ok()) << s.name << ": " << fit.error;
        EXPECT_NEAR(fit[Param::ThetaR].value, s.vg.theta_r, 2e-4) << s.name;
        EXPECT_NEAR(fit[Param::ThetaS].value, s.vg.theta_s, 2e-4) << s.name;
        expect_near_rel(fit[Param::Alpha].value, s.vg.alpha, 1e-3, s.name);
        expect_near_rel(fit[Param::N].value, s.vg.n, 1e-3, s.name);
    }
}

// The loam points with noise of 0.005 cm3/cm3: the true parameters lie
// within the 95% intervals, and values and standard errors agree with
// scipy.optimize.curve_fit (Levenberg-Marquardt, unbounded) on the same 11
// points to 4 digits.
TEST(VanGenuchtenFit, NoisyPointsAgreeWithAnotherLeastSquaresTool) {
    const double heads[] = {0, 10, 30, 60, 100, 200, 330, 1000, 3000, 5000, 15000};
    const double thetas[] = {0.4317, 0.4090, 0.3510, 0.2834, 0.2440, 0.1928, 0.1617, 0.1228, 0.1038, 0.0933, 0.0884};
    MeasuredPoints p;
    for (int i = 0; i < 11; ++i) p.retention.push_back({heads[i], thetas[i], 1.0});
    const FitResult fit = fit_van_genuchten(p, {});
    ASSERT_TRUE(fit.ok()) << fit.error;
    const double value[] = {0.07798724, 0.43142437, 0.03464937, 1.5797982};
    const double stderr_[] = {0.00246066, 0.00204878, 0.00143407, 0.01955341};
    const double truth[] = {0.078, 0.43, 0.036, 1.56};
    for (int i = 0; i < 4; ++i) {
        const Estimate& e = fit.params[i];
        expect_near_rel(e.value, value[i], 1e-4, param_name(static_cast<Param>(i)).c_str());
        expect_near_rel(e.stderr_, stderr_[i], 1e-3, param_name(static_cast<Param>(i)).c_str());
        EXPECT_LT(e.low, truth[i]);
        EXPECT_GT(e.high, truth[i]);
        // t(0.975, 7) = 2.3646
        EXPECT_NEAR((e.high - e.low) / (2 * e.stderr_), 2.3646, 1e-3);
    }
    EXPECT_GT(fit.r2, 0.999);
    EXPECT_TRUE(fit.warnings.empty()) << fit.warnings.front();
}

TEST(VanGenuchtenFit, FitsKsAndLToConductivityPoints) {
    const VanGenuchten loam{0.078, 0.43, 0.036, 1.56, 24.96, 0.5};
    MeasuredPoints p = points_of(loam, kHeads);
    for (double h : {0.0, 10.0, 50.0, 100.0, 300.0, 1000.0, 5000.0})
        p.conductivity.push_back({h, loam.conductivity(h)});
    const FitResult fit = fit_van_genuchten(p, {});
    ASSERT_TRUE(fit.ok()) << fit.error;
    expect_near_rel(fit[Param::Ks].value, 24.96, 1e-4, "ks");
    EXPECT_NEAR(fit[Param::L].value, 0.5, 1e-4);
    EXPECT_LT(fit.rmse_log10_k, 1e-6);
}

TEST(VanGenuchtenFit, KeepsBoundsAndFixedParameters) {
    // A curve with theta_r = 0 and noise: theta_r stays at or above 0.
    const VanGenuchten clay{0.0, 0.446, 0.00152, 1.17, 0.082, 0.5};
    const FitResult bounded = fit_van_genuchten(points_of(clay, kHeads, 0.004, 7), {});
    ASSERT_TRUE(bounded.ok()) << bounded.error;
    EXPECT_GE(bounded[Param::ThetaR].value, 0.0);
    EXPECT_LE(bounded[Param::ThetaS].value, 1.0);
    EXPECT_GT(bounded[Param::N].value, 1.0);

    FitOptions fix;
    fix.fixed[Param::ThetaR] = 0.05;
    fix.fixed[Param::N] = 1.5;
    const VanGenuchten loam{0.078, 0.43, 0.036, 1.56, 24.96, 0.5};
    const FitResult fixed = fit_van_genuchten(points_of(loam, kHeads), fix);
    ASSERT_TRUE(fixed.ok()) << fixed.error;
    EXPECT_EQ(fixed[Param::ThetaR].value, 0.05);
    EXPECT_TRUE(fixed[Param::ThetaR].fixed);
    EXPECT_EQ(fixed[Param::N].value, 1.5);
    EXPECT_EQ(fixed.curve.n, 1.5);
    EXPECT_FALSE(fixed[Param::Alpha].fixed);
    EXPECT_GT(fixed.rmse, 1e-4);  // the fixed values do not fit exactly
    // t of 11 - 2 degrees of freedom
    EXPECT_NEAR(fixed.t95, 2.2622, 1e-3);
}

TEST(VanGenuchtenFit, WeighsEachPoint) {
    // An outlier given almost no weight leaves the fit on the other points.
    const VanGenuchten loam{0.078, 0.43, 0.036, 1.56, 24.96, 0.5};
    MeasuredPoints p = points_of(loam, kHeads);
    p.retention[5].theta += 0.08;
    const double spoilt = fit_van_genuchten(p, {})[Param::Alpha].value;
    p.retention[5].weight = 1e-12;
    const double weighed = fit_van_genuchten(p, {})[Param::Alpha].value;
    EXPECT_GT(std::fabs(spoilt - 0.036), 1e-3);
    EXPECT_NEAR(weighed, 0.036, 1e-5);

    // A weight of 2 counts a point as twice: the same fit as the point given
    // two times over.
    p.retention[5].weight = 2.0;
    const double doubled = fit_van_genuchten(p, {})[Param::Alpha].value;
    p.retention[5].weight = 1.0;
    p.retention.push_back(p.retention[5]);
    EXPECT_NEAR(doubled, fit_van_genuchten(p, {})[Param::Alpha].value, 1e-7);
    EXPECT_GT(std::fabs(doubled - spoilt), 1e-4);
}

TEST(VanGenuchtenFit, WarnsOfParametersThePointsDoNotDetermine) {
    // Wet points only: the dry end, and with it theta_r, is extrapolation.
    const VanGenuchten loam{0.078, 0.43, 0.036, 1.56, 24.96, 0.5};
    const FitResult fit = fit_van_genuchten(points_of(loam, {0, 5, 10, 20, 30, 50, 60}, 0.003, 3), {});
    ASSERT_TRUE(fit.ok()) << fit.error;
    bool theta_r_named = false;
    for (const auto& w : fit.warnings) theta_r_named = theta_r_named || w.find("theta_r") != std::string::npos;
    EXPECT_TRUE(theta_r_named);
}

TEST(VanGenuchtenFit, SaysWhenThePointsCannotTellParametersApart) {
    // Two heads only, each measured three times: four parameters, two facts.
    MeasuredPoints p;
    for (int i = 0; i < 3; ++i) {
        p.retention.push_back({0, 0.43 + 0.001 * i, 1});
        p.retention.push_back({100, 0.30 + 0.001 * i, 1});
    }
    const FitResult fit = fit_van_genuchten(p, {});
    ASSERT_TRUE(fit.ok()) << fit.error;
    ASSERT_FALSE(fit.warnings.empty());
    bool flagged = false;
    for (const auto& w : fit.warnings)
        flagged = flagged || w.find("singular") != std::string::npos || w.find("not identifiable") != std::string::npos;
    EXPECT_TRUE(flagged);
}

TEST(VanGenuchtenFit, RefusesWhatCannotBeFitted) {
    const VanGenuchten loam{0.078, 0.43, 0.036, 1.56, 24.96, 0.5};
    EXPECT_FALSE(fit_van_genuchten(points_of(loam, {0, 100, 1000, 15000}), {}).ok());  // 4 points, 4 parameters
    FitOptions crossed;
    crossed.fixed = {{Param::ThetaR, 0.3}, {Param::ThetaS, 0.2}};
    EXPECT_FALSE(fit_van_genuchten(points_of(loam, kHeads), crossed).ok());
    FitOptions flat;
    flat.fixed = {{Param::N, 1.0}};
    EXPECT_FALSE(fit_van_genuchten(points_of(loam, kHeads), flat).ok());
    FitOptions nan;
    nan.fixed = {{Param::L, std::nan("")}};
    EXPECT_FALSE(fit_van_genuchten(points_of(loam, kHeads), nan).ok());
    MeasuredPoints one_k = points_of(loam, kHeads);
    one_k.conductivity.push_back({0, 24.96});
    EXPECT_FALSE(fit_van_genuchten(one_k, {}).ok());  // Ks and l from one point
}

TEST(RetentionPoints, ReadsColumnsByNameInTheirUnits) {
    PointUnits units{HeadUnit::KPa, ThetaUnit::Percent, ConductivityUnit::MPerSecond};
    const auto r = read_points(
        "\xEF\xBB\xBF# lab sheet 12\r\nk;Theta;depth;HEAD\r\n1e-6;43;5;0\r\n;30;5;-10\r\n2e-8;;5;33\r\n", units);
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.points.retention.size(), 2u);
    EXPECT_DOUBLE_EQ(r.points.retention[0].theta, 0.43);
    EXPECT_NEAR(r.points.retention[1].head, 1019.72, 0.01);  // 10 kPa, given as a negative head
    ASSERT_EQ(r.points.conductivity.size(), 2u);
    EXPECT_NEAR(r.points.conductivity[0].k, 8.64, 1e-9);  // 1e-6 m/s in cm/day
    EXPECT_NEAR(r.points.conductivity[1].head, 3365.06, 0.01);

    const auto pf = read_points("head,theta\n0,0.4\n2,0.3\n4.2,0.1\n", {HeadUnit::PF});
    ASSERT_TRUE(pf.ok());
    EXPECT_NEAR(pf.points.retention[1].head, 100, 1e-9);
    EXPECT_NEAR(pf.points.retention[2].head, 15848.9, 0.1);
}

TEST(RetentionPoints, RefusesWithTheLineAndTheCause) {
    EXPECT_EQ(read_points("theta,k\n0.4,1\n", {}).error, "line 1: the header has no column `head`");
    EXPECT_EQ(read_points("head,theta\n0,0.4\n10,abc\n", {}).error, "line 3: the theta cell is not a number");
    const auto pct = read_points("head,theta\n0,43\n", {});
    EXPECT_NE(pct.error.find("--theta-unit percent"), std::string::npos) << pct.error;
    EXPECT_NE(read_points("head,theta,k\n0,0.4,-1.5\n", {}).error.find("log10"), std::string::npos);
    EXPECT_FALSE(read_points("", {}).ok());
}

}  // namespace
}  // namespace soildata
