#include "soilcalc/regrid.h"

#include "soilcalc/messages.h"

namespace soilcalc {
namespace {

constexpr int32_t kMaxRows = 99;  // the row count is written as I2
constexpr int32_t kPermille = 1000;

// True when 1000 * theta + 0.1 truncates to a permille index 1 to 1000.
bool permille_in_range(float scaled) {
    return scaled >= 1.0f && scaled < 1001.0f;
}

}  // namespace

std::string regrid_theta_steps(CurveColumn& ws, CurveColumn& hs, int32_t& n, int32_t layer) {
    // Flat dry end: drop the driest point while the next one has the same
    // water content (as the interpolation sees it, scaled by 1000).
    int32_t drop = 0;
    while (n - drop >= 2 && 1000.0f * ws[drop] == 1000.0f * ws[drop + 1]) ++drop;
    if (drop > 0) {
        for (int32_t j = 0; j + drop < n; ++j) {
            ws[j] = ws[j + drop];
            hs[j] = hs[j + drop];
        }
        n -= drop;
    }

    // Permille bounds of the driest and the wettest water content.
    float lo = 1000.0f * ws[0] + 0.1f;
    float hi = 1000.0f * ws[n - 1] + 0.1f;
    if (!permille_in_range(lo) || !permille_in_range(hi)) return msg::theta_range(layer);
    const int32_t klo = static_cast<int32_t>(lo);
    const int32_t khi = static_cast<int32_t>(hi);
    // Water contents that rise with suction are no characteristic at all;
    // the span check below would call them narrow.
    if (khi < klo) return msg::theta_reversed(layer, ws[0], ws[n - 1]);
    if (khi - klo < 10) return msg::theta_span(layer);
    const int32_t q = (khi - klo) / 10;
    if (q + 1 > kMaxRows) return msg::too_many_rows(layer, q + 1);

    // Head at every permille water content from klo to khi (cm), indexed by
    // the permille index itself.
    std::array<float, kPermille + 1> hp{};
    hp[khi] = hs[n - 1];
    int32_t s = 0;  // segment from row s to row s + 1, moving only forward
    for (int32_t k = klo; k < khi; ++k) {
        float x = static_cast<float>(k);
        while (s + 2 < n && x >= 1000.0f * ws[s + 1]) ++s;
        hp[k] = (x - 1000.0f * ws[s]) * (hs[s + 1] - hs[s]) / (1000.0f * ws[s + 1] - 1000.0f * ws[s]) + hs[s];
    }

    // Steps of 0.01 anchored at the wet end.
    const int32_t rem = khi - klo - 10 * q;
    const int32_t kstart = klo + rem;
    for (int32_t k = kstart; k <= khi; k += 10) {
        int32_t j = (k - kstart) / 10;
        ws[j] = static_cast<float>(k) / 1000.0f;
        hs[j] = hp[k];
    }
    n = q + 1;
    return {};
}

}  // namespace soilcalc
