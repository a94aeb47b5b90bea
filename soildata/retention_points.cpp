#include "soildata/retention_points.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

namespace soildata {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    return s;
}

std::vector<std::string_view> split(std::string_view line, char sep) {
    std::vector<std::string_view> cells;
    size_t start = 0;
    for (;;) {
        const size_t at = line.find(sep, start);
        cells.push_back(trim(line.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start)));
        if (at == std::string_view::npos) break;
        start = at + 1;
    }
    return cells;
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// A number, or nothing for an empty cell; throws nothing, flags text.
struct Cell {
    bool empty = true;
    bool bad = false;
    double value = 0;
};

Cell number(std::string_view s) {
    Cell c;
    if (s.empty()) return c;
    c.empty = false;
    const char* end = s.data() + s.size();
    auto [ptr, ec] = std::from_chars(s.data(), end, c.value);
    c.bad = ec != std::errc() || ptr != end || !std::isfinite(c.value);
    return c;
}

std::string message(size_t line, const std::string& text) {
    return "line " + std::to_string(line) + ": " + text;
}

// Where the named columns sit, found in the header line.
struct Columns {
    char sep = ',';
    std::optional<size_t> head, theta, k, weight;
};

// The columns of HEADER, or an error when `head` or both `theta` and `k`
// are missing. The first column of each name counts.
std::string read_header(std::string_view header, Columns& cols) {
    if (header.find(',') == std::string_view::npos && header.find(';') != std::string_view::npos) cols.sep = ';';
    const auto names = split(header, cols.sep);
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string name = lower(names[i]);
        if (name == "head" && !cols.head)
            cols.head = i;
        else if (name == "theta" && !cols.theta)
            cols.theta = i;
        else if (name == "k" && !cols.k)
            cols.k = i;
        else if (name == "weight" && !cols.weight)
            cols.weight = i;
    }
    if (!cols.head) return "the header has no column `head`";
    if (!cols.theta && !cols.k) return "the header has neither a column `theta` nor a column `k`";
    return {};
}

// The retention point of a row's head (cm) and water content cell, in
// UNITS; an error when the content lies outside 0 to 1 or the weight is
// not positive.
std::string add_retention_point(double head, const Cell& t, const Cell& w, std::string_view theta_text,
                                const PointUnits& units, MeasuredPoints& points) {
    const double theta = theta_to_fraction(t.value, units.theta);
    if (theta < 0 || theta > 1) {
        std::string text = "water content " + std::string(theta_text) + " is outside 0 to 1";
        if (units.theta == ThetaUnit::Fraction && t.value > 1 && t.value <= 100)
            text += "; if it is a percentage, give --theta-unit percent";
        return text;
    }
    const double weight = w.empty ? 1.0 : w.value;
    if (!(weight > 0)) return "a weight must be above 0";
    points.retention.push_back({head, theta, weight});
    return {};
}

// The points of one data row, added to POINTS; an error for the row, or
// empty. A row without a head gives no point.
std::string read_row(std::string_view line, const Columns& cols, const PointUnits& units, MeasuredPoints& points) {
    const auto cells = split(line, cols.sep);
    auto cell = [&](std::optional<size_t> col) { return col && *col < cells.size() ? number(cells[*col]) : Cell{}; };
    const Cell h = cell(cols.head), t = cell(cols.theta), k = cell(cols.k), w = cell(cols.weight);
    for (const auto& [c, name] : {std::pair{h, "head"}, {t, "theta"}, {k, "k"}, {w, "weight"}}) {
        if (c.bad) return std::string("the ") + name + " cell is not a number";
    }
    if (h.empty) return {};
    if (units.head == HeadUnit::PF && h.value < 0) return "a pF below 0";
    const double head = head_to_cm(h.value, units.head);
    if (!t.empty) {
        std::string error = add_retention_point(head, t, w, cells[*cols.theta], units, points);
        if (!error.empty()) return error;
    }
    if (!k.empty) {
        if (!(k.value > 0)) return "a conductivity must be above 0 (log10 values are not taken)";
        points.conductivity.push_back({head, conductivity_to_cm_per_day(k.value, units.k)});
    }
    return {};
}

}  // namespace

PointsResult read_points(std::string_view text, const PointUnits& units) {
    PointsResult result;
    Columns cols;
    bool have_header = false;
    size_t line_no = 0;
    size_t pos = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;  // a UTF-8 byte-order mark
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++line_no;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::string_view bare = trim(line);
        if (bare.empty() || bare.front() == '#') continue;
        const std::string error = have_header ? read_row(line, cols, units, result.points) : read_header(line, cols);
        have_header = true;
        if (!error.empty()) {
            result.error = message(line_no, error);
            return result;
        }
    }
    if (!have_header)
        result.error = "no header line: the file is empty";
    else if (result.points.retention.empty() && result.points.conductivity.empty())
        result.error = "no points: no row holds a head with a theta or a k";
    return result;
}

}  // namespace soildata
