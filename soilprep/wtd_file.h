// The listing file (.WTD): the title, the notices of the characteristic's
// repairs, the drained-volume step's echo of its inputs and its table of
// drained volume and drainable porosity every 10 cm of water-table depth.
// Every record of the file is written here, and read back here for the
// report programs, through the same layouts.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/connection.h"

namespace soilprep {

// "TITLE: " and the first 80 columns of the title.
bool write_wtd_title(common::Connection& wtd, const std::string& title);
// The notice that a layer's first point was not at saturation.
bool write_no_saturated_notice(common::Connection& wtd);
// The five lines that tell that a layer's curve was extended to 1000 cm.
bool write_extended_notice(common::Connection& wtd, int32_t layer);

// The drained-volume step's echo of its inputs: the layer count and the
// bottom depths as given (cm), then the grid of `steps` steps of `dz` cm.
bool write_wtd_inputs(common::Connection& wtd, int32_t nlayer, const float* zbot);
bool write_wtd_grid(common::Connection& wtd, int32_t steps, float dz);
// One layer's characteristic: suction (cm) and water content of each point.
bool write_wtd_layer(common::Connection& wtd, int32_t layer, int32_t n, const float* head, const float* theta);
// The heading of the table, then one row: water-table depth (cm), drained
// volume (cm) and drainable porosity (cm/cm).
bool write_wtd_table_head(common::Connection& wtd);
bool write_wtd_table_row(common::Connection& wtd, float depth, float volume, float porosity);

// Reading. The table has one row every 10 cm from 0 to 1000 cm.
inline constexpr int kWtdRows = 101;

// A notice of the listing: a layer given a saturated point (the notice does
// not name the layer), a layer whose characteristic was extended to a
// suction of 1000 cm, or a line between the title and the inputs that is
// neither (kept as it stands).
struct WtdNotice {
    enum class Kind : uint8_t { NoSaturatedPoint, ExtendedTo1000, Other } kind;
    int32_t layer = 0;  // ExtendedTo1000: the layer (1-based)
    std::string text;   // Other: the line
};

struct WtdListing {
    std::string title = std::string(80, ' ');
    std::vector<WtdNotice> notices;          // in the order of the file
    int32_t rows = 0;                        // rows of the table read
    std::array<float, kWtdRows> depth{};     // water-table depth (cm)
    std::array<float, kWtdRows> volume{};    // drained volume (cm)
    std::array<float, kWtdRows> porosity{};  // drainable porosity (cm/cm)
};

// Where a read stopped: the title, the notices (no line opens the inputs),
// the table (missing, or fewer than 101 rows read), or nowhere.
enum class WtdPart : uint8_t { Done, Title, Notices, Table };

// Reads the title, the notices and the table of drained volume and
// drainable porosity; the echo of the inputs is stepped over. What was read
// before a failure stays in `t`.
WtdPart read_wtd(common::Connection& wtd, WtdListing& t);

}  // namespace soilprep
