// Conversions shared by the converters: the factor from the input units to
// inches, hundredths of an inch, and rounding to whole numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace weather {

// The missing-value code of the daily series and of the model's daily
// files: a day without a value.
inline constexpr int32_t kMissingCode = -99;

// Inches per input unit, in single precision: "IN" 1.0, "CM" 2.54, "MM" 25.4.
// False for any other units.
bool rain_factor(std::string_view units, float& factor);
// The message that rejects UNITS without a factor for data type TYPE.
std::string units_rejection(std::string_view units, std::string_view type);

// The nearest integer to x, halves away from zero, rounded from the exact
// value. Values beyond the 32-bit range (infinite sums included) saturate to
// its ends and a NaN gives the lowest value, so that they all print as
// asterisks in the narrow fields of the weather files.
inline int32_t round_nearest(double x) {
    if (x != x) return INT32_MIN;
    if (x >= 2147483647.0) return INT32_MAX;
    if (x <= -2147483648.0) return INT32_MIN;
    // Inside the range the truncated value is exact and so is the fraction
    // x - t; a fraction of a half or more moves one away from zero.
    auto t = static_cast<int64_t>(x);
    const double f = x - static_cast<double>(t);
    if (f >= 0.5)
        ++t;
    else if (f <= -0.5)
        --t;
    return static_cast<int32_t>(t);
}

// VALUE x 100 / FACTOR in whole hundredths of an inch: the product and the
// quotient are formed in double precision from the single-precision operands.
inline int32_t hundredths(float value, float factor) {
    return round_nearest(static_cast<double>(value) * 100.0 / static_cast<double>(factor));
}

// The value a daily file holds for an input value: the missing-value code
// stays itself whatever the units (converted, -99 degrees C or -99 inches
// would be a number the model takes for a measurement, or asterisks);
// every other value is CONVERT(value).
template <class Convert>
int32_t daily_value(float value, Convert convert) {
    if (value == static_cast<float>(kMissingCode)) return kMissingCode;
    return convert(value);
}

// True when JDAY is a day of YEAR (1 to 365 or 366).
bool day_in_year(int32_t year, int32_t jday);

}  // namespace weather
