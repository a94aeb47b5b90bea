// The upward-flux file (.UPQ): the title, every layer's tension-conductivity
// table as the upward-flux step uses it (tension in cm, rising; conductivity
// in cm/hr), and the water-table depth (cm) found for each steady upward
// flux (cm/hr). The caption and rows of depth and flux are written the same
// way in the report file's upward-flux section. The readers of both files
// read them through the layouts that wrote them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/connection.h"

namespace soilprep {

bool write_upq_title(common::Connection& upq, const std::string& title);
// One layer's heading, with its number and bottom depth (cm) as read, then
// its n rows of tension and conductivity.
bool write_upq_layer_head(common::Connection& upq, int32_t layer, float bottom);
bool write_upq_layer_rows(common::Connection& upq, int32_t n, const float* tension, const float* cond);
// "   DEPTH (CM)  UPFLUX (CM/HR) " and n rows of depth (cm) and flux (cm/hr).
bool write_flux_caption(common::Connection& c);
bool write_flux_rows(common::Connection& c, int n, const float* depth, const float* flux);

// Reading. True when `rec` (a record without its line end) is the caption
// of the depths and fluxes.
bool is_flux_caption(std::string_view rec);
// Reads up to n rows of depth (cm) and flux (cm/hr) after the caption; the
// number of rows read, fewer at the end of the file or at a record that is
// not such a row.
int read_flux_rows(common::Connection& c, int n, float* depth, float* flux);

// The water table (cm below the reference level) found for each upward
// flux (cm/hr), in the order of the file: largest flux first.
inline constexpr int kUpqFluxes = 21;
struct UpqFluxes {
    std::string title = std::string(80, ' ');
    int32_t rows = 0;  // rows read
    std::array<float, kUpqFluxes> depth{};
    std::array<float, kUpqFluxes> flux{};
};
// Reads the title and the 21 rows of depth and flux; the layer tables are
// stepped over. False when the caption or a row is missing: the rows read
// before stay in `t`.
bool read_upq(common::Connection& upq, UpqFluxes& t);

}  // namespace soilprep
