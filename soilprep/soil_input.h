// The main input file of a soil, read into numbers: the title, the layers of
// either form and the closing record. Reading stops at the first record that
// does not read or that holds what no layer can have; the layers read before
// it are kept, so that the run handles them as it would have before meeting
// the failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/connection.h"
#include "soilcalc/characteristic.h"
#include "soilcalc/mhgenuch.h"
#include "soilprep/soil_stop.h"

namespace soilprep {

// A layer of measured points: the header and the points as given.
struct MeasuredLayerInput {
    int32_t n = 0;                  // points
    float ksat = 0.0f;              // saturated conductivity (cm/hr)
    float zbot = 0.0f;              // bottom depth (cm)
    soilcalc::CurveColumn theta{};  // water content, wettest first
    soilcalc::CurveColumn head{};   // head (cm), as a suction or a negative pressure head
};

// A layer of van Genuchten parameters.
struct VgLayerInput {
    float zbot = 0.0f;  // bottom depth (cm)
    soilcalc::VanGenuchten vg;
    float ks = 0.0f;  // saturated conductivity (cm/day)
};

struct SoilInput {
    std::string title = std::string(128, ' ');  // line 1, control characters blanked
    int32_t nlayer = 0;
    bool van_genuchten = false;
    std::vector<MeasuredLayerInput> measured;  // the layers that read, measured form
    std::vector<VgLayerInput> vg;              // the layers that read, van Genuchten form
    bool closing_read = false;                 // GADEPTH ROOTDEPTH LSIN read
    float gadepth = 0.0f, rootdepth = 0.0f;    // cm
    int32_t lsin = 0;

    // Where reading stopped short, if it did: at the layer count, in layer
    // `failed_layer` (0-based: the number of layers read), or at the closing
    // record. `failure` holds the log line, or is empty for a record that
    // does not read (the read-error line names the file).
    enum class Stop : uint8_t { None, Head, Layer, Closing } stop = Stop::None;
    std::string failure;
    bool overlong = false;  // the record that did not read is longer than a line may be

    size_t layers_read() const { return van_genuchten ? vg.size() : measured.size(); }
};

// Reads the head of the main input from `in`, standing at its start: the
// title and NLAYER, VGFLAG. Returns the stop of a head that is missing or
// does not read or gives no possible layer count (the line as it stands,
// naming the file `infile`; empty when the head is sound).
SoilStop read_input_head(common::Connection& in, const std::string& infile, int32_t& vgflag);

// Reads the whole main input from `in`, standing at its start; vgflag tells
// the form (0: measured points).
SoilInput read_soil_input(common::Connection& in, int32_t vgflag);

}  // namespace soilprep
