#include "weather/conversion.h"

#include "weather/calendar.h"
#include "weather/messages.h"

namespace weather {

bool rain_factor(std::string_view units, float& factor) {
    if (units == "IN")
        factor = 1.0f;
    else if (units == "CM")
        factor = 2.54f;
    else if (units == "MM")
        factor = 25.4f;
    else
        return false;
    return true;
}

std::string units_rejection(std::string_view units, std::string_view type) {
    return msg::unknown_units(units, type);
}

bool day_in_year(int32_t year, int32_t jday) {
    return jday >= 1 && jday <= YEARDAYS(year);
}

}  // namespace weather
