// The van Genuchten retention function and the Mualem conductivity model,
// in double precision, for fitting and checking parameters.
//
//   Se(h) = [1 + (alpha h)^n]^-m,  m = 1 - 1/n          (van Genuchten 1980, eq. 3, 21)
//   theta(h) = theta_r + (theta_s - theta_r) Se(h)
//   K(h) = Ks Se^l [1 - (1 - Se^(1/m))^m]^2              (Mualem 1976; van Genuchten 1980, eq. 8)
//
// h is the suction (cm, positive); alpha in 1/cm; Ks in the caller's unit.
#pragma once

namespace soildata {

struct VanGenuchten {
    double theta_r = 0;  // residual water content (cm3/cm3)
    double theta_s = 0;  // saturated water content (cm3/cm3)
    double alpha = 0;    // 1/cm
    double n = 0;        // dimensionless, > 1
    double ks = 0;       // saturated conductivity (cm/day)
    double l = 0.5;      // pore-connectivity exponent of the Mualem model

    double m() const { return 1.0 - 1.0 / n; }
    // Effective saturation at suction H (cm); 1 for H <= 0.
    double saturation(double h) const;
    // Water content at suction H (cm).
    double theta(double h) const;
    // Conductivity at suction H (cm), in the unit of ks.
    double conductivity(double h) const;
};

}  // namespace soildata
