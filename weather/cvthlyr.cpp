#include "weather/cvthlyr.h"

#include "common/free_form.h"
#include "weather/calendar.h"
#include "weather/conversion.h"
#include "weather/messages.h"
#include "weather/rain_line.h"
#include "weather/weather_files.h"

namespace weather {

bool place_reading(int32_t year, float daytime, ClockHour& h) {
    // Only a DAYTIME from 1 to 367 can land inside a year; anything far
    // outside is rejected before it is turned into a whole day.
    if (!(daytime >= 0.0f && daytime < 1000.0f)) return false;
    int32_t jday = static_cast<int32_t>(daytime);
    // The fraction of the day and the minutes are formed in double precision.
    int32_t minute = round_nearest((static_cast<double>(daytime) - static_cast<double>(jday)) * 1440.0);
    if (minute == 0) {
        minute = 1440;
        jday -= 1;
        if (jday == 0) {
            if (year == INT32_MIN) return false;
            year -= 1;
            jday = YEARDAYS(year);
        }
    }
    // Readings come many to a day: the month and day of the month are only
    // worked out again when the day changes.
    if (h.month == 0 || jday != h.jday || year != h.year) {
        if (!day_in_year(year, jday)) return false;
        JDAYMD(year, jday, h.month, h.mday);
        h.jday = jday;
        h.year = year;
    }
    h.hour = minute / 60 + (minute % 60 != 0 ? 1 : 0);
    return true;
}

int32_t CVTHLYR(common::Connection& in, common::Connection& out, std::string_view UNITS, int32_t STA,
                std::string& MSG) {
    float factor = 1.0f;
    if (!rain_factor(UNITS, factor)) {
        MSG = units_rejection(UNITS, "HR");
        return -1;
    }

    int32_t YEAR = 0;
    float DAYTIME = 0.0f, RAIN = 0.0f;
    ClockHour cur, reading;
    if (common::read_free(in, {YEAR, DAYTIME, RAIN}) != common::ReadStatus::Done ||
        !place_reading(YEAR, DAYTIME, cur)) {
        MSG = msg::kFirstRecord;
        return -1;
    }
    float sum = RAIN;  // rain of the current hour, in UNITS

    RainLine line(out, hourly_rain_layout(), STA);
    while (!in.at_end()) {
        const common::ReadStatus st = common::read_free(in, {YEAR, DAYTIME, RAIN});
        if (st == common::ReadStatus::EndOfFile) break;  // trailing blank lines
        if (st != common::ReadStatus::Done || !place_reading(YEAR, DAYTIME, reading)) {
            MSG = msg::kLaterRecord;
            return -1;
        }
        // Same hour of the same day of the year: one more reading to add.
        // The year is not compared.
        if (reading.hour == cur.hour && reading.jday == cur.jday) {
            sum += RAIN;
        } else {
            const int32_t amount = hundredths(sum, factor);
            if (!hour_amount_valid(amount)) {
                MSG = msg::kLaterRecord;
                return -1;
            }
            line.append(cur.mday, cur.hour, amount);
            if (line.full() || reading.month != cur.month || reading.year != cur.year) line.write(cur.year, cur.month);
            sum = RAIN;
        }
        cur = reading;
    }
    const int32_t amount = hundredths(sum, factor);
    if (!hour_amount_valid(amount)) {
        MSG = msg::kLaterRecord;
        return -1;
    }
    line.append(cur.mday, cur.hour, amount);
    line.write(cur.year, cur.month);
    return 0;
}

}  // namespace weather
