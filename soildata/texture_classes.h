// The twelve USDA soil texture classes with the mean van Genuchten
// parameters of Carsel and Parrish (1988), Developing joint probability
// distributions of soil water retention characteristics, Water Resources
// Research 24(5): 755-769, Table 3. Their Ks, published in cm/hr, is given
// here in cm/day (x 24).
//
// The standard deviations of the same table are carried for the classes
// whose figures were checked against a second transcription of the table
// (sand, silt, silt loam, clay loam, clay); for the other seven they are
// left out rather than restated unchecked.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace soildata {

struct TextureClass {
    const char* name;  // "sandy clay loam"
    double theta_r;    // cm3/cm3
    double theta_s;    // cm3/cm3
    double alpha;      // 1/cm
    double n;          // -
    double ks;         // cm/day
};

// Standard deviations within a class, in the units of TextureClass.
struct TextureSpread {
    double theta_r, theta_s, alpha, n, ks;
};

// The classes, from sand to clay in the order of the paper's table.
std::span<const TextureClass> texture_classes();

// The class named NAME: any case, with blanks, '-' or '_' between words
// ("Sandy_Clay_Loam", "silty-clay"). Nothing for a name not known.
std::optional<TextureClass> texture_class(std::string_view name);

// The standard deviations of the class named NAME (exactly as in
// TextureClass::name), where carried.
std::optional<TextureSpread> texture_spread(std::string_view name);

// The source line printed with the catalogue.
inline constexpr std::string_view kTextureClassSource =
    "Carsel, R.F. and Parrish, R.S. (1988), Developing joint probability distributions of soil water "
    "retention characteristics, Water Resources Research 24(5): 755-769, Table 3";

}  // namespace soildata
