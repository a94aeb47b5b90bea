#include "weather/cvtet.h"

#include "common/free_form.h"
#include "common/layout.h"
#include "weather/conversion.h"
#include "weather/year_block.h"

namespace metconv {

int32_t CVTET(common::Connection& in, common::Connection& out, std::string_view UNITS, int32_t STA,
              std::string& MSG) {
    // STA, year, month; days 1-14 in hundredths of an inch on the first line,
    // 15 to the month's end on the second.
    static const common::Layout kMonth("(I6,1X,I4,I2,3X,14(1X,I3),/,17(1X,I3))");
    float factor = 1.0f;
    if (!rain_factor(UNITS, factor)) {
        MSG = units_rejection(UNITS, "ET");
        return -1;
    }
    float ETP = 0.0f;
    return convert_daily(in, out, kMonth, STA, 1, MSG, [&](int32_t& year, int32_t& jday, int32_t* v) {
        const common::ReadStatus st = common::read_free(in, {year, jday, ETP});
        v[0] = hundredths(ETP, factor);
        return st;
    });
}

}  // namespace metconv
