#include "soilprep/sav_file.h"

#include "common/layout.h"
#include "common/record_write.h"

namespace soilprep {

bool write_sav_block(common::Connection& sav, float zbot, float ksat, const soilcalc::CurveColumn& h,
                     const soilcalc::WettingFront& w, int32_t rows) {
    static const common::Layout kHeader(
        "(/,/,3X,'Layer with bottom depth (cm)=',F8.2,' Saturated K in cm/hr=',F8.2,/,/,"
        "3(4X,'Head',2X,'SAVarea',3X,'SAVINT'))");
    static const common::Layout kTriples("(3(F9.1,1X,F7.1,2X,F7.1))");
    bool ok = common::write_record(sav, kHeader, {zbot, ksat});
    common::StatementWriter t(sav, kTriples);
    for (int32_t j = 0; j + 1 < rows; ++j) t << h[j + 1] << w.area[j] << w.total[j];
    return t.finish() && ok;
}

}  // namespace soilprep
