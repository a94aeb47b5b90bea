// Potential evapotranspiration against FAO-56's worked examples (Allen,
// Pereira, Raes and Smith, 1998, chapters 3 and 4), and the polar cases
// where the sunset hour angle leaves its domain.
#include <gtest/gtest.h>

#include <cmath>

#include "weatherimport/pet_hargreaves.h"
#include "weatherimport/pet_penman_monteith.h"
#include "weatherimport/pet_thornthwaite.h"
#include "weatherimport/solar.h"

namespace weatherimport {
namespace {

// Examples 8 and 9: 3 September (day 246) at 20 degrees S: Ra 32.2
// MJ/m2/day, N 11.7 hours. Example 18 (day 187, 50 deg 48' N): Ra 41.09,
// N 16.1.
TEST(Solar, ExtraterrestrialRadiationAndDaylightOfFao56Examples) {
    EXPECT_NEAR(extraterrestrial_radiation(-20.0, 246), 32.2, 0.05);
    EXPECT_NEAR(daylight_hours(-20.0, 246), 11.7, 0.05);
    EXPECT_NEAR(extraterrestrial_radiation(50.8, 187), 41.09, 0.01);
    EXPECT_NEAR(daylight_hours(50.8, 187), 16.1, 0.05);
}

// Inside the polar circles: no sunrise in the polar night, no sunset in
// the polar day; both poles; never NaN, never negative.
TEST(Solar, PolarDayAndNightAreDefined) {
    EXPECT_EQ(daylight_hours(80.0, 355), 0.0);
    EXPECT_EQ(extraterrestrial_radiation(80.0, 355), 0.0);
    EXPECT_DOUBLE_EQ(daylight_hours(80.0, 172), 24.0);
    EXPECT_DOUBLE_EQ(daylight_hours(-80.0, 355), 24.0);
    for (double lat : {-90.0, -66.6, 66.6, 90.0})
        for (int doy = 1; doy <= 366; ++doy) {
            const double ra = extraterrestrial_radiation(lat, doy);
            ASSERT_TRUE(std::isfinite(ra) && ra >= 0.0) << lat << " " << doy;
            ASSERT_TRUE(std::isfinite(hargreaves_et0(5.0, -5.0, lat, doy)));
        }
}

// Example 20: 45 deg 43' N, mid-July, Tmax 26.6 C, Tmin 14.8 C: Ra 40.6
// MJ/m2/day, ET0 5.0 mm/day.
TEST(Hargreaves, Fao56Example20) {
    EXPECT_NEAR(extraterrestrial_radiation(45.72, 196), 40.6, 0.1);
    EXPECT_NEAR(hargreaves_et0(26.6, 14.8, 45.72, 196), 5.0, 0.05);
    EXPECT_EQ(hargreaves_et0(-25.0, -30.0, 45.72, 196), 0.0);
}

// Example 18: Uccle (Brussels), 6 July, 50 deg 48' N, 100 m: Tmax 21.5 C,
// Tmin 12.3 C, RHmax 84 %, RHmin 63 %, wind 10 km/h at 10 m, 9.25 hours
// of sunshine: ET0 3.9 mm/day.
TEST(PenmanMonteith, Fao56Example18) {
    PenmanSite site;
    site.latitude = 50.8;
    site.elevation = 100.0;
    site.wind_height = 10.0;
    PenmanDay day;
    day.tmax = 21.5, day.tmin = 12.3;
    day.rh_max = 84.0, day.rh_min = 63.0, day.wind = 10.0 / 3.6, day.sunshine = 9.25;
    EXPECT_NEAR(wind_at_2m(10.0 / 3.6, 10.0), 2.078, 0.001);
    std::string missing, estimated;
    auto et0 = penman_monteith_et0(day, site, 187, missing, estimated);
    ASSERT_TRUE(et0) << missing;
    EXPECT_NEAR(*et0, 3.9, 0.05);
    EXPECT_EQ(estimated, "");
    // Measured radiation in place of sunshine: Example 18's Rs, 22.07.
    day.sunshine.reset();
    day.solar = 22.07;
    EXPECT_NEAR(*penman_monteith_et0(day, site, 187, missing, estimated), 3.9, 0.05);
}

// A missing input gives no value unless its FAO-56 estimate is asked for,
// and an estimate used is named.
TEST(PenmanMonteith, MissingInputsAreEstimatedOnlyWhenAsked) {
    PenmanSite site;
    site.latitude = 50.8;
    site.elevation = 100.0;
    PenmanDay day;
    day.tmax = 21.5, day.tmin = 12.3;
    std::string missing, estimated;
    EXPECT_FALSE(penman_monteith_et0(day, site, 187, missing, estimated));
    EXPECT_EQ(missing, "humidity (dew point or relative humidity)");
    site.humidity_from_tmin = true;
    EXPECT_FALSE(penman_monteith_et0(day, site, 187, missing, estimated));
    EXPECT_EQ(missing, "wind speed");
    site.assumed_wind = 2.0;
    EXPECT_FALSE(penman_monteith_et0(day, site, 187, missing, estimated));
    EXPECT_EQ(missing, "solar radiation or sunshine hours");
    site.rs_krs = 0.16;
    auto et0 = penman_monteith_et0(day, site, 187, missing, estimated);
    ASSERT_TRUE(et0);
    EXPECT_GT(*et0, 2.0);
    EXPECT_LT(*et0, 6.0);
    EXPECT_NE(estimated.find("eq. 48"), std::string::npos);
    EXPECT_NE(estimated.find("eq. 50"), std::string::npos);
}

// Thornthwaite: heat index and unadjusted PET for a temperate year
// (values worked by hand from Thornthwaite's 1948 formulas), 0 at and
// below 0 C, and the hot branch joining the power law near 26.5 C.
TEST(Thornthwaite, HeatIndexAndMonthlyValues) {
    const double means[12] = {-2, 0, 4, 9, 14, 18, 21, 20, 16, 10, 4, -1};
    const double i = thornthwaite_heat_index(means);
    EXPECT_NEAR(i, 41.1822, 1e-3);
    EXPECT_NEAR(thornthwaite_unadjusted(21.0, i), 103.62, 0.01);
    EXPECT_EQ(thornthwaite_unadjusted(0.0, i), 0.0);
    EXPECT_EQ(thornthwaite_unadjusted(-3.0, i), 0.0);
    EXPECT_NEAR(thornthwaite_unadjusted(26.5, i), thornthwaite_unadjusted(26.49, i), 10.0);
}

}  // namespace
}  // namespace weatherimport
