#include "soilcalc/sav1.h"

#include <cmath>

#include "common/layout.h"
#include "common/record_write.h"

namespace pedopre {

bool SAV1(common::Connection& sav, const CurveColumn&, const CurveColumn& h, const CurveColumn& r,
          int32_t rows, float& swf, float ksat, float zbot) {
    static const common::Layout kHeader(
        "(/,/,3X,'Layer with bottom depth (cm)=',F8.2,' Saturated K in cm/hr=',F8.2,/,/,"
        "3(4X,'Head',2X,'SAVarea',3X,'SAVINT'))");
    static const common::Layout kTriples("(3(F9.1,1X,F7.1,2X,F7.1))");

    // Area of each interval and the running total, indexed by interval.
    CurveColumn area{}, total{};
    swf = 0.0f;
    for (int32_t j = 1; j < rows; ++j) {
        area[j - 1] = ((r[j] + r[j - 1]) * std::fabs(h[j] - h[j - 1])) / 2.0f;
        swf = swf + area[j - 1];
        total[j - 1] = swf;
    }

    bool ok = common::write_record(sav, kHeader, {zbot, ksat});
    common::StatementWriter w(sav, kTriples);
    for (int32_t j = 0; j + 1 < rows; ++j) w << h[j + 1] << area[j] << total[j];
    return w.finish() && ok;
}

}  // namespace pedopre
