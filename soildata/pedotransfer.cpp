#include "soildata/pedotransfer.h"

#include <cmath>
#include <cstdio>

namespace soildata {

namespace {
std::string fmt(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4g", v);
    return buf;
}
}  // namespace

PedotransferResult hypres(const SoilAnalysis& a) {
    PedotransferResult r;
    for (const auto& [v, name] :
         {std::pair{a.sand, "sand"}, {a.silt, "silt"}, {a.clay, "clay"}, {a.organic_matter, "organic matter"}}) {
        if (!(v >= 0 && v <= 100)) {
            r.error = std::string(name) + " " + fmt(v) + " % is outside 0 to 100";
            return r;
        }
    }
    const double total = a.sand + a.silt + a.clay;
    if (std::fabs(total - 100) > 2) {
        r.error = "sand, silt and clay add up to " + fmt(total) + " %, not 100 (within 2)";
        return r;
    }
    if (!(a.silt > 0) || !(a.clay > 0) || !(a.organic_matter > 0)) {
        r.error =
            "silt, clay and organic matter must be above 0 % (the functions take their logarithms and reciprocals)";
        return r;
    }
    if (!(a.bulk_density >= 0.5 && a.bulk_density <= 2.2)) {
        r.error = "bulk density " + fmt(a.bulk_density) + " g/cm3 is outside 0.5 to 2.2 g/cm3";
        return r;
    }
    if (a.organic_matter > 25)
        r.warnings.push_back("organic matter " + fmt(a.organic_matter) +
                             " % is that of an organic soil; the functions were built on mineral soils");

    const double C = a.clay, S = a.silt, OM = a.organic_matter, D = a.bulk_density;
    const double top = a.topsoil ? 1.0 : 0.0;
    // Wösten et al. (1999), the continuous functions, in their variables: C
    // clay %, S silt %, OM organic matter %, D bulk density g/cm3, top 1 for
    // a topsoil and 0 for a subsoil. alpha*, n*, Ks*, l* are transformed.
    const double theta_s = 0.7919 + 0.001691 * C - 0.29619 * D - 0.000001491 * S * S + 0.0000821 * OM * OM +
                           0.02427 / C + 0.01113 / S + 0.01472 * std::log(S) - 0.0000733 * OM * C - 0.000619 * D * C -
                           0.001183 * D * OM - 0.0001664 * top * S;
    const double alpha_t = -14.96 + 0.03135 * C + 0.0351 * S + 0.646 * OM + 15.29 * D - 0.192 * top - 4.671 * D * D -
                           0.000781 * C * C - 0.00687 * OM * OM + 0.0449 / OM + 0.0663 * std::log(S) +
                           0.1482 * std::log(OM) - 0.04546 * D * S - 0.4852 * D * OM + 0.00673 * top * C;
    const double n_t = -25.23 - 0.02195 * C + 0.0074 * S - 0.1940 * OM + 45.5 * D - 7.24 * D * D + 0.0003658 * C * C +
                       0.002885 * OM * OM - 12.81 / D - 0.1524 / S - 0.01958 / OM - 0.2876 * std::log(S) -
                       0.0709 * std::log(OM) - 44.6 * std::log(D) - 0.02264 * D * C + 0.0896 * D * OM +
                       0.00718 * top * C;
    const double ks_t = 7.755 + 0.0352 * S + 0.93 * top - 0.967 * D * D - 0.000484 * C * C - 0.000322 * S * S +
                        0.001 / S - 0.0748 / OM - 0.643 * std::log(S) - 0.01398 * D * C - 0.1673 * D * OM +
                        0.02986 * top * C - 0.03305 * top * S;
    const double l_t = 0.0202 + 0.0006193 * C * C - 0.001136 * OM * OM - 0.2316 * std::log(OM) - 0.03544 * D * C +
                       0.00283 * D * S + 0.0488 * D * OM;

    r.vg.theta_r = 0;
    r.vg.theta_s = theta_s;
    r.vg.alpha = std::exp(alpha_t);  // 1/cm
    r.vg.n = std::exp(n_t) + 1;
    r.vg.ks = std::exp(ks_t);  // cm/day
    r.vg.l = 10 * (std::exp(l_t) - 1) / (std::exp(l_t) + 1);
    if (!(theta_s >= 0.2 && theta_s <= 0.8))
        r.warnings.push_back("theta_s " + fmt(theta_s) +
                             " lies outside 0.2 to 0.8: the inputs are beyond the data of the functions");
    if (!(theta_s > 0 && theta_s <= 1)) r.error = "theta_s " + fmt(theta_s) + " is not a water content";
    return r;
}

}  // namespace soildata
