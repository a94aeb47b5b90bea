#include "soilprep/wdv_file.h"

#include <cmath>

#include "common/layout.h"
#include "common/record_write.h"

namespace soilprep {

bool write_wdv(common::Connection& wdv, const soilcalc::SoilTable& soil, const soilcalc::DrainedVolume& dv) {
    static const common::Layout kWdvNlayer("('*NLAYER')");
    static const common::Layout kWdvCount("(I3)");
    static const common::Layout kWdvLayer("('*TLAYER BLAYER NPTS')");
    static const common::Layout kWdvBounds("(F7.1,F8.1,1X,I4)");
    static const common::Layout kWdvCaption("('*WATER TABLE  VOLUME DRAINED')");
    static const common::Layout kWdvRow("(3X,I5,3X,F11.5)");
    constexpr float kWdvDepth = 200.0f;  // deepest water table of the file (cm)
    const auto zbot = soilcalc::volume_bottoms(soil);
    bool ok = common::write_record(wdv, kWdvNlayer, {});
    common::write_record(wdv, kWdvCount, {soil.nlayer});
    float top = 0.0f;
    for (int l = 0; l < soil.nlayer; ++l) {
        common::write_record(wdv, kWdvLayer, {});
        common::write_record(wdv, kWdvBounds, {top, zbot[l], int32_t{soilcalc::kLayerVolumeRows}});
        common::write_record(wdv, kWdvCaption, {});
        ok = common::write_record(wdv, kWdvRow, {int32_t{0}, 0.0f});
        top = zbot[l];
        for (int i = 1; i < soilcalc::kGridPoints && dv.z[i] <= kWdvDepth; ++i)
            ok = common::write_record(wdv, kWdvRow, {static_cast<int32_t>(std::lround(dv.z[i])), dv.w[l][i]});
    }
    return ok;
}

}  // namespace soilprep
