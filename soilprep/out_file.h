// The report file (.OUT): three sections, each under a caption line whose
// first character is "@", written by the drained-volume, upward-flux and
// Green-Ampt steps in that order, and read back by the assembly of the soil
// input file, and by the report programs. Notices of the upward-flux step
// stand ahead of its caption; read_out_report keeps them. Writers and
// readers share the layouts of the records.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/connection.h"

namespace soilprep {

inline constexpr int kOutDepths = 20;     // rows of the drained-volume and flux sections
inline constexpr int kOutGreenAmpt = 10;  // rows of the Green-Ampt section

// The drained-volume section: two heading lines, then rows of water-table
// depth (cm) and drained volume (cm).
bool write_out_volume_head(common::Connection& out);
bool write_out_volume_row(common::Connection& out, float depth, float volume);

// Notices of the upward-flux integration for the flux q (cm/hr) and layer
// (1-based): the tension carried into a layer (cm) reduced to its driest
// tension; the water table below the bottom of a layer; the bisection that
// cannot find the tension at a layer bottom.
bool write_out_reduction_notice(common::Connection& c, float q, int32_t layer, float tension, float reduced);
bool write_out_below_bottom_notice(common::Connection& c, float q, int32_t layer);
bool write_out_cannot_find_notice(common::Connection& c, float q, int32_t layer);
// The upward-flux section's caption with half the maximum root depth (cm);
// the depth caption and rows follow (see upq_file.h).
bool write_out_root_zone_caption(common::Connection& out, float root_depth);

// The Green-Ampt section: its caption with the depth of top soil (cm), then
// one free-form row per water-table depth: depth (cm), A (cm2/hr), B (cm/hr).
bool write_out_green_ampt(common::Connection& out, float gadepth, const float* depth, const float* a, const float* b);

// A notice of the upward-flux step as read back: the flux q (cm/hr), the
// layer (1-based), and for a reduction the tension carried into the layer
// and the layer's driest tension (cm). A line between the sections that is
// none of them is kept as it stands.
struct OutNotice {
    enum class Kind : uint8_t { Reduction, BelowBottom, CannotFind, Other } kind;
    float q = 0.0f;
    int32_t layer = 0;
    float tension = 0.0f;
    float reduced = 0.0f;
    std::string text;  // Other: the line
};

// The report file as the report programs read it: each section on its own
// depths, with the values of its caption and the notices.
struct OutReport {
    int32_t volume_rows = 0, flux_rows = 0, green_ampt_rows = 0;  // rows read
    std::array<float, kOutDepths> volume_depth{};                 // water-table depth (cm)
    std::array<float, kOutDepths> volume{};                       // drained volume (cm)
    std::array<float, kOutDepths> flux_depth{};                   // water-table depth below the reference level (cm)
    std::array<float, kOutDepths> upflux{};                       // steady upward flux (cm/hr)
    std::array<float, kOutGreenAmpt> ga_depth{};                  // water-table depth (cm)
    std::array<float, kOutGreenAmpt> ga_a{};                      // A (cm2/hr)
    std::array<float, kOutGreenAmpt> ga_b{};                      // B (cm/hr)
    float rootdepth = 0.0f;  // half the maximum root depth of the flux caption (cm)
    bool rootdepth_read = false;
    float gadepth = 0.0f;  // depth of top soil of the Green-Ampt caption (cm)
    std::vector<OutNotice> notices;
};

// The first section that is missing or not complete, or Done.
enum class OutPart : uint8_t { Done, Volume, Flux, GreenAmpt };

// Reads the three sections and the notices between the first two from the
// start of the file. A notice is recognised when writing the values read
// from its lines through its layout gives those lines back. What was read
// before a failure stays in `t`.
OutPart read_out_report(common::Connection& out, OutReport& t);

}  // namespace soilprep
