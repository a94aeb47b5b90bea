// Exact references for a profile of van Genuchten layers, in double
// precision, to set beside the tables PEDOPRE computed from the same
// parameters.
//
// Water content: van Genuchten (1980), Soil Sci. Soc. Am. J. 44: 892-898,
// eq. 21: Se(h) = (1 + (alpha h)^n)^(-m), m = 1 - 1/n,
// theta(h) = theta_r + (theta_s - theta_r) Se.
// Conductivity: Mualem (1976), Water Resour. Res. 12: 513-522, with van
// Genuchten's closed form (1980, eq. 8):
// K(h) = Ks Se^l [1 - (1 - Se^(1/m))^m]^2.
//
// - Drained volume of the profile at hydrostatic equilibrium with a water
//   table at depth d: at depth z above the table the suction is d - z, and
//   V(d) = sum over the layers above the table of the integral of
//   theta_s - theta(d - z) over the layer's part above it (cm). The deepest
//   layer reaches down without end.
// - Water-table depth of a steady upward flux q: by Darcy's law
//   q = K(h) (dh/dy - 1) with y the height, so going down from the
//   reference level, where the suction is the top tension, dz = dh /
//   (1 + q/K(h)); integrated layer by layer, the suction carried across each
//   boundary, until the suction is 0 at the water table. The layer bottoms
//   are those of the integration: counted from the reference level, a layer
//   that ends above it or less than 5 cm below it taking a nominal 5 cm.
// - Wetting-front suction: the integral of K(h)/Ks over suctions from 0 to
//   infinity (cm), as behind the Green-Ampt A.
#pragma once

#include <vector>

#include "soilcalc/mhgenuch.h"

namespace soilview {

struct ProfileLayer {
    soilcalc::VanGenuchten vg;
    double ks_cm_day = 0;  // saturated conductivity
    double bottom = 0;     // bottom depth (cm)
};

// K(h)/Ks, computed so that it keeps its precision far from saturation.
double relative_conductivity(const soilcalc::VanGenuchten& vg, double h);

// The wetting-front suction of one soil (cm).
double wetting_front_suction(const soilcalc::VanGenuchten& vg);

// Drained volume (cm) with the water table at depth d (cm).
double drained_volume(const std::vector<ProfileLayer>& layers, double d);

// The layer bottoms of the upward-flux integration (cm below the reference
// level at `reference_depth` cm); the deepest layer reaches 10000 cm.
std::vector<double> bottoms_below_reference(const std::vector<ProfileLayer>& layers, double reference_depth);

// Depth of the water table below the reference level (cm) at which the
// profile delivers the steady upward flux q (cm/hr) to the reference level,
// where the suction is `top_tension` (cm); `bottoms` as given by
// bottoms_below_reference.
double upflux_water_table(const std::vector<ProfileLayer>& layers, const std::vector<double>& bottoms,
                          double top_tension, double q);

}  // namespace soilview
