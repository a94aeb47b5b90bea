#include "weather/cvttmp.h"

#include "common/free_form.h"
#include "weather/conversion.h"
#include "weather/weather_files.h"
#include "weather/year_block.h"

namespace weather {

int32_t convert_temperature(float t, bool fahrenheit) {
    if (fahrenheit) return round_nearest(static_cast<double>(t));
    // 1.8 is the single-precision constant (1.7999999523162842); the product
    // and the sum are formed in double precision.
    return round_nearest(static_cast<double>(t) * static_cast<double>(1.8f) + 32.0);
}

int32_t temperature_cell(float t, bool fahrenheit) {
    return daily_value(t, [&](float v) { return convert_temperature(v, fahrenheit); });
}

int32_t CVTTMP(common::Connection& in, common::Connection& out, std::string_view UNITS, int32_t STA, std::string& MSG) {
    const bool fahrenheit = UNITS == "DF";
    // The values keep their last reading when a record leaves them out.
    float T1 = 0.0f, T2 = 0.0f;
    return convert_daily(in, out, temperature_layout(), STA, 2, MSG, [&](int32_t& year, int32_t& jday, int32_t* v) {
        const common::ReadStatus st = common::read_free(in, {year, jday, T1, T2});
        v[0] = temperature_cell(T1, fahrenheit);
        v[1] = temperature_cell(T2, fahrenheit);
        return st;
    });
}

}  // namespace weather
