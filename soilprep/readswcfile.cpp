#include "soilprep/readswcfile.h"

#include <cmath>

#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "common/record_write.h"
#include "soilcalc/messages.h"

namespace pedopre {
namespace {

constexpr int32_t kMaxMeasured = kMaxPoints - 2;  // room for the two added points
constexpr float kDriestHead = 1000.0f;              // suction a curve must reach (cm)

int32_t fail(std::string message) {
    set_error(message);
    return -1;
}

}  // namespace

void CHKSWC(Context& ctx, common::Connection& wtd, int32_t& n, int32_t layer, SoilTable& soil) {
    auto& head = soil.head[layer - 1];
    auto& theta = soil.theta[layer - 1];
    if (std::fabs(head[0]) <= 1.0E-8f) return;
    common::write_free(wtd, {"ERROR: no saturated theta, value extrapolated"});
    float dh = head[1] - head[0];
    float dtheta = theta[1] - theta[0];
    float slope = dtheta / std::fabs(dh);
    float theta_s = theta[0] - slope * std::fabs(head[0]);
    if (ctx.console) common::write_free(*ctx.console, {" fix theta saturated=", theta_s});
    for (int32_t j = n; j >= 1; --j) {
        head[j] = head[j - 1];
        theta[j] = theta[j - 1];
    }
    theta[0] = theta_s;
    head[0] = 0.0f;
    n = n + 1;
}

int32_t READSWCFILE(Context& ctx, int in_unit, int wtd_unit, int mis_unit, SoilTable& soil) {
    static const common::Layout kTitle("(A80)");
    static const common::Layout kWtdTitle("('TITLE: ',A80)");
    static const common::Layout kCount("(I4)");
    static const common::Layout kTopBottom("(2F8.1)");
    static const common::Layout kPoint("(F7.3,F12.1)");

    set_routine("READSWCFILE");
    common::Connection* in = ctx.units.get(in_unit);
    common::Connection* wtd = ctx.units.get(wtd_unit);
    common::Connection* mis = ctx.units.get(mis_unit);
    if (!in || !wtd || !mis) return -1;

    if (common::read_record(*in, kTitle, {soil.title}) != common::ReadStatus::Done) return -1;
    if (common::read_free(*in, {soil.nlayer}) != common::ReadStatus::Done) return -1;
    if (soil.nlayer < 1 || soil.nlayer > kMaxLayers) return fail(msg::layer_count(soil.nlayer));
    common::write_record(*wtd, kWtdTitle, {soil.title});
    common::write_record(*mis, kCount, {soil.nlayer});

    float top = 0.0f;  // top of the layer (cm)
    for (int32_t layer = 1; layer <= soil.nlayer; ++layer) {
        const int32_t l = layer - 1;
        auto& head = soil.head[l];
        auto& theta = soil.theta[l];
        int32_t n = 0;
        if (common::read_free(*in, {n, soil.ksat[l], soil.zbot[l]}) != common::ReadStatus::Done) return -1;
        if (n > kMaxMeasured) return fail(msg::too_many_points(layer, n));
        if (n < 2) return fail(msg::too_few_points(layer, n));
        {
            common::FreeReader points(*in);
            for (int32_t j = 0; j < n; ++j)
                if (!points.get(theta[j]) || !points.get(head[j])) break;
            if (points.finish() != common::ReadStatus::Done) return -1;
        }

        // The points as given, before any repair.
        common::write_free(*mis, {"*TOP AND BOTTOM OF LAYER"});
        common::write_record(*mis, kTopBottom, {top, soil.zbot[l]});
        common::write_free(*mis, {"*NUMBER OF POINTS IN LAYER"});
        common::write_record(*mis, kCount, {n});
        common::StatementWriter echo(*mis, kPoint);
        for (int32_t j = 0; j < n; ++j) echo << theta[j] << head[j];
        echo.finish();
        top = soil.zbot[l];

        CHKSWC(ctx, *wtd, n, layer, soil);

        // A curve that stops short of 1000 cm gets a point there with the
        // water content of its driest point. The suction is compared, so a
        // curve given in negative heads down to -15000 cm needs no such point.
        if (std::fabs(head[n - 1]) < kDriestHead) {
            n = n + 1;
            head[n - 1] = kDriestHead;
            theta[n - 1] = theta[n - 2];
            common::write_free(*wtd, {" "});
            common::write_free(*wtd, {" ERROR!!"});
            common::write_free(*wtd, {" SOIL WATER CHARACTERISTIC CURVE FOR LAYER ", layer});
            common::write_free(*wtd, {" DOES NOT GO TO 1000 CM. A VALUE WAS ENTERED BY"});
            common::write_free(*wtd, {" THE PROGRAM. CHECK THIS VALUE."});
        }
        soil.npts[l] = n;
        for (int32_t j = 0; j < n; ++j)
            if (head[j] < 0.0f) head[j] = -head[j];
    }

    std::string mis_path = mis->path();
    ctx.units.close(in_unit);
    if (!ctx.units.close(mis_unit)) return fail(msg::cannot_open(mis_path));
    return 0;
}

}  // namespace pedopre
