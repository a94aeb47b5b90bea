#include "weatherview/order_check.h"

#include "weatherview/dates.h"

namespace weatherview {

std::string OrderCheck::when(const InputRecord& r) {
    return r.minute != 0 ? hour_text(r.at.year, r.at.jday, r.at.hour) : date_text(r.at.year, r.at.jday);
}

RecordRef OrderCheck::ref_of(const InputRecord& r) {
    return {r.line, r.text, r.at.year, r.at.jday, r.minute != 0 ? r.at.hour : 0};
}

void OrderCheck::set(Seen& s, const InputRecord& r) {
    s.line = r.line;
    s.key = r.time_key;
    s.text = r.text;
    s.year = r.at.year;
    s.jday = r.at.jday;
    s.hour = r.minute != 0 ? r.at.hour : 0;
}

std::string OrderCheck::Seen::when() const {
    return hour != 0 ? hour_text(year, jday, hour) : date_text(year, jday);
}

}  // namespace weatherview
