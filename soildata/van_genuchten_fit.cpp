#include "soildata/van_genuchten_fit.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include <Eigen/Dense>
#include <boost/math/distributions/students_t.hpp>
#include <unsupported/Eigen/NonLinearOptimization>
#include <unsupported/Eigen/NumericalDiff>

namespace soildata {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double logistic(double q) {
    return 1.0 / (1.0 + std::exp(-q));
}
double logit(double p) {
    return std::log(p / (1.0 - p));
}

// Residuals of a vector of free parameters, for Eigen's Levenberg-Marquardt.
struct Residuals {
    using Scalar = double;
    enum { InputsAtCompileTime = Eigen::Dynamic, ValuesAtCompileTime = Eigen::Dynamic };
    using InputType = Eigen::VectorXd;
    using ValueType = Eigen::VectorXd;
    using JacobianType = Eigen::MatrixXd;

    int n_inputs;
    int n_values;
    std::function<void(const Eigen::VectorXd&, Eigen::VectorXd&)> f;

    int inputs() const { return n_inputs; }
    int values() const { return n_values; }
    int operator()(const Eigen::VectorXd& x, Eigen::VectorXd& out) const {
        f(x, out);
        for (Eigen::Index i = 0; i < out.size(); ++i)
            if (!std::isfinite(out[i])) out[i] = 1e6;  // keeps the search away
        return 0;
    }
};

// Minimises the residuals from START; the end point and its sum of squares.
std::pair<Eigen::VectorXd, double> minimise(const Residuals& r, Eigen::VectorXd start, int max_evaluations) {
    Eigen::NumericalDiff<Residuals, Eigen::Central> diff(r);
    Eigen::LevenbergMarquardt<Eigen::NumericalDiff<Residuals, Eigen::Central>> lm(diff);
    lm.parameters.maxfev = max_evaluations;
    lm.parameters.xtol = 1e-12;
    lm.parameters.ftol = 1e-14;
    lm.minimize(start);
    Eigen::VectorXd out(r.n_values);
    r(start, out);
    return {start, out.squaredNorm()};
}

// Jacobian of RES (natural parameters, all of X free) by central differences.
Eigen::MatrixXd jacobian(const std::function<Eigen::VectorXd(const Eigen::VectorXd&)>& res, const Eigen::VectorXd& x) {
    const Eigen::VectorXd f0 = res(x);
    Eigen::MatrixXd j(f0.size(), x.size());
    for (Eigen::Index k = 0; k < x.size(); ++k) {
        const double step = 1e-6 * std::max(std::fabs(x[k]), 1e-4);
        Eigen::VectorXd up = x, down = x;
        up[k] += step;
        down[k] -= step;
        j.col(k) = (res(up) - res(down)) / (2 * step);
    }
    return j;
}

// Covariance s^2 (J'J)^-1, or nothing when J'J is singular (a parameter the
// points do not determine). Columns are scaled to unit length first, so the
// test of rank does not depend on the parameters' units.
std::optional<Eigen::MatrixXd> covariance(const Eigen::MatrixXd& j, double s2) {
    Eigen::VectorXd scale(j.cols());
    for (Eigen::Index k = 0; k < j.cols(); ++k) {
        scale[k] = j.col(k).norm();
        if (!(scale[k] > 0)) return std::nullopt;
    }
    const Eigen::MatrixXd js = j * scale.cwiseInverse().asDiagonal();
    Eigen::JacobiSVD<Eigen::MatrixXd> svd(js, Eigen::ComputeThinU | Eigen::ComputeThinV);
    const auto& sv = svd.singularValues();
    if (sv.minCoeff() <= 1e-8 * sv.maxCoeff()) return std::nullopt;
    const Eigen::MatrixXd inv = svd.matrixV() * sv.cwiseAbs2().cwiseInverse().asDiagonal() * svd.matrixV().transpose();
    return s2 * scale.cwiseInverse().asDiagonal() * inv * scale.cwiseInverse().asDiagonal();
}

double t_quantile(int df) {
    boost::math::students_t dist(df);
    return boost::math::quantile(dist, 0.975);
}

std::string fmt(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4g", v);
    return buf;
}

}  // namespace

std::string param_name(Param p) {
    static const char* names[] = {"theta_r", "theta_s", "alpha", "n", "ks", "l"};
    return names[static_cast<int>(p)];
}

std::optional<Param> param_from_name(const std::string& name) {
    for (int i = 0; i < kParams; ++i)
        if (param_name(static_cast<Param>(i)) == name) return static_cast<Param>(i);
    return std::nullopt;
}

namespace {

// The retention stage. Free parameters are mapped through the transform of
// the header; FIXED holds the values of the others.
struct RetentionModel {
    std::array<std::optional<double>, 4> fixed;  // theta_r, theta_s, alpha, n
    std::vector<int> free;                       // indices into the four

    VanGenuchten decode(const Eigen::VectorXd& q) const {
        std::array<double, 4> raw{};
        std::array<bool, 4> given{};
        for (int i = 0; i < 4; ++i)
            if (fixed[i]) {
                raw[i] = *fixed[i];
                given[i] = true;
            }
        for (size_t k = 0; k < free.size(); ++k) raw[free[k]] = q[static_cast<Eigen::Index>(k)];
        VanGenuchten vg;
        // theta_s first: theta_r hangs on it, unless theta_r alone is fixed.
        if (given[0] && !given[1]) {
            vg.theta_r = raw[0];
            vg.theta_s = vg.theta_r + (1.0 - vg.theta_r) * logistic(raw[1]);
        } else {
            vg.theta_s = given[1] ? raw[1] : logistic(raw[1]);
            vg.theta_r = given[0] ? raw[0] : vg.theta_s * logistic(raw[0]);
        }
        vg.alpha = given[2] ? raw[2] : std::exp(raw[2]);
        vg.n = given[3] ? raw[3] : 1.0 + std::exp(raw[3]);
        return vg;
    }

    Eigen::VectorXd encode(const VanGenuchten& vg) const {
        std::array<double, 4> q{};
        if (fixed[0] && !fixed[1]) {
            q[1] = logit((vg.theta_s - vg.theta_r) / (1.0 - vg.theta_r));
        } else {
            q[1] = logit(vg.theta_s);
            q[0] = logit(vg.theta_r / vg.theta_s);
        }
        q[2] = std::log(vg.alpha);
        q[3] = std::log(vg.n - 1.0);
        Eigen::VectorXd x(static_cast<Eigen::Index>(free.size()));
        for (size_t k = 0; k < free.size(); ++k) x[static_cast<Eigen::Index>(k)] = q[free[k]];
        return x;
    }
};

double natural(const VanGenuchten& vg, int i) {
    switch (i) {
        case 0:
            return vg.theta_r;
        case 1:
            return vg.theta_s;
        case 2:
            return vg.alpha;
        default:
            return vg.n;
    }
}

void set_natural(VanGenuchten& vg, int i, double v) {
    switch (i) {
        case 0:
            vg.theta_r = v;
            break;
        case 1:
            vg.theta_s = v;
            break;
        case 2:
            vg.alpha = v;
            break;
        default:
            vg.n = v;
            break;
    }
}

void fill_estimates(FitResult& fit, const std::vector<int>& free_params, const Eigen::VectorXd& values,
                    const std::optional<Eigen::MatrixXd>& cov, double t95) {
    for (size_t k = 0; k < free_params.size(); ++k) {
        Estimate& e = fit.params[free_params[k]];
        e.value = values[static_cast<Eigen::Index>(k)];
        e.fitted = true;
        e.fixed = false;
        const auto kk = static_cast<Eigen::Index>(k);
        e.stderr_ = cov ? std::sqrt(std::max(0.0, (*cov)(kk, kk))) : kNaN;
        e.low = e.value - t95 * e.stderr_;
        e.high = e.value + t95 * e.stderr_;
    }
}

void warn_unidentifiable(FitResult& fit, const std::vector<int>& free_params, bool singular) {
    if (singular) {
        std::string names;
        for (int p : free_params) names += (names.empty() ? "" : ", ") + param_name(static_cast<Param>(p));
        fit.warnings.push_back("the points do not determine all of " + names +
                               " (J'J is singular): no standard errors; fix one of them with --fix");
        return;
    }
    for (int p : free_params) {
        const Estimate& e = fit.params[p];
        if (!(e.stderr_ <= std::fabs(e.value)))
            fit.warnings.push_back(param_name(static_cast<Param>(p)) +
                                   " is not identifiable from these points: stderr " + fmt(e.stderr_) +
                                   " exceeds the value " + fmt(e.value));
    }
}

// Weighted residuals of the retention points for the curve VG.
void retention_residuals(const std::vector<RetentionPoint>& pts, const VanGenuchten& vg, Eigen::VectorXd& out) {
    out.resize(static_cast<Eigen::Index>(pts.size()));
    for (size_t i = 0; i < pts.size(); ++i)
        out[static_cast<Eigen::Index>(i)] = std::sqrt(pts[i].weight) * (pts[i].theta - vg.theta(pts[i].head));
}

// Residuals of log10 K of the conductivity points for the curve VG.
void conductivity_residuals(const std::vector<ConductivityPoint>& kp, const VanGenuchten& vg, Eigen::VectorXd& out) {
    out.resize(static_cast<Eigen::Index>(kp.size()));
    for (size_t i = 0; i < kp.size(); ++i)
        out[static_cast<Eigen::Index>(i)] = std::log10(kp[i].k) - std::log10(vg.conductivity(kp[i].head));
}

// Marks the fixed parameters in FIT and checks their values; the last
// fault found, or empty.
std::string take_fixed(const FitOptions& options, FitResult& fit) {
    std::string error;
    for (const auto& [p, v] : options.fixed) {
        Estimate& e = fit.params[static_cast<int>(p)];
        e.value = v;
        e.fixed = true;
        e.fitted = true;
        e.low = e.high = v;
    }
    // Fixed values must be numbers within the bounds.
    for (const auto& [p, v] : options.fixed)
        if (!std::isfinite(v)) error = param_name(p) + " must be a finite number";
    auto fixed = [&](Param p) { return options.fixed.count(p) ? std::optional(options.fixed.at(p)) : std::nullopt; };
    if (auto v = fixed(Param::ThetaR); v && !(*v >= 0 && *v < 1)) error = "theta_r must lie in 0 <= theta_r < 1";
    if (auto v = fixed(Param::ThetaS); v && !(*v > 0 && *v <= 1)) error = "theta_s must lie in 0 < theta_s <= 1";
    if (auto r = fixed(Param::ThetaR), s = fixed(Param::ThetaS); r && s && !(*r < *s))
        error = "theta_r must be below theta_s";
    if (auto v = fixed(Param::Alpha); v && !(*v > 0)) error = "alpha must be above 0";
    if (auto v = fixed(Param::N); v && !(*v > 1)) error = "n must be above 1";
    if (auto v = fixed(Param::Ks); v && !(*v > 0)) error = "ks must be above 0";
    return error;
}

// A curve and its sum of squared residuals.
struct StageFit {
    VanGenuchten curve;
    double ssr = std::numeric_limits<double>::infinity();
};

// The starting curves of the retention search: the wettest and driest
// water contents, and alpha and n over the range of soils from clay to sand.
std::vector<VanGenuchten> retention_starts(const RetentionModel& model, const std::vector<RetentionPoint>& pts) {
    double theta_min = 1, theta_max = 0;
    for (const auto& pt : pts) {
        theta_min = std::min(theta_min, pt.theta);
        theta_max = std::max(theta_max, pt.theta);
    }
    const double ts0 = std::clamp(theta_max + 0.005, 0.02, 0.995);
    const double tr0 = std::clamp(0.5 * theta_min, 1e-3, 0.9 * ts0);
    std::vector<VanGenuchten> starts;
    for (double a0 : {0.002, 0.02, 0.2}) {
        for (double n0 : {1.15, 1.6, 3.0}) {
            VanGenuchten s;
            s.theta_s = model.fixed[1].value_or(ts0);
            s.theta_r = model.fixed[0].value_or(std::min(tr0, 0.9 * s.theta_s));
            if (model.fixed[0] && !model.fixed[1]) s.theta_s = std::min(0.999, std::max(s.theta_s, s.theta_r + 0.01));
            s.alpha = model.fixed[2].value_or(a0);
            s.n = model.fixed[3].value_or(n0);
            starts.push_back(s);
        }
    }
    return starts;
}

// The best retention curve over all starting points, counting in FIT the
// starts made and those that reached the best sum of squares. Infinite ssr
// when no start led to a fit. With no free parameter, the fixed curve as it
// stands.
StageFit search_retention(const RetentionModel& model, const std::vector<RetentionPoint>& pts,
                          const FitOptions& options, FitResult& fit) {
    StageFit best;
    const int p = static_cast<int>(model.free.size());
    if (p == 0) {
        best.curve = model.decode(Eigen::VectorXd());
        Eigen::VectorXd out;
        retention_residuals(pts, best.curve, out);
        best.ssr = out.squaredNorm();
        return best;
    }
    Residuals r{p, fit.points, [&](const Eigen::VectorXd& q, Eigen::VectorXd& out) {
                    retention_residuals(pts, model.decode(q), out);
                }};
    std::vector<double> ends;
    for (const VanGenuchten& s : retention_starts(model, pts)) {
        ++fit.starts;
        auto [x, ssr] = minimise(r, model.encode(s), options.max_evaluations);
        if (!std::isfinite(ssr)) continue;
        ends.push_back(ssr);
        if (ssr < best.ssr) {
            best.ssr = ssr;
            best.curve = model.decode(x);
        }
    }
    for (double e : ends)
        if (e <= best.ssr * (1 + 1e-6) + 1e-15) ++fit.converged;
    return best;
}

// Standard errors, intervals and covariance of the free retention
// parameters, in natural units; whether J'J was singular.
bool retention_estimates(const RetentionModel& model, const std::vector<RetentionPoint>& pts, const StageFit& best,
                         FitResult& fit) {
    const int p = static_cast<int>(model.free.size());
    const int df = fit.points - p;
    fit.t95 = t_quantile(df);
    const double s2 = best.ssr / df;
    Eigen::VectorXd values(p);
    for (int k = 0; k < p; ++k) values[k] = natural(best.curve, model.free[k]);
    std::optional<Eigen::MatrixXd> cov;
    if (p > 0) {
        auto res = [&](const Eigen::VectorXd& x) {
            VanGenuchten vg = best.curve;
            for (int k = 0; k < p; ++k) set_natural(vg, model.free[k], x[k]);
            Eigen::VectorXd out;
            retention_residuals(pts, vg, out);
            return out;
        };
        cov = covariance(jacobian(res, values), s2);
        if (cov)
            for (int a = 0; a < p; ++a)
                for (int b = 0; b < p; ++b) fit.covariance[model.free[a]][model.free[b]] = (*cov)(a, b);
    }
    fill_estimates(fit, model.free, values, cov, fit.t95);
    return p > 0 && !cov;
}

// Residuals, RMSE and R^2 of theta, unweighted.
void retention_statistics(const std::vector<RetentionPoint>& pts, const VanGenuchten& best, FitResult& fit) {
    double mean = 0;
    for (const auto& pt : pts) mean += pt.theta;
    mean /= fit.points;
    double ssr = 0, sst = 0;
    for (const auto& pt : pts) {
        const double e = pt.theta - best.theta(pt.head);
        fit.residuals.push_back(e);
        ssr += e * e;
        sst += (pt.theta - mean) * (pt.theta - mean);
    }
    fit.rmse = std::sqrt(ssr / fit.points);
    fit.r2 = sst > 0 ? 1.0 - ssr / sst : kNaN;
}

// Warnings on a retention fit that the points hold poorly: theta_r
// extrapolated or at its bound, a very steep n, a best fit reached from
// one start only.
void warn_retention(const RetentionModel& model, const std::vector<RetentionPoint>& pts, const VanGenuchten& best,
                    FitResult& fit) {
    double h_max = 0;
    for (const auto& pt : pts) h_max = std::max(h_max, pt.head);
    const bool theta_r_free = !model.fixed[0];
    if (theta_r_free && best.saturation(h_max) > 0.25)
        fit.warnings.push_back("theta_r rests on extrapolation: the driest point (" + fmt(h_max) +
                               " cm) is still at effective saturation " + fmt(best.saturation(h_max)) +
                               "; points drier than about pF 4 (10^4 cm) pin it, or fix it with --fix theta_r=0");
    if (theta_r_free && best.theta_r < 1e-4) fit.warnings.push_back("theta_r is at its bound 0");
    if (!model.fixed[3] && best.n > 15)
        fit.warnings.push_back("n = " + fmt(best.n) + " is very steep; check the wet end of the points");
    if (fit.starts > 1 && fit.converged < 2 && model.free.size() > 1)
        fit.warnings.push_back("only one of " + std::to_string(fit.starts) +
                               " starting points reached the best fit; the answer may depend on the start");
}

// The conductivity stage: ks (searched as ln ks) and l, on a retention
// curve already fitted.
struct ConductivityModel {
    VanGenuchten base;
    bool ks_fixed = false;
    bool l_fixed = false;

    VanGenuchten decode(const Eigen::VectorXd& q) const {
        VanGenuchten vg = base;
        int k = 0;
        if (!ks_fixed) vg.ks = std::exp(q[k++]);
        if (!l_fixed) vg.l = q[k++];
        return vg;
    }
};

// The best ks and l over three starting values of l. Infinite ssr when no
// start led to a fit. With nothing free, the base curve.
StageFit search_conductivity(const ConductivityModel& model, int pk, const std::vector<ConductivityPoint>& kp,
                             const FitOptions& options) {
    StageFit best;
    best.curve = model.base;
    if (pk == 0) {
        Eigen::VectorXd out;
        conductivity_residuals(kp, best.curve, out);
        best.ssr = out.squaredNorm();
        return best;
    }
    Residuals r{pk, static_cast<int>(kp.size()), [&](const Eigen::VectorXd& q, Eigen::VectorXd& out) {
                    conductivity_residuals(kp, model.decode(q), out);
                }};
    double kmax = 0;
    for (const auto& pt : kp) kmax = std::max(kmax, pt.k);
    for (double l0 : {0.5, -1.0, 3.0}) {
        Eigen::VectorXd x0(pk);
        int k = 0;
        if (!model.ks_fixed) x0[k++] = std::log(kmax);
        if (!model.l_fixed) x0[k++] = l0;
        auto [x, ssr] = minimise(r, x0, options.max_evaluations);
        if (std::isfinite(ssr) && ssr < best.ssr) {
            best.ssr = ssr;
            best.curve = model.decode(x);
        }
    }
    return best;
}

// Estimates, warnings and statistics of log10 K for the fitted ks and l.
void conductivity_estimates(const std::vector<int>& kfree, const std::vector<ConductivityPoint>& kp,
                            const StageFit& kbest, FitResult& fit) {
    const int pk = static_cast<int>(kfree.size());
    const int kdf = fit.k_points - pk;
    Eigen::VectorXd kvalues(pk);
    for (int k = 0; k < pk; ++k) kvalues[k] = kfree[k] == static_cast<int>(Param::Ks) ? kbest.curve.ks : kbest.curve.l;
    std::optional<Eigen::MatrixXd> kcov;
    if (pk > 0) {
        auto res = [&](const Eigen::VectorXd& x) {
            VanGenuchten vg = kbest.curve;
            for (int k = 0; k < pk; ++k) (kfree[k] == static_cast<int>(Param::Ks) ? vg.ks : vg.l) = x[k];
            Eigen::VectorXd out;
            conductivity_residuals(kp, vg, out);
            return out;
        };
        kcov = covariance(jacobian(res, kvalues), kbest.ssr / kdf);
    }
    fill_estimates(fit, kfree, kvalues, kcov, t_quantile(kdf));
    warn_unidentifiable(fit, kfree, pk > 0 && !kcov);
    double kmean = 0, ksst = 0;
    for (const auto& pt : kp) kmean += std::log10(pt.k);
    kmean /= fit.k_points;
    for (const auto& pt : kp) ksst += (std::log10(pt.k) - kmean) * (std::log10(pt.k) - kmean);
    for (const auto& pt : kp)
        fit.k_residuals.push_back(std::log10(pt.k) - std::log10(kbest.curve.conductivity(pt.head)));
    fit.rmse_log10_k = std::sqrt(kbest.ssr / fit.k_points);
    fit.r2_log10_k = ksst > 0 ? 1.0 - kbest.ssr / ksst : kNaN;
}

// Fits ks and l (those not fixed) to the conductivity points on the
// retention curve in FIT.curve.
void fit_conductivity(const std::vector<ConductivityPoint>& kp, const FitOptions& options, FitResult& fit) {
    ConductivityModel model;
    model.ks_fixed = options.fixed.count(Param::Ks) > 0;
    model.l_fixed = options.fixed.count(Param::L) > 0;
    fit.curve.ks = model.ks_fixed ? options.fixed.at(Param::Ks) : 0;
    fit.curve.l = model.l_fixed ? options.fixed.at(Param::L) : 0.5;
    if (kp.empty()) return;
    model.base = fit.curve;
    std::vector<int> kfree;
    if (!model.ks_fixed) kfree.push_back(static_cast<int>(Param::Ks));
    if (!model.l_fixed) kfree.push_back(static_cast<int>(Param::L));
    const int pk = static_cast<int>(kfree.size());
    if (fit.k_points <= pk) {
        fit.error = std::to_string(fit.k_points) + " conductivity points cannot determine " + std::to_string(pk) +
                    " free parameters (ks, l): add points or fix l with --fix l=0.5";
        fit.refused = true;
        return;
    }
    const StageFit kbest = search_conductivity(model, pk, kp, options);
    if (pk > 0 && !std::isfinite(kbest.ssr)) {
        fit.error = "no starting point led to a fit of ks and l";
        return;
    }
    conductivity_estimates(kfree, kp, kbest, fit);
    fit.curve = kbest.curve;
}

}  // namespace

FitResult fit_van_genuchten(const MeasuredPoints& points, const FitOptions& options) {
    FitResult fit;
    const auto& pts = points.retention;
    fit.points = static_cast<int>(pts.size());
    fit.k_points = static_cast<int>(points.conductivity.size());

    RetentionModel model;
    for (int i = 0; i < 4; ++i) {
        auto it = options.fixed.find(static_cast<Param>(i));
        if (it != options.fixed.end())
            model.fixed[i] = it->second;
        else
            model.free.push_back(i);
    }
    fit.error = take_fixed(options, fit);
    if (!fit.error.empty()) {
        fit.refused = true;
        return fit;
    }

    const int p = static_cast<int>(model.free.size());
    if (fit.points <= p) {
        fit.error = std::to_string(fit.points) + " retention points cannot determine " + std::to_string(p) +
                    " free parameters: more points are needed than parameters, or fix some with --fix";
        fit.refused = true;
        return fit;
    }

    const StageFit best = search_retention(model, pts, options, fit);
    if (p > 0 && !std::isfinite(best.ssr)) {
        fit.error = "no starting point led to a fit";
        return fit;
    }
    const bool singular = retention_estimates(model, pts, best, fit);
    retention_statistics(pts, best.curve, fit);
    warn_unidentifiable(fit, model.free, singular);
    warn_retention(model, pts, best.curve, fit);
    fit.curve = best.curve;

    fit_conductivity(points.conductivity, options, fit);
    return fit;
}

double theta_band(const FitResult& fit, double h) {
    std::array<double, 4> g{};
    for (int i = 0; i < 4; ++i) {
        const double v = natural(fit.curve, i);
        const double step = 1e-6 * std::max(std::fabs(v), 1e-4);
        VanGenuchten up = fit.curve, down = fit.curve;
        set_natural(up, i, v + step);
        set_natural(down, i, v - step);
        g[i] = (up.theta(h) - down.theta(h)) / (2 * step);
    }
    double var = 0;
    for (int a = 0; a < 4; ++a)
        for (int b = 0; b < 4; ++b) var += g[a] * fit.covariance[a][b] * g[b];
    return fit.t95 * std::sqrt(std::max(0.0, var));
}

}  // namespace soildata
