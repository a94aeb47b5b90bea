// How the series of a figure are told apart: each gets a colour, a dash
// pattern and a marker shape, chosen by its place in the figure.
//
// The colours are those of the Okabe-Ito palette, which stay distinct for
// readers with the common colour-vision deficiencies and in grey print
// (its yellow is left out: it does not show on white paper). Colour alone is
// never the only difference: series 0 to 9 all have different dash patterns,
// and series 0 to 48 all differ in colour or marker shape, so lines are told
// apart by their dashes and points by their markers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace figure {

enum class Marker : unsigned char { Circle, Square, TriangleUp, Diamond, TriangleDown, Plus, Cross };

inline constexpr size_t kColourCount = 7;
inline constexpr size_t kDashCount = 10;
inline constexpr size_t kMarkerCount = 7;

struct SeriesStyle {
    std::string_view colour;  // "#rrggbb"
    std::string_view dash;    // stroke-dasharray; empty for a solid line
    Marker marker;
};

// The style of the series at INDEX in its figure.
SeriesStyle series_style(size_t index);

// Path data of MARKER centred on the point (0, 0) of the path's current
// position: a closed outline drawn with relative commands only, starting
// from the offset marker_start() gives and ending there, so that markers can
// be chained with relative moves.
std::string_view marker_outline(Marker marker);
// Offset in whole tenths of a pixel from a marker's centre to the start of
// its outline.
struct TenthsOffset {
    int dx;
    int dy;
};
TenthsOffset marker_start(Marker marker);

}  // namespace figure
