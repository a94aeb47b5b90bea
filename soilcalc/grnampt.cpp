#include "soilcalc/grnampt.h"

#include <cmath>
#include <limits>

#include "soilcalc/messages.h"

namespace soilcalc {
namespace {

// Water-table depths of the Green-Ampt table (cm).
constexpr std::array<float, kGreenAmptRows> kDepth = {0.0f,  10.0f,  20.0f,  40.0f,  60.0f,
                                                      80.0f, 100.0f, 150.0f, 200.0f, 1000.0f};

}  // namespace

float GRAMTB(float d, const std::array<float, kMqLayers>& zb, const std::array<float, kMqLayers>& kb, int32_t nl) {
    float sum = 0.0f;
    float t = 0.0f;  // whole cm reached so far (the truncated bound)
    const int32_t layers = nl < 1 ? 1 : (nl > kMqLayers ? kMqLayers : nl);
    for (int32_t l = 0; l < layers; ++l) {
        if (d < zb[l] || l + 1 == layers) {
            sum = sum + (d - t) * kb[l];
            t = std::trunc(d);
            break;
        }
        sum = sum + (zb[l] - t) * kb[l];
        t = std::trunc(zb[l]);
    }
    // Less than one whole cm: the mean is the surface layer's conductivity.
    if (t == 0.0f) return kb[0];
    return sum / t;
}

float THETA(float psi, const MqTables& in, int32_t l) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    if (l < 1 || l > in.nl) return nan;
    const auto& th = in.layers[l - 1].theta;
    const auto& ht = in.layers[l - 1].head;
    const int32_t n = in.layers[l - 1].rows;
    float y = -psi;
    for (int32_t j = 2; j <= n; ++j) {
        if (y <= ht[j - 1]) {
            float dh = ht[j - 1] - ht[j - 2];
            if (dh == 0.0f) return nan;
            return ((y - ht[j - 2]) * ((th[j - 1] - th[j - 2]) / dh)) + th[j - 2];
        }
    }
    return nan;
}

GreenAmpt GRNAMPT(const MqTables& in) {
    constexpr float kDeepWaterTable = 150.0f;  // suction threshold (cm)
    GreenAmpt g;
    g.gadepth = in.gadepth;
    g.depth = kDepth;
    std::array<float, kMqLayers> kb{};
    for (int32_t l = 0; l < in.nl; ++l) kb[l] = in.layers[l].k_header;
    const MqLayer& top = in.layers[0];

    auto& a = g.a;
    auto& b = g.b;
    b[0] = kb[0];
    a[0] = 0.0f;
    for (int i = 1; i < kGreenAmptRows - 1; ++i) {
        if (kDepth[i] <= in.gadepth)
            b[i] = GRAMTB(kDepth[i], in.zb, kb, in.nl);
        else
            b[i] = b[i - 1];
        // Suction at the surface in equilibrium with the water table; for a
        // deep water table, the driest suction of the top layer's table.
        float psi = kDepth[i];
        if (psi >= kDeepWaterTable) psi = -top.head[0];
        float theta = THETA(psi, in, 1);
        if (std::isnan(theta)) {
            g.error = msg::no_water_content(psi);
            return g;
        }
        a[i] = (top.theta[top.rows - 1] - theta) * (in.sf[0] * b[i]);
    }
    a[kGreenAmptRows - 1] = a[kGreenAmptRows - 2];
    b[kGreenAmptRows - 1] = b[kGreenAmptRows - 2];
    return g;
}

}  // namespace soilcalc
