#include "soilprep/upq_file.h"

#include "common/layout.h"
#include "common/record_read.h"
#include "common/record_write.h"

namespace soilprep {
namespace {

// The records of the .UPQ file, for its writers and its readers alike.
const common::Layout& title_layout() {
    static const common::Layout k("(A80)");
    return k;
}
const common::Layout& caption_layout() {
    static const common::Layout k("('   DEPTH (CM)  UPFLUX (CM/HR) ')");
    return k;
}
const common::Layout& flux_row_layout() {
    static const common::Layout k("(4X,F7.2,6X,F6.4)");
    return k;
}

}  // namespace

bool write_upq_title(common::Connection& upq, const std::string& title) {
    return common::write_record(upq, title_layout(), {title});
}

bool write_upq_layer_head(common::Connection& upq, int32_t layer, float bottom) {
    static const common::Layout kLayerHead(
        "(/,/,1X,'LAYER ',I3,' GOES DOWN TO ',F6.0,'CM.',1X,'AND HAS THE TENSION-CONDUCTIVITY "
        "VALUES:',/,/,1X,'  TENSION  CONDUCTIVITY',/,1X,'   (CM)      (CM/HR)')");
    return common::write_record(upq, kLayerHead, {layer, bottom});
}

bool write_upq_layer_rows(common::Connection& upq, int32_t n, const float* tension, const float* cond) {
    static const common::Layout kEcho("(F8.2,4X,E10.4)");
    common::StatementWriter w(upq, kEcho);
    for (int32_t i = 0; i < n; ++i) w << tension[i] << cond[i];
    return w.finish();
}

bool write_flux_caption(common::Connection& c) {
    return common::write_record(c, caption_layout(), {});
}

bool write_flux_rows(common::Connection& c, int n, const float* depth, const float* flux) {
    common::StatementWriter w(c, flux_row_layout());
    for (int k = 0; k < n; ++k) w << depth[k] << flux[k];
    return w.finish();
}

bool is_flux_caption(std::string_view rec) {
    static const std::string caption = [] {
        std::string r = common::format_record(caption_layout(), {});
        r.resize(r.size() - 2);
        return r;
    }();
    return rec == caption;
}

int read_flux_rows(common::Connection& c, int n, float* depth, float* flux) {
    for (int k = 0; k < n; ++k)
        if (common::read_record(c, flux_row_layout(), {depth[k], flux[k]}) != common::ReadStatus::Done) return k;
    return n;
}

bool read_upq(common::Connection& upq, UpqFluxes& t) {
    t.rows = 0;
    if (common::read_record(upq, title_layout(), {t.title}) != common::ReadStatus::Done) return false;
    // The layer tables are stepped over up to the caption of the fluxes.
    std::string_view rec;
    do {
        if (upq.next_record(rec) != common::RecordStatus::Ok) return false;
    } while (!is_flux_caption(rec));
    t.rows = read_flux_rows(upq, kUpqFluxes, t.depth.data(), t.flux.data());
    return t.rows == kUpqFluxes;
}

}  // namespace soilprep
