// A soil profile described in TOML (docs/soil_profile.md), assembled into
// the van Genuchten form of PEDOPRE's main input file.
//
// Each layer names its bottom depth and one source of its parameters: the
// parameters themselves with their units, a texture class, a fit result
// (the JSON of `drainprep soil fit`) or a soil analysis for the
// pedotransfer functions. Every value is converted into the form's units
// (depths in cm, alpha in 1/cm, Ks and K0 in cm/day) and checked against a
// plausible range; a value outside it refuses the profile with the layer,
// the value and the range. K0 defaults to Ks and l to 0.5 (the
// pedotransfer functions and fits give their own l); the notes say which
// default was taken, and when K0 lies far below Ks, which lowers the
// Green-Ampt B of the soil input file in proportion.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "soildata/van_genuchten.h"

namespace soildata {

struct ProfileLayer {
    double bottom = 0;   // cm
    VanGenuchten vg;     // alpha in 1/cm, ks in cm/day
    double k0 = 0;       // cm/day
    std::string source;  // "class loam (Carsel & Parrish 1988)", ...
};

struct Profile {
    std::string title;
    std::vector<ProfileLayer> layers;
    double gadepth = 0;    // cm
    double rootdepth = 0;  // cm
    int lsin = 1;
};

struct ProfileResult {
    Profile profile;
    std::string error;               // refused: why, naming the layer
    std::vector<std::string> notes;  // every conversion and default taken
    bool ok() const { return error.empty(); }
};

// Reads a file that a layer names (a fit result), relative to the
// profile's folder; nothing when it cannot be read.
using FileReader = std::function<std::optional<std::string>(const std::string&)>;

// The profile of TOML_TEXT, its units converted and its values checked.
ProfileResult read_profile(std::string_view toml_text, const FileReader& read_file);

// The main input file (van Genuchten form) of PROFILE, lines ending CR LF.
std::string main_input(const Profile& profile);

}  // namespace soildata
