// One layer's unsaturated conductivity on water-content steps of 0.01, as
// both input forms compute it: the block the conductivity file (.MQ) and the
// suction-integral file (.SAV) hold for the layer.
#pragma once

#include <cstdint>

#include "soilcalc/characteristic.h"
#include "soilcalc/sav1.h"

namespace soilcalc {

struct ConductivityLayer {
    int32_t rows = 0;        // rows of the table, driest first
    float k_header = 0.0f;   // layer conductivity of the header (cm/hr)
    float zbot = 0.0f;       // bottom depth (cm)
    float ksat = 0.0f;       // saturated conductivity (cm/hr)
    CurveColumn theta{};     // water content
    CurveColumn head{};      // pressure head (cm, <= 0)
    CurveColumn cond{};      // conductivity (cm/hr)
    CurveColumn sav_head{};  // the heads the wetting-front integral ran over (cm)
    WettingFront front;      // the integral of relative conductivity over suction
};

}  // namespace soilcalc
