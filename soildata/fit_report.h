// A fit's result as text for the console and as JSON, and the van Genuchten
// parameters read back from that JSON (a profile may name a fit result).
//
// JSON: theta_r, theta_s, alpha, n (and ks, l when fitted), each as
// {"value", "stderr", "ci95": [low, high]} ("fixed": true, stderr 0, for a
// fixed parameter; stderr and ci95 null when not identifiable), then rmse,
// r2, points (and k_points, rmse_log10_k, r2_log10_k), the residuals point by
// point in the order of the file (theta measured - fitted; log10 K measured -
// fitted as k_residuals_log10), warnings and units:
// theta in cm3/cm3, alpha in 1/cm, ks in cm/day, heads in cm.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "soildata/retention_points.h"
#include "soildata/van_genuchten_fit.h"

namespace soildata {

nlohmann::json fit_json(const FitResult& fit, const PointUnits& input_units);

// The lines the console shows: each parameter with its stderr and interval,
// the fit statistics and the warnings.
std::string fit_text(const FitResult& fit);

struct FitRead {
    VanGenuchten vg;
    bool has_ks = false;
    bool has_l = false;
    std::string error;
};

// The parameters of a fit's JSON (as fit_json writes it): the values of
// theta_r, theta_s, alpha and n, and of ks and l when present.
FitRead vg_from_fit_json(const nlohmann::json& j);

}  // namespace soildata
