#include "soilview/run_references.h"

#include <algorithm>
#include <cmath>

#include "soilview/run_tables.h"
#include "soilview/van_genuchten_curve.h"

namespace soilview {
namespace {

constexpr double kReferenceTension = 1000.0;  // cm
constexpr float kDeepWaterTable = 150.0f;     // cm; A takes the driest suction from here on

}  // namespace

std::optional<double> run_top_tension(const RunTables& r) {
    if (r.mq_layers < 1 || r.mq.layers[0].rows < 1) return std::nullopt;
    const soilcalc::MqLayer& m = r.mq.layers[0];
    double driest = 0;
    for (int32_t j = 0; j < m.rows; ++j) driest = std::max(driest, -static_cast<double>(m.head[j]));
    return std::min(kReferenceTension, driest);
}

std::optional<RunReferences> run_references(const RunTables& r) {
    if (r.input.form != InputForm::VanGenuchten || r.input.layers.empty() ||
        static_cast<int32_t>(r.input.layers.size()) != r.input.nlayer)
        return std::nullopt;
    RunReferences ref;
    for (const InputLayer& l : r.input.layers) ref.layers.push_back({l.vg, l.ks, l.zbot});

    for (int32_t i = 0; i < r.sin.depth_rows; ++i) ref.sin_volume.push_back(drained_volume(ref.layers, r.sin.depth[i]));
    for (int32_t i = 0; i < r.wtd.rows; ++i) ref.wtd_volume.push_back(drained_volume(ref.layers, r.wtd.depth[i]));
    for (double d = 0; d <= kDesignDepth; d += 2.0) {
        ref.curve_depth.push_back(d);
        ref.curve_volume.push_back(drained_volume(ref.layers, d));
    }

    ref.top_tension = run_top_tension(r);
    const double reference_depth = r.input.closing_read ? r.input.rootdepth : r.out.rootdepth;
    if (ref.top_tension && (r.input.closing_read || r.out.rootdepth_read)) {
        const std::vector<double> bottoms = bottoms_below_reference(ref.layers, reference_depth);
        for (int32_t k = 0; k < r.upq.rows; ++k)
            ref.flux_depth.push_back(upflux_water_table(ref.layers, bottoms, *ref.top_tension, r.upq.flux[k]));
    }

    const soilcalc::VanGenuchten& top = ref.layers.front().vg;
    ref.sf = wetting_front_suction(top);
    if (r.out.green_ampt_rows == r.sin.green_ampt_rows && r.mq_layers > 0) {
        const double driest = -static_cast<double>(r.mq.layers[0].head[0]);
        for (int32_t i = 0; i < r.sin.green_ampt_rows; ++i) {
            const float d = r.sin.ga_depth[i];
            if (i == 0) {
                ref.ga_a.push_back(0.0);
                continue;
            }
            const double psi = d < kDeepWaterTable ? static_cast<double>(d) : driest;
            const double fillable = static_cast<double>(top.theta_s) - vg_water_content(top, psi);
            ref.ga_a.push_back(fillable * ref.sf * r.out.ga_b[i]);
        }
    }
    return ref;
}

}  // namespace soilview
