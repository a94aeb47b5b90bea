// The main input file of a PEDOPRE run, read only: the title, the form of
// the layers, each layer's record and the closing record, read in free form
// exactly as the run reads them. Nothing is written.
//
// Line 2 gives NLAYER and VGFLAG; the layer records are then read from the
// start again with NLAYER alone taken from line 2, as the run's readers do,
// so an input whose line 2 lacks VGFLAG reads here as it read there.
// Measured points: per layer NPTS KSAT ZBOT (KSAT in cm/hr, ZBOT in cm) and
// NPTS pairs of water content and head (cm, as given). Van Genuchten: per
// layer ZBOT theta_r theta_s alpha n Ks K0 l (alpha in 1/cm, Ks and K0 in
// cm/day). Closing record: GADEPTH ROOTDEPTH LSIN (cm, cm, layer).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/connection.h"
#include "soilcalc/mhgenuch.h"

namespace soilview {

enum class InputForm : uint8_t { Measured, VanGenuchten };

struct InputLayer {
    float zbot = 0.0f;  // bottom depth (cm)
    // Measured points: the saturated conductivity (cm/hr) and the points as
    // given, wettest first (water content; head in cm with its sign).
    float ksat = 0.0f;
    std::vector<float> theta, head;
    // Van Genuchten: the parameters (k0 in cm/day) and Ks (cm/day).
    soilcalc::VanGenuchten vg{};
    float ks = 0.0f;
};

struct MainInput {
    std::string title;  // line 1, without trailing blanks
    int32_t nlayer = 0;
    InputForm form = InputForm::Measured;
    std::vector<InputLayer> layers;  // the layers read, from the top
    bool closing_read = false;
    float gadepth = 0.0f;    // depth of top soil for Green-Ampt B (cm)
    float rootdepth = 0.0f;  // half the maximum root depth (cm)
    int32_t lsin = 0;        // layer written to the soil input file
    // Empty when every record read; else what could not be read, as a
    // sentence ("Layer 3 does not read.").
    std::string problem;
};

// Reads the main input from the start of `in`.
MainInput read_main_input(common::Connection& in);

}  // namespace soilview
