#include "weatherimport/units.h"

#include <charconv>
#include <cmath>

namespace weatherimport {

std::optional<TemperatureUnit> temperature_unit(std::string_view w) {
    if (w == "C" || w == "c" || w == "degC") return TemperatureUnit::Celsius;
    if (w == "F" || w == "f" || w == "degF") return TemperatureUnit::Fahrenheit;
    return std::nullopt;
}

std::optional<DepthUnit> depth_unit(std::string_view w) {
    if (w == "mm") return DepthUnit::Millimetre;
    if (w == "cm") return DepthUnit::Centimetre;
    if (w == "in") return DepthUnit::Inch;
    return std::nullopt;
}

std::optional<SpeedUnit> speed_unit(std::string_view w) {
    if (w == "m/s") return SpeedUnit::MetrePerSecond;
    if (w == "km/h") return SpeedUnit::KilometrePerHour;
    return std::nullopt;
}

const char* unit_word(TemperatureUnit u) {
    return u == TemperatureUnit::Celsius ? "C" : "F";
}
const char* unit_word(DepthUnit u) {
    return u == DepthUnit::Millimetre ? "mm" : u == DepthUnit::Centimetre ? "cm" : "in";
}

double to_celsius(double t, TemperatureUnit u) {
    return u == TemperatureUnit::Celsius ? t : (t - 32.0) / 1.8;
}
double to_fahrenheit(double celsius) {
    return celsius * 1.8 + 32.0;
}

double to_mm(double d, DepthUnit u) {
    switch (u) {
        case DepthUnit::Millimetre:
            return d;
        case DepthUnit::Centimetre:
            return d * 10.0;
        case DepthUnit::Inch:
            return d * 25.4;
    }
    return d;
}

double to_metres_per_second(double s, SpeedUnit u) {
    return u == SpeedUnit::MetrePerSecond ? s : s / 3.6;
}

std::optional<double> read_number(std::string_view cell, bool decimal_comma, size_t& offset) {
    // Check the shape first, so that the offending position can be told;
    // from_chars then converts the (possibly comma-mended) text.
    const char sep = decimal_comma ? ',' : '.';
    size_t i = 0;
    if (i < cell.size() && (cell[i] == '-' || cell[i] == '+')) ++i;
    size_t digits = 0;
    bool seen_sep = false;
    for (; i < cell.size(); ++i) {
        const char c = cell[i];
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == sep && !seen_sep) {
            seen_sep = true;
        } else {
            break;
        }
    }
    if (digits == 0) {
        offset = i < cell.size() && digits == 0 && (cell[i] == sep) ? i + 1 : i;
        if (offset > cell.size()) offset = cell.size();
        return std::nullopt;
    }
    if (i < cell.size() && (cell[i] == 'e' || cell[i] == 'E')) {
        size_t j = i + 1;
        if (j < cell.size() && (cell[j] == '-' || cell[j] == '+')) ++j;
        const size_t start = j;
        while (j < cell.size() && cell[j] >= '0' && cell[j] <= '9') ++j;
        if (j == start) {
            offset = j;
            return std::nullopt;
        }
        i = j;
    }
    if (i != cell.size()) {
        offset = i;
        return std::nullopt;
    }
    std::string text(cell.substr(cell[0] == '+' ? 1 : 0));
    if (decimal_comma)
        for (char& c : text)
            if (c == ',') c = '.';
    double v = 0.0;
    const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || p != text.data() + text.size() || !std::isfinite(v)) {
        offset = 0;
        return std::nullopt;
    }
    return v;
}

}  // namespace weatherimport
