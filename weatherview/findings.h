// What happened to the records that did not reach the weather file as they
// were typed, and to those METCONV refuses: one row per record, with its
// line in the input, the line as typed, its date, and one reason per thing
// that happened to it.
//
// Every case is counted; the first kListed records of each kind are kept
// with their reasons, so the list stays the same size however long the
// series (a reason is only made for a record that is kept).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace weatherview {

enum class Fate : uint8_t {
    Refused,      // METCONV refuses the record; its run stops at the first
    Lost,         // read, but the run stopped before METCONV wrote it
    NullValue,    // a null value kept the record before's value
    NextLine,     // its line ended early: values taken from the next line
    Ignored,      // its line holds more values than the record takes
    Replaced,     // a later record for the same day took its place
    Summed,       // summed into its clock hour with other readings
    SameTime,     // the same time as the reading before it: typed twice?
    Twice,        // a day or an hour given again and written a second time
    OutOfOrder,   // out of time order
    MissingCode,  // the missing-value code -99
    TooLarge,     // converted to a value too large for its columns
};
inline constexpr size_t kFateCount = 12;

// A few words for the list: "refused", "left out", ...
std::string_view fate_words(Fate f);
// True when a record with this fate marks its day as changed by the
// conversion. Summing readings into their hour is the conversion itself,
// and a missing-value code has a mark of its own.
bool changes_day(Fate f);

// The record a finding is about.
struct RecordRef {
    int64_t line = 0;
    std::string_view text;
    int32_t year = 0;
    int32_t jday = 0;  // 0: no date (a record that does not read)
    int32_t hour = 0;  // hourly rain: the clock hour, 1-24
};

struct Finding {
    int64_t line = 0;
    std::string text;  // the line as typed
    std::string when;  // its date (and hour), or empty
    std::vector<std::pair<Fate, std::string>> reasons;
};

class Findings {
  public:
    static constexpr int64_t kListed = 200;

    // Counts a record with fate F and keeps it, with the reason REASON()
    // makes, while fewer than kListed records of that fate are kept.
    template <class Reason>
    void add(const RecordRef& r, Fate f, Reason&& reason) {
        const auto k = static_cast<size_t>(f);
        ++count_[k];
        if (kept_[k] >= kListed) return;
        ++kept_[k];
        keep(r).reasons.emplace_back(f, reason());
    }

    int64_t count(Fate f) const { return count_[static_cast<size_t>(f)]; }
    // True when every record of fate F is kept.
    bool complete(Fate f) const { return count_[static_cast<size_t>(f)] == kept_[static_cast<size_t>(f)]; }
    // The kept records by line.
    const std::map<int64_t, Finding>& rows() const { return rows_; }

  private:
    Finding& keep(const RecordRef& r);

    std::array<int64_t, kFateCount> count_{};
    std::array<int64_t, kFateCount> kept_{};
    std::map<int64_t, Finding> rows_;
};

}  // namespace weatherview
