#include "weatherimport/solar.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace weatherimport {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kSolarConstant = 0.0820;  // Gsc (MJ/m2/min)

double radians(double deg) {
    return deg * kPi / 180.0;
}

}  // namespace

double solar_declination(int doy) {
    return 0.409 * std::sin(2.0 * kPi / 365.0 * doy - 1.39);
}

double inverse_relative_distance(int doy) {
    return 1.0 + 0.033 * std::cos(2.0 * kPi / 365.0 * doy);
}

double sunset_hour_angle(double latitude_deg, int doy) {
    // ws = arccos(-tan(phi) tan(delta)); beyond the polar circles the
    // argument leaves [-1, 1]: the sun then never sets (ws = pi) or never
    // rises (ws = 0).
    const double x = -std::tan(radians(latitude_deg)) * std::tan(solar_declination(doy));
    return std::acos(std::clamp(x, -1.0, 1.0));
}

double extraterrestrial_radiation(double latitude_deg, int doy) {
    const double phi = radians(latitude_deg);
    const double delta = solar_declination(doy);
    const double ws = sunset_hour_angle(latitude_deg, doy);
    const double ra = 24.0 * 60.0 / kPi * kSolarConstant * inverse_relative_distance(doy) *
                      (ws * std::sin(phi) * std::sin(delta) + std::cos(phi) * std::cos(delta) * std::sin(ws));
    return std::max(ra, 0.0);
}

double daylight_hours(double latitude_deg, int doy) {
    return 24.0 / kPi * sunset_hour_angle(latitude_deg, doy);
}

}  // namespace weatherimport
