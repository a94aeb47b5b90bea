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

}  // namespace

PointsResult read_points(std::string_view text, const PointUnits& units) {
    PointsResult result;
    std::optional<size_t> head_col, theta_col, k_col, weight_col;
    char sep = ',';
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
        if (bare.empty() || bare.front() == '#') {
            if (end == text.size()) break;
            continue;
        }
        if (!have_header) {
            have_header = true;
            if (line.find(',') == std::string_view::npos && line.find(';') != std::string_view::npos) sep = ';';
            const auto names = split(line, sep);
            for (size_t i = 0; i < names.size(); ++i) {
                const std::string name = lower(names[i]);
                if (name == "head" && !head_col) head_col = i;
                else if (name == "theta" && !theta_col) theta_col = i;
                else if (name == "k" && !k_col) k_col = i;
                else if (name == "weight" && !weight_col) weight_col = i;
            }
            if (!head_col) {
                result.error = message(line_no, "the header has no column `head`");
                return result;
            }
            if (!theta_col && !k_col) {
                result.error = message(line_no, "the header has neither a column `theta` nor a column `k`");
                return result;
            }
            continue;
        }
        const auto cells = split(line, sep);
        auto cell = [&](std::optional<size_t> col) { return col && *col < cells.size() ? number(cells[*col]) : Cell{}; };
        const Cell h = cell(head_col), t = cell(theta_col), k = cell(k_col), w = cell(weight_col);
        for (const auto& [c, name] : {std::pair{h, "head"}, {t, "theta"}, {k, "k"}, {w, "weight"}}) {
            if (c.bad) {
                result.error = message(line_no, std::string("the ") + name + " cell is not a number");
                return result;
            }
        }
        if (h.empty) continue;
        if (units.head == HeadUnit::PF && h.value < 0) {
            result.error = message(line_no, "a pF below 0");
            return result;
        }
        const double head = head_to_cm(h.value, units.head);
        if (!t.empty) {
            const double theta = theta_to_fraction(t.value, units.theta);
            if (theta < 0 || theta > 1) {
                std::string text_ = "water content " + std::string(cells[*theta_col]) + " is outside 0 to 1";
                if (units.theta == ThetaUnit::Fraction && t.value > 1 && t.value <= 100)
                    text_ += "; if it is a percentage, give --theta-unit percent";
                result.error = message(line_no, text_);
                return result;
            }
            const double weight = w.empty ? 1.0 : w.value;
            if (!(weight > 0)) {
                result.error = message(line_no, "a weight must be above 0");
                return result;
            }
            result.points.retention.push_back({head, theta, weight});
        }
        if (!k.empty) {
            if (!(k.value > 0)) {
                result.error = message(line_no, "a conductivity must be above 0 (log10 values are not taken)");
                return result;
            }
            result.points.conductivity.push_back({head, conductivity_to_cm_per_day(k.value, units.k)});
        }
        if (end == text.size()) break;
    }
    if (!have_header) result.error = "no header line: the file is empty";
    else if (result.points.retention.empty() && result.points.conductivity.empty())
        result.error = "no points: no row holds a head with a theta or a k";
    return result;
}

}  // namespace soildata
