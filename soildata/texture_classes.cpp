#include "soildata/texture_classes.h"

#include <array>
#include <cctype>

namespace soildata {

namespace {

// Carsel and Parrish (1988), Table 3, means; Ks converted from cm/hr.
constexpr std::array<TextureClass, 12> kClasses = {{
    {"sand", 0.045, 0.43, 0.145, 2.68, 712.8},
    {"loamy sand", 0.057, 0.41, 0.124, 2.28, 350.2},
    {"sandy loam", 0.065, 0.41, 0.075, 1.89, 106.1},
    {"loam", 0.078, 0.43, 0.036, 1.56, 24.96},
    {"silt", 0.034, 0.46, 0.016, 1.37, 6.0},
    {"silt loam", 0.067, 0.45, 0.020, 1.41, 10.8},
    {"sandy clay loam", 0.100, 0.39, 0.059, 1.48, 31.44},
    {"clay loam", 0.095, 0.41, 0.019, 1.31, 6.24},
    {"silty clay loam", 0.089, 0.43, 0.010, 1.23, 1.68},
    {"sandy clay", 0.100, 0.38, 0.027, 1.23, 2.88},
    {"silty clay", 0.070, 0.36, 0.005, 1.09, 0.48},
    {"clay", 0.068, 0.38, 0.008, 1.09, 4.8},
}};

// Carsel and Parrish (1988), Table 3, standard deviations; Ks converted
// from cm/hr.
struct Spread {
    const char* name;
    TextureSpread sd;
};
constexpr std::array<Spread, 5> kSpreads = {{
    {"sand", {0.010, 0.06, 0.029, 0.29, 15.60 * 24}},
    {"silt", {0.010, 0.11, 0.007, 0.05, 0.33 * 24}},
    {"silt loam", {0.015, 0.08, 0.012, 0.12, 1.23 * 24}},
    {"clay loam", {0.010, 0.09, 0.015, 0.09, 0.70 * 24}},
    {"clay", {0.034, 0.09, 0.012, 0.09, 0.42 * 24}},
}};

std::string normalised(std::string_view name) {
    std::string out;
    bool gap = false;
    for (char c : name) {
        if (c == ' ' || c == '-' || c == '_' || c == '\t') {
            gap = !out.empty();
            continue;
        }
        if (gap) out += ' ';
        gap = false;
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

}  // namespace

std::span<const TextureClass> texture_classes() {
    return kClasses;
}

std::optional<TextureClass> texture_class(std::string_view name) {
    const std::string key = normalised(name);
    for (const auto& c : kClasses)
        if (key == c.name) return c;
    return std::nullopt;
}

std::optional<TextureSpread> texture_spread(std::string_view name) {
    for (const auto& s : kSpreads)
        if (name == s.name) return s.sd;
    return std::nullopt;
}

}  // namespace soildata
