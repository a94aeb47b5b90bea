#include "soildata/van_genuchten.h"

#include <cmath>

namespace soildata {

double VanGenuchten::saturation(double h) const {
    if (h <= 0) return 1.0;
    return std::pow(1.0 + std::pow(alpha * h, n), -m());
}

double VanGenuchten::theta(double h) const {
    return theta_r + (theta_s - theta_r) * saturation(h);
}

double VanGenuchten::conductivity(double h) const {
    const double se = saturation(h);
    if (se >= 1.0) return ks;
    const double mm = m();
    const double inner = 1.0 - std::pow(1.0 - std::pow(se, 1.0 / mm), mm);
    return ks * std::pow(se, l) * inner * inner;
}

}  // namespace soildata
