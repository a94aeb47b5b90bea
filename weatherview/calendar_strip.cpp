#include "weatherview/calendar_strip.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "figure/svg.h"
#include "weather/calendar.h"
#include "weatherview/dates.h"

namespace weatherview {
namespace {

constexpr double kLeft = 48;       // room for the year labels, px
constexpr double kDay = 2.5;       // width of one day, px
constexpr double kTop = 20;        // room for the month labels, px
constexpr double kRow = 14;        // height of a strip, px
constexpr double kPitch = 20;      // from one strip to the next, px
constexpr size_t kManyYears = 30;  // more years than this get thinner strips
constexpr double kThinRow = 8;
constexpr double kThinPitch = 11;
constexpr double kLegendRow = 20;  // px
constexpr double kMinMark = 4;     // narrowest mark of a changed, missing or unconverted run, px
constexpr double kWidth = kLeft + 366 * kDay + 12;

// What a day shows; Outside lies before the first or after the last record.
enum class Show : uint8_t { Outside, Absent, Value, MissingCode, Changed, NotConverted };

struct Look {
    std::string_view cls;    // after "day "
    std::string_view words;  // for the legend and the tooltips
    std::string_view fill;
    std::string_view stroke;
    double grow;  // px the mark reaches beyond the strip, above and below
};

Look look(Show s, bool hourly) {
    switch (s) {
        case Show::Value:
            return {"value", hourly ? "readings" : "a value", "#0072B2", "", 0};
        case Show::MissingCode:
            return {"missing", "the missing-value code -99", "#A0A0A0", "#555555", 0};
        case Show::Absent:
            return {"absent", hourly ? "no reading" : "no record", "#FFFFFF", "#555555", 0};
        case Show::Changed:
            return {"changed", "changed by the conversion", "#D55E00", "#000000", 2.5};
        case Show::NotConverted:
            return {"not-converted", "not converted (the run stopped or was refused)", "#CC79A7", "#000000", 2.5};
        case Show::Outside:
            break;
    }
    return {"outside", "", "", "", 0};
}

Show show(uint8_t mark, bool inside) {
    switch (static_cast<DayMark>(mark)) {
        case DayMark::Value:
            return Show::Value;
        case DayMark::MissingCode:
            return Show::MissingCode;
        case DayMark::Changed:
            return Show::Changed;
        case DayMark::NotConverted:
            return Show::NotConverted;
        case DayMark::None:
            break;
    }
    return inside ? Show::Absent : Show::Outside;
}

struct Run {
    Show show;
    int32_t from, to;  // days of the year
};

void append_box(std::string& d, double x, double y, double w, double h) {
    d += 'M';
    figure::append_px(d, x);
    d += ',';
    figure::append_px(d, y);
    d += 'h';
    figure::append_px(d, w);
    d += 'v';
    figure::append_px(d, h);
    d += 'h';
    figure::append_px(d, -w);
    d += 'z';
}

// Month labels and lines, at the months of a common year, down over
// NYEARS strips.
void draw_months(figure::Svg& svg, size_t nyears, double pitch) {
    std::string grid;
    svg.open_group("months");
    for (int32_t m = 1; m <= 12; ++m) {
        const double x = kLeft + (month_start(1995, m) - 1) * kDay;
        svg.text(x + 2, kTop - 6, month_abbreviation(m), figure::Anchor::Start, "month-label");
        append_box(grid, x, kTop - 2, 0.1, static_cast<double>(nyears) * pitch);
    }
    svg.path(grid, {.fill = "none", .stroke = "#D0D0D0", .stroke_width = 0.6, .cls = "grid"});
    svg.close_group();
}

// The days of YEAR as runs of days that show alike; days between serial
// days FIRST and LAST without a mark are absent, the others outside.
std::vector<Run> year_runs(const DayMarks::Year& days, int32_t year, int64_t first, int64_t last) {
    const int32_t ndays = weather::YEARDAYS(year);
    const int64_t start = serial_day(year, 1);
    std::vector<Run> runs;
    for (int32_t j = 1; j <= ndays; ++j) {
        const int64_t s = start + j - 1;
        const Show sh = show(days.mark[j - 1], s >= first && s <= last);
        if (!runs.empty() && runs.back().show == sh && runs.back().to == j - 1)
            runs.back().to = j;
        else
            runs.push_back({sh, j, j});
    }
    return runs;
}

// One year's strip: where it stands and how it is drawn.
struct Strip {
    int32_t year;
    const DayMarks::Year& days;
    double y, row;
    bool hourly;
};

// The runs of YEAR that show SH: one path when they are many or plain
// values, else a rectangle each with the dates and first line as tooltip.
void draw_runs(figure::Svg& svg, const Strip& st, const std::vector<Run>& runs, Show sh) {
    const Look lk = look(sh, st.hourly);
    int count = 0;
    for (const Run& r : runs) count += r.show == sh;
    if (count == 0) return;
    const bool one_path = sh == Show::Value || count > kMaxRects;
    std::string d;
    for (const Run& r : runs) {
        if (r.show != sh) continue;
        // A mark of a day or two is widened about its middle, so
        // that a single day stands out.
        const double span = (r.to - r.from + 1) * kDay;
        const double w = sh == Show::Value || sh == Show::Absent ? span : std::max(span, kMinMark);
        const double x = kLeft + (r.from - 1) * kDay - (w - span) / 2;
        if (one_path) {
            append_box(d, x, st.y - lk.grow, w, st.row + 2 * lk.grow);
            continue;
        }
        const int32_t n = r.to - r.from + 1;
        std::string tip = date_text(st.year, r.from);
        if (n > 1) tip += " to " + date_text(st.year, r.to) + " (" + std::to_string(n) + " days)";
        tip += ": " + std::string(lk.words);
        const int64_t line = st.days.first_line[static_cast<size_t>(r.from - 1)];
        if (line != 0) tip += ", line " + std::to_string(line);
        const std::string cls = "day " + std::string(lk.cls);
        svg.raw("<g" + figure::attribute("data-from", date_text(st.year, r.from)) +
                figure::attribute("data-to", date_text(st.year, r.to)) + ">");
        svg.rect(x, st.y - lk.grow, w, st.row + 2 * lk.grow,
                 {.fill = lk.fill, .stroke = lk.stroke, .stroke_width = lk.stroke.empty() ? 0 : 0.6, .cls = cls}, tip);
        svg.raw("</g>\n");
    }
    if (one_path) {
        svg.path(d,
                 {.fill = lk.fill,
                  .stroke = lk.stroke,
                  .stroke_width = lk.stroke.empty() ? 0 : 0.6,
                  .cls = "days " + std::string(lk.cls)},
                 figure::attribute("data-runs", std::to_string(count)));
    }
}

// The legend below the strips, in two rows, from LY down.
void draw_legend(figure::Svg& svg, double ly, bool hourly) {
    svg.open_group("legend");
    double lx = kLeft;
    int placed = 0;
    for (const Show sh : {Show::Value, Show::MissingCode, Show::Absent, Show::Changed, Show::NotConverted}) {
        const Look lk = look(sh, hourly);
        if (placed == 3) {
            lx = kLeft;
            ly += kLegendRow;
        }
        svg.open_group("legend-entry");
        svg.rect(lx, ly, 14, kRow,
                 {.fill = lk.fill, .stroke = lk.stroke.empty() ? "#0072B2" : lk.stroke, .stroke_width = 0.6});
        svg.text(lx + 20, ly + kRow - 2, lk.words);
        svg.close_group();
        lx += 36 + static_cast<double>(lk.words.size()) * 6.6;
        ++placed;
    }
    svg.close_group();
}

}  // namespace

std::string calendar_strip(const DayMarks& marks, bool hourly) {
    const auto& years = marks.years();
    const bool thin = years.size() > kManyYears;
    const double row = thin ? kThinRow : kRow;
    const double pitch = thin ? kThinPitch : kPitch;
    const double height = kTop + static_cast<double>(years.size()) * pitch + 2 * kLegendRow + 12;
    figure::Svg svg("calendar", "strip", kWidth, height,
                    hourly ? "Days with readings, by year" : "Days of the series, by year");
    draw_months(svg, years.size(), pitch);

    const int64_t first = marks.first_serial(), last = marks.last_serial();
    double y = kTop;
    for (const auto& [year, days] : years) {
        const std::vector<Run> runs = year_runs(days, year, first, last);
        svg.open_group("year", figure::attribute("data-year", std::to_string(year)));
        // Thin strips are too close for a label each: every fifth year and
        // the first and the last are labelled.
        if (!thin || year % 5 == 0 || year == years.begin()->first || year == years.rbegin()->first) {
            svg.text(kLeft - 6, y + row, std::to_string(year), figure::Anchor::End, "year-label");
        }
        svg.rect(kLeft, y, weather::YEARDAYS(year) * kDay, row, {.fill = "#EEEEEE", .cls = "year-row"});
        const Strip st{year, days, y, row, hourly};
        for (const Show sh : {Show::Value, Show::Absent, Show::MissingCode, Show::NotConverted, Show::Changed}) {
            draw_runs(svg, st, runs, sh);
        }
        svg.close_group();
        y += pitch;
    }
    draw_legend(svg, y + 10, hourly);
    return svg.finish();
}

}  // namespace weatherview
