// Van Genuchten parameters fitted to measured points by weighted nonlinear
// least squares, with standard errors and 95% confidence intervals.
//
// Retention: theta_r, theta_s, alpha and n of van Genuchten (1980, eq. 21,
// m = 1 - 1/n) minimise sum w_i (theta_i - theta(h_i))^2 over the retention
// points. Conductivity, when there are conductivity points: Ks and l of the
// Mualem (1976) model minimise sum (log10 K_i - log10 K(h_i))^2 with the
// retention parameters as fitted (conductivities spread over decades, so
// their logarithms are fitted, as is usual). Any parameter may be fixed.
//
// The bounds 0 <= theta_r < theta_s <= 1, alpha > 0, n > 1 hold through a
// transform: theta_s = s(q1), theta_r = theta_s s(q0) (s the logistic
// function; with one of the two fixed the other keeps to its side of it),
// alpha = exp(q2), n = 1 + exp(q3), Ks = exp(q4). Levenberg-Marquardt
// (MINPACK's lmder as Eigen carries it) runs from several starting points
// and the least sum of squares wins.
//
// Uncertainty, in the parameters themselves: covariance = s^2 (J'J)^-1 with
// J the Jacobian of the weighted residuals and s^2 = SSR / (N - p); 95%
// interval = value -/+ t(0.975, N - p) x stderr (Student's t). The Ks and l
// intervals take the retention parameters as known.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "soildata/retention_points.h"
#include "soildata/van_genuchten.h"

namespace soildata {

enum class Param { ThetaR = 0, ThetaS, Alpha, N, Ks, L };
inline constexpr int kParams = 6;

// "theta_r", "theta_s", "alpha", "n", "ks", "l".
std::string param_name(Param p);
std::optional<Param> param_from_name(const std::string& name);

struct Estimate {
    double value = 0;
    double stderr_ = 0;  // NaN when not identifiable; 0 when fixed
    double low = 0;      // 95% interval
    double high = 0;
    bool fixed = false;
    bool fitted = false;  // part of the result (ks and l only with k points)
};

struct FitOptions {
    std::map<Param, double> fixed;  // alpha in 1/cm, ks in cm/day
    int max_evaluations = 4000;     // per start
};

struct FitResult {
    std::string error;     // empty when fitted; else why nothing was fitted
    bool refused = false;  // the error is in the input (bounds, too few points), not the search
    std::array<Estimate, kParams> params{};
    VanGenuchten curve;       // the fitted parameters
    int points = 0;           // retention points
    int k_points = 0;         // conductivity points
    double rmse = 0;          // of theta (cm3/cm3), unweighted
    double r2 = 0;            // of theta
    double rmse_log10_k = 0;  // with conductivity points
    double r2_log10_k = 0;
    std::vector<double> residuals;    // theta measured - fitted, point by point (cm3/cm3)
    std::vector<double> k_residuals;  // log10 K measured - fitted
    int starts = 0;                   // starting points tried
    int converged = 0;                // of which ended within 1e-6 of the best SSR
    std::vector<std::string> warnings;
    // Covariance of the free retention parameters (theta_r, theta_s, alpha,
    // n in that order, fixed ones with zero rows), for the confidence band.
    std::array<std::array<double, 4>, 4> covariance{};
    double t95 = 0;  // t(0.975, N - p) of the retention fit

    bool ok() const { return error.empty(); }
    const Estimate& operator[](Param p) const { return params[static_cast<int>(p)]; }
};

// The fit of POINTS (suction in cm, theta as a fraction, K in cm/day).
// Refused (error set) when a fixed value breaks a bound, when there are no
// more retention points than free retention parameters (or conductivity
// points than free Ks and l), or when no start converges.
FitResult fit_van_genuchten(const MeasuredPoints& points, const FitOptions& options);

// Half-width of the 95% confidence band of theta(H) of FIT at suction H
// (cm), from the covariance by the delta method.
double theta_band(const FitResult& fit, double h);

}  // namespace soildata
