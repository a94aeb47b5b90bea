#include "soildata/fit_report.h"

#include <cmath>
#include <cstdio>

namespace soildata {

namespace {

nlohmann::json number_or_null(double v) {
    return std::isfinite(v) ? nlohmann::json(v) : nlohmann::json(nullptr);
}

const char* kUnit[] = {"cm3/cm3", "cm3/cm3", "1/cm", "-", "cm/day", "-"};

std::string line(const char* fmt, double a, double b, double c, double d) {
    char buf[160];
    std::snprintf(buf, sizeof buf, fmt, a, b, c, d);
    return buf;
}

}  // namespace

nlohmann::json fit_json(const FitResult& fit, const PointUnits& input_units) {
    nlohmann::json j;
    for (int i = 0; i < kParams; ++i) {
        const Estimate& e = fit.params[i];
        if (!e.fitted) continue;
        nlohmann::json p;
        p["value"] = e.value;
        p["stderr"] = number_or_null(e.stderr_);
        if (std::isfinite(e.stderr_))
            p["ci95"] = {e.low, e.high};
        else
            p["ci95"] = nullptr;
        if (e.fixed) p["fixed"] = true;
        j[param_name(static_cast<Param>(i))] = p;
    }
    j["rmse"] = number_or_null(fit.rmse);
    j["r2"] = number_or_null(fit.r2);
    j["points"] = fit.points;
    if (fit.k_points > 0) {
        j["k_points"] = fit.k_points;
        j["rmse_log10_k"] = number_or_null(fit.rmse_log10_k);
        j["r2_log10_k"] = number_or_null(fit.r2_log10_k);
    }
    j["residuals"] = fit.residuals;
    if (fit.k_points > 0) j["k_residuals_log10"] = fit.k_residuals;
    j["warnings"] = fit.warnings;
    j["units"] = {{"theta_r", "cm3/cm3"},
                  {"theta_s", "cm3/cm3"},
                  {"alpha", "1/cm"},
                  {"n", "-"},
                  {"ks", "cm/day"},
                  {"l", "-"},
                  {"rmse", "cm3/cm3"},
                  {"head", "cm"},
                  {"input",
                   {{"head", unit_name(input_units.head)},
                    {"theta", unit_name(input_units.theta)},
                    {"k", unit_name(input_units.k)}}}};
    j["model"] = "van Genuchten (1980), m = 1 - 1/n; Mualem (1976) conductivity";
    return j;
}

std::string fit_text(const FitResult& fit) {
    std::string out = "van Genuchten (1980, m = 1 - 1/n) fitted to " + std::to_string(fit.points) + " retention points";
    if (fit.k_points > 0) out += " and " + std::to_string(fit.k_points) + " conductivity points (Mualem 1976)";
    out += "\n\n  parameter        value       stderr     95% interval\n";
    for (int i = 0; i < kParams; ++i) {
        const Estimate& e = fit.params[i];
        if (!e.fitted) continue;
        char name[32];
        std::snprintf(name, sizeof name, "  %-8s %-8s", param_name(static_cast<Param>(i)).c_str(), kUnit[i]);
        out += name;
        if (e.fixed)
            out += line("%11.5g  (fixed)\n", e.value, 0, 0, 0);
        else if (!std::isfinite(e.stderr_))
            out += line("%11.5g  not identifiable\n", e.value, 0, 0, 0);
        else
            out += line("%11.5g  %11.4g  [%.5g, %.5g]\n", e.value, e.stderr_, e.low, e.high);
    }
    out += line("\n  RMSE %.4g cm3/cm3, R2 %.5f, %g points", fit.rmse, fit.r2, fit.points, 0);
    out += "\n";
    if (fit.k_points > 0)
        out += line("  log10 K: RMSE %.4g, R2 %.5f, %g points\n", fit.rmse_log10_k, fit.r2_log10_k, fit.k_points, 0);
    for (const auto& w : fit.warnings) out += "warning: " + w + "\n";
    return out;
}

FitRead vg_from_fit_json(const nlohmann::json& j) {
    FitRead r;
    auto value = [&](const char* name, double& into) {
        if (!j.contains(name)) return false;
        const auto& p = j.at(name);
        if (p.is_object() && p.contains("value") && p.at("value").is_number()) {
            into = p.at("value").get<double>();
            return true;
        }
        r.error = std::string("`") + name + "` has no numeric \"value\"";
        return false;
    };
    if (!j.is_object()) {
        r.error = "not a JSON object";
        return r;
    }
    for (const char* name : {"theta_r", "theta_s", "alpha", "n"}) {
        double v = 0;
        if (!value(name, v)) {
            if (r.error.empty()) r.error = std::string("no `") + name + "`";
            return r;
        }
        if (name[0] == 'a')
            r.vg.alpha = v;
        else if (name[0] == 'n')
            r.vg.n = v;
        else if (name[6] == 'r')
            r.vg.theta_r = v;
        else
            r.vg.theta_s = v;
    }
    r.has_ks = value("ks", r.vg.ks);
    r.has_l = value("l", r.vg.l);
    if (!r.error.empty()) return r;
    if (j.contains("units") && j["units"].is_object()) {
        const auto& u = j["units"];
        if (u.contains("alpha") && u["alpha"] != "1/cm") r.error = "alpha is not in 1/cm";
        if (u.contains("ks") && u["ks"] != "cm/day") r.error = "ks is not in cm/day";
    }
    return r;
}

}  // namespace soildata
