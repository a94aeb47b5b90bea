#include "figure/plot.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>
#include <string_view>

#include "figure/escape.h"
#include "figure/style.h"
#include "figure/svg.h"

namespace figure {

namespace {

constexpr double kCharWidth = 7.0;   // estimated width of a 12 px character
constexpr double kTitleHeight = 34;  // room above the plot for the title
constexpr double kTopPlain = 14;     // room above the plot without one
constexpr double kTickLength = 5;
constexpr double kMinorTickLength = 3;
constexpr double kLegendRow = 20;
constexpr double kLegendSwatch = 30;    // line sample in a legend entry
constexpr double kBarGroupShare = 0.8;  // of the spacing between bar positions

constexpr std::string_view kAxisColour = "#333333";
constexpr std::string_view kGridColour = "#d9d9d9";
constexpr std::string_view kMinorGridColour = "#eeeeee";
constexpr std::string_view kBandColour = "#ececec";

// Characters in UTF-8 TEXT, to estimate how wide it is drawn.
double text_width(std::string_view text) {
    size_t n = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    }
    return static_cast<double>(n) * kCharWidth;
}

std::string quoted(std::string_view name) {
    return "\xE2\x80\x9C" + std::string(name) + "\xE2\x80\x9D";  // “name”
}

void append_pair(std::string& d, long long x, long long y) {
    append_tenths(d, x);
    d += ',';
    append_tenths(d, y);
}

// The plotting area and the mapping of values to pixels.
struct Frame {
    const Axis& ax;
    const Axis& ay;
    double left, right, top, bottom;

    double x(double v) const { return left + ax.position(v) * (right - left); }
    double y(double v) const { return bottom - ay.position(v) * (bottom - top); }
};

// Value of a log or linear coordinate T back on the axis's scale.
double from_t(Scale s, double t) {
    return s == Scale::Log ? std::pow(10.0, t) : t;
}

struct BarLayout {
    double spacing_t = 1;  // smallest spacing between bar positions, in t units
    double t_min = 0, t_max = 0;
    bool any = false;
};

BarLayout bar_layout(const Plot& plot) {
    std::vector<double> ts;
    for (const Series& s : plot.series) {
        if (s.kind != SeriesKind::Bars) continue;
        for (size_t i = 0; i < s.x.size(); ++i) {
            const double x = s.x[i];
            if (!drawable(x) || !drawable(s.y[i])) continue;
            if (plot.x.scale == Scale::Log && x <= 0) continue;  // in the band
            ts.push_back(plot.x.scale == Scale::Log ? std::log10(x) : x);
        }
    }
    BarLayout b;
    if (ts.empty()) return b;
    std::sort(ts.begin(), ts.end());
    ts.erase(std::unique(ts.begin(), ts.end()), ts.end());
    b.any = true;
    b.t_min = ts.front();
    b.t_max = ts.back();
    double gap = 0;
    for (size_t i = 1; i < ts.size(); ++i) {
        const double g = ts[i] - ts[i - 1];
        if (g > 0 && (gap == 0 || g < gap)) gap = g;
    }
    if (gap > 0) b.spacing_t = gap;
    return b;
}

// Pixel width of the group of bars at one x.
double bar_group_width(const Plot& plot, const Frame& f, const BarLayout& b) {
    std::vector<double> px;
    for (const Series& s : plot.series) {
        if (s.kind != SeriesKind::Bars) continue;
        for (size_t i = 0; i < s.x.size(); ++i) {
            if (drawable(s.x[i]) && drawable(s.y[i])) px.push_back(f.x(s.x[i]));
        }
    }
    std::sort(px.begin(), px.end());
    double gap = 0;
    for (size_t i = 1; i < px.size(); ++i) {
        const double g = px[i] - px[i - 1];
        if (g > 0.05 && (gap == 0 || g < gap)) gap = g;
    }
    if (gap == 0) {
        const Scale s = plot.x.scale;
        gap = f.x(from_t(s, b.t_min + b.spacing_t / 2)) - f.x(from_t(s, b.t_min - b.spacing_t / 2));
    }
    return std::clamp(gap * kBarGroupShare, 0.5, (f.right - f.left) / 2);
}

struct SeriesCounts {
    int64_t drawn = 0;
    int64_t undrawable = 0;
    int64_t band_x = 0;
    int64_t band_y = 0;
};

// Path data of a line through the drawable points; gaps restart it with a
// move, and a point standing alone gets a zero-length stroke so the round
// cap shows it.
std::string line_path(const Series& s, const Frame& f) {
    std::string d;
    d.reserve(s.x.size() * 9 + 16);
    long long px = 0, py = 0;
    bool started = false;
    size_t run = 0;
    for (size_t i = 0; i < s.x.size(); ++i) {
        if (!drawable(s.x[i]) || !drawable(s.y[i])) {
            if (run == 1) d += "h0";
            run = 0;
            continue;
        }
        const long long tx = to_tenths(f.x(s.x[i]));
        const long long ty = to_tenths(f.y(s.y[i]));
        if (!started) {
            d += 'M';
            append_pair(d, tx, ty);
            started = true;
        } else {
            d += run == 0 ? "m" : run == 1 ? "l" : " ";
            append_pair(d, tx - px, ty - py);
        }
        ++run;
        px = tx;
        py = ty;
    }
    if (run == 1) d += "h0";
    return d;
}

// Path data of a marker at every drawable point, chained by relative moves
// between the start points of the outlines.
std::string marker_path(const Series& s, const Frame& f, Marker m) {
    const std::string_view outline = marker_outline(m);
    const TenthsOffset off = marker_start(m);
    std::string d;
    d.reserve(s.x.size() * (outline.size() + 10) + 16);
    long long px = 0, py = 0;
    bool started = false;
    for (size_t i = 0; i < s.x.size(); ++i) {
        if (!drawable(s.x[i]) || !drawable(s.y[i])) continue;
        const long long sx = to_tenths(f.x(s.x[i])) + off.dx;
        const long long sy = to_tenths(f.y(s.y[i])) + off.dy;
        if (!started) {
            d += 'M';
            append_pair(d, sx, sy);
            started = true;
        } else {
            d += 'm';
            append_pair(d, sx - px, sy - py);
        }
        d += outline;
        px = sx;
        py = sy;
    }
    return d;
}

// Path data of the bars of series SLOT of NBARS bar series, each bar from
// the base line to its value, chained by relative moves.
std::string bar_path(const Series& s, const Frame& f, double group, size_t slot, size_t nbars, double base) {
    const double width = group / static_cast<double>(nbars);
    const long long bt = to_tenths(base);
    std::string d;
    d.reserve(s.x.size() * 24 + 16);
    long long px = 0, py = 0;
    bool started = false;
    for (size_t i = 0; i < s.x.size(); ++i) {
        if (!drawable(s.x[i]) || !drawable(s.y[i])) continue;
        const double left = f.x(s.x[i]) - group / 2 + width * static_cast<double>(slot);
        const long long lt = to_tenths(left);
        const long long wt = std::max(1LL, to_tenths(left + width) - lt);
        const long long yt = to_tenths(f.y(s.y[i]));
        if (!started) {
            d += 'M';
            append_pair(d, lt, yt);
            started = true;
        } else {
            d += 'm';
            append_pair(d, lt - px, yt - py);
        }
        d += 'h';
        append_tenths(d, wt);
        d += 'v';
        append_tenths(d, bt - yt);
        d += 'h';
        append_tenths(d, -wt);
        d += 'z';
        px = lt;
        py = yt;
    }
    return d;
}

std::string count_attribute(std::string_view name, int64_t n) {
    return attribute(name, std::to_string(n));
}

// Draws AXIS along the bottom (IS_X) or the left of the frame: band, grid,
// axis line, ticks, tick labels and title, in one group.
void draw_axis(Svg& svg, const Axis& axis, const AxisSetup& setup, bool is_x, const Frame& f, double title_at) {
    const char* cls = is_x ? "axis x" : "axis y";
    std::string extra = attribute("data-scale", axis.scale == Scale::Log ? "log" : "linear");
    if (axis.has_band()) extra += count_attribute("data-band", axis.nonpositive);
    auto at = [&](double v) { return is_x ? f.x(v) : f.y(v); };

    // Grid first so that everything else lies on top of it.
    std::string grid;
    std::string minor_grid;
    for (const Tick& t : axis.ticks) {
        const long long p = to_tenths(at(t.value));
        grid += 'M';
        if (is_x) {
            append_pair(grid, p, to_tenths(f.top));
            grid += 'V';
            append_px(grid, f.bottom);
        } else {
            append_pair(grid, to_tenths(f.left), p);
            grid += 'H';
            append_px(grid, f.right);
        }
    }
    for (const double m : axis.minor) {
        const long long p = to_tenths(at(m));
        minor_grid += 'M';
        if (is_x) {
            append_pair(minor_grid, p, to_tenths(f.top));
            minor_grid += 'V';
            append_px(minor_grid, f.bottom);
        } else {
            append_pair(minor_grid, to_tenths(f.left), p);
            minor_grid += 'H';
            append_px(minor_grid, f.right);
        }
    }

    svg.open_group(cls, extra);
    if (axis.has_band()) {
        const double a = at(0);  // middle of the band
        const double edge = is_x ? f.left : f.bottom;
        const double half = std::fabs(a - edge);
        if (is_x) {
            svg.rect(f.left, f.top, 2 * half, f.bottom - f.top, {.fill = kBandColour, .cls = "band"});
        } else {
            svg.rect(f.left, f.bottom - 2 * half, f.right - f.left, 2 * half, {.fill = kBandColour, .cls = "band"});
        }
    }
    if (!minor_grid.empty()) {
        svg.path(minor_grid, {.fill = "none", .stroke = kMinorGridColour, .stroke_width = 1, .cls = "grid minor"});
    }
    svg.path(grid, {.fill = "none", .stroke = kGridColour, .stroke_width = 1, .cls = "grid"});

    // Axis line, major and minor ticks pointing outward.
    std::string ticks;
    ticks += 'M';
    if (is_x) {
        append_pair(ticks, to_tenths(f.left), to_tenths(f.bottom));
        ticks += 'H';
        append_px(ticks, f.right);
    } else {
        append_pair(ticks, to_tenths(f.left), to_tenths(f.bottom));
        ticks += 'V';
        append_px(ticks, f.top);
    }
    auto tick = [&](double p, double len) {
        ticks += 'M';
        if (is_x) {
            append_pair(ticks, to_tenths(p), to_tenths(f.bottom));
            ticks += 'v';
            append_px(ticks, len);
        } else {
            append_pair(ticks, to_tenths(f.left), to_tenths(p));
            ticks += 'h';
            append_px(ticks, -len);
        }
    };
    for (const Tick& t : axis.ticks) tick(at(t.value), kTickLength);
    for (const double m : axis.minor) tick(at(m), kMinorTickLength);
    if (axis.has_band()) {
        tick(at(0), kTickLength);
        // A break mark where the band meets the lowest decade.
        const double b = is_x ? f.left + 2 * std::fabs(at(0) - f.left) : f.bottom - 2 * std::fabs(f.bottom - at(0));
        for (const double o : {-2.0, 2.0}) {
            ticks += 'M';
            if (is_x) {
                append_pair(ticks, to_tenths(b + o - 3), to_tenths(f.bottom + 5));
                ticks += 'l';
                append_pair(ticks, 60, -100);
            } else {
                append_pair(ticks, to_tenths(f.left - 5), to_tenths(b + o + 3));
                ticks += 'l';
                append_pair(ticks, 100, -60);
            }
        }
    }
    svg.path(ticks, {.fill = "none", .stroke = kAxisColour, .stroke_width = 1, .cls = "ticks"});

    for (const Tick& t : axis.ticks) {
        if (t.label.empty()) continue;
        if (is_x) {
            svg.text(at(t.value), f.bottom + 18, t.label, Anchor::Middle, "tick-label");
        } else {
            svg.text(f.left - 8, at(t.value) + 4, t.label, Anchor::End, "tick-label");
        }
    }
    if (axis.has_band()) {
        if (is_x) {
            svg.text(at(0), f.bottom + 18, kBandLabel, Anchor::Middle, "tick-label band-label");
        } else {
            svg.text(f.left - 8, at(0) + 4, kBandLabel, Anchor::End, "tick-label band-label");
        }
    }
    const std::string title = axis_title(setup);
    if (is_x) {
        svg.text((f.left + f.right) / 2, title_at, title, Anchor::Middle, "axis-title");
    } else {
        svg.text(title_at, (f.top + f.bottom) / 2, title, Anchor::Middle, "axis-title", -90);
    }
    svg.close_group();
}

struct Drawn {
    SeriesKind kind;
    bool markers;
    SeriesStyle style;
    bool reference = false;
};

Paint line_paint(const SeriesStyle& st, bool reference = false) {
    if (reference) return {.fill = "none", .stroke = st.colour, .stroke_opacity = 0.6, .stroke_width = 1.1};
    return {.fill = "none", .stroke = st.colour, .stroke_width = 1.8, .dash = st.dash};
}

Paint bar_paint(const SeriesStyle& st) {
    return {.fill = st.colour, .fill_opacity = 0.35, .stroke = st.colour, .stroke_width = 1.5, .dash = st.dash};
}

void check_lengths(const Plot& plot) {
    for (const Series& s : plot.series) {
        if (s.x.size() != s.y.size()) {
            throw std::invalid_argument("figure: series \"" + s.name + "\" of figure \"" + plot.id + "\" has " +
                                        std::to_string(s.x.size()) + " x but " + std::to_string(s.y.size()) +
                                        " y values");
        }
    }
}

// How each series is drawn.
// Lines are told apart by their styles: a reference line and a line
// that borrows another's style add none.
std::vector<Drawn> drawn_series(const Plot& plot) {
    std::set<size_t> line_styles;
    for (size_t i = 0; i < plot.series.size(); ++i) {
        const Series& s = plot.series[i];
        if (s.kind == SeriesKind::Line && !s.reference) line_styles.insert(s.style_of.value_or(i));
    }
    const size_t nlines = line_styles.size();
    std::vector<Drawn> drawn;
    for (size_t i = 0; i < plot.series.size(); ++i) {
        const Series& s = plot.series[i];
        const bool reference = s.kind == SeriesKind::Line && s.reference;
        const bool markers = s.kind == SeriesKind::Line && !reference && (s.markers || nlines > kDashCount);
        drawn.push_back({s.kind, markers, series_style(s.style_of.value_or(i)), reference});
    }
    return drawn;
}

struct Axes {
    Axis x;
    Axis y;
};

// The axes reach every drawable point and the values asked for; bars
// also reach half a spacing beyond the outer bars and the zero line.
Axes choose_axes(const Plot& plot, const BarLayout& bars) {
    std::vector<double> xs(plot.x.include);
    std::vector<double> ys(plot.y.include);
    for (const Series& s : plot.series) {
        for (size_t i = 0; i < s.x.size(); ++i) {
            if (!drawable(s.x[i]) || !drawable(s.y[i])) continue;
            xs.push_back(s.x[i]);
            ys.push_back(s.y[i]);
        }
    }
    if (bars.any) {
        xs.push_back(from_t(plot.x.scale, bars.t_min - bars.spacing_t / 2));
        xs.push_back(from_t(plot.x.scale, bars.t_max + bars.spacing_t / 2));
        if (plot.y.scale == Scale::Linear) ys.push_back(0);
    }
    return {choose_axis(plot.x.scale, xs, plot.x.whole ? 1.0 : 0.0),
            choose_axis(plot.y.scale, ys, plot.y.whole ? 1.0 : 0.0)};
}

std::string legend_label(const Series& s) {
    return s.x.empty() ? s.name + " (no data)" : s.name;
}

struct Place {
    double x, y;
};

struct LegendLayout {
    std::vector<Place> places;
    double height = 0;  // of the whole figure, the legend being last
};

// Legend rows below the plot: entries flow left to right and wrap.
LegendLayout legend_layout(const Plot& plot, double left, double width, double legend_top) {
    LegendLayout out;
    double lx = left;
    double ly = legend_top;
    for (const Series& s : plot.series) {
        const double w = kLegendSwatch + 8 + text_width(legend_label(s)) + 20;
        if (lx > left && lx + w > width - 8) {
            lx = left;
            ly += kLegendRow;
        }
        out.places.push_back({lx, ly});
        lx += w;
    }
    out.height = (plot.series.empty() ? legend_top - kLegendRow : ly) + kLegendRow / 2 + 6;
    return out;
}

SeriesCounts count_points(const Series& s, const Axis& ax, const Axis& ay) {
    SeriesCounts c;
    for (size_t k = 0; k < s.x.size(); ++k) {
        if (!drawable(s.x[k]) || !drawable(s.y[k])) {
            ++c.undrawable;
            continue;
        }
        ++c.drawn;
        c.band_x += ax.scale == Scale::Log && s.x[k] <= 0;
        c.band_y += ay.scale == Scale::Log && s.y[k] <= 0;
    }
    return c;
}

// The series, in order, each ONE path carrying its name and point count.
std::vector<SeriesCounts> draw_series(Svg& svg, const Plot& plot, const std::vector<Drawn>& drawn, const Frame& f,
                                      const BarLayout& bars) {
    size_t nbars = 0;
    for (const Series& s : plot.series) nbars += s.kind == SeriesKind::Bars;
    std::vector<SeriesCounts> counts(plot.series.size());
    const double group = bars.any ? bar_group_width(plot, f, bars) : 0;
    const double base = plot.y.scale == Scale::Linear ? f.y(0) : f.bottom;
    size_t bar_slot = 0;
    svg.open_group("series");
    for (size_t i = 0; i < plot.series.size(); ++i) {
        const Series& s = plot.series[i];
        const Drawn& dr = drawn[i];
        const SeriesCounts& c = counts[i] = count_points(s, f.ax, f.ay);
        std::string d;
        Paint paint;
        const char* cls = "";
        switch (s.kind) {
            case SeriesKind::Line:
                d = line_path(s, f);
                paint = line_paint(dr.style, dr.reference);
                cls = "line";
                break;
            case SeriesKind::Points:
                d = marker_path(s, f, dr.style.marker);
                paint = {.fill = dr.style.colour};
                cls = "points";
                break;
            case SeriesKind::Bars:
                d = bar_path(s, f, group, bar_slot++, nbars, base);
                paint = bar_paint(dr.style);
                cls = "bars";
                break;
        }
        paint.cls = cls;
        const std::string extra =
            attribute("data-series", s.name) + count_attribute("data-points", c.drawn) +
            (s.kind == SeriesKind::Line ? std::string(" stroke-linejoin=\"round\" stroke-linecap=\"round\"")
                                        : std::string());
        svg.path(d, paint, extra);
        if (dr.markers) {
            svg.path(marker_path(s, f, dr.style.marker), {.fill = dr.style.colour, .cls = "markers"},
                     attribute("data-markers", s.name) + count_attribute("data-points", c.drawn));
        }
    }
    svg.close_group();
    return counts;
}

// One legend entry: a sample of the series as drawn, and its name.
void draw_legend_entry(Svg& svg, const Series& s, const Drawn& dr, Place at) {
    const double x = at.x;
    const double y = at.y;
    svg.open_group("legend-entry");
    const double mid = x + kLegendSwatch / 2;
    if (s.kind == SeriesKind::Bars) {
        svg.rect(x + 6, y - 6, kLegendSwatch - 12, 12, bar_paint(dr.style));
    } else {
        std::string d;
        if (s.kind == SeriesKind::Line) {
            d += 'M';
            append_pair(d, to_tenths(x), to_tenths(y));
            d += 'h';
            append_px(d, kLegendSwatch);
            svg.path(d, line_paint(dr.style, dr.reference));
        }
        if (s.kind == SeriesKind::Points || dr.markers) {
            const TenthsOffset off = marker_start(dr.style.marker);
            d.clear();
            d += 'M';
            append_pair(d, to_tenths(mid) + off.dx, to_tenths(y) + off.dy);
            d += marker_outline(dr.style.marker);
            svg.path(d, {.fill = dr.style.colour});
        }
    }
    svg.text(x + kLegendSwatch + 8, y + 4, legend_label(s));
    svg.close_group();
}

// Note on values a logarithmic AXIS cannot place, drawn in its band instead.
void add_band_note(std::vector<std::string>& notes, const Plot& plot, const std::vector<SeriesCounts>& counts,
                   const Axis& axis, bool is_x) {
    if (!axis.has_band()) return;
    std::string per;
    for (size_t i = 0; i < plot.series.size(); ++i) {
        const int64_t n = is_x ? counts[i].band_x : counts[i].band_y;
        if (n == 0) continue;
        per += per.empty() ? "" : ", ";
        per += quoted(plot.series[i].name) + " " + std::to_string(n);
    }
    const int64_t total = axis.nonpositive;
    std::string note = std::string("The ") + (is_x ? "x" : "y") + " axis is logarithmic and cannot place values " +
                       "\xE2\x89\xA4 0: " + std::to_string(total) + (total == 1 ? " value" : " values");
    if (!per.empty()) note += " (" + per + ")";
    note += std::string(" ") + (total == 1 ? "is" : "are") + " drawn in the band marked " + quoted(kBandLabel) +
            " at the " + (is_x ? "left" : "bottom") + " of the axis.";
    notes.push_back(note);
}

// Notes on series with no points or with points that cannot be drawn.
void add_series_notes(std::vector<std::string>& notes, const Plot& plot, const std::vector<SeriesCounts>& counts) {
    for (size_t i = 0; i < plot.series.size(); ++i) {
        const Series& s = plot.series[i];
        const SeriesCounts& c = counts[i];
        if (s.x.empty()) {
            notes.push_back("Series " + quoted(s.name) + " has no points.");
        } else if (c.undrawable > 0) {
            std::string note = "Series " + quoted(s.name) + ": " + std::to_string(c.undrawable) + " of " +
                               std::to_string(s.x.size()) +
                               " points have no value that can be drawn (missing, not a number or "
                               "infinite) and are left out";
            note += s.kind == SeriesKind::Line ? "; the line has gaps there." : ".";
            notes.push_back(note);
        }
    }
}

}  // namespace

std::string figure_id(std::string_view id) {
    if (id.empty()) return "figure";
    std::string out(id);
    for (char& c : out) {
        const bool ok =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
        if (!ok) c = '-';
    }
    return out;
}

std::string axis_title(const AxisSetup& setup) {
    if (setup.unit.empty()) return setup.title;
    return setup.title + " (" + setup.unit + ")";
}

Figure render(const Plot& plot) {
    check_lengths(plot);
    Figure fig;
    fig.id = figure_id(plot.id);
    const std::vector<Drawn> drawn = drawn_series(plot);
    const BarLayout bars = bar_layout(plot);
    const Axes axes = choose_axes(plot, bars);
    const Axis& ax = axes.x;
    const Axis& ay = axes.y;

    // Layout: y labels and title on the left, x labels, title and legend
    // below.
    double ylabel_width = ay.has_band() ? text_width(kBandLabel) : 0;
    for (const Tick& t : ay.ticks) ylabel_width = std::max(ylabel_width, text_width(t.label));
    const double last_x_label = ax.ticks.empty() ? 0 : text_width(ax.ticks.back().label);
    const double width = std::max(plot.width, 240.0);
    const double left = 8 + 18 + 8 + ylabel_width + 8;
    const double right = width - std::max(16.0, last_x_label / 2 + 6);
    const double top = plot.title.empty() ? kTopPlain : kTitleHeight;
    const double bottom = top + std::max(plot.plot_height, 80.0);
    const Frame f{ax, ay, left, right, top, bottom};
    const LegendLayout legend = legend_layout(plot, left, width, bottom + 56);

    Svg svg(fig.id, "figure", width, legend.height, plot.title);
    if (!plot.title.empty()) {
        svg.text(width / 2, 22, plot.title, Anchor::Middle, "figure-title");
    }
    draw_axis(svg, ax, plot.x, true, f, bottom + 40);
    draw_axis(svg, ay, plot.y, false, f, 16);
    const std::vector<SeriesCounts> counts = draw_series(svg, plot, drawn, f, bars);
    svg.open_group("legend");
    for (size_t i = 0; i < plot.series.size(); ++i) {
        draw_legend_entry(svg, plot.series[i], drawn[i], legend.places[i]);
    }
    svg.close_group();
    fig.svg = svg.finish();

    // Notes: what could not be drawn where it belongs.
    add_band_note(fig.notes, plot, counts, ax, true);
    add_band_note(fig.notes, plot, counts, ay, false);
    add_series_notes(fig.notes, plot, counts);
    return fig;
}

}  // namespace figure
