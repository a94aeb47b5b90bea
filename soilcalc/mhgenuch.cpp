#include "soilcalc/mhgenuch.h"

#include <cmath>

#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "soilcalc/mq_file.h"
#include "soilcalc/sav1.h"
#include "soilcalc/wtd_file.h"
#include "soilcalc/messages.h"

namespace pedopre {
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

// The parameters of a layer that no soil can have: its bottom not below the
// layer above it (cm), theta_r < theta_s <= 1 not holding, alpha (1/cm) or
// the conductivities Ks and K0 (cm/day) not above 0, n not above 1. The
// message, or an empty text.
std::string layer_checks(int32_t layer, float top, float zbot, const VanGenuchten& vg, float ks) {
    if (!(zbot > top)) return msg::bottom_not_below(layer, zbot, top);
    if (!(vg.theta_r < vg.theta_s && vg.theta_s <= 1.0f)) return msg::vg_water_contents(layer, vg.theta_r, vg.theta_s);
    if (!(vg.alpha > 0.0f)) return msg::vg_alpha(layer, vg.alpha);
    if (!(vg.n > 1.0f)) return msg::vg_n(layer, vg.n);
    if (!(ks > 0.0f)) return msg::vg_conductivity(layer, "Ks", ks);
    if (!(vg.k0 > 0.0f)) return msg::vg_conductivity(layer, "K0", vg.k0);
    return {};
}

}  // namespace

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

int32_t HYDK_GENUCHTEN(int32_t& count, const VanGenuchten& vg, float ksat, const float* theta, const float* h,
                       common::Connection& mq, common::Connection& sav, int32_t layer, float zbot, float& swf) {
    set_routine("HYDK_GENUCHTEN");
    // Driest first: water content and suction (cm).
    CurveColumn ws{}, hs{};
    for (int32_t j = 0; j < count; ++j) {
        ws[j] = theta[count - 1 - j];
        hs[j] = h[count - 1 - j];
    }
    int32_t rows = count;
    if (regrid_theta_steps(ws, hs, rows, layer) != 0) return -1;

    const float m = 1.0f - 1.0f / vg.n;
    CurveColumn kt{};
    for (int32_t j = 0; j < rows; ++j) kt[j] = mualem_conductivity(vg, m, effective_saturation(vg, hs[j]));
    write_mq_layer_head(mq, rows, vg.k0 / 24.0f, zbot);

    // Scale to the saturated conductivity: K0 drops out of every value. The
    // file holds pressure heads, the suctions negated.
    CurveColumn r{}, kc{}, head{};
    for (int32_t j = 0; j < rows; ++j) {
        r[j] = kt[j] / kt[rows - 1];
        kc[j] = ksat * r[j];
        head[j] = -hs[j];
    }
    write_mq_rows(mq, rows, ws, head, kc);

    SAV1(sav, kc, hs, r, rows, swf, ksat, zbot);
    count = rows;
    return 0;
}

int32_t ROSETTA(Context& ctx, int in_unit, int wtd_unit, int mis_unit, int mq_unit, int sav_unit,
                SoilTable& soil) {
    static const common::Layout kTitle("(A80)");

    set_routine("ROSETTA");
    common::Connection* in = ctx.units.get(in_unit);
    common::Connection* wtd = ctx.units.get(wtd_unit);
    common::Connection* mis = ctx.units.get(mis_unit);
    common::Connection* mq = ctx.units.get(mq_unit);
    common::Connection* sav = ctx.units.get(sav_unit);
    if (!in || !wtd || !mis || !mq || !sav) return -1;

    if (common::read_record(*in, kTitle, {soil.title}) != common::ReadStatus::Done) return -1;
    blank_control_characters(soil.title);
    if (common::read_free(*in, {soil.nlayer}) != common::ReadStatus::Done) return -1;
    if (soil.nlayer < 1 || soil.nlayer > kMaxLayers) {
        set_error(msg::layer_count(soil.nlayer));
        return -1;
    }
    write_wtd_title(*wtd, soil.title);
    write_mq_title(*mq, soil.title);
    write_mq_count(*mq, soil.nlayer);
    write_mis_count(*mis, soil.nlayer);

    std::array<float, kMaxLayers> swf{};
    float top = 0.0f;  // top of the layer (cm)
    for (int32_t layer = 1; layer <= soil.nlayer; ++layer) {
        const int32_t l = layer - 1;
        VanGenuchten vg;
        float ks = 0.0f;  // saturated conductivity (cm/day)
        if (common::read_free(*in, {soil.zbot[l], vg.theta_r, vg.theta_s, vg.alpha, vg.n, ks, vg.k0, vg.l}) !=
            common::ReadStatus::Done)
            return -1;
        if (std::string why = layer_checks(layer, top, soil.zbot[l], vg, ks); !why.empty()) {
            set_error(why);
            return -1;
        }

        std::array<float, kVgPoints> theta{}, k{};
        SWC_GENUCHTEN(kVgPoints, vg, theta.data(), k.data(), kVgSuctions.data());
        write_mis_layer(*mis, top, soil.zbot[l], kVgPoints, theta.data(), kVgSuctions.data(),
                        MisPoints::VanGenuchten);

        top = soil.zbot[l];
        soil.npts[l] = kVgPoints;
        for (int32_t i = 0; i < kVgPoints; ++i) {
            soil.head[l][i] = kVgSuctions[i];
            soil.theta[l][i] = theta[i];
        }
        soil.ksat[l] = ks / 24.0f;

        int32_t count = kVgPoints;
        if (HYDK_GENUCHTEN(count, vg, soil.ksat[l], theta.data(), kVgSuctions.data(), *mq, *sav, layer,
                           soil.zbot[l], swf[l]) != 0)
            return -1;
    }

    write_mq_summary(*mq, MqForm::VanGenuchten, soil.nlayer, soil.zbot.data(), swf.data());

    float gadepth = 0.0f, rootdepth = 0.0f;
    if (common::read_free(*in, {gadepth, rootdepth, soil.lsin}) != common::ReadStatus::Done) return -1;
    if (std::string why = closing_checks(gadepth, rootdepth); !why.empty()) {
        set_error(why);
        return -1;
    }
    if (soil.lsin < 1 || soil.lsin > soil.nlayer) {
        set_error(msg::lsin_range(soil.lsin, soil.nlayer));
        return -1;
    }
    write_mq_closing(*mq, MqForm::VanGenuchten, gadepth, rootdepth, soil.lsin);

    // Close the .SAV, .MQ, input and .MIS streams; a failed write shows here.
    for (int unit : {sav_unit, mq_unit, in_unit, mis_unit}) {
        std::string path = ctx.units.get(unit)->path();
        if (!ctx.units.close(unit) && unit != in_unit) {
            set_error(msg::cannot_write(path, ctx.units.last_error()));
            return -1;
        }
    }
    return 0;
}

}  // namespace pedopre
