// The conductivity file (.MQ): written once per run, by the conductivity
// step of either input form, and read back by the upward-flux and the
// Green-Ampt steps. Its layouts, limits, writers and readers are all here.
//
// Records: the title (80 columns); " NUMBER OF LAYERS=" and the count in
// columns 20-21; per layer a caption, a header with the row count (columns
// 2-3), the layer conductivity (cm/hr, columns 4-11) and the bottom depth
// (cm, columns 12-21), a column caption and the rows, driest first: water
// content (columns 1-10), pressure head (cm, zero or negative, columns
// 21-30) and conductivity (cm/hr, columns 36-50); then the summary of the
// wetting-front suctions (an empty record, a caption, one row per layer);
// last, an empty record and the free-form record GADEPTH ROOTDEPTH LSIN.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/connection.h"
#include "common/values.h"
#include "soilcalc/characteristic.h"
#include "soilcalc/conductivity.h"

namespace soilprep {

// Writing, in the order of the file: the title (its first 80 columns), the
// layer count, per layer the header and the rows, the summary and the
// closing record.
bool write_mq_title(common::Connection& mq, const std::string& title);
bool write_mq_count(common::Connection& mq, int32_t nlayer);
// A layer's caption, its header with the row count, the layer conductivity
// k_header (cm/hr) and the bottom depth zbot (cm), and the column caption.
bool write_mq_layer_head(common::Connection& mq, int32_t rows, float k_header, float zbot);
// The rows of water content, pressure head (cm, <= 0) and conductivity
// (cm/hr), driest first.
bool write_mq_rows(common::Connection& mq, int32_t rows, const soilcalc::CurveColumn& theta,
                   const soilcalc::CurveColumn& head, const soilcalc::CurveColumn& cond);
// The summary of the wetting-front suctions (cm) and the closing record. The
// measured-points form writes the summary in one statement, which leaves an
// empty record after it; the van Genuchten form writes its rows one by one
// and an empty free-form record (one blank) before the closing record.
// Readers skip both alike.
enum class MqForm : uint8_t { Measured, VanGenuchten };
bool write_mq_summary(common::Connection& mq, MqForm form, int32_t nlayer, const float* zbot, const float* swf);
bool write_mq_closing(common::Connection& mq, MqForm form, float gadepth, float rootdepth, int32_t lsin);

// Reading: the tables of soilcalc/conductivity.h.
soilcalc::MqRead read_mq(common::Connection& mq, soilcalc::MqTables& t, soilcalc::MqColumns columns);

}  // namespace soilprep
