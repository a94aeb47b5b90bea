#include "soilcalc/upq_file.h"

#include "common/layout.h"
#include "common/record_write.h"

namespace pedopre {

bool write_upq_title(common::Connection& upq, const std::string& title) {
    static const common::Layout kTitle("(A80)");
    return common::write_record(upq, kTitle, {title});
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
    static const common::Layout kCaption("('   DEPTH (CM)  UPFLUX (CM/HR) ')");
    return common::write_record(c, kCaption, {});
}

bool write_flux_rows(common::Connection& c, int n, const float* depth, const float* flux) {
    static const common::Layout kRow("(4X,F7.2,6X,F6.4)");
    common::StatementWriter w(c, kRow);
    for (int k = 0; k < n; ++k) w << depth[k] << flux[k];
    return w.finish();
}

}  // namespace pedopre
