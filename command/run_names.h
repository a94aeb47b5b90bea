// The names of the pages a batch makes: a viewer's page is named after the
// file it draws, with .html after that file's whole name, so that the soil
// page and the weather pages of one site never share a name:
//
//   site07/soil.SIN   ->  site07/soil.SIN.html   (PEDOVIEW)
//   site07/temps.TEM  ->  site07/temps.TEM.html  (METVIEW)
//   site07/rain.RAI   ->  site07/rain.RAI.html   (METVIEW)
#pragma once

#include <string>

namespace command {

// The page drawn from DRAWN (the soil input file .SIN of a PEDOPRE run, the
// weather file of a METCONV run), in the same folder.
std::string page_name(const std::string& drawn);

}  // namespace command
