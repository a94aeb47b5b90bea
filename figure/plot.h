// An XY figure drawn as inline SVG: a title, an x and a y axis (each with its
// title and unit, ticks, tick labels and a light grid), the series, and a
// legend below with one entry per series.
//
// Each series is ONE <path> element carrying data-series="<name>" and
// data-points="<N>", N being the number of coordinate pairs in its path
// data. Every pair is written "x,y" and commas appear nowhere else in it, so
// N can be checked by counting; every drawable point of the series gives
// exactly one pair. Lines (optionally with a marker at each point) are
// drawn in the series' colour and dash pattern, point series as markers,
// bar series as bars grouped side by side around their x. Markers of a line
// go in a second path with data-markers="<name>" and its own data-points.
// The groups are classed for checking: "axis x", "axis y" (each with
// "tick-label" texts and an "axis-title"), "series" and "legend" (with one
// "legend-entry" per series).
//
// Nothing is dropped silently. A point whose x or y cannot be drawn (missing,
// NaN, infinite) is left out and breaks the line; values <= 0 on a log axis
// are drawn in the axis's "≤ 0" band. Both are reported in the figure's
// notes, which the page shows under it. Coordinates are tenths of a pixel,
// the path data relative after its first point, so a figure of 20,000
// points takes a few hundred kilobytes at most and milliseconds to make.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "figure/axis.h"

namespace figure {

enum class SeriesKind : uint8_t { Line, Points, Bars };

struct Series {
    std::string name{};
    std::vector<double> x{};  // as many as y
    std::vector<double> y{};
    SeriesKind kind = SeriesKind::Line;
    bool markers = false;  // Line: a marker at every point as well
    // The colour, dash pattern and marker of the series at this index in
    // place of its own, so that series drawn from one source (a layer's
    // table and its curve) share a colour.
    std::optional<size_t> style_of{};
    // Line: drawn as a reference beside the data, a thin, solid and faint
    // line in the series' colour.
    bool reference = false;
};

struct AxisSetup {
    std::string title{};
    std::string unit{};  // shown after the title in brackets
    Scale scale = Scale::Linear;
    std::vector<double> include{};  // values to reach besides the data, e.g. 0
    bool whole = false;             // ticks at whole numbers only (years, months)
};

struct Plot {
    std::string id{};  // unique on its page
    std::string title{};
    AxisSetup x{};
    AxisSetup y{};
    std::vector<Series> series{};
    double width = 760;        // pixels
    double plot_height = 320;  // pixels of the plotting area
};

struct Figure {
    std::string id;                  // as written in the svg (see figure_id)
    std::string svg;                 // <svg id=... class="figure">...</svg>
    std::vector<std::string> notes;  // plain text, to show under the figure
};

// PLOT drawn. A series whose x and y differ in length is a programming error
// and throws std::invalid_argument. With more line styles than there are
// dash patterns, every line gets markers too.
Figure render(const Plot& plot);

// ID with every character other than a letter, digit, '-' or '_' replaced
// by '-'; "figure" for an empty ID.
std::string figure_id(std::string_view id);

// "TITLE (UNIT)", or TITLE alone without a unit.
std::string axis_title(const AxisSetup& setup);

}  // namespace figure
