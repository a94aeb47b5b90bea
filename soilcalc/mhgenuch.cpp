#include "soilcalc/mhgenuch.h"

#include <cmath>

#include "soilcalc/messages.h"
#include "soilcalc/sav1.h"

namespace soilcalc {
namespace {

// Effective saturation at suction h (cm): (1 + (alpha h)^n)^(1/n - 1).
float effective_saturation(const VanGenuchten& vg, float h) {
    return std::pow(1.0f + std::pow(vg.alpha * h, vg.n), 1.0f / vg.n - 1.0f);
}

// Mualem conductivity (cm/hr) at effective saturation se, with m = 1 - 1/n:
// K0/24 Se^l (1 - (1 - Se^(n/(n-1)))^m)^2, the square taken as the product
// of two separately evaluated factors.
float mualem_conductivity(const VanGenuchten& vg, float m, float se) {
    float factor = 1.0f - std::pow(1.0f - std::pow(se, vg.n / (vg.n - 1.0f)), m);
    return ((vg.k0 / 24.0f * std::pow(se, vg.l)) * factor) * factor;
}

}  // namespace

std::string layer_checks(int32_t layer, float top, float zbot, const VanGenuchten& vg, float ks) {
    if (!(zbot > top)) return msg::bottom_not_below(layer, zbot, top);
    if (!(vg.theta_r < vg.theta_s && vg.theta_s <= 1.0f)) return msg::vg_water_contents(layer, vg.theta_r, vg.theta_s);
    if (!(vg.alpha > 0.0f)) return msg::vg_alpha(layer, vg.alpha);
    if (!(vg.n > 1.0f)) return msg::vg_n(layer, vg.n);
    if (!(ks > 0.0f)) return msg::vg_conductivity(layer, "Ks", ks);
    if (!(vg.k0 > 0.0f)) return msg::vg_conductivity(layer, "K0", vg.k0);
    return {};
}

std::string closing_checks(float gadepth, float rootdepth) {
    if (!(gadepth > 0.0f)) return msg::ga_depth(gadepth);
    if (!(rootdepth > 0.0f)) return msg::root_depth(rootdepth);
    return {};
}

int32_t SWC_GENUCHTEN(int32_t count, const VanGenuchten& vg, float* theta, float* k, const float* h) {
    set_routine("SWC_GENUCHTEN");
    const float m = 1.0f - 1.0f / vg.n;
    for (int32_t i = 0; i < count; ++i) {
        float se = effective_saturation(vg, h[i]);
        theta[i] = (vg.theta_s - vg.theta_r) * se + vg.theta_r;
        k[i] = mualem_conductivity(vg, m, se);
    }
    return 0;
}

std::string HYDK_GENUCHTEN(int32_t count, const VanGenuchten& vg, float ksat, const float* theta, const float* h,
                           int32_t layer, float zbot, ConductivityLayer& out) {
    set_routine("HYDK_GENUCHTEN");
    // Driest first: water content and suction (cm).
    CurveColumn& ws = out.theta;
    CurveColumn& hs = out.sav_head;
    for (int32_t j = 0; j < count; ++j) {
        ws[j] = theta[count - 1 - j];
        hs[j] = h[count - 1 - j];
    }
    int32_t rows = count;
    if (std::string why = regrid_theta_steps(ws, hs, rows, layer); !why.empty()) return why;

    const float m = 1.0f - 1.0f / vg.n;
    CurveColumn kt{};
    for (int32_t j = 0; j < rows; ++j) kt[j] = mualem_conductivity(vg, m, effective_saturation(vg, hs[j]));
    out.rows = rows;
    out.k_header = vg.k0 / 24.0f;
    out.zbot = zbot;
    out.ksat = ksat;

    // Scale to the saturated conductivity: K0 drops out of every value. The
    // table holds pressure heads, the suctions negated.
    CurveColumn r{};
    for (int32_t j = 0; j < rows; ++j) {
        r[j] = kt[j] / kt[rows - 1];
        out.cond[j] = ksat * r[j];
        out.head[j] = -hs[j];
    }
    out.front = SAV1(hs, r, rows);
    return {};
}

}  // namespace soilcalc
