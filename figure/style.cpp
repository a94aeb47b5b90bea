#include "figure/style.h"

#include <array>

namespace figure {

namespace {

// Okabe-Ito, most distinct first.
constexpr std::array<std::string_view, kColourCount> kColours{
    "#0072B2",  // blue
    "#D55E00",  // vermillion
    "#009E73",  // bluish green
    "#CC79A7",  // reddish purple
    "#E69F00",  // orange
    "#56B4E9",  // sky blue
    "#000000",  // black
};

constexpr std::array<std::string_view, kDashCount> kDashes{
    "",             // solid
    "9 4",          // long dash
    "2 3",          // dotted
    "9 3 2 3",      // dash dot
    "4 4",          // dash
    "14 4 4 4",     // long dash, short dash
    "9 3 2 3 2 3",  // dash dot dot
    "18 5",         // very long dash
    "4 2 1 2",      // short dash dot
    "1 6",          // sparse dots
};

struct Shape {
    std::string_view outline;
    TenthsOffset start;
};

// Each about 8 px across, in pixels, drawn from its start point back to it.
constexpr std::array<Shape, kMarkerCount> kShapes{{
    {"a3.5 3.5 0 1 0 7 0a3.5 3.5 0 1 0-7 0z", {-35, 0}},            // circle
    {"h6v6h-6z", {-30, -30}},                                       // square
    {"l4 7h-8z", {0, -45}},                                         // triangle up
    {"l4 4-4 4-4-4z", {0, -40}},                                    // diamond
    {"l4-7h-8z", {0, 45}},                                          // triangle down
    {"h2v3h3v2h-3v3h-2v-3h-3v-2h3z", {-10, -40}},                   // plus
    {"l1-1 3 3 3-3 1 1-3 3 3 3-1 1-3-3-3 3-1-1 3-3z", {-40, -30}},  // cross
}};

}  // namespace

SeriesStyle series_style(size_t index) {
    // Colour and marker advance together; past the palette the marker moves
    // on by one more, so colour and marker never repeat together before
    // index 49.
    const size_t marker = (index + index / kColourCount) % kMarkerCount;
    return {kColours[index % kColourCount], kDashes[index % kDashCount], static_cast<Marker>(marker)};
}

std::string_view marker_outline(Marker marker) {
    return kShapes[static_cast<size_t>(marker)].outline;
}

TenthsOffset marker_start(Marker marker) {
    return kShapes[static_cast<size_t>(marker)].start;
}

}  // namespace figure
