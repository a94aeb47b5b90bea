// The report file (.OUT): three sections, each under a caption line whose
// first character is "@", written by the drained-volume, upward-flux and
// Green-Ampt steps in that order, and read back by the assembly of the soil
// input file. Notices of the upward-flux step stand ahead of its caption;
// the reader steps over them.
#pragma once

#include <array>
#include <cstdint>

#include "common/connection.h"

namespace pedopre {

inline constexpr int kOutDepths = 20;  // rows of the drained-volume and flux sections
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
bool write_out_green_ampt(common::Connection& out, float gadepth, const float* depth, const float* a,
                          const float* b);

// The three tables as read back.
struct OutTables {
    std::array<float, kOutDepths> depth{};   // water-table depth (cm)
    std::array<float, kOutDepths> volume{};  // drained volume (cm)
    std::array<float, kOutDepths> upflux{};  // steady upward flux (cm/hr)
    std::array<float, kOutGreenAmpt> ga1{}, ga2{}, ga3{};  // depth (cm), A (cm2/hr), B (cm/hr)
};

// Reads the three sections from the start of the file. The depths of the
// flux section replace those of the drained-volume section. False when a
// section is missing or does not read.
bool read_out(common::Connection& out, OutTables& t);

}  // namespace pedopre
