#include "soilview/exact_references.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "soilview/van_genuchten_curve.h"

namespace soilview {
namespace {

using Fn = std::function<double(double)>;

double simpson(double a, double fa, double b, double fb, double fm) {
    return (b - a) / 6.0 * (fa + 4.0 * fm + fb);
}

double adapt(const Fn& f, double a, double fa, double b, double fb, double m, double fm, double whole, double tol,
             int depth) {
    const double lm = 0.5 * (a + m), rm = 0.5 * (m + b);
    const double flm = f(lm), frm = f(rm);
    const double left = simpson(a, fa, m, fm, flm), right = simpson(m, fm, b, fb, frm);
    if (depth <= 0 || std::fabs(left + right - whole) <= 15.0 * tol)
        return left + right + (left + right - whole) / 15.0;
    return adapt(f, a, fa, m, fm, lm, flm, left, tol / 2, depth - 1) +
           adapt(f, m, fm, b, fb, rm, frm, right, tol / 2, depth - 1);
}

// The integral of f over [a, b] by adaptive Simpson quadrature.
double integral(const Fn& f, double a, double b, double tol = 1e-10) {
    if (!(b > a)) return 0.0;
    const double m = 0.5 * (a + b), fa = f(a), fb = f(b), fm = f(m);
    return adapt(f, a, fa, b, fb, m, fm, simpson(a, fa, b, fb, fm), tol, 50);
}

// The integral of theta_s - theta(h) over suctions 0 to h (cm), in pieces
// so that the steep part near saturation is resolved.
double drained_column(const soilcalc::VanGenuchten& vg, double h) {
    const double ts = vg.theta_s;
    const Fn f = [&](double s) { return ts - vg_water_content(vg, s); };
    double sum = 0, from = 0;
    for (double to = 1.0; from < h; to *= 10.0) {
        sum += integral(f, from, std::min(to, h), 1e-9);
        from = std::min(to, h);
    }
    return sum;
}

}  // namespace

double relative_conductivity(const soilcalc::VanGenuchten& vg, double h) {
    if (h <= 0) return 1.0;
    const double n = vg.n, m = 1.0 - 1.0 / n;
    const double x = std::pow(static_cast<double>(vg.alpha) * h, n);  // (alpha h)^n
    const double log1px = std::log1p(x);
    // Se^l = (1 + x)^(-m l); 1 - Se^(1/m) = x / (1 + x), so
    // 1 - (1 - Se^(1/m))^m = -expm1(m (log x - log(1 + x))).
    const double se_l = std::exp(-m * static_cast<double>(vg.l) * log1px);
    const double factor = -std::expm1(m * (std::log(x) - log1px));
    return se_l * factor * factor;
}

double wetting_front_suction(const soilcalc::VanGenuchten& vg) {
    // Over ln h, from alpha h = 1e-12 to 1e12; the parts outside add less
    // than 1e-12/alpha below and a vanishing tail above.
    const double alpha = vg.alpha;
    const Fn f = [&](double u) {
        const double h = std::exp(u);
        return relative_conductivity(vg, h) * h;
    };
    const double lo = std::log(1e-12 / alpha), hi = std::log(1e12 / alpha);
    double sum = 1e-12 / alpha;
    const int pieces = 48;
    for (int i = 0; i < pieces; ++i)
        sum += integral(f, lo + (hi - lo) * i / pieces, lo + (hi - lo) * (i + 1) / pieces, 1e-12);
    return sum;
}

double drained_volume(const std::vector<ProfileLayer>& layers, double d) {
    double v = 0, top = 0;
    for (size_t l = 0; l < layers.size() && top < d; ++l) {
        const bool deepest = l + 1 == layers.size();
        const double bottom = deepest ? d : std::min(layers[l].bottom, d);
        // Suctions from d - bottom (the layer's lower end) to d - top.
        v += drained_column(layers[l].vg, d - top) - drained_column(layers[l].vg, d - bottom);
        top = layers[l].bottom;
    }
    return v;
}

std::vector<double> bottoms_below_reference(const std::vector<ProfileLayer>& layers, double reference_depth) {
    std::vector<double> out;
    double nominal = 0;
    for (size_t l = 0; l < layers.size(); ++l) {
        const double bottom = l + 1 == layers.size() ? 10000.0 : layers[l].bottom;
        const double d = bottom - reference_depth;
        if (d <= 5.0) {
            nominal += 5.0;
            out.push_back(nominal);
        } else {
            out.push_back(nominal + d);
        }
    }
    return out;
}

double upflux_water_table(const std::vector<ProfileLayer>& layers, const std::vector<double>& bottoms,
                          double top_tension, double q) {
    // Steps evenly spaced in log h from the top tension down to 1e-6 cm,
    // each integrated by Simpson's rule; the last step reaches h = 0.
    constexpr int kPerDecade = 200;
    constexpr double kSmallest = 1e-6;
    size_t l = 0;
    auto rate = [&](double h) {  // dz/dh = K / (K + q)
        const double k = layers[l].ks_cm_day / 24.0 * relative_conductivity(layers[l].vg, h);
        return k / (k + q);
    };
    auto step = [&](double hi, double lo) { return simpson(lo, rate(lo), hi, rate(hi), rate(0.5 * (lo + hi))); };
    const double ratio = std::pow(10.0, -1.0 / kPerDecade);
    double z = 0, h = top_tension;
    while (h > 0) {
        const double next = h * ratio < kSmallest ? 0.0 : h * ratio;
        const double dz = step(h, next);
        if (l + 1 < layers.size() && z + dz >= bottoms[l]) {
            // The suction at the layer's bottom, by bisection within the step.
            double a = next, b = h;
            for (int i = 0; i < 60; ++i) {
                const double mid = 0.5 * (a + b);
                (z + step(h, mid) >= bottoms[l] ? a : b) = mid;
            }
            z = bottoms[l];
            h = 0.5 * (a + b);
            ++l;
            continue;
        }
        z += dz;
        h = next;
    }
    return z;
}

}  // namespace soilview
