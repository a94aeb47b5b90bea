#include "soilcalc/wtvoldrn.h"

#include <algorithm>
#include <cmath>

#include "common/fixed_text.h"
#include "common/layout.h"
#include "common/record_write.h"
#include "soilcalc/messages.h"
#include "soilcalc/out_file.h"
#include "soilcalc/wtd_file.h"

namespace pedopre {
namespace {

constexpr float kDz = 1.0f;                // grid step (cm)
constexpr float kProfileBottom = 1000.0f;  // bottom of the deepest layer (cm)
constexpr int kWdvRows = 201;              // .WDV rows per layer: 0 to 200 cm
constexpr float kWdvDepth = 200.0f;        // deepest water table of the .WDV file (cm)
constexpr float kVolumeCap = 100.0f;       // largest drained volume of the .OUT table (cm)

// Water-table depths of the .OUT table (cm); the first and last rows are fixed.
constexpr std::array<int32_t, kOutDepths> kOutDepthsCm = {0,  3,  6,  9,  12, 15,  20,  25,  30,  35,
                                                          40, 45, 60, 75, 90, 120, 150, 200, 500, 1000};

// Water content of layer l's soil at every grid suction: linear in suction
// between the points of the characteristic, advancing at most one point per
// 1-cm step. Beyond the driest point the water content stays at its value.
void water_content_on_grid(const SoilTable& soil, int l, const GridColumn& z, GridColumn& th) {
    const auto& head = soil.head[l];
    const auto& theta = soil.theta[l];
    const int32_t npts = soil.npts[l];
    // Slope of the characteristic between points j-1 and j (1-based); two
    // points at the same suction make a step, whose slope is never used.
    auto slope = [&](int32_t j) {
        float dh = head[j - 1] - head[j - 2];
        return dh == 0.0f ? 0.0f : (theta[j - 1] - theta[j - 2]) / dh;
    };
    th[0] = theta[0];
    int32_t j = 2;
    float s = slope(j);
    int i = 1;
    for (; i < kGridPoints; ++i) {
        if (z[i] < head[j - 1]) {
            th[i] = th[i - 1] + s * kDz;
        } else {
            j = j + 1;
            if (j > npts) {
                th[i] = theta[npts - 1];
                break;
            }
            s = slope(j);
            th[i] = theta[j - 2];
        }
    }
    for (++i; i < kGridPoints; ++i) th[i] = theta[npts - 1];
}

// The bottoms of the layers as the volumes use them (cm).
std::array<float, kMaxLayers> volume_bottoms(const SoilTable& soil) {
    std::array<float, kMaxLayers> zbot = soil.zbot;
    zbot[soil.nlayer - 1] = kProfileBottom;
    return zbot;
}

void write_wdv(common::Connection& wdv, const SoilTable& soil, const DrainedVolume& dv) {
    static const common::Layout kWdvNlayer("('*NLAYER')");
    static const common::Layout kWdvCount("(I3)");
    static const common::Layout kWdvLayer("('*TLAYER BLAYER NPTS')");
    static const common::Layout kWdvBounds("(F7.1,F8.1,1X,I4)");
    static const common::Layout kWdvCaption("('*WATER TABLE  VOLUME DRAINED')");
    static const common::Layout kWdvRow("(3X,I5,3X,F11.5)");
    const auto zbot = volume_bottoms(soil);
    common::write_record(wdv, kWdvNlayer, {});
    common::write_record(wdv, kWdvCount, {soil.nlayer});
    float top = 0.0f;
    for (int l = 0; l < soil.nlayer; ++l) {
        common::write_record(wdv, kWdvLayer, {});
        common::write_record(wdv, kWdvBounds, {top, zbot[l], int32_t{kWdvRows}});
        common::write_record(wdv, kWdvCaption, {});
        common::write_record(wdv, kWdvRow, {int32_t{0}, 0.0f});
        top = zbot[l];
        for (int i = 1; i < kGridPoints && dv.z[i] <= kWdvDepth; ++i)
            common::write_record(wdv, kWdvRow, {static_cast<int32_t>(std::lround(dv.z[i])), dv.w[l][i]});
    }
}

}  // namespace

float DrainedVolume::porosity(int k) const {
    if (k == 0) return 0.0f;
    if (k < kGridPoints - 1) return (vol[k] - vol[k - 1]) / (z[k] - z[k - 1]);
    return (vol[k - 1] - vol[k - 2]) / (z[k - 1] - z[k - 2]);
}

int32_t drained_volume_checks(const SoilTable& soil) {
    if (soil.nlayer < 1 || soil.nlayer > kMaxLayers) {
        set_error(msg::kProfileLayers);
        return -1;
    }
    for (int l = 0; l < soil.nlayer; ++l) {
        if (soil.npts[l] < 2 || soil.npts[l] > kMaxPoints) {
            set_error(msg::characteristic_points(l + 1));
            return -1;
        }
        if (l + 1 < soil.nlayer && !(soil.zbot[l] >= 0.0f && std::isfinite(soil.zbot[l]))) {
            set_error(msg::bottom_above_surface(l + 1));
            return -1;
        }
    }
    return 0;
}

DrainedVolume drained_volume(const SoilTable& soil) {
    const int32_t nlayer = soil.nlayer;
    const auto zbot = volume_bottoms(soil);
    DrainedVolume dv;
    dv.z[0] = 0.0f;
    for (int i = 1; i < kGridPoints; ++i) dv.z[i] = dv.z[i - 1] + kDz;
    const GridColumn& z = dv.z;

    // th[l][i]: water content of layer l at suction z[i].
    std::vector<GridColumn> th(static_cast<size_t>(nlayer));
    for (int l = 0; l < nlayer; ++l) water_content_on_grid(soil, l, z, th[l]);

    // w[l][i]: drained depth (cm) of a uniform column of layer l's soil of
    // height z[i] above a water table, by the trapezoidal rule.
    dv.w.resize(static_cast<size_t>(nlayer));
    for (int l = 0; l < nlayer; ++l) {
        const float theta_s = th[l][0];
        auto& w = dv.w[l];
        w[0] = 0.0f;
        for (int i = 1; i < kGridPoints; ++i)
            w[i] = w[i - 1] + (z[i] - z[i - 1]) * 0.5f * ((theta_s - th[l][i]) + (theta_s - th[l][i - 1]));
    }

    // Drained volume (cm) of the layered profile for the water table at z[k].
    dv.vol[0] = 0.0f;
    for (int k = 1; k < kGridPoints; ++k) {
        const float d = z[k];
        int m = 0;  // layer holding the water table (0-based)
        while (m < nlayer - 1 && !(d <= zbot[m])) ++m;
        // Grid index (1-based) of the suction at the top of each layer: the
        // surface, then the bottom of each layer above the water table; the
        // truncation takes the whole cm of smaller suction.
        int32_t upper = static_cast<int32_t>(d / kDz + 1.0f);
        float sum = 0.0f;
        for (int n = 0; n < m; ++n) {
            int32_t lower = static_cast<int32_t>((d - zbot[n]) / kDz + 1.0f);
            sum = sum + (dv.w[n][upper - 1] - dv.w[n][lower - 1]);
            upper = lower;
        }
        sum = sum + dv.w[m][upper - 1];
        dv.vol[k] = sum;
    }
    return dv;
}

int32_t WTVOLDRN(Context& ctx, int wtd_unit, int out_unit, const std::string& wdv_name,
                 const SoilTable& soil) {
    set_routine("WTVOLDRN");
    const std::string wdv_path(common::trim_right(wdv_name));
    common::Connection* wdv = ctx.units.open(kWdvUnit, wdv_path);
    if (!wdv) {
        set_error(msg::cannot_open(wdv_path, ctx.units.last_error()));
        return -1;
    }
    common::Connection* wtd = ctx.units.get(wtd_unit);
    common::Connection* out = ctx.units.get(out_unit);
    if (!wtd || !out) {
        set_error(msg::kFileIoError);
        return -1;
    }
    if (drained_volume_checks(soil) != 0) return -1;

    // Echo of the inputs, with the bottoms as given.
    write_wtd_inputs(*wtd, soil.nlayer, soil.zbot.data());
    write_wtd_grid(*wtd, kGridPoints, kDz);
    for (int l = 0; l < soil.nlayer; ++l)
        write_wtd_layer(*wtd, l + 1, soil.npts[l], soil.head[l].data(), soil.theta[l].data());

    const DrainedVolume dv = drained_volume(soil);
    write_wdv(*wdv, soil, dv);

    // Report table every 10 cm; each porosity is the slope over the last cm.
    write_wtd_table_head(*wtd);
    for (int k = 0; k < kGridPoints; k += 10) write_wtd_table_row(*wtd, dv.z[k], dv.vol[k], dv.porosity(k));

    // The 20-row section of the .OUT file that the soil input file takes.
    write_out_volume_head(*out);
    for (size_t r = 0; r < kOutDepthsCm.size(); ++r) {
        float depth = static_cast<float>(kOutDepthsCm[r]);
        float volume;
        if (r == 0) volume = 0.0f;
        else if (r + 1 == kOutDepthsCm.size()) volume = kVolumeCap;
        else volume = std::min(dv.vol[static_cast<size_t>(kOutDepthsCm[r])], kVolumeCap);
        write_out_volume_row(*out, depth, volume);
    }

    if (!ctx.units.close(kWdvUnit)) {
        set_error(msg::cannot_write(wdv_path, ctx.units.last_error()));
        return -1;
    }
    return 0;
}

}  // namespace pedopre
