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

    // Out of order: a source line whose day lies before the day of the
    // line before it (the lines of one day, or of one month in a GHCN file,
    // share it). One finding per line that steps back.
    std::map<std::pair<Quantity, Day>, const Observation*> seen;
    const Observation* previous = nullptr;
    int last_line = 0;
    for (const Observation& o : source.observations) {
        const bool new_line = o.at.line != last_line;
        if (new_line && previous && o.day < previous->day && o.quantity == previous->quantity)
            findings.push_back({FindingKind::Check, std::string(quantity_name(o.quantity)), iso(o.day), "",
                                "out of order: comes after " + iso(previous->day) + " in the source", o.at});
        previous = &o;
        last_line = o.at.line;
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
