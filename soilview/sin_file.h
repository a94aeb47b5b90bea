// The model's soil input file (.SIN) as PEDOVIEW reads it: the title, the
// soil water characteristic of one layer (water content, pressure head in
// cm, zero or negative, wettest first), 20 rows of water-table depth (cm),
// drained volume (cm) and steady upward flux (cm/hr), and 10 rows of
// water-table depth (cm), Green-Ampt A (cm2/hr) and B (cm/hr). Each record
// is read through the layout that wrote it, so every value is the one the
// model reads: volumes to 0.001 cm, fluxes to 0.0001 cm/hr, A and B to 0.01.
//
//   (A80)                   title
//   (2I2)                   point count, then 20
//   (F10.3,F10.0)           one record per point
//   (F10.1,F10.3,F10.4)     20 records of depth, volume, flux
//   (I2)                    10
//   (F10.1,F10.2,F10.2)     10 records of depth, A, B
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/connection.h"

namespace soilview {

inline constexpr int kSinDepths = 20;
inline constexpr int kSinGreenAmpt = 10;

struct SinTables {
    std::string title;
    std::vector<float> theta, head;  // the characteristic, wettest first
    int32_t depth_rows = 0;          // rows of depth, volume and flux read
    std::array<float, kSinDepths> depth{}, volume{}, upflux{};
    int32_t green_ampt_rows = 0;  // Green-Ampt rows read
    std::array<float, kSinGreenAmpt> ga_depth{}, ga_a{}, ga_b{};
};

// The first part that is missing or does not read, or Done.
enum class SinPart : uint8_t { Done, Title, Counts, Points, Depths, GreenAmptCount, GreenAmpt };

// Reads the file from its start; what was read before a failure stays in
// `t`. `problem` then says what was found, as a sentence.
SinPart read_sin(common::Connection& c, SinTables& t, std::string& problem);

}  // namespace soilview
