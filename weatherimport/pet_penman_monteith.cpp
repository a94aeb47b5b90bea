#include "weatherimport/pet_penman_monteith.h"

#include <algorithm>
#include <cmath>

#include "weatherimport/solar.h"

namespace weatherimport {

double saturation_vapour_pressure(double t) {
    return 0.6108 * std::exp(17.27 * t / (t + 237.3));
}

double wind_at_2m(double u, double z) {
    return u * 4.87 / std::log(67.8 * z - 5.42);
}

std::optional<double> penman_monteith_et0(const PenmanDay& d, const PenmanSite& site, int doy, std::string& missing,
                                          std::string& estimated) {
    missing.clear();
    estimated.clear();
    auto note = [&](const char* what) { estimated += (estimated.empty() ? "" : "; ") + std::string(what); };

    // Actual vapour pressure ea (kPa), in FAO-56's order of preference:
    // dew point (eq. 14), RHmax and RHmin (eq. 17), RHmax alone (eq. 18),
    // RHmean (eq. 19); Tdew = Tmin (eq. 48) only when asked.
    const double e_max = saturation_vapour_pressure(d.tmax), e_min = saturation_vapour_pressure(d.tmin);
    std::optional<double> ea;
    if (d.tdew)
        ea = saturation_vapour_pressure(*d.tdew);
    else if (d.rh_max && d.rh_min)
        ea = (e_min * *d.rh_max / 100.0 + e_max * *d.rh_min / 100.0) / 2.0;
    else if (d.rh_max)
        ea = e_min * *d.rh_max / 100.0;
    else if (d.rh_mean)
        ea = *d.rh_mean / 100.0 * (e_max + e_min) / 2.0;
    else if (site.humidity_from_tmin)
        ea = e_min, note("ea from Tdew = Tmin (FAO-56 eq. 48)");
    if (!ea) {
        missing = "humidity (dew point or relative humidity)";
        return std::nullopt;
    }

    // Wind speed at 2 m (m/s), eq. 47.
    std::optional<double> u2;
    if (d.wind)
        u2 = site.wind_height == 2.0 ? *d.wind : wind_at_2m(*d.wind, site.wind_height);
    else if (site.assumed_wind)
        u2 = *site.assumed_wind, note("u2 assumed (FAO-56, missing wind speed)");
    if (!u2) {
        missing = "wind speed";
        return std::nullopt;
    }

    // Radiation (MJ/m2/day): Ra (eq. 21), Rs measured, or from sunshine
    // hours (eq. 35, as = 0.25, bs = 0.50), or from the temperature range
    // (eq. 50) when asked; Rso (eq. 37); Rns (eq. 38, albedo 0.23); Rnl
    // (eq. 39); Rn (eq. 40); G = 0 for a day (eq. 42).
    const double ra = extraterrestrial_radiation(site.latitude, doy);
    std::optional<double> rs;
    if (d.solar)
        rs = *d.solar;
    else if (d.sunshine) {
        const double n_max = daylight_hours(site.latitude, doy);
        rs = n_max > 0.0 ? (0.25 + 0.50 * std::min(*d.sunshine / n_max, 1.0)) * ra : 0.0;
    } else if (site.rs_krs) {
        rs = *site.rs_krs * std::sqrt(std::max(d.tmax - d.tmin, 0.0)) * ra;
        note("Rs from the temperature range (FAO-56 eq. 50)");
    }
    if (!rs) {
        missing = "solar radiation or sunshine hours";
        return std::nullopt;
    }
    const double rso = (0.75 + 2e-5 * site.elevation) * ra;
    const double rns = (1.0 - 0.23) * *rs;
    constexpr double sigma = 4.903e-9;  // Stefan-Boltzmann (MJ/K4/m2/day)
    const double tk_max = d.tmax + 273.16, tk_min = d.tmin + 273.16;
    // Rs/Rso is held to at most 1; with no clear-sky radiation (polar
    // night) the sky is taken as clear.
    const double relative = rso > 0.0 ? std::min(*rs / rso, 1.0) : 1.0;
    const double rnl = sigma * (std::pow(tk_max, 4) + std::pow(tk_min, 4)) / 2.0 * (0.34 - 0.14 * std::sqrt(*ea)) *
                       (1.35 * relative - 0.35);
    const double rn = rns - rnl;
    const double g = 0.0;

    // Atmospheric pressure (kPa, eq. 7), psychrometric constant (eq. 8),
    // mean temperature (eq. 9), es (eq. 12), slope of the vapour pressure
    // curve (eq. 13).
    const double p = 101.3 * std::pow((293.0 - 0.0065 * site.elevation) / 293.0, 5.26);
    const double gamma = 0.665e-3 * p;
    const double t = (d.tmax + d.tmin) / 2.0;
    const double es = (e_max + e_min) / 2.0;
    const double delta = 4098.0 * saturation_vapour_pressure(t) / ((t + 237.3) * (t + 237.3));

    // Eq. 6.
    return (0.408 * delta * (rn - g) + gamma * 900.0 / (t + 273.0) * *u2 * (es - *ea)) /
           (delta + gamma * (1.0 + 0.34 * *u2));
}

}  // namespace weatherimport
