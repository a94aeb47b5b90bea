#include "weatherimport/findings.h"

namespace weatherimport {

std::string where(const Place& at) {
    std::string s = at.file;
    if (at.line > 0) s += ":" + std::to_string(at.line);
    if (at.line > 0 && at.column > 0) s += ":" + std::to_string(at.column);
    return s;
}

std::string Refusal::text() const {
    return where(at) + ": " + what;
}

const char* kind_word(FindingKind k) {
    switch (k) {
        case FindingKind::Flagged:
            return "flagged";
        case FindingKind::Missing:
            return "missing";
        case FindingKind::Filled:
            return "filled";
        case FindingKind::DryAssumed:
            return "dry-assumed";
        case FindingKind::Estimated:
            return "estimated";
        case FindingKind::Check:
            return "check";
    }
    return "";
}

std::string finding_line(const Finding& f) {
    std::string s = kind_word(f.kind);
    if (!f.quantity.empty()) s += " " + f.quantity;
    if (!f.first.empty()) s += " " + f.first + (f.last.empty() || f.last == f.first ? "" : ".." + f.last);
    s += ": " + f.text;
    if (!f.at.file.empty()) s += " (" + where(f.at) + ")";
    return s;
}

}  // namespace weatherimport
