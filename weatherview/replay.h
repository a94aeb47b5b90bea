// What METCONV does with each record, followed record by record: the same
// conversions (the converters' own functions), the same year blocks, rain
// lines and clock hours, the same stop at the first refused record. From it
// come the statements METCONV writes, in order, handed to a UnitSink (which
// compares them with the weather file), and the fate of every record that
// does not reach the weather file as typed, with the reason.
//
// A replay is made for one run's parameters. It is fed every record the
// input gives, refused ones included, then end(). Records after the one
// METCONV stops at are counted and marked as never converted.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "weatherview/day_marks.h"
#include "weatherview/findings.h"
#include "weatherview/order_check.h"
#include "weatherview/series_input.h"
#include "weatherview/weather_file_reader.h"

namespace weatherview {

// Takes the statements METCONV writes, in the order it writes them.
class UnitSink {
  public:
    virtual ~UnitSink() = default;
    virtual void unit(const FileUnit& u) = 0;
};

struct ReplaySetup {
    DataType type = DataType::Temperature;
    std::string UNITS;  // two characters, upper-cased, as METCONV holds them
    int32_t STA = 0;
    int32_t NHR = 0;  // daily rain only
    int32_t BEGHR = 0;
};

// True when V can be written in an integer field of W columns (1 to 16), as
// the weather file's writer edits it.
bool fits(int32_t v, int w);
// An input value as a person would type it: "2.5", "1e+30".
std::string value_text(float v);

class Replay {
  public:
    Replay(const ReplaySetup& setup, Findings& findings, DayMarks& marks, UnitSink& sink);
    virtual ~Replay() = default;

    // Follows one record of the input.
    void record(const InputRecord& r);
    // The input ended.
    void end();

    // What METCONV refuses before it reads a record (units without a
    // conversion factor, the spread of daily rain), or empty.
    const std::string& refusal() const { return refusal_; }
    // The line METCONV stops at, 0 when it reads to the end.
    int64_t stopped_at() const { return stopped_at_; }
    // METCONV's log line for this input: its normal end or its failure.
    const std::string& expected_log() const { return expected_log_; }
    // Records read, records refused, and good records never converted
    // because the run stopped (or was refused) before them.
    int64_t records() const { return records_; }
    int64_t refused() const { return refused_; }
    int64_t not_converted() const { return not_converted_; }

  protected:
    // A record that is not refused, before any stop. FIRST_LINE is the line
    // of an earlier record of the same day, or 0.
    virtual void take(const InputRecord& r, int64_t first_line) = 0;
    // The input ended without a stop: writes what is held.
    virtual void flush() = 0;
    // The run stopped at line STOP: what is held is never written.
    virtual void lose(int64_t stop) = 0;

    // A finding about a record, and its day's mark.
    template <class Reason>
    void note(const RecordRef& r, Fate f, Reason&& reason) {
        findings_->add(r, f, reason);
        if (changes_day(f) && r.jday != 0) marks_->mark(r.year, r.jday, DayMark::Changed);
    }
    void note(const RecordRef& r, Fate f, const std::string& reason) {
        note(r, f, [&] { return reason; });
    }
    static RecordRef ref(const InputRecord& r) { return OrderCheck::ref_of(r); }
    // METCONV stops at what it finds invalid only after reading on (an hour
    // of rain is summed until the next hour begins): AT is refused for WHY,
    // and NEXT, the record read on, if any, is never converted. Records
    // after it are followed as after any stop.
    void stop_after_reading(const RecordRef& at, const std::string& why, const InputRecord* next);
    // Hands on one rain line as METCONV writes it: the day of the month,
    // the hour and the amount (hundredths of an inch, I4) of each entry.
    template <class Entries>
    void write_rain_line(int32_t year, int32_t month, const Entries& entries) {
        FileUnit u;
        u.sta = setup_.STA;
        u.year = year;
        u.month = month;
        for (const auto& e : entries) {
            const int32_t v[3] = {e.mday, e.hour, e.amount};
            const uint8_t w[3] = {2, 2, kRainAmountColumns};
            for (int k = 0; k < 3; ++k) {
                u.value[u.n] = v[k];
                u.width[u.n] = w[k];
                ++u.n;
            }
        }
        sink_->unit(u);
    }
    static constexpr size_t kRainLineEntries = 12;  // entries per rain line
    static constexpr int kRainAmountColumns = 4;    // I4
    // The input's units as a person reads them: "inches", "degrees C", ...
    std::string units_words() const;

    ReplaySetup setup_;
    Findings* findings_;
    DayMarks* marks_;
    UnitSink* sink_;
    float factor_ = 1.0f;  // inches per input unit (rain and evapotranspiration)

  private:
    // The findings of a record whose line the free-form reading does not
    // take as it stands.
    void note_reading(const InputRecord& r);

    std::string refusal_;
    std::string expected_log_;
    OrderCheck order_;
    bool first_ = true;
    int64_t stopped_at_ = 0;
    int64_t records_ = 0, refused_ = 0, not_converted_ = 0;
};

// The replay of SETUP's converter.
std::unique_ptr<Replay> make_replay(const ReplaySetup& setup, Findings& findings, DayMarks& marks, UnitSink& sink);

// The reason a refused record is refused, in words.
std::string refusal_words(const InputRecord& r, DataType type);

}  // namespace weatherview
