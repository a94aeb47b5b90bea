#include "soilview/van_genuchten_curve.h"

#include <algorithm>
#include <cmath>

#include "soilview/exact_references.h"

namespace soilview {
namespace {

double effective_saturation(const soilcalc::VanGenuchten& vg, double h) {
    if (h <= 0) return 1.0;
    const double n = vg.n;
    return std::pow(1.0 + std::pow(static_cast<double>(vg.alpha) * h, n), 1.0 / n - 1.0);
}

}  // namespace

double vg_water_content(const soilcalc::VanGenuchten& vg, double h) {
    const double theta_r = vg.theta_r;
    const double theta_s = vg.theta_s;
    return (theta_s - theta_r) * effective_saturation(vg, h) + theta_r;
}

double vg_conductivity(const soilcalc::VanGenuchten& vg, double ks_cm_day, double h) {
    return ks_cm_day / 24.0 * relative_conductivity(vg, h);
}

std::vector<double> curve_suctions(double from, double to, int per_decade) {
    std::vector<double> h{0.0};
    const double a = std::log10(from);
    const double b = std::log10(to);
    const int steps = std::max(1, static_cast<int>(std::ceil((b - a) * per_decade)));
    for (int i = 0; i <= steps; ++i) h.push_back(std::pow(10.0, a + (b - a) * i / steps));
    return h;
}

}  // namespace soilview
