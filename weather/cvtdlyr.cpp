#include "weather/cvtdlyr.h"

#include "common/free_form.h"
#include "weather/calendar.h"
#include "weather/conversion.h"
#include "weather/messages.h"
#include "weather/rain_line.h"
#include "weather/weather_files.h"

namespace weather {

DaySpread spread_day(float rain, float factor, int32_t nhr) {
    DaySpread s;
    s.total = hundredths(rain, factor);
    s.per_hour = s.total / nhr;
    // (NHR-1) x PER_HOUR never exceeds TOTAL, so neither step overflows.
    s.last = s.total - (nhr - 1) * s.per_hour;
    return s;
}

int32_t CVTDLYR(common::Connection& in, common::Connection& out, std::string_view UNITS, int32_t STA, int32_t NHR,
                int32_t BEGHR, std::string& MSG) {
    // The sum is tested first, so BEGHR 30 with NHR 1 reports the total.
    if (static_cast<int64_t>(BEGHR) + NHR > 25) {
        MSG = msg::kTotalHours;
        return -1;
    }
    if (BEGHR < 1 || BEGHR > 24) {
        MSG = msg::kBeginHour;
        return -1;
    }
    if (NHR < 1 || NHR > 24) {
        MSG = msg::kSpreadHours;
        return -1;
    }
    float factor = 1.0f;
    if (!rain_factor(UNITS, factor)) {
        MSG = units_rejection(UNITS, "DR");
        return -1;
    }

    int32_t YEAR = 0, JDAY = 0, month = 0, mday = 0;
    float RAIN = 0.0f;
    // The first record only labels the buffer; the loop then reads it again
    // from its start, so a record that spans lines is read whole both times.
    const int64_t first = in.mark();
    if (common::read_free(in, {YEAR, JDAY, RAIN}) != common::ReadStatus::Done || !day_in_year(YEAR, JDAY)) {
        MSG = msg::kFirstRecord;
        return -1;
    }
    JDAYMD(YEAR, JDAY, month, mday);
    int32_t label_year = YEAR, label_month = month;
    in.seek(first);

    RainLine line(out, daily_rain_layout(), STA);
    while (!in.at_end()) {
        const common::ReadStatus st = common::read_free(in, {YEAR, JDAY, RAIN});
        if (st == common::ReadStatus::EndOfFile) break;  // trailing blank lines
        if (st != common::ReadStatus::Done || !day_in_year(YEAR, JDAY)) {
            MSG = msg::kLaterRecord;
            return -1;
        }
        if (!(RAIN > 0.0f)) continue;  // dry days and negative missing-value codes
        const DaySpread s = spread_day(RAIN, factor, NHR);
        JDAYMD(YEAR, JDAY, month, mday);
        if (month != label_month || YEAR != label_year) {
            if (line.size() > 0) line.write(label_year, label_month);
            label_year = YEAR;
            label_month = month;
        }
        for (int32_t i = 1; i <= NHR; ++i) {
            line.append(mday, BEGHR + i - 1, i == NHR ? s.last : s.per_hour);
            if (line.full()) line.write(label_year, label_month);
        }
    }
    if (line.size() > 0) line.write(label_year, label_month);
    return 0;
}

}  // namespace weather
