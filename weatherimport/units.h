// Units the user declares for a source's columns, their conversion to the
// units an import holds (degrees C, mm, m/s), and the reading of one number
// from a cell. Units are never guessed: every reader is told them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace weatherimport {

enum class TemperatureUnit { Celsius, Fahrenheit };
enum class DepthUnit { Millimetre, Centimetre, Inch };
enum class SpeedUnit { MetrePerSecond, KilometrePerHour };

// "C"/"F", "mm"/"cm"/"in", "m/s"/"km/h"; nullopt for any other word.
std::optional<TemperatureUnit> temperature_unit(std::string_view word);
std::optional<DepthUnit> depth_unit(std::string_view word);
std::optional<SpeedUnit> speed_unit(std::string_view word);
const char* unit_word(TemperatureUnit u);
const char* unit_word(DepthUnit u);

// Degrees C from a temperature in U; degrees F from degrees C.
double to_celsius(double t, TemperatureUnit u);
double to_fahrenheit(double celsius);
// mm from a depth in U (1 in = 25.4 mm exactly).
double to_mm(double depth, DepthUnit u);
// m/s from a speed in U.
double to_metres_per_second(double speed, SpeedUnit u);

// Reads the whole of CELL as one decimal number: an optional sign, digits
// with one decimal separator ("." or, with DECIMAL_COMMA, "," and then no
// "."), an optional exponent. No blanks, no thousands separators, nothing
// after the number. On failure returns nullopt and sets OFFSET to the
// 0-based position of the first character that does not belong.
std::optional<double> read_number(std::string_view cell, bool decimal_comma, size_t& offset);

}  // namespace weatherimport
