// The soil water characteristic file (.MIS). After the layer count it holds,
// per layer, two marker lines, the top and bottom depth (cm), the number of
// points and one line per point: water content and head as the input gave it
// (measured points, three decimals) or as computed (van Genuchten, five
// decimals). Its writers and its reader share the layouts of those records.
#pragma once

#include <array>
#include <cstdint>

#include "common/connection.h"
#include "soilcalc/characteristic.h"

namespace soilprep {

// How the points of a layer are written to the .MIS file.
enum class MisPoints : uint8_t {
    Measured,      // as the input gave them: (F7.3,F12.1)
    VanGenuchten,  // computed: (F7.5,F12.1)
};

// The .MIS file's first line: the layer count.
bool write_mis_count(common::Connection& mis, int32_t nlayer);
// One layer: the marker lines, top and bottom depth (cm), the point count
// and the n points.
bool write_mis_layer(common::Connection& mis, float top, float zbot, int32_t n, const float* theta, const float* head,
                     MisPoints form);

// The .MIS file as read back, for the report programs. A layer's points are
// those of the file: for measured points the head keeps the sign the input
// gave it (cm), and neither repair is in them.
struct MisLayer {
    float top = 0.0f;               // top depth of the layer (cm)
    float bottom = 0.0f;            // bottom depth as given (cm)
    int32_t n = 0;                  // points
    soilcalc::CurveColumn theta{};  // water content
    soilcalc::CurveColumn head{};   // head (cm)
};
struct MisTables {
    int32_t nlayer = 0;
    std::array<MisLayer, soilcalc::kMaxLayers> layers{};
};

// Where a read stopped: the layer count, a layer's marker line and depths,
// or its point count and points. A read that fails leaves the layers before
// `layer` read; `out_of_range` marks a count that read but has no room in
// the tables (layers outside 1 to 9, points outside 1 to 100).
enum class MisPart : uint8_t { Done, Count, Bounds, Points };
struct MisRead {
    MisPart failed = MisPart::Done;
    int32_t layer = 0;  // 0-based
    bool out_of_range = false;
};

// Reads the .MIS file from its start, its points through the layout of
// `form`.
MisRead read_mis(common::Connection& mis, MisTables& t, MisPoints form);

}  // namespace soilprep
