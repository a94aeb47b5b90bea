// The daily quantities an import reads, in the units it holds them in
// after reading: temperatures in degrees C, rain and PET in mm per day,
// relative humidity in percent, wind speed in m/s at the height it was
// measured, solar radiation in MJ/m2/day, sunshine in hours per day.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace weatherimport {

enum class Quantity : size_t {
    Tmax,      // daily maximum air temperature (degrees C)
    Tmin,      // daily minimum air temperature (degrees C)
    Rain,      // daily rain (mm)
    Pet,       // daily potential evapotranspiration (mm)
    Tdew,      // dew-point temperature (degrees C)
    RhMax,     // daily maximum relative humidity (%)
    RhMin,     // daily minimum relative humidity (%)
    RhMean,    // daily mean relative humidity (%)
    Wind,      // mean wind speed at the stated height (m/s)
    Solar,     // incoming solar radiation (MJ/m2/day)
    Sunshine,  // actual duration of sunshine (hours)
};
inline constexpr size_t kQuantities = 11;

// "tmax", "tmin", "rain", "pet", "tdew", "rh-max", "rh-min", "rh-mean",
// "wind", "solar", "sunshine".
std::string_view quantity_name(Quantity q);

inline size_t index(Quantity q) {
    return static_cast<size_t>(q);
}

}  // namespace weatherimport
