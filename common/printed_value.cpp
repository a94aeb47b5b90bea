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

// Powers of ten, each exact in double.
constexpr std::array<double, 23> kPow10 = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                           1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr double kExactLimit = 9007199254740992.0;     // 2^53
constexpr double kRoundingShift = 4503599627370496.0;  // 2^52

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
    const double q = n / p;
    float f = static_cast<float>(q);
    // Rounding twice can only miss when the double lands on a midpoint
    // between two floats: its 29 bits below a float's precision are 1000...0.
    if ((std::bit_cast<uint64_t>(q) & 0x1fffffffu) != 0x10000000u) return f;
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

}  // namespace

std::optional<float> printed_fixed(float v, int w, int d) {
    if (!std::isfinite(v)) return std::nullopt;
    if (d < 0 || d > 9) return through_text(v, w, d);
    // |v| 10^d is exact in double: a 24-bit significand times 5^d (at most
    // 21 bits), the power of two only shifting the exponent.
    const double scaled = std::fabs(static_cast<double>(v)) * kPow10[static_cast<size_t>(d)];
    if (!(scaled < kExactLimit)) return through_text(v, w, d);
    // To the nearest whole number, ties to even as the writer rounds: below
    // 2^52, adding and taking away 2^52 leaves no fraction to keep.
    const double n = scaled < kRoundingShift ? (scaled + kRoundingShift) - kRoundingShift : scaled;
    const bool neg = v < 0.0f;
    // The field holds the sign, the whole part's digits, the point and d
    // decimals; a whole part of 0 is written as a zero where there is room
    // (and must be, for d = 0).
    const int room = w - (neg ? 1 : 0) - 1 - d;  // for the whole part's digits
    if (n < kPow10[static_cast<size_t>(d)]) {
        if (d == 0 ? room < 1 : room < 0) return std::nullopt;
    } else if (const int digits = room + d;
               room < 0 || (digits < static_cast<int>(kPow10.size()) && !(n < kPow10[static_cast<size_t>(digits)]))) {
        return std::nullopt;  // asterisks (n < 2^53 fits every wider field)
    }
    const float r = nearest_float(n, d);
    return neg ? -r : r;
}

std::optional<float> printed_free(float v) {
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace common
