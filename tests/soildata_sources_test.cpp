// The texture-class catalogue against Carsel and Parrish (1988), and the
// HYPRES pedotransfer functions against a second transcription and their
// refusals.
#include <cmath>

#include <gtest/gtest.h>

#include "soildata/pedotransfer.h"
#include "soildata/texture_classes.h"

namespace soildata {
namespace {

TEST(TextureClasses, HoldThePapersMeans) {
    // Carsel and Parrish (1988), Table 3: theta_r, theta_s, alpha (1/cm), n,
    // Ks (cm/hr).
    struct Row {
        const char* name;
        double theta_r, theta_s, alpha, n, ks_cm_hr;
    };
    const Row paper[] = {{"sand", 0.045, 0.43, 0.145, 2.68, 29.70},
                         {"loamy sand", 0.057, 0.41, 0.124, 2.28, 14.59},
                         {"sandy loam", 0.065, 0.41, 0.075, 1.89, 4.42},
                         {"loam", 0.078, 0.43, 0.036, 1.56, 1.04},
                         {"silt", 0.034, 0.46, 0.016, 1.37, 0.25},
                         {"silt loam", 0.067, 0.45, 0.020, 1.41, 0.45},
                         {"sandy clay loam", 0.100, 0.39, 0.059, 1.48, 1.31},
                         {"clay loam", 0.095, 0.41, 0.019, 1.31, 0.26},
                         {"silty clay loam", 0.089, 0.43, 0.010, 1.23, 0.07},
                         {"sandy clay", 0.100, 0.38, 0.027, 1.23, 0.12},
                         {"silty clay", 0.070, 0.36, 0.005, 1.09, 0.02},
                         {"clay", 0.068, 0.38, 0.008, 1.09, 0.20}};
    ASSERT_EQ(texture_classes().size(), 12u);
    for (const auto& row : paper) {
        const auto c = texture_class(row.name);
        ASSERT_TRUE(c) << row.name;
        EXPECT_EQ(c->theta_r, row.theta_r) << row.name;
        EXPECT_EQ(c->theta_s, row.theta_s) << row.name;
        EXPECT_EQ(c->alpha, row.alpha) << row.name;
        EXPECT_EQ(c->n, row.n) << row.name;
        EXPECT_NEAR(c->ks, row.ks_cm_hr * 24, 0.05) << row.name;  // cm/day
    }
    const auto sand = texture_spread("sand");
    ASSERT_TRUE(sand);
    EXPECT_NEAR(sand->ks, 15.60 * 24, 1e-9);
    EXPECT_EQ(sand->alpha, 0.029);
}

TEST(TextureClasses, FindNamesAsPeopleWriteThem) {
    EXPECT_EQ(std::string(texture_class("Silty_Clay_Loam")->name), "silty clay loam");
    EXPECT_EQ(std::string(texture_class("  sandy-loam ")->name), "sandy loam");
    EXPECT_FALSE(texture_class("loamy"));
    EXPECT_FALSE(texture_class(""));
}

// The functions of Wösten et al. (1999) as a second source prints them,
// with clay and silt as fractions, bulk density in kg/m3 and humus as a
// fraction (coefficients scaled to match); a slip in any coefficient of the
// percentage form shows here.
VanGenuchten scaled_form(double clay_pct, double silt_pct, double om_pct, double bd, bool topsoil) {
    const double c = clay_pct / 100, s = silt_pct / 100, h = om_pct / 100, d = bd * 1000, t = topsoil ? 1 : 0;
    VanGenuchten vg;
    vg.theta_s = 0.7919 + 0.1691 * c - 0.00029619 * d - 0.01491 * s * s + 0.821 * h * h + 0.0002427 / c +
                 0.0001113 / s + 0.01472 * std::log(s * 100) - 0.733 * h * c - 0.0000619 * d * c - 0.0001183 * d * h -
                 0.01664 * t * s;
    vg.alpha = std::exp(-14.96 + 3.135 * c + 3.51 * s + 64.6 * h + 0.01529 * d - 0.192 * t - 0.000004671 * d * d -
                        7.81 * c * c - 68.7 * h * h + 0.000449 / h + 0.0663 * std::log(100 * s) +
                        0.1482 * std::log(100 * h) - 0.004546 * d * s - 0.04852 * d * h + 0.673 * t * c);
    vg.n = 1 + std::exp(-25.23 - 2.195 * c + 0.74 * s - 19.4 * h + 0.0455 * d - 0.00000724 * d * d + 3.658 * c * c +
                        28.85 * h * h - 12810 / d - 0.001524 / s - 0.0001958 / h - 0.2876 * std::log(s * 100) -
                        0.0709 * std::log(100 * h) - 44.6 * std::log(d / 1000) - 0.002264 * d * c + 0.00896 * d * h +
                        0.718 * t * c);
    vg.ks = std::exp(7.755 + 3.52 * s + 0.93 * t - 0.000000967 * d * d - 4.84 * c * c - 3.22 * s * s +
                     0.001 / (s * 100) - 0.0748 / (h * 100) - 0.643 * std::log(s * 100) - 0.001398 * d * c -
                     0.01673 * d * h + 2.986 * t * c - 3.305 * t * s);
    const double l = 0.0202 + 6.193 * c * c - 11.36 * h * h - 0.2316 * std::log(h * 100) - 0.003544 * d * c +
                     0.000283 * d * s + 0.00488 * d * h;
    vg.l = 10 * (std::exp(l) - 1) / (std::exp(l) + 1);
    return vg;
}

TEST(Pedotransfer, MatchesTheScaledFormOfTheFunctions) {
    struct Case {
        double sand, silt, clay, om, bd;
        bool top;
    };
    for (const Case& k : {Case{40, 40, 20, 2, 1.45, true}, Case{85, 10, 5, 1, 1.6, false},
                          Case{10, 35, 55, 4, 1.2, true}, Case{20, 70, 10, 0.5, 1.5, false}}) {
        const auto r = hypres({k.sand, k.silt, k.clay, k.om, k.bd, k.top});
        ASSERT_TRUE(r.ok()) << r.error;
        const VanGenuchten want = scaled_form(k.clay, k.silt, k.om, k.bd, k.top);
        EXPECT_NEAR(r.vg.theta_s, want.theta_s, 1e-12);
        EXPECT_NEAR(r.vg.alpha / want.alpha, 1, 1e-12);
        EXPECT_NEAR(r.vg.n, want.n, 1e-12);
        EXPECT_NEAR(r.vg.ks / want.ks, 1, 1e-12);
        EXPECT_NEAR(r.vg.l, want.l, 1e-12);
        EXPECT_EQ(r.vg.theta_r, 0);
    }
    // A topsoil and a subsoil of the same texture differ.
    EXPECT_NE(hypres({40, 40, 20, 2, 1.45, true}).vg.ks, hypres({40, 40, 20, 2, 1.45, false}).vg.ks);
}

TEST(Pedotransfer, RefusesInputsOutsideItsDomain) {
    EXPECT_NE(hypres({40, 40, 30, 2, 1.45, true}).error.find("add up to 110"), std::string::npos);
    EXPECT_FALSE(hypres({80, 20, 0, 2, 1.45, true}).ok());   // no clay: 1/C
    EXPECT_FALSE(hypres({40, 40, 20, 0, 1.45, true}).ok());  // no organic matter: ln OM
    EXPECT_FALSE(hypres({40, 40, 20, 2, 14.5, true}).ok());  // bulk density in the wrong unit
    EXPECT_FALSE(hypres({40, 40, 20, 2, 0.145, true}).ok());
    const auto peat = hypres({30, 40, 30, 40, 0.6, true});
    EXPECT_FALSE(peat.warnings.empty());
}

}  // namespace
}  // namespace soildata
