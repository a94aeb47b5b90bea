// The conductivity tables of a profile as the upward-flux and Green-Ampt
// steps take them: the values of the conductivity file (.MQ) at the
// precision it holds them, layer by layer, driest row first.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "soilcalc/characteristic.h"

namespace soilcalc {

inline constexpr int kMqLayers = 10;  // layers the tables have room for
inline constexpr int kMqRows = 100;   // rows per layer the tables have room for

// A layer's rows, driest first.
struct MqLayer {
    int32_t rows = 0;
    float k_header = 0.0f;  // layer conductivity of the header (cm/hr)
    float bottom = 0.0f;    // bottom depth of the header (cm)
    CurveColumn theta{};    // water content
    CurveColumn head{};     // pressure head (cm, <= 0)
    CurveColumn cond{};     // conductivity (cm/hr)
};

struct MqTables {
    std::string title = std::string(128, ' ');
    int32_t nl = 0;
    std::array<MqLayer, kMqLayers> layers{};
    std::array<float, kMqLayers> zb{};  // bottom depth of the summary (cm)
    std::array<float, kMqLayers> sf{};  // wetting-front suction (cm)
    float gadepth = 0.0f;               // depth of top soil for the Green-Ampt B (cm)
    float rootdepth = 0.0f;             // half the maximum root depth (cm)
    int32_t lsin = 0;
};

// Which columns a step takes: all of them, or only the heads and
// conductivities of the rows and the row count and depth of each header
// (the upward-flux step reads nothing else, so nothing else can fail it).
enum class MqColumns : uint8_t { All, Flux };

// Where a read of the tables stopped. A read that fails leaves what it read
// before in the tables: the title, the count, the layers before `layer`,
// and for a failure in the rows of `layer` its header.
enum class MqPart : uint8_t { Done, Title, LayerCount, Header, Rows, Summary, Closing };
struct MqRead {
    MqPart failed = MqPart::Done;
    int32_t layer = 0;          // 0-based layer of a Header or Rows failure
    bool out_of_range = false;  // the count read but lies outside the tables' room
};

}  // namespace soilcalc
