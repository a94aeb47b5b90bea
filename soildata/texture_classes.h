// The twelve USDA soil texture classes with the mean van Genuchten
// parameters of Carsel and Parrish (1988), Developing joint probability
// distributions of soil water retention characteristics, Water Resources
// Research 24(5): 755-769, Table 3 (means). Their Ks, published in cm/hr,
// is given here in cm/day (x 24).
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

// The classes, from sand to clay in the order of the paper's table.
std::span<const TextureClass> texture_classes();

// The class named NAME: any case, with blanks, '-' or '_' between words
// ("Sandy_Clay_Loam", "silty-clay"). Nothing for a name not known.
std::optional<TextureClass> texture_class(std::string_view name);

// The source line printed with the catalogue.
inline constexpr std::string_view kTextureClassSource =
    "Carsel, R.F. and Parrish, R.S. (1988), Developing joint probability distributions of soil water "
    "retention characteristics, Water Resources Research 24(5): 755-769, Table 3 (class means)";

}  // namespace soildata
