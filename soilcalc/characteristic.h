// The soil water characteristic: the table of every layer that the PEDOPRE
// driver owns for the whole run, the checks of measured points and the
// repair of a layer whose first point is not at saturation.
//
// Heads in the table are positive suctions (cm), points wettest first.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace soilcalc {

inline constexpr int kMaxLayers = 9;
inline constexpr int kMaxPoints = 100;
// Measured points a layer may give: the repairs add up to two more.
inline constexpr int32_t kMaxMeasured = kMaxPoints - 2;

// One column of a layer's characteristic, element 0 being point 1.
using CurveColumn = std::array<float, kMaxPoints>;

struct SoilTable {
    std::string title = std::string(128, ' ');  // title line, 128 characters
    int32_t nlayer = 0;                         // number of layers, 1 to 9
    int32_t lsin = 0;                           // layer written to the .SIN file
    std::array<int32_t, kMaxLayers> npts{};     // points of each layer
    std::array<float, kMaxLayers> zbot{};       // bottom depth of each layer (cm)
    std::array<float, kMaxLayers> ksat{};       // saturated conductivity (cm/hr)
    // Characteristic, indexed [layer - 1][point - 1], wettest point first:
    // pressure head as a positive suction (cm) and volumetric water content.
    std::array<CurveColumn, kMaxLayers> head{};
    std::array<CurveColumn, kMaxLayers> theta{};
};

// The title as the model's files take it: every control character (bytes
// below 0x20, a tab or a bare carriage return among them, and 0x7F) becomes a
// blank, so that no title can break or end a line of a file it is copied to.
void blank_control_characters(std::string& title);

// The first pair of neighbouring measured points, as given (n points, wettest
// first, heads in cm of either sign), at which the suction |h| does not rise
// strictly or the water content rises: the log line that names them, or an
// empty text when the points are in order. A value that is not a number is
// out of order.
std::string points_out_of_order(int32_t layer, int32_t n, const CurveColumn& theta, const CurveColumn& h);

// True when a characteristic's first head (cm) is off zero by more than
// 1.0E-8 cm: it lacks its point at saturation.
bool lacks_saturated_point(const CurveColumn& h);
// Gives a characteristic of n points (water content theta, head h in cm,
// wettest first) a point at zero head in front of the others: its water
// content is extrapolated along the line through the first two points, with
// the magnitudes of the heads, so a suction and the same head written as a
// negative number give the same point. n is raised by one. Needs n >= 2.
void add_saturated_point(int32_t& n, CurveColumn& theta, CurveColumn& h);

}  // namespace soilcalc
