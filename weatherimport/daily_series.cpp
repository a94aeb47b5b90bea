#include "weatherimport/daily_series.h"

#include <algorithm>
#include <map>

namespace weatherimport {

DailySeries lay_out_days(const SourceSeries& source, Findings& findings) {
    DailySeries s;
    s.carried = source.carried;
    if (source.observations.empty()) return s;
    Day lo = source.observations.front().day, hi = lo;
    for (const Observation& o : source.observations) lo = std::min(lo, o.day), hi = std::max(hi, o.day);
    s.first = lo;
    s.days.resize(static_cast<size_t>((hi - lo).count()) + 1);

    // Out of order: a source line holding a day before the last day that
    // came before it for the same quantity (the lines of a GHCN file hold
    // one element each). One finding per line that steps back.
    std::map<std::pair<Quantity, Day>, const Observation*> seen;
    std::array<std::optional<Day>, kQuantities> latest;
    int reported_line = 0;
    for (const Observation& o : source.observations) {
        std::optional<Day>& last = latest[index(o.quantity)];
        if (last && o.day < *last && o.at.line != reported_line) {
            findings.push_back({FindingKind::Check, "", iso(o.day), "",
                                "out of order: comes after " + iso(*last) + " in the source",
                                Place{o.at.file, o.at.line, 0}});
            reported_line = o.at.line;
        }
        if (!last || o.day > *last) last = o.day;
        auto [it, fresh] = seen.emplace(std::pair{o.quantity, o.day}, &o);
        auto& cell = s.at(static_cast<size_t>((o.day - lo).count()), o.quantity);
        if (!fresh) {
            const Observation& kept = *it->second;
            findings.push_back({FindingKind::Check, std::string(quantity_name(o.quantity)), iso(o.day), "",
                                "repeated day: also on line " + std::to_string(kept.at.line) + "; the value of line " +
                                    std::to_string(kept.at.line) + " is kept",
                                o.at});
            continue;
        }
        cell = o.value;
    }
    return s;
}

}  // namespace weatherimport
