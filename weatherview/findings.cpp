#include "weatherview/findings.h"

#include "weatherview/dates.h"

namespace weatherview {

std::string_view fate_words(Fate f) {
    switch (f) {
        case Fate::Refused:
            return "refused";
        case Fate::Lost:
            return "not written";
        case Fate::NullValue:
            return "value kept from before";
        case Fate::NextLine:
            return "value from the next line";
        case Fate::Ignored:
            return "values ignored";
        case Fate::Replaced:
            return "replaced";
        case Fate::Summed:
            return "summed";
        case Fate::SameTime:
            return "typed twice?";
        case Fate::Twice:
            return "written twice";
        case Fate::OutOfOrder:
            return "out of order";
        case Fate::MissingCode:
            return "missing value";
        case Fate::TooLarge:
            return "too large";
    }
    return "";
}

bool changes_day(Fate f) {
    return f != Fate::Summed && f != Fate::MissingCode && f != Fate::Refused;
}

Finding& Findings::keep(const RecordRef& r) {
    auto [it, fresh] = rows_.try_emplace(r.line);
    Finding& x = it->second;
    if (fresh) {
        x.line = r.line;
        x.text = std::string(r.text);
        if (r.jday != 0) x.when = r.hour != 0 ? hour_text(r.year, r.jday, r.hour) : date_text(r.year, r.jday);
    }
    return x;
}

}  // namespace weatherview
