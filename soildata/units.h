// The units people write soil data in, and their conversion into the units
// the main input file takes: suction in cm of water, water content as a
// volume fraction, conductivity in cm/day (cm/hr for measured points).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace soildata {

enum class HeadUnit { Cm, HPa, KPa, M, PF };
enum class ThetaUnit { Fraction, Percent };
enum class ConductivityUnit { CmPerDay, CmPerHour, MPerSecond, MPerDay, MmPerHour, MmPerDay };
enum class AlphaUnit { PerCm, PerM, PerHPa, PerKPa };

// The unit named NAME ("cm", "hPa", "kPa", "m", "pF"; "fraction", "percent"
// or "%"; "cm/day", "cm/hr", "m/s", "m/day", "mm/hr", "mm/day"; "1/cm",
// "1/m", "1/hPa", "1/kPa"), or nothing for a name not known.
std::optional<HeadUnit> head_unit(std::string_view name);
std::optional<ThetaUnit> theta_unit(std::string_view name);
std::optional<ConductivityUnit> conductivity_unit(std::string_view name);
std::optional<AlphaUnit> alpha_unit(std::string_view name);

std::string unit_name(HeadUnit u);
std::string unit_name(ThetaUnit u);
std::string unit_name(ConductivityUnit u);
std::string unit_name(AlphaUnit u);

// Suction in cm of water (1 hPa = 1.0197 cm of water at 4 degC; pF is
// log10 of the suction in cm). Heads given negative are taken as suctions.
double head_to_cm(double value, HeadUnit unit);
double theta_to_fraction(double value, ThetaUnit unit);
double conductivity_to_cm_per_day(double value, ConductivityUnit unit);
double alpha_to_per_cm(double value, AlphaUnit unit);

}  // namespace soildata
