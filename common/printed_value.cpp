#include "common/printed_value.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

#include "common/field_edit.h"
#include "common/number_parse.h"

namespace common {
namespace {

constexpr std::array<double, 10> kPow10 = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
constexpr double kExactLimit = 9007199254740992.0;  // 2^53

// The written text read back, for what the exact route below does not cover.
std::optional<float> through_text(float v, int w, int d) {
    std::string field;
    edit_fixed(field, v, w, d);
    float r = 0.0f;
    if (!read_real_field(field, d, r)) return std::nullopt;
    return r;
}

// The float nearest to n / 10^d (n < 2^53), ties to even, as a correctly
// rounded decimal conversion gives it. The division rounds twice (to double,
// then to float); the neighbours' midpoints, exact in double, settle it.
float nearest_float(double n, int d) {
    const double p = kPow10[static_cast<size_t>(d)];
    float f = static_cast<float>(n / p);
    const float up = std::nextafter(f, INFINITY);
    const float down = std::nextafter(f, -INFINITY);
    const double mid_up = (static_cast<double>(f) + static_cast<double>(up)) / 2.0 * p;
    const double mid_down = (static_cast<double>(f) + static_cast<double>(down)) / 2.0 * p;
    auto even = [](float a, float b) { return (std::bit_cast<uint32_t>(a) & 1u) == 0 ? a : b; };
    if (n > mid_up) return up;
    if (n == mid_up) return even(f, up);
    if (n < mid_down) return down;
    if (n == mid_down) return even(f, down);
    return f;
}

int digit_count(uint64_t u) {
    int k = 0;
    for (; u > 0; u /= 10) ++k;
    return k;
}

}  // namespace

std::optional<float> printed_fixed(float v, int w, int d) {
    if (!std::isfinite(v)) return std::nullopt;
    if (d < 0 || d > 9) return through_text(v, w, d);
    // |v| 10^d is exact in double: a 24-bit significand times 5^d (at most
    // 21 bits), the power of two only shifting the exponent.
    const double scaled = std::fabs(static_cast<double>(v)) * kPow10[static_cast<size_t>(d)];
    if (!(scaled < kExactLimit)) return through_text(v, w, d);
    const double n = std::nearbyint(scaled);  // ties to even, as the writer rounds
    const bool neg = v < 0.0f;
    const auto whole = static_cast<uint64_t>(n) / static_cast<uint64_t>(kPow10[static_cast<size_t>(d)]);
    int need = (neg ? 1 : 0) + digit_count(whole) + 1 + d;
    if (whole == 0 && (need + 1 <= w || d == 0)) ++need;  // the zero before the point
    if (need > w) return std::nullopt;
    const float r = nearest_float(n, d);
    return neg ? -r : r;
}

std::optional<float> printed_free(float v) {
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace common
