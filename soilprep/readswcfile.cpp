#include "soilprep/readswcfile.h"

#include <cmath>

#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "soilcalc/messages.h"
#include "soilcalc/wtd_file.h"

namespace pedopre {
namespace {

constexpr float kDriestHead = 1000.0f;  // suction a curve must reach (cm)

int32_t fail(std::string message) {
    set_error(message);
    return -1;
}

}  // namespace

void CHKSWC(Context& ctx, common::Connection& wtd, int32_t& n, int32_t layer, SoilTable& soil) {
    auto& theta = soil.theta[layer - 1];
    if (!lacks_saturated_point(soil.head[layer - 1])) return;
    write_no_saturated_notice(wtd);
    add_saturated_point(n, theta, soil.head[layer - 1]);
    if (ctx.console) common::write_free(*ctx.console, {" fix theta saturated=", theta[0]});
}

int32_t READSWCFILE(Context& ctx, int in_unit, int wtd_unit, int mis_unit, SoilTable& soil) {
    static const common::Layout kTitle("(A80)");

    set_routine("READSWCFILE");
    common::Connection* in = ctx.units.get(in_unit);
    common::Connection* wtd = ctx.units.get(wtd_unit);
    common::Connection* mis = ctx.units.get(mis_unit);
    if (!in || !wtd || !mis) return -1;

    if (common::read_record(*in, kTitle, {soil.title}) != common::ReadStatus::Done) return -1;
    blank_control_characters(soil.title);
    if (common::read_free(*in, {soil.nlayer}) != common::ReadStatus::Done) return -1;
    if (soil.nlayer < 1 || soil.nlayer > kMaxLayers) return fail(msg::layer_count(soil.nlayer));
    write_wtd_title(*wtd, soil.title);
    write_mis_count(*mis, soil.nlayer);

    float top = 0.0f;  // top of the layer (cm)
    for (int32_t layer = 1; layer <= soil.nlayer; ++layer) {
        const int32_t l = layer - 1;
        auto& head = soil.head[l];
        auto& theta = soil.theta[l];
        int32_t n = 0;
        if (common::read_free(*in, {n, soil.ksat[l], soil.zbot[l]}) != common::ReadStatus::Done) return -1;
        // Each layer's bottom lies below the one above it (cm, downward).
        if (!(soil.zbot[l] > top)) return fail(msg::bottom_not_below(layer, soil.zbot[l], top));
        if (n > kMaxMeasured) return fail(msg::too_many_points(layer, n));
        if (n < 2) return fail(msg::too_few_points(layer, n));
        {
            common::FreeReader points(*in);
            for (int32_t j = 0; j < n; ++j)
                if (!points.get(theta[j]) || !points.get(head[j])) break;
            if (points.finish() != common::ReadStatus::Done) return -1;
        }

        // The points as given, before any repair.
        write_mis_layer(*mis, top, soil.zbot[l], n, theta.data(), head.data(), MisPoints::Measured);
        top = soil.zbot[l];

        // The points as given must run from wet to dry: suction rising
        // strictly, water content never rising. Checked before the
        // saturated-point repair, which keeps points in that order.
        if (std::string why = points_out_of_order(layer, n, theta, head); !why.empty()) return fail(why);

        CHKSWC(ctx, *wtd, n, layer, soil);

        // A curve that stops short of 1000 cm gets a point there with the
        // water content of its driest point. The suction is compared, so a
        // curve given in negative heads down to -15000 cm needs no such point.
        if (std::fabs(head[n - 1]) < kDriestHead) {
            n = n + 1;
            head[n - 1] = kDriestHead;
            theta[n - 1] = theta[n - 2];
            write_extended_notice(*wtd, layer);
        }
        soil.npts[l] = n;
        for (int32_t j = 0; j < n; ++j)
            if (head[j] < 0.0f) head[j] = -head[j];
    }

    std::string mis_path = mis->path();
    ctx.units.close(in_unit);
    if (!ctx.units.close(mis_unit)) return fail(msg::cannot_write(mis_path, ctx.units.last_error()));
    return 0;
}

}  // namespace pedopre
