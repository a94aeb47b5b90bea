// The upward-flux file (.UPQ): the title, every layer's tension-conductivity
// table as the upward-flux step uses it (tension in cm, rising; conductivity
// in cm/hr), and the water-table depth (cm) found for each steady upward
// flux (cm/hr). The caption and rows of depth and flux are written the same
// way in the report file's upward-flux section.
#pragma once

#include <cstdint>
#include <string>

#include "common/connection.h"

namespace pedopre {

bool write_upq_title(common::Connection& upq, const std::string& title);
// One layer's heading, with its number and bottom depth (cm) as read, then
// its n rows of tension and conductivity.
bool write_upq_layer_head(common::Connection& upq, int32_t layer, float bottom);
bool write_upq_layer_rows(common::Connection& upq, int32_t n, const float* tension, const float* cond);
// "   DEPTH (CM)  UPFLUX (CM/HR) " and n rows of depth (cm) and flux (cm/hr).
bool write_flux_caption(common::Connection& c);
bool write_flux_rows(common::Connection& c, int n, const float* depth, const float* flux);

}  // namespace pedopre
