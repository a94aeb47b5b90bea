#include "soilcalc/characteristic.h"

#include <cmath>

#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_write.h"

namespace pedopre {

bool lacks_saturated_point(const CurveColumn& h) { return std::fabs(h[0]) > 1.0E-8f; }

void add_saturated_point(int32_t& n, CurveColumn& theta, CurveColumn& h) {
    float slope = (theta[1] - theta[0]) / std::fabs(h[1] - h[0]);
    float theta_s = theta[0] - slope * std::fabs(h[0]);
    for (int32_t i = n; i >= 1; --i) {
        theta[i] = theta[i - 1];
        h[i] = h[i - 1];
    }
    theta[0] = theta_s;
    h[0] = 0.0f;
    n = n + 1;
}

bool write_mis_count(common::Connection& mis, int32_t nlayer) {
    static const common::Layout kCount("(I4)");
    return common::write_record(mis, kCount, {nlayer});
}

bool write_mis_layer(common::Connection& mis, float top, float zbot, int32_t n, const float* theta,
                     const float* head, MisPoints form) {
    static const common::Layout kCount("(I4)");
    static const common::Layout kTopBottom("(2F8.1)");
    static const common::Layout kMeasured("(F7.3,F12.1)");
    static const common::Layout kComputed("(F7.5,F12.1)");
    common::write_free(mis, {"*TOP AND BOTTOM OF LAYER"});
    common::write_record(mis, kTopBottom, {top, zbot});
    common::write_free(mis, {"*NUMBER OF POINTS IN LAYER"});
    common::write_record(mis, kCount, {n});
    common::StatementWriter points(mis, form == MisPoints::Measured ? kMeasured : kComputed);
    for (int32_t j = 0; j < n; ++j) points << theta[j] << head[j];
    return points.finish();
}

}  // namespace pedopre
