#include "soildata/units.h"

#include <cmath>

namespace soildata {

namespace {
// cm of water per hPa: 100 Pa over rho g with rho = 1000 kg/m3 and
// g = 9.80665 m/s2.
constexpr double kCmPerHPa = 100.0 / 9.80665;
}  // namespace

std::optional<HeadUnit> head_unit(std::string_view name) {
    if (name == "cm") return HeadUnit::Cm;
    if (name == "hPa" || name == "hpa" || name == "mbar") return HeadUnit::HPa;
    if (name == "kPa" || name == "kpa") return HeadUnit::KPa;
    if (name == "m") return HeadUnit::M;
    if (name == "pF" || name == "pf") return HeadUnit::PF;
    return std::nullopt;
}

std::optional<ThetaUnit> theta_unit(std::string_view name) {
    if (name == "fraction" || name == "cm3/cm3" || name == "m3/m3") return ThetaUnit::Fraction;
    if (name == "percent" || name == "%") return ThetaUnit::Percent;
    return std::nullopt;
}

std::optional<ConductivityUnit> conductivity_unit(std::string_view name) {
    if (name == "cm/day" || name == "cm/d") return ConductivityUnit::CmPerDay;
    if (name == "cm/hr" || name == "cm/h") return ConductivityUnit::CmPerHour;
    if (name == "m/s") return ConductivityUnit::MPerSecond;
    if (name == "m/day" || name == "m/d") return ConductivityUnit::MPerDay;
    if (name == "mm/hr" || name == "mm/h") return ConductivityUnit::MmPerHour;
    if (name == "mm/day" || name == "mm/d") return ConductivityUnit::MmPerDay;
    return std::nullopt;
}

std::optional<AlphaUnit> alpha_unit(std::string_view name) {
    if (name == "1/cm") return AlphaUnit::PerCm;
    if (name == "1/m") return AlphaUnit::PerM;
    if (name == "1/hPa") return AlphaUnit::PerHPa;
    if (name == "1/kPa") return AlphaUnit::PerKPa;
    return std::nullopt;
}

std::string unit_name(HeadUnit u) {
    switch (u) {
        case HeadUnit::Cm:
            return "cm";
        case HeadUnit::HPa:
            return "hPa";
        case HeadUnit::KPa:
            return "kPa";
        case HeadUnit::M:
            return "m";
        case HeadUnit::PF:
            return "pF";
    }
    return "";
}

std::string unit_name(ThetaUnit u) {
    return u == ThetaUnit::Fraction ? "fraction" : "percent";
}

std::string unit_name(ConductivityUnit u) {
    switch (u) {
        case ConductivityUnit::CmPerDay:
            return "cm/day";
        case ConductivityUnit::CmPerHour:
            return "cm/hr";
        case ConductivityUnit::MPerSecond:
            return "m/s";
        case ConductivityUnit::MPerDay:
            return "m/day";
        case ConductivityUnit::MmPerHour:
            return "mm/hr";
        case ConductivityUnit::MmPerDay:
            return "mm/day";
    }
    return "";
}

std::string unit_name(AlphaUnit u) {
    switch (u) {
        case AlphaUnit::PerCm:
            return "1/cm";
        case AlphaUnit::PerM:
            return "1/m";
        case AlphaUnit::PerHPa:
            return "1/hPa";
        case AlphaUnit::PerKPa:
            return "1/kPa";
    }
    return "";
}

double head_to_cm(double value, HeadUnit unit) {
    switch (unit) {
        case HeadUnit::Cm:
            return std::fabs(value);
        case HeadUnit::HPa:
            return std::fabs(value) * kCmPerHPa;
        case HeadUnit::KPa:
            return std::fabs(value) * 10.0 * kCmPerHPa;
        case HeadUnit::M:
            return std::fabs(value) * 100.0;
        case HeadUnit::PF:
            return std::pow(10.0, value);
    }
    return value;
}

double theta_to_fraction(double value, ThetaUnit unit) {
    return unit == ThetaUnit::Percent ? value / 100.0 : value;
}

double conductivity_to_cm_per_day(double value, ConductivityUnit unit) {
    switch (unit) {
        case ConductivityUnit::CmPerDay:
            return value;
        case ConductivityUnit::CmPerHour:
            return value * 24.0;
        case ConductivityUnit::MPerSecond:
            return value * 100.0 * 86400.0;
        case ConductivityUnit::MPerDay:
            return value * 100.0;
        case ConductivityUnit::MmPerHour:
            return value * 2.4;
        case ConductivityUnit::MmPerDay:
            return value / 10.0;
    }
    return value;
}

double alpha_to_per_cm(double value, AlphaUnit unit) {
    switch (unit) {
        case AlphaUnit::PerCm:
            return value;
        case AlphaUnit::PerM:
            return value / 100.0;
        case AlphaUnit::PerHPa:
            return value / kCmPerHPa;
        case AlphaUnit::PerKPa:
            return value / (10.0 * kCmPerHPa);
    }
    return value;
}

}  // namespace soildata
