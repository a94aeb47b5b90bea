#include "weather/cvtet.h"

#include "common/free_form.h"
#include "weather/conversion.h"
#include "weather/weather_files.h"
#include "weather/year_block.h"

namespace weather {

int32_t evapotranspiration_cell(float value, float factor) {
    return daily_value(value, [&](float v) { return hundredths(v, factor); });
}

int32_t CVTET(common::Connection& in, common::Connection& out, std::string_view UNITS, int32_t STA, std::string& MSG) {
    float factor = 1.0f;
    if (!rain_factor(UNITS, factor)) {
        MSG = units_rejection(UNITS, "ET");
        return -1;
    }
    float ETP = 0.0f;
    return convert_daily(in, out, evapotranspiration_layout(), STA, 1, MSG,
                         [&](int32_t& year, int32_t& jday, int32_t* v) {
                             const common::ReadStatus st = common::read_free(in, {year, jday, ETP});
                             v[0] = evapotranspiration_cell(ETP, factor);
                             return st;
                         });
}

}  // namespace weather
