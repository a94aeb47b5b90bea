// Records out of time order. METCONV expects its input in time order and
// does not say when it is not: a record typed among the wrong month's
// records is left out of a temperature file, or starts a rain line of its
// own. The check follows the records in input order and names the record
// that breaks the order:
// - a record later than both its neighbours, while they are in order
//   (day 340 typed among January's records), is the one out of place;
// - otherwise the record at which the series goes back in time is.
// Records of the same time are not out of order (they are duplicates,
// which the replay of each converter judges).
#pragma once

#include <cstdint>
#include <string>

#include "weatherview/findings.h"
#include "weatherview/series_input.h"

namespace weatherview {

class OrderCheck {
  public:
    // Judges R against the records before it. Returns the findings through
    // REPORT(ref, reason) for R or for the record before it.
    template <class Report>
    void add(const InputRecord& r, Report&& report) {
        if (have1_ && r.time_key < p1_.key) {
            if (have2_ && r.time_key >= p2_.key) {
                report(p1_.ref(), "out of time order: it lies among the records of " + p2_.when() + " (line " +
                                      std::to_string(p2_.line) + ") and " + when(r) + " (line " +
                                      std::to_string(r.line) + ")");
                set(p1_, r);  // the record before it stays the one to compare with
                return;
            }
            report(ref_of(r), "goes back in time: " + when(r) + " after " + p1_.when() + " (line " +
                                  std::to_string(p1_.line) + ")");
        }
        p2_ = std::move(p1_);
        have2_ = have1_;
        set(p1_, r);
        have1_ = true;
    }

    // The record's date (and hour) as the findings show it.
    static std::string when(const InputRecord& r);
    static RecordRef ref_of(const InputRecord& r);

  private:
    struct Seen {
        int64_t line = 0;
        int64_t key = 0;
        std::string text;
        int32_t year = 0, jday = 0, hour = 0;
        RecordRef ref() const { return {line, text, year, jday, hour}; }
        std::string when() const;
    };
    static void set(Seen& s, const InputRecord& r);

    Seen p1_, p2_;  // the record before, and the one before that
    bool have1_ = false, have2_ = false;
};

}  // namespace weatherview
