// Reference evapotranspiration by the Hargreaves-Samani equation (Hargreaves
// and Samani, 1985), as FAO-56 gives it (Allen et al., 1998, eq. 52), for
// when only air temperatures are measured.
#pragma once

namespace weatherimport {

// ET0 (mm/day) from TMAX and TMIN (degrees C) at LATITUDE (degrees) on day
// of year DOY. A day with Tmax below Tmin has no temperature range: 0 is
// taken for it (the checks list such days).
double hargreaves_et0(double tmax, double tmin, double latitude_deg, int doy);

}  // namespace weatherimport
