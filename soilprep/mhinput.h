// The model soil input file (.SIN): the title, the characteristic of one
// layer with pressure heads, the drained volume and upward flux against
// water-table depth, and the Green-Ampt parameters.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/connection.h"
#include "soilcalc/characteristic.h"

namespace soilprep {

inline constexpr int kSinDepths = 20;     // rows of drained volume and upward flux
inline constexpr int kSinGreenAmpt = 10;  // rows of Green-Ampt parameters

// The report file's tables as the soil input file takes them: the depths and
// fluxes of the upward-flux section, the volumes of the drained-volume
// section, the rows of the Green-Ampt section.
struct ReportTables {
    std::array<float, kSinDepths> depth{};                        // water-table depth (cm)
    std::array<float, kSinDepths> volume{};                       // drained volume (cm)
    std::array<float, kSinDepths> upflux{};                       // steady upward flux (cm/hr)
    std::array<float, kSinGreenAmpt> ga_depth{}, ga_a{}, ga_b{};  // depth (cm), A (cm2/hr), B (cm/hr)
};

// The values of the soil input file.
struct SinTables {
    std::string title = std::string(128, ' ');
    int32_t npts = 0;
    soilcalc::CurveColumn theta{};  // water content, wettest first
    soilcalc::CurveColumn head{};   // pressure head (cm, <= 0)
    ReportTables rows;              // the volumes raised where they do not rise
};

// The soil input file of layer soil.lsin from the report's tables. Returns an
// empty text, or the log line when the layer is not one of the profile or
// has more points than the file's two-column count holds.
std::string sin_checks(const soilcalc::SoilTable& soil);
SinTables MHINPUT(const soilcalc::SoilTable& soil, const ReportTables& report);

bool write_sin(common::Connection& sin, const SinTables& s);

}  // namespace soilprep
