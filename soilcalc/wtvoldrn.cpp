#include "soilcalc/wtvoldrn.h"

#include <algorithm>
#include <cmath>

#include "soilcalc/messages.h"

namespace soilcalc {
namespace {

constexpr float kDz = kGridStep;
constexpr float kProfileBottom = 1000.0f;  // bottom of the deepest layer (cm)
constexpr float kVolumeCap = 100.0f;       // largest drained volume of the soil input file (cm)

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
    // The running value stays in `t` rather than being read back from the
    // column at every step: the same sums, without a store and reload in
    // the chain of additions.
    float t = theta[0];
    th[0] = t;
    int32_t j = 2;
    float s = slope(j);
    int i = 1;
    for (; i < kGridPoints; ++i) {
        if (z[i] < head[j - 1]) {
            t = t + s * kDz;
        } else {
            j = j + 1;
            if (j > npts) {
                th[i] = theta[npts - 1];
                break;
            }
            s = slope(j);
            t = theta[j - 2];
        }
        th[i] = t;
    }
    for (++i; i < kGridPoints; ++i) th[i] = theta[npts - 1];
}

}  // namespace

std::array<float, kMaxLayers> volume_bottoms(const SoilTable& soil) {
    std::array<float, kMaxLayers> zbot = soil.zbot;
    zbot[soil.nlayer - 1] = kProfileBottom;
    return zbot;
}

std::array<float, kVolumeRows> volume_rows(const DrainedVolume& dv) {
    std::array<float, kVolumeRows> v{};
    for (size_t r = 0; r < kVolumeDepthsCm.size(); ++r) {
        if (r == 0)
            v[r] = 0.0f;
        else if (r + 1 == kVolumeDepthsCm.size())
            v[r] = kVolumeCap;
        else
            v[r] = std::min(dv.vol[static_cast<size_t>(kVolumeDepthsCm[r])], kVolumeCap);
    }
    return v;
}

float DrainedVolume::porosity(int k) const {
    if (k == 0) return 0.0f;
    if (k < kGridPoints - 1) return (vol[k] - vol[k - 1]) / (z[k] - z[k - 1]);
    return (vol[k - 1] - vol[k - 2]) / (z[k - 1] - z[k - 2]);
}

std::string drained_volume_checks(const SoilTable& soil) {
    if (soil.nlayer < 1 || soil.nlayer > kMaxLayers) return std::string(msg::kProfileLayers);
    for (int l = 0; l < soil.nlayer; ++l) {
        if (soil.npts[l] < 2 || soil.npts[l] > kMaxPoints) return msg::characteristic_points(l + 1);
        if (l + 1 < soil.nlayer && !(soil.zbot[l] >= 0.0f && std::isfinite(soil.zbot[l])))
            return msg::bottom_above_surface(l + 1);
    }
    return {};
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
    // height z[i] above a water table, by the trapezoidal rule. The layers'
    // sums are independent: running them side by side lets one layer's
    // additions wait on the previous step while another's proceed.
    dv.w.resize(static_cast<size_t>(nlayer));
    for (int l = 0; l < nlayer; ++l) dv.w[l][0] = 0.0f;
    for (int i = 1; i < kGridPoints; ++i) {
        const float dz = z[i] - z[i - 1];
        for (int l = 0; l < nlayer; ++l) {
            const float theta_s = th[l][0];
            dv.w[l][i] = dv.w[l][i - 1] + dz * 0.5f * ((theta_s - th[l][i]) + (theta_s - th[l][i - 1]));
        }
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

}  // namespace soilcalc
