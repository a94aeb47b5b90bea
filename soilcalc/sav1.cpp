#include "soilcalc/sav1.h"

#include <cmath>

namespace soilcalc {

WettingFront SAV1(const CurveColumn& h, const CurveColumn& r, int32_t rows) {
    WettingFront w;
    for (int32_t j = 1; j < rows; ++j) {
        w.area[j - 1] = ((r[j] + r[j - 1]) * std::fabs(h[j] - h[j - 1])) / 2.0f;
        w.swf = w.swf + w.area[j - 1];
        w.total[j - 1] = w.swf;
    }
    return w;
}

}  // namespace soilcalc
