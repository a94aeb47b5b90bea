// The continuous pedotransfer functions of HYPRES: Wösten, J.H.M., Lilly,
// A., Nemes, A. and Le Bas, C. (1999), Development and use of a database of
// hydraulic properties of European soils, Geoderma 90: 169-185. From clay,
// silt, organic matter, bulk density and topsoil or subsoil they give the
// van Genuchten-Mualem parameters theta_s, alpha, n, l and Ks, with
// theta_r = 0.
#pragma once

#include <string>
#include <vector>

#include "soildata/van_genuchten.h"

namespace soildata {

struct SoilAnalysis {
    double sand = 0;            // % of the mineral fraction (2-0.05 mm)
    double silt = 0;            // % (0.05-0.002 mm)
    double clay = 0;            // % (< 0.002 mm)
    double organic_matter = 0;  // % by weight
    double bulk_density = 0;    // g/cm3
    bool topsoil = true;
};

struct PedotransferResult {
    VanGenuchten vg;                    // alpha in 1/cm, ks in cm/day
    std::string error;                  // refused: why
    std::vector<std::string> warnings;  // outside the range it was built on
    bool ok() const { return error.empty(); }
};

// The parameters of ANALYSIS. Refused: a fraction below 0 or above 100;
// sand, silt and clay not adding up to 100 within 2; silt, clay or organic
// matter at 0 (the functions take their logarithms and reciprocals); bulk
// density outside 0.5 to 2.2 g/cm3. Warnings: organic matter above 25 %
// (organic soils, which the functions were not built for); a theta_s
// outside 0.2 to 0.8 (the inputs lie beyond the data of the functions).
PedotransferResult hypres(const SoilAnalysis& analysis);

inline constexpr const char* kHypresSource =
    "Wösten, J.H.M., Lilly, A., Nemes, A. and Le Bas, C. (1999), Development and use of a database of "
    "hydraulic properties of European soils, Geoderma 90: 169-185 (continuous pedotransfer functions)";

}  // namespace soildata
