#include "weather/weather_files.h"

namespace weather {

const common::Layout& temperature_layout() {
    // STA, year, month; days 1-14 as T1,T2 pairs in degrees F; then days 15
    // to the month's end.
    static const common::Layout kMonth("(I6,1X,I4,I2,5X,28I3,/,34I3)");
    return kMonth;
}

const common::Layout& evapotranspiration_layout() {
    // STA, year, month; days 1-14 in hundredths of an inch on the first line,
    // 15 to the month's end on the second.
    static const common::Layout kMonth("(I6,1X,I4,I2,3X,14(1X,I3),/,17(1X,I3))");
    return kMonth;
}

const common::Layout& daily_rain_layout() {
    static const common::Layout kLine("(I6,1X,I4,I2,1X,12(I2,I2,I4))");
    return kLine;
}

const common::Layout& hourly_rain_layout() {
    // The year as I5 takes the blank of column 7 that the daily line writes
    // with 1X.
    static const common::Layout kLine("(I6,I5,I2,1X,12(I2,I2,I4))");
    return kLine;
}

std::string page_name(const std::string& weather_file) {
    return weather_file + ".html";
}

}  // namespace weather
