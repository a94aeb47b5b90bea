// The closed-form van Genuchten water content and van Genuchten-Mualem
// conductivity of a layer, in double precision from its parameters as
// read, to draw beside the tables PEDOPRE computed from them.
//
// For a suction h >= 0 (cm), with m = 1 - 1/n:
//   Se(h)    = (1 + (alpha h)^n)^(-m)
//   theta(h) = (theta_s - theta_r) Se + theta_r                 (cm3/cm3)
//   K(h)     = Ks/24 Se^l (1 - (1 - Se^(1/m))^m)^2              (cm/hr)
// The conductivity is scaled to Ks/24 at saturation, as the conductivity
// table is (Ks given in cm/day); K0 drops out.
#pragma once

#include <vector>

#include "soilcalc/mhgenuch.h"

namespace soilview {

double vg_water_content(const soilcalc::VanGenuchten& vg, double h);
double vg_conductivity(const soilcalc::VanGenuchten& vg, double ks_cm_day, double h);

// Suctions to draw a curve through (cm): 0, then `per_decade` points per
// decade evenly on a log scale from `from` to `to` (both > 0, from < to),
// both ends included.
std::vector<double> curve_suctions(double from, double to, int per_decade);

}  // namespace soilview
