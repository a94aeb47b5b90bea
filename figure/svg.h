// A writer of inline SVG for the report pages: the few elements the figures
// and the calendar strips are made of (groups, rectangles, lines, paths,
// text), written compactly and always well-formed.
//
// Coordinates are pixels written with at most one decimal ("12.5", "3",
// "-0.5"); a coordinate that is not finite is a programming error and throws
// std::invalid_argument, so no NaN or infinity ever reaches a page. Every text
// and every attribute value given here is escaped (figure/escape.h); class
// names, colours and dash patterns are the caller's constants.
#pragma once

#include <string>
#include <string_view>

namespace figure {

// Appends V rounded to tenths, without trailing zeros or a leading "0" before
// the point ("0.5" -> ".5", "-0.5" -> "-.5"), as SVG path data allows.
void append_px(std::string& out, double v);

// Appends a coordinate given in whole tenths of a pixel, written as above.
void append_tenths(std::string& out, long long tenths);

// Pixel V rounded to whole tenths. V must be finite.
long long to_tenths(double v);

// Optional presentation of a shape; empty members are left out.
struct Paint {
    std::string_view fill{};
    double fill_opacity = 0;  // 0: not written
    std::string_view stroke{};
    double stroke_opacity = 0;  // 0: not written
    double stroke_width = 0;    // 0: not written
    std::string_view dash{};    // stroke-dasharray
    std::string_view cls{};     // class
};

enum class Anchor { Start, Middle, End };

class Svg {
  public:
    // Opens <svg> of WIDTH x HEIGHT pixels with id ID and class CLS (both
    // written as given after escaping) and a <title> for screen readers.
    Svg(std::string_view id, std::string_view cls, double width, double height, std::string_view title);

    // <g class="CLS" ...>; EXTRA is written verbatim inside the tag and must be
    // built with attribute() below.
    Svg& open_group(std::string_view cls, std::string_view extra = {});
    Svg& close_group();

    Svg& rect(double x, double y, double w, double h, const Paint& paint, std::string_view tooltip = {});
    Svg& line(double x1, double y1, double x2, double y2, const Paint& paint);
    // A path whose data D the caller built with append_px / append_tenths.
    // EXTRA as for open_group.
    Svg& path(std::string_view d, const Paint& paint, std::string_view extra = {});
    Svg& text(double x, double y, std::string_view text, Anchor anchor = Anchor::Start, std::string_view cls = {},
              double rotate = 0);

    // Raw markup made by another Svg writer or by this module.
    Svg& raw(std::string_view markup);

    // Closes every open group and the <svg>; returns the markup. The writer
    // is empty afterwards.
    std::string finish();

  private:
    std::string out_;
    int open_groups_ = 0;
};

// ` NAME="VALUE"` with VALUE escaped, to pass as EXTRA above.
std::string attribute(std::string_view name, std::string_view value);

}  // namespace figure
