#include "soilcalc/upflux.h"

#include <cmath>

#include "soilcalc/messages.h"
#include "soilcalc/spline.h"

namespace soilcalc {

const std::array<float, kFluxes> kUpwardFluxes = {0.5f,   0.2f,   0.15f,  0.1f,    0.075f,  0.05f,   0.025f,
                                                  0.02f,  0.015f, 0.012f, 0.01f,   0.0075f, 0.005f,  0.004f,
                                                  0.003f, 0.002f, 0.001f, 0.0008f, 0.0006f, 0.0004f, 0.0002f};

namespace {

static_assert(kFluxes == kSplfitPoints, "the fit takes one point per flux");

constexpr float kTopTension = 1000.0f;      // tension at the reference level (cm)
constexpr float kDeepestBottom = 10000.0f;  // the deepest layer reaches this far (cm)
constexpr float kNominalThickness = 5.0f;   // layers above the reference level (cm)
constexpr float kBottomTolerance = 0.1f;    // bisection accepts a miss below this (cm)
constexpr float kMaxDivisor = 5500.0f;      // bisection gives up beyond 1/4096 steps

}  // namespace

FluxProfile flux_profile(const MqTables& t) {
    FluxProfile p;
    p.nl = t.nl;
    p.half_root_depth = t.rootdepth;
    for (int32_t l = 0; l < t.nl; ++l) {
        const MqLayer& layer = t.layers[l];
        p.n[l] = layer.rows;
        p.bottom[l] = layer.bottom;
        for (int32_t j = 0; j < layer.rows; ++j) {
            p.tension[l][layer.rows - 1 - j] = -layer.head[j];
            p.cond[l][layer.rows - 1 - j] = layer.cond[j];
        }
    }
    p.bottom[p.nl - 1] = kDeepestBottom;
    // Every bottom measured from the reference level.
    float s = 0.0f;
    for (int l = 0; l < p.nl; ++l) {
        float d = p.bottom[l] - p.half_root_depth;
        if (d <= kNominalThickness) {
            s = s + kNominalThickness;
            p.bottom[l] = s;
        } else {
            p.bottom[l] = s + d;
        }
    }
    return p;
}

FluxDepth water_table_depth(const FluxProfile& p, float q, float top) {
    FluxDepth r;
    float z = 0.0f;
    int l = 0;
    float th = top;  // tension at the top of the current step (cm)
    const float deepest = p.bottom[p.nl - 1];
    auto end = [&](FluxDepth::End how, float depth) {
        r.end = how;
        r.depth = depth;
        return r;
    };
    auto failed = [&](std::string message) {
        r.error = std::move(message);
        return end(FluxDepth::End::Failed, 0.0f);
    };
    for (;;) {
        // Enter layer l with the tension th at its top.
        const auto& tau = p.tension[l];
        const auto& k = p.cond[l];
        const int32_t n = p.n[l];
        int32_t ip = 0;  // first row (1-based) at or above the entering tension
        for (int32_t i = 1; i <= n; ++i) {
            if (tau[i - 1] >= th) {
                ip = i;
                break;
            }
        }
        if (ip == 0) {
            r.notices.push_back({FluxNotice::Kind::Reduction, q, int32_t{l + 1}, th, tau[n - 1]});
            th = tau[n - 1];
            ip = n;
        }
        if (ip == 1) return failed(msg::tension_not_above_wettest(th, l + 1));
        // Every row wetter than the entering tension is a divisor of the flux,
        // and so is the conductivity interpolated at the entering tension. A
        // drier row (a zero printed for a tiny dry conductivity) only enters
        // the interpolation.
        for (int32_t i = 1; i < ip; ++i)
            if (!(k[i - 1] > 0.0f)) return failed(msg::nonpositive_conductivity(l + 1, i));
        int32_t j = ip - 1;
        if (!(tau[ip - 1] > tau[j - 1])) return failed(msg::tensions_do_not_rise(l + 1, ip));
        float kh = ((th - tau[j - 1]) / (tau[ip - 1] - tau[j - 1])) * (k[ip - 1] - k[j - 1]) + k[j - 1];
        if (!(kh > 0.0f)) return failed(msg::nonpositive_conductivity(l + 1, ip));

        // Steps down the table, from tension th to row j, while they stay
        // within the layer.
        for (;;) {
            float tl = tau[j - 1];
            float kl = k[j - 1];
            float dz = 0.5f * (th - tl) * (1.0f / (1.0f + q / kl) + 1.0f / (1.0f + q / kh));
            if (!(z + dz <= p.bottom[l])) break;
            z = z + dz;
            if (z > deepest) {
                r.notices.push_back({FluxNotice::Kind::BelowBottom, q, int32_t{l + 1}});
                return end(FluxDepth::End::BelowBottom, p.bottom[l]);
            }
            if (j == 1) return end(FluxDepth::End::WaterTable, z);
            th = tl;
            kh = kl;
            j = j - 1;
        }

        // The bottom of layer l lies within the step from row j+1 to row j:
        // find its tension by bisection on the fraction of the interval.
        float f = 0.5f;
        float m = 2.0f;
        float tb = 0.0f, dz = 0.0f;
        for (;;) {
            tb = tau[j] - f * (tau[j] - tau[j - 1]);
            float kb = k[j] - f * (k[j] - k[j - 1]);
            if (!(kb > 0.0f)) return failed(msg::nonpositive_conductivity(l + 1, j + 1));
            dz = 0.5f * (th - tb) * (1.0f / (1.0f + q / kb) + 1.0f / (1.0f + q / kh));
            float e = z + dz - p.bottom[l];
            if (std::fabs(e) < kBottomTolerance) break;
            float sigma = e > kBottomTolerance ? 1.0f : -1.0f;
            m = m * 2.0f;
            if (m > kMaxDivisor) {
                r.notices.push_back({FluxNotice::Kind::CannotFind, q, int32_t{l + 1}});
                return failed(std::string(msg::kUpfluxError));
            }
            f = f - sigma / m;
        }
        z = z + dz;
        if (z > deepest || l + 1 >= p.nl) {
            r.notices.push_back({FluxNotice::Kind::BelowBottom, q, int32_t{l + 1}});
            return end(FluxDepth::End::BelowBottom, p.bottom[l]);
        }
        l = l + 1;
        th = tb;
    }
}

UpwardFlux UPFLUX(const MqTables& t) {
    UpwardFlux u;
    const FluxProfile p = flux_profile(t);
    u.half_root_depth = p.half_root_depth;

    // Water-table depth (cm) of each flux.
    float top = kTopTension;
    const int32_t n1 = p.n[0];
    for (int k = 0; k < kFluxes; ++k) {
        if (top >= p.tension[0][n1 - 1]) top = p.tension[0][n1 - 1];
        FluxDepth d = water_table_depth(p, kUpwardFluxes[k], top);
        u.notices.insert(u.notices.end(), d.notices.begin(), d.notices.end());
        if (d.end == FluxDepth::End::Failed) {
            u.error = std::move(d.error);
            return u;
        }
        u.depth[k] = d.depth;
    }
    u.depths_found = true;

    // The fit divides by the distance between neighbouring depths. Depths
    // that do not deepen along the list (the bisection's tolerance alone can
    // do that in a layered profile) are fitted as they stand.
    for (int k = 1; k < kFluxes; ++k) {
        if (u.depth[k] == u.depth[k - 1]) {
            u.error = msg::equal_flux_depths(kUpwardFluxes[k], u.depth[k]);
            return u;
        }
    }
    if (SPLFIT(kUpwardFluxes, u.depth, u.fitted, u.grid) != 0) u.error = std::string(msg::kNoSplineFits);
    return u;
}

}  // namespace soilcalc
