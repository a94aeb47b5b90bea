// Green-Ampt infiltration parameters against water-table depth.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "soilcalc/conductivity.h"

namespace soilcalc {

// The Green-Ampt parameters against water-table depth, from the conductivity
// tables as read back.
inline constexpr int kGreenAmptRows = 10;
struct GreenAmpt {
    float gadepth = 0.0f;                       // depth of top soil (cm)
    std::array<float, kGreenAmptRows> depth{};  // water-table depth (cm)
    std::array<float, kGreenAmptRows> a{};      // A (cm2/hr)
    std::array<float, kGreenAmptRows> b{};      // B (cm/hr)
    std::string error;                          // empty when the step completed
};
GreenAmpt GRNAMPT(const MqTables& in);

// Thickness-weighted mean (cm/hr) of the layer conductivities kb over the top
// d cm of the first nl layers, whose bottoms are zb (cm). Layer bounds are
// truncated to whole cm. The deepest layer continues below its bottom.
float GRAMTB(float d, const std::array<float, kMqLayers>& zb, const std::array<float, kMqLayers>& kb, int32_t nl);

// Water content of layer l (1-based) at suction psi (cm), linear in head
// between the rows of its table; a suction beyond the driest row follows the
// first segment. NaN when no segment can be used (no row at or above -psi,
// or a zero-width first segment).
float THETA(float psi, const MqTables& in, int32_t l);

}  // namespace soilcalc
