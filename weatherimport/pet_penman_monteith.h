// Reference evapotranspiration of a grass surface by the FAO Penman-Monteith
// equation for daily periods (Allen, Pereira, Raes and Smith, 1998, FAO
// Irrigation and Drainage Paper 56, eq. 6), with its inputs derived as
// chapter 3 of that paper prescribes. FAO-56's estimates of a missing input
// (chapter 3, "Missing data") are used only where the caller asks for them.
#pragma once

#include <optional>
#include <string>

namespace weatherimport {

// One day's measurements; any but the temperatures may be absent.
struct PenmanDay {
    double tmax;                     // degrees C
    double tmin;                     // degrees C
    std::optional<double> tdew;      // dew point (degrees C)
    std::optional<double> rh_max;    // %
    std::optional<double> rh_min;    // %
    std::optional<double> rh_mean;   // %
    std::optional<double> wind;      // m/s at the site's wind height
    std::optional<double> solar;     // Rs (MJ/m2/day)
    std::optional<double> sunshine;  // n (hours)
};

struct PenmanSite {
    double latitude = 0.0;     // degrees, north positive
    double elevation = 0.0;    // m above sea level
    double wind_height = 2.0;  // m above ground
    // Estimates, each only when asked:
    bool humidity_from_tmin = false;     // Tdew = Tmin (eq. 48)
    std::optional<double> assumed_wind;  // u2 (m/s), FAO-56 suggests 2
    std::optional<double> rs_krs;        // Rs from the temperature range (eq. 50), kRs 0.16 or 0.19
};

// ET0 (mm/day) on day of year DOY, or nullopt when an input is missing and
// no estimate for it was asked; MISSING then names it. ESTIMATED lists the
// estimates used ("" when none).
std::optional<double> penman_monteith_et0(const PenmanDay& day, const PenmanSite& site, int doy, std::string& missing,
                                          std::string& estimated);

// Saturation vapour pressure e°(T) (kPa) at T (degrees C), FAO-56 eq. 11.
double saturation_vapour_pressure(double t);
// Wind speed at 2 m from speed U at height Z (m), FAO-56 eq. 47.
double wind_at_2m(double u, double z);

}  // namespace weatherimport
