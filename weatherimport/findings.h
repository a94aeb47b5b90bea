// What an import tells its user: where a value came from (file, line,
// column), refusals that stop a reading, and findings (flagged or missing
// values, filled gaps, dry days assumed, plausibility checks) that are
// listed on the console, in the JSON summary and on the page.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace weatherimport {

// A place in a source file; line and column count from 1 (0: not known).
struct Place {
    std::string file;
    int line = 0;
    int column = 0;
};

// "FILE:LINE:COLUMN" (or shorter when line or column are not known).
std::string where(const Place& at);

// Why a reading stopped, at the place where it stopped.
struct Refusal {
    Place at;
    std::string what;
    // "FILE:LINE:COLUMN: what".
    std::string text() const;
};

enum class FindingKind {
    Flagged,     // a value with a quality flag, read as missing
    Missing,     // days without a value
    Filled,      // a value filled in, with its method
    DryAssumed,  // missing rain written as no rain
    Estimated,   // an input of a PET method estimated as FAO-56 documents
    Check,       // a plausibility check that did not pass
};

// "flagged", "missing", ...: the word the listings use.
const char* kind_word(FindingKind k);

struct Finding {
    Finding(FindingKind k, std::string q, std::string first_day, std::string last_day, std::string words,
            Place place = {})
        : kind(k),
          quantity(std::move(q)),
          first(std::move(first_day)),
          last(std::move(last_day)),
          text(std::move(words)),
          at(std::move(place)) {}

    FindingKind kind;
    std::string quantity;  // "tmax", "rain", ... or "" for the series
    std::string first;     // ISO date (or date-time) of the first day concerned
    std::string last;      // ISO date of the last day concerned ("" when one day)
    std::string text;      // what happened, in words
    Place at;              // the source line, when there is one
};

// One line of a listing: "missing  tmax  1990-02-03..1990-02-05  3 days ...".
std::string finding_line(const Finding& f);

using Findings = std::vector<Finding>;

}  // namespace weatherimport
