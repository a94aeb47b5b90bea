#include "soilprep/wtd_file.h"

#include <string_view>

#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "common/record_write.h"
#include "soilcalc/characteristic.h"

namespace soilprep {
namespace {

// The records of the .WTD file, for its writers and its reader alike.
const common::Layout& title_layout() {
    static const common::Layout k("('TITLE: ',A80)");
    return k;
}
const common::Layout& text_layout() {
    static const common::Layout k("(/,/,1X,A)");
    return k;
}
const common::Layout& outputs_layout() {
    static const common::Layout k("(5(/),1X,A)");
    return k;
}
const common::Layout& table_head_layout() {
    static const common::Layout k(
        "(22X,' WATER TABLE',10X,'VOLUME',12X,'POROSITY',/,25X,' (CM)  ',12X,' (CM) ',12X,"
        "' (CM/CM)')");
    return k;
}
const common::Layout& table_row_layout() {
    static const common::Layout k("(' ',F29.2,F20.3,10X,F10.5)");
    return k;
}

constexpr std::string_view kInputs = "INPUTS:";
constexpr std::string_view kOutputs = "OUTPUTS:";

// The texts of the notices, each a free-form record.
constexpr std::string_view kNoSaturated = "ERROR: no saturated theta, value extrapolated";
constexpr std::string_view kExtendedLines[] = {" ", " ERROR!!", "", " DOES NOT GO TO 1000 CM. A VALUE WAS ENTERED BY",
                                               " THE PROGRAM. CHECK THIS VALUE."};
constexpr std::string_view kExtendedLayer = " SOIL WATER CHARACTERISTIC CURVE FOR LAYER ";

// A free-form record as write_free makes it, without its line end.
std::string free_record(std::initializer_list<common::Value> values) {
    std::string r;
    common::format_free(r, values);
    r.resize(r.size() - 2);
    return r;
}

// The last record of a statement written through `layout` with no values.
std::string last_record(const common::Layout& layout, std::string_view text) {
    std::string r = common::format_record(layout, {text});
    r.resize(r.size() - 2);
    const size_t cut = r.rfind("\r\n");
    return cut == std::string::npos ? r : r.substr(cut + 2);
}

// The layer that a line of the extended notice names, or 0.
int32_t extended_layer(std::string_view rec) {
    for (int32_t l = 1; l <= soilcalc::kMaxLayers; ++l)
        if (rec == free_record({kExtendedLayer, l})) return l;
    return 0;
}

}  // namespace

bool write_wtd_title(common::Connection& wtd, const std::string& title) {
    return common::write_record(wtd, title_layout(), {title});
}

bool write_no_saturated_notice(common::Connection& wtd) {
    return common::write_free(wtd, {kNoSaturated});
}

bool write_extended_notice(common::Connection& wtd, int32_t layer) {
    common::write_free(wtd, {kExtendedLines[0]});
    common::write_free(wtd, {kExtendedLines[1]});
    common::write_free(wtd, {kExtendedLayer, layer});
    common::write_free(wtd, {kExtendedLines[3]});
    return common::write_free(wtd, {kExtendedLines[4]});
}

bool write_wtd_inputs(common::Connection& wtd, int32_t nlayer, const float* zbot) {
    static const common::Layout kLayers(
        "(' ',10X,'# OF LAYERS = ',I2,/,' DEPTH AT BOTTOM OF EACH ','LAYER (CM) :',/,1X,5F10.1,/,"
        "1X,4F10.1)");
    common::write_record(wtd, text_layout(), {kInputs});
    common::StatementWriter w(wtd, kLayers);
    w << nlayer;
    for (int32_t l = 0; l < nlayer; ++l) w << zbot[l];
    return w.finish();
}

bool write_wtd_grid(common::Connection& wtd, int32_t steps, float dz) {
    static const common::Layout kGridLine("(/,' CALCULATED USING ',I5,' STEPS OF',F6.2,' CM THICKNESS')");
    return common::write_record(wtd, kGridLine, {steps, dz});
}

bool write_wtd_layer(common::Connection& wtd, int32_t layer, int32_t n, const float* head, const float* theta) {
    static const common::Layout kLayerHead("(' ',/,/,/,35X,'LAYER=',I2,/,/,20X,'PRESSURE HEAD',10X,'THETA')");
    static const common::Layout kPoint("(' ',F29.1,F19.3)");
    bool ok = common::write_record(wtd, kLayerHead, {layer});
    for (int32_t j = 0; j < n; ++j) ok = common::write_record(wtd, kPoint, {head[j], theta[j]});
    return ok;
}

bool write_wtd_table_head(common::Connection& wtd) {
    common::write_record(wtd, outputs_layout(), {kOutputs});
    return common::write_record(wtd, table_head_layout(), {});
}

bool write_wtd_table_row(common::Connection& wtd, float depth, float volume, float porosity) {
    return common::write_record(wtd, table_row_layout(), {depth, volume, porosity});
}

WtdPart read_wtd(common::Connection& wtd, WtdListing& t) {
    using common::ReadStatus;
    if (common::read_record(wtd, title_layout(), {t.title}) != ReadStatus::Done) return WtdPart::Title;

    // The notices, up to the line that opens the echo of the inputs.
    const std::string inputs = last_record(text_layout(), kInputs);
    const std::string no_saturated = free_record({kNoSaturated});
    std::string_view rec;
    for (;;) {
        if (wtd.next_record(rec) != common::RecordStatus::Ok) return WtdPart::Notices;
        if (rec == inputs) break;
        if (rec.empty()) continue;
        if (rec == no_saturated) {
            t.notices.push_back({WtdNotice::Kind::NoSaturatedPoint, 0, {}});
            continue;
        }
        if (const int32_t layer = extended_layer(rec); layer != 0) {
            t.notices.push_back({WtdNotice::Kind::ExtendedTo1000, layer, {}});
            continue;
        }
        bool part_of_notice = false;
        for (std::string_view line : kExtendedLines)
            part_of_notice = part_of_notice || (!line.empty() && rec == free_record({line}));
        if (!part_of_notice) t.notices.push_back({WtdNotice::Kind::Other, 0, std::string(rec)});
    }

    // The echo of the inputs is stepped over up to the table.
    const std::string outputs = last_record(outputs_layout(), kOutputs);
    do {
        if (wtd.next_record(rec) != common::RecordStatus::Ok) return WtdPart::Table;
    } while (rec != outputs);
    if (common::read_record(wtd, table_head_layout(), {}) != ReadStatus::Done) return WtdPart::Table;
    for (t.rows = 0; t.rows < kWtdRows; ++t.rows) {
        const int32_t i = t.rows;
        if (common::read_record(wtd, table_row_layout(), {t.depth[i], t.volume[i], t.porosity[i]}) != ReadStatus::Done)
            return WtdPart::Table;
    }
    return WtdPart::Done;
}

}  // namespace soilprep
