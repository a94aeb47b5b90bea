// Units of soil data: each name a user may write reads as its unit and each
// conversion gives the value the main input file takes, checked against
// physical equivalents written out here rather than the factors in the code.
#include <gtest/gtest.h>

#include "soildata/units.h"

using namespace soildata;

namespace {

// 1 kPa of suction is 1000 / (1000 kg/m3 x 9.80665 m/s2) m of water.
constexpr double kCmPerKPa = 101.97162129779283;

TEST(SoilUnits, HeadsBecomeSuctionInCm) {
    struct Case {
        const char* name;
        double value, cm;
    };
    for (const Case& c : {Case{"cm", -330, 330}, Case{"hPa", 100, kCmPerKPa * 10}, Case{"mbar", 1, kCmPerKPa / 10},
                          Case{"kPa", 33, 33 * kCmPerKPa}, Case{"kpa", -1500, 1500 * kCmPerKPa}, Case{"m", 1.5, 150},
                          Case{"pF", 2, 100}, Case{"pf", 4.2, 15848.931924611}}) {
        const auto u = head_unit(c.name);
        ASSERT_TRUE(u) << c.name;
        EXPECT_NEAR(head_to_cm(c.value, *u), c.cm, 1e-9 * c.cm) << c.name;
        EXPECT_EQ(head_unit(unit_name(*u)), u) << c.name;
    }
    EXPECT_FALSE(head_unit("bar"));
    EXPECT_FALSE(head_unit("KPA"));
}

TEST(SoilUnits, ConductivityBecomesCmPerDayAndAlphaPerCm) {
    struct Case {
        const char* name;
        double value, per_day;
    };
    for (const Case& c : {Case{"cm/day", 12, 12}, Case{"cm/d", 12, 12}, Case{"cm/hr", 1, 24}, Case{"cm/h", 0.5, 12},
                          Case{"m/s", 1e-6, 8.64}, Case{"m/day", 0.25, 25}, Case{"m/d", 1, 100}, Case{"mm/hr", 10, 24},
                          Case{"mm/h", 1, 2.4}, Case{"mm/day", 50, 5}, Case{"mm/d", 1, 0.1}}) {
        const auto u = conductivity_unit(c.name);
        ASSERT_TRUE(u) << c.name;
        EXPECT_NEAR(conductivity_to_cm_per_day(c.value, *u), c.per_day, 1e-12 * c.per_day) << c.name;
        EXPECT_EQ(conductivity_unit(unit_name(*u)), u) << c.name;
    }
    for (const Case& c : {Case{"1/cm", 0.036, 0.036}, Case{"1/m", 3.6, 0.036}, Case{"1/kPa", 0.5, 0.5 / kCmPerKPa},
                          Case{"1/hPa", 0.05, 0.5 / kCmPerKPa}}) {
        const auto u = alpha_unit(c.name);
        ASSERT_TRUE(u) << c.name;
        EXPECT_NEAR(alpha_to_per_cm(c.value, *u), c.per_day, 1e-12) << c.name;
        EXPECT_EQ(alpha_unit(unit_name(*u)), u) << c.name;
    }
    EXPECT_DOUBLE_EQ(theta_to_fraction(43, *theta_unit("%")), 0.43);
    EXPECT_DOUBLE_EQ(theta_to_fraction(0.43, *theta_unit("m3/m3")), 0.43);
    EXPECT_FALSE(conductivity_unit("in/hr"));
}

}  // namespace
