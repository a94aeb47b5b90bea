// Extraterrestrial radiation and day length for daily periods, from
// latitude and day of the year (Allen, Pereira, Raes and Smith, 1998, FAO
// Irrigation and Drainage Paper 56, chapter 3, equations 21 to 25 and 34).
// Defined at every latitude: inside the polar circles the argument of the
// sunset hour angle is held to [-1, 1], so polar night gives 0 and polar
// day 24 hours of daylight.
#pragma once

namespace weatherimport {

// Solar declination (rad), FAO-56 eq. 24, for day of year J.
double solar_declination(int doy);
// Inverse relative distance Earth-Sun, FAO-56 eq. 23.
double inverse_relative_distance(int doy);
// Sunset hour angle (rad), FAO-56 eq. 25, LATITUDE in degrees.
double sunset_hour_angle(double latitude_deg, int doy);
// Extraterrestrial radiation Ra (MJ/m2/day), FAO-56 eq. 21.
double extraterrestrial_radiation(double latitude_deg, int doy);
// Daylight hours N (hours), FAO-56 eq. 34.
double daylight_hours(double latitude_deg, int doy);

}  // namespace weatherimport
