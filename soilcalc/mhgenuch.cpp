#include "soilcalc/mhgenuch.h"

#include <cmath>

#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "common/record_write.h"
#include "soilcalc/sav1.h"
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

}  // namespace

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
    static const common::Layout kBlockHeader("(' ENTRIES  BOTTOM DEPTH(CM)',/,1X,I2,F8.3,F10.2)");
    static const common::Layout kColumns("(1X,'THETA',15X,'HEAD',10X,'COND-CM/HR')");
    static const common::Layout kRows("(F10.3,10X,F10.1,5X,F15.9)");

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

    common::write_record(mq, kBlockHeader, {rows, vg.k0 / 24.0f, zbot});
    common::write_record(mq, kColumns, {});

    // Scale to the saturated conductivity: K0 drops out of every value.
    CurveColumn r{}, kc{};
    for (int32_t j = 0; j < rows; ++j) {
        r[j] = kt[j] / kt[rows - 1];
        kc[j] = ksat * r[j];
    }
    common::StatementWriter table(mq, kRows);
    for (int32_t j = 0; j < rows; ++j) table << ws[j] << -hs[j] << kc[j];
    table.finish();

    SAV1(sav, kc, hs, r, rows, swf, ksat, zbot);
    count = rows;
    return 0;
}

int32_t ROSETTA(Context& ctx, int in_unit, int wtd_unit, int mis_unit, int mq_unit, int sav_unit,
                SoilTable& soil) {
    static const common::Layout kTitle("(A80)");
    static const common::Layout kWtdTitle("('TITLE: ',A80)");
    static const common::Layout kLayerCount("(1X,'NUMBER OF LAYERS= ',I2)");
    static const common::Layout kCount("(I4)");
    static const common::Layout kTopBottom("(2F8.1)");
    static const common::Layout kPoint("(F7.5,F12.1)");
    static const common::Layout kSummaryCaption("(/,1X,' LAYER #  DEPTH (CM)  SUCTION OF WETTING FRONT (CM)')");
    static const common::Layout kSummaryRow("(3X,I3,5X,F5.0,12X,F9.4)");

    set_routine("ROSETTA");
    common::Connection* in = ctx.units.get(in_unit);
    common::Connection* wtd = ctx.units.get(wtd_unit);
    common::Connection* mis = ctx.units.get(mis_unit);
    common::Connection* mq = ctx.units.get(mq_unit);
    common::Connection* sav = ctx.units.get(sav_unit);
    if (!in || !wtd || !mis || !mq || !sav) return -1;

    if (common::read_record(*in, kTitle, {soil.title}) != common::ReadStatus::Done) return -1;
    if (common::read_free(*in, {soil.nlayer}) != common::ReadStatus::Done) return -1;
    if (soil.nlayer < 1 || soil.nlayer > kMaxLayers) {
        set_error(msg::layer_count(soil.nlayer));
        return -1;
    }
    common::write_record(*wtd, kWtdTitle, {soil.title});
    common::write_record(*mq, kTitle, {soil.title});
    common::write_record(*mq, kLayerCount, {soil.nlayer});
    common::write_record(*mis, kCount, {soil.nlayer});

    std::array<float, kMaxLayers> swf{};
    float top = 0.0f;  // top of the layer (cm)
    for (int32_t layer = 1; layer <= soil.nlayer; ++layer) {
        const int32_t l = layer - 1;
        VanGenuchten vg;
        float ks = 0.0f;  // saturated conductivity (cm/day)
        if (common::read_free(*in, {soil.zbot[l], vg.theta_r, vg.theta_s, vg.alpha, vg.n, ks, vg.k0, vg.l}) !=
            common::ReadStatus::Done)
            return -1;

        std::array<float, kVgPoints> theta{}, k{};
        SWC_GENUCHTEN(kVgPoints, vg, theta.data(), k.data(), kVgSuctions.data());

        common::write_free(*mis, {"*TOP AND BOTTOM OF LAYER"});
        common::write_record(*mis, kTopBottom, {top, soil.zbot[l]});
        common::write_free(*mis, {"*NUMBER OF POINTS IN LAYER"});
        common::write_record(*mis, kCount, {kVgPoints});
        common::StatementWriter points(*mis, kPoint);
        for (int32_t i = 0; i < kVgPoints; ++i) points << theta[i] << kVgSuctions[i];
        points.finish();

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

    common::write_record(*mq, kSummaryCaption, {});
    for (int32_t layer = 1; layer <= soil.nlayer; ++layer)
        common::write_record(*mq, kSummaryRow, {layer, soil.zbot[layer - 1], swf[layer - 1]});

    float gadepth = 0.0f, rootdepth = 0.0f;
    if (common::read_free(*in, {gadepth, rootdepth, soil.lsin}) != common::ReadStatus::Done) return -1;
    if (soil.lsin < 1 || soil.lsin > soil.nlayer) {
        set_error(msg::lsin_range(soil.lsin, soil.nlayer));
        return -1;
    }
    common::write_free(*mq, {});
    common::write_free(*mq, {gadepth, rootdepth, soil.lsin});

    // Close the .SAV, .MQ, input and .MIS streams; a failed write shows here.
    for (int unit : {sav_unit, mq_unit, in_unit, mis_unit}) {
        std::string path = ctx.units.get(unit)->path();
        if (!ctx.units.close(unit) && unit != in_unit) {
            set_error(msg::cannot_open(path));
            return -1;
        }
    }
    return 0;
}

}  // namespace pedopre
