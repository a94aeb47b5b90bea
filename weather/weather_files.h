// The record layouts of the weather files that METCONV writes, in one place:
// the converters write through them and the report program reads the files
// back through them, so both always agree on every column.
//
// Each function returns a layout parsed once, on its first use.
//
//   .TEM  one statement of two lines per month: station, year, month, then
//         the two temperatures of each day in whole degrees F (I3 each)
//   .PET  one statement of two lines per month: station, year, month, then
//         the potential evapotranspiration of each day in hundredths of an
//         inch (1X,I3 each)
//   .RAI  lines of up to twelve hourly entries of one month: station, year,
//         month, then day of the month, hour 1-24 and rain in hundredths of
//         an inch (I2,I2,I4) per entry; the daily-rain and the hourly-rain
//         converter write the year in different items with the same columns
//         for years of up to four digits
#pragma once

#include <string>

#include "common/layout.h"

namespace weather {

// .TEM: "(I6,1X,I4,I2,5X,28I3,/,34I3)".
const common::Layout& temperature_layout();
// .PET: "(I6,1X,I4,I2,3X,14(1X,I3),/,17(1X,I3))".
const common::Layout& evapotranspiration_layout();
// .RAI from daily rain: "(I6,1X,I4,I2,1X,12(I2,I2,I4))".
const common::Layout& daily_rain_layout();
// .RAI from hourly rain: "(I6,I5,I2,1X,12(I2,I2,I4))".
const common::Layout& hourly_rain_layout();

// The name of the report page of the weather file WEATHER_FILE: the file's
// name with ".html" added ("site07.RAI" gives "site07.RAI.html"), so that
// the pages of one site's rain, temperatures and evapotranspiration, and
// its soil page ("site07.html"), never share a name. METVIEW names its page
// through this, and so does anything that runs METVIEW or looks for its
// pages.
std::string page_name(const std::string& weather_file);

}  // namespace weather
