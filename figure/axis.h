// The choice of an axis from the values it has to show.
//
// A linear axis steps in round numbers (1, 2 or 5 times a power of ten) and
// its ends are whole steps at or beyond the smallest and largest value, so no
// value falls outside; it has from 4 to 8 ticks, labelled in plain decimals
// ("0.25", "1985") or, past 9 digits, with an exponent ("1.5e-9"), without
// trailing zeros. A logarithmic axis runs over whole decades, one tick per
// decade (every few decades when there are more than 30), with labels such
// as 0.01, 1, 1000, 1e4 and 1e-5 (every few decades when there are more than
// 10).
//
// Values that cannot be drawn (NaN, infinite, or beyond +-1e300) are left out
// of the choice; the plot shows them as gaps and says so. A log axis cannot
// place a value <= 0: such values are counted, and the axis then keeps a band
// below its lowest decade, labelled "≤ 0", where they are drawn, so no point
// is dropped and no position is ever NaN. With no values at all the axis is
// 0 to 1 (linear) or 1 to 10 (log); a single value gets a small range around
// it. Linear values all within 1e-290 of zero are drawn on an axis from -1
// to 1.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace figure {

enum class Scale : uint8_t { Linear, Log };

struct Tick {
    double value;
    std::string label;  // empty: a tick without a label
};

// Share of a log axis's length that the band for values <= 0 takes, and
// its label.
inline constexpr double kBandShare = 0.07;
inline constexpr std::string_view kBandLabel = "\xE2\x89\xA4 0";  // "≤ 0"

struct Axis {
    Scale scale = Scale::Linear;
    double lo = 0;              // low end (log: a power of ten)
    double hi = 1;              // high end (log: a power of ten), > lo
    std::vector<Tick> ticks;    // ascending, the first at lo and the last at hi
    std::vector<double> minor;  // log axes over at most 6 decades: 2..9 per decade
    int64_t nonpositive = 0;    // log axes: values <= 0 among the data

    bool has_band() const { return scale == Scale::Log && nonpositive > 0; }

    // Where V lies along the axis: 0 at the low end (the band's lower edge
    // when there is a band), 1 at the high end. Values <= 0 on a log axis lie
    // at the middle of the band. V must be drawable.
    double position(double v) const;
};

// True when V can be placed on an axis: finite and within +-1e300.
bool drawable(double v);

// The axis of SCALE for VALUES, as described above. On a linear axis no
// step is below MIN_STEP (1 for years and months, which have no halves).
Axis choose_axis(Scale scale, std::span<const double> values, double min_step = 0);

}  // namespace figure
