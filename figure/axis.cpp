#include "figure/axis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace figure {

namespace {

constexpr double kDrawableLimit = 1e300;
constexpr double kLogFloor = 1e-300;  // smaller positive values sit at 1e-300
constexpr double kTinyLinear = 1e-290;
constexpr int kMaxIntervals = 7;  // 8 ticks at most
constexpr int kMaxMajorDecades = 30;
constexpr int kMaxLabels = 10;
constexpr int kMaxMinorDecades = 6;

// 10^E, exact for |E| <= 22 and correctly rounded beyond.
double pow10(int e) {
    if (e >= 0 && e <= 22) {
        double r = 1;
        for (int i = 0; i < e; ++i) r *= 10;
        return r;
    }
    if (e < 0 && e >= -22) return 1.0 / pow10(-e);
    return std::pow(10.0, e);
}

// I * M * 10^K, computed so that round values come out exactly as written
// (3 * 0.1 gives 0.3, not 0.30000000000000004).
double scaled(long long i, int m, int k) {
    const double n = static_cast<double>(i * m);
    if (k >= 0) return n * pow10(k);
    return k >= -22 ? n / pow10(-k) : n * pow10(k);
}

// "2.5e+06" -> "2.5e6", "1.0e-07" -> "1e-7": no plus sign, no leading zeros
// in the exponent, no trailing zeros in the mantissa.
std::string tidy_exponent(const char* s) {
    std::string in(s);
    const size_t e = in.find('e');
    if (e == std::string::npos) return in;
    std::string mant = in.substr(0, e);
    if (mant.find('.') != std::string::npos) {
        while (mant.back() == '0') mant.pop_back();
        if (mant.back() == '.') mant.pop_back();
    }
    std::string exp = in.substr(e + 1);
    bool neg = false;
    if (!exp.empty() && (exp[0] == '+' || exp[0] == '-')) {
        neg = exp[0] == '-';
        exp.erase(0, 1);
    }
    while (exp.size() > 1 && exp[0] == '0') exp.erase(0, 1);
    return mant + "e" + (neg ? "-" : "") + exp;
}

// Labels of a linear axis whose step is a multiple of 10^K and whose largest
// magnitude is MAXABS: plain decimals while they take at most 9 digits
// ("0.25", "12345675"), else a mantissa and exponent ("1.5e-9", "5e299");
// no trailing zeros either way.
bool exponent_labels(int k, double maxabs) {
    const int lead = maxabs >= 1 ? static_cast<int>(std::floor(std::log10(maxabs))) + 1 : 1;
    return lead + std::max(0, -k) > 9;
}

std::string linear_label(double v, int k, double maxabs) {
    if (v == 0) return "0";
    char buf[400];
    if (exponent_labels(k, maxabs)) {
        const int lead = static_cast<int>(std::floor(std::log10(maxabs)));
        const int digits = std::clamp(lead - k, 0, 15);
        std::snprintf(buf, sizeof buf, "%.*e", digits, v);
        return tidy_exponent(buf);
    }
    std::snprintf(buf, sizeof buf, "%.*f", std::max(0, -k), v);
    std::string s(buf);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s;
}

std::string decade_label(int e) {
    std::string s;
    if (e >= 0 && e <= 3) {
        s = "1";
        s.append(static_cast<size_t>(e), '0');
    } else if (e < 0 && e >= -3) {
        s = "0.";
        s.append(static_cast<size_t>(-e - 1), '0');
        s += '1';
    } else {
        s = "1e";
        s += std::to_string(e);
    }
    return s;
}

// Round steps over [LO, HI], HI > LO, both drawable, none below MIN_STEP.
Axis linear_over(double lo, double hi, double min_step = 0) {
    Axis axis;
    axis.scale = Scale::Linear;
    const double span = hi - lo;
    const int k0 = static_cast<int>(std::floor(std::log10(span))) - 1;
    constexpr std::array<int, 3> kMantissas{1, 2, 5};
    constexpr double kSlack = 1e-9;  // values a rounding error past a step
    for (int k = k0;; ++k) {
        for (const int m : kMantissas) {
            const double step = scaled(1, m, k);
            if (step < min_step) continue;
            const double a = std::floor(lo / step + kSlack);
            const double b = std::ceil(hi / step - kSlack);
            if (b - a > kMaxIntervals) continue;
            const auto first = static_cast<long long>(a);
            const auto last = std::max(static_cast<long long>(b), first + 1);
            axis.lo = scaled(first, m, k);
            axis.hi = scaled(last, m, k);
            const double maxabs = std::max(std::fabs(axis.lo), std::fabs(axis.hi));
            for (long long i = first; i <= last; ++i) {
                const double v = scaled(i, m, k);
                axis.ticks.push_back({v, linear_label(v, k, maxabs)});
            }
            return axis;
        }
    }
}

Axis linear_axis(double lo, double hi, bool any, double min_step) {
    if (!any) return linear_over(0, 1, min_step);
    const double mag = std::max(std::fabs(lo), std::fabs(hi));
    // Values this close to zero cannot be stepped in doubles: they are drawn
    // at zero on an axis from -1 to 1.
    if (mag < kTinyLinear) return linear_over(-1, 1);
    if (hi - lo <= mag * 1e-9) {  // one value, or values equal to print precision
        const double mid = lo / 2 + hi / 2;
        if (mid == 0) return linear_over(-1, 1);
        const double d = std::fabs(mid) * 0.1;
        return linear_over(mid - d, mid + d);
    }
    return linear_over(lo, hi, min_step);
}

Axis log_axis(double pmin, double pmax, bool any_positive, int64_t nonpositive) {
    Axis axis;
    axis.scale = Scale::Log;
    axis.nonpositive = nonpositive;
    int elo = 0;
    int ehi = 1;
    if (any_positive) {
        pmin = std::max(pmin, kLogFloor);
        pmax = std::max(pmax, kLogFloor);
        elo = static_cast<int>(std::floor(std::log10(pmin)));
        while (pow10(elo) > pmin) --elo;
        while (pow10(elo + 1) <= pmin) ++elo;
        ehi = static_cast<int>(std::ceil(std::log10(pmax)));
        while (pow10(ehi) < pmax) ++ehi;
        while (pow10(ehi - 1) >= pmax) --ehi;
        if (ehi == elo) {  // one value that is a whole power of ten
            --elo;
            ++ehi;
        }
    }
    const int tick_every = (ehi - elo + kMaxMajorDecades - 1) / kMaxMajorDecades;
    // Keep the ends whole ticks, extending downward (the lowest decade is
    // then at least 1e-319, still above zero).
    elo = ehi - (ehi - elo + tick_every - 1) / tick_every * tick_every;
    const int decades = ehi - elo;
    int label_every = tick_every;
    while (decades / label_every + 1 > kMaxLabels) label_every += tick_every;
    axis.lo = pow10(elo);
    axis.hi = pow10(ehi);
    for (int e = elo; e <= ehi; e += tick_every) {
        const bool labelled = (e - elo) % label_every == 0;
        axis.ticks.push_back({pow10(e), labelled ? decade_label(e) : std::string()});
    }
    if (ehi - elo <= kMaxMinorDecades) {
        for (int e = elo; e < ehi; ++e) {
            for (int m = 2; m <= 9; ++m) axis.minor.push_back(m * pow10(e));
        }
    }
    return axis;
}

}  // namespace

bool drawable(double v) {
    return std::isfinite(v) && std::fabs(v) <= kDrawableLimit;
}

double Axis::position(double v) const {
    if (scale == Scale::Linear) return (v - lo) / (hi - lo);
    const double band = has_band() ? kBandShare : 0.0;
    if (v <= 0) return band / 2;
    const double l0 = std::log10(lo);
    const double l1 = std::log10(hi);
    return band + (1 - band) * (std::log10(std::max(v, kLogFloor)) - l0) / (l1 - l0);
}

Axis choose_axis(Scale scale, std::span<const double> values, double min_step) {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    double pmin = lo;
    double pmax = 0;
    bool any = false;
    bool any_positive = false;
    int64_t nonpositive = 0;
    for (const double v : values) {
        if (!drawable(v)) continue;
        any = true;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        if (v > 0) {
            any_positive = true;
            pmin = std::min(pmin, v);
            pmax = std::max(pmax, v);
        } else {
            ++nonpositive;
        }
    }
    if (scale == Scale::Log) return log_axis(pmin, pmax, any_positive, nonpositive);
    return linear_axis(lo, hi, any, min_step);
}

}  // namespace figure
