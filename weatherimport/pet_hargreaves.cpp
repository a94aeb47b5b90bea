#include "weatherimport/pet_hargreaves.h"

#include <algorithm>
#include <cmath>

#include "weatherimport/solar.h"

namespace weatherimport {

double hargreaves_et0(double tmax, double tmin, double latitude_deg, int doy) {
    // ET0 = 0.0023 (Tmean + 17.8) (Tmax - Tmin)^0.5 Ra, with Ra as
    // evaporation equivalent: 0.408 mm per MJ/m2 (FAO-56 eqs. 20, 52).
    const double tmean = (tmax + tmin) / 2.0;
    const double ra_mm = 0.408 * extraterrestrial_radiation(latitude_deg, doy);
    // Below a mean of -17.8 C the equation turns negative: no evaporation
    // is taken there.
    return 0.0023 * std::max(tmean + 17.8, 0.0) * std::sqrt(std::max(tmax - tmin, 0.0)) * ra_mm;
}

}  // namespace weatherimport
