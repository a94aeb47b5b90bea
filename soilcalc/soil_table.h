// The soil description that the PEDOPRE driver owns for the whole run: the
// characteristic table of every layer and the few values around it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace pedopre {

inline constexpr int kMaxLayers = 9;
inline constexpr int kMaxPoints = 100;

struct SoilTable {
    std::string title = std::string(128, ' ');  // title line, 128 characters
    int32_t nlayer = 0;                          // number of layers, 1 to 9
    int32_t lsin = 0;                            // layer written to the .SIN file
    std::array<int32_t, kMaxLayers> npts{};      // points of each layer
    std::array<float, kMaxLayers> zbot{};        // bottom depth of each layer (cm)
    std::array<float, kMaxLayers> ksat{};        // saturated conductivity (cm/hr)
    // Characteristic, indexed [layer - 1][point - 1], wettest point first:
    // pressure head as a positive suction (cm) and volumetric water content.
    std::array<std::array<float, kMaxPoints>, kMaxLayers> head{};
    std::array<std::array<float, kMaxPoints>, kMaxLayers> theta{};
};

}  // namespace pedopre
