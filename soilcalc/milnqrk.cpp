#include "soilcalc/milnqrk.h"

#include <cmath>

#include "soilcalc/sav1.h"

namespace soilcalc {

void add_missing_saturated_point(int32_t& n, CurveColumn& theta, CurveColumn& h) {
    if (lacks_saturated_point(h)) add_saturated_point(n, theta, h);
}

void millington_quirk(const CurveColumn& ws, const CurveColumn& hs, int32_t rows, CurveColumn& kmq) {
    const float q = static_cast<float>(rows - 1);
    for (int32_t i = 2; i <= rows; ++i) {
        // Pore classes j = 2 .. i, each weighted by 2(i - j) + 1 over the
        // square of its class head, the mean of the heads bounding it (cm).
        float sum = 0.0f;
        for (int32_t j = 2; j <= i; ++j) {
            float a = hs[j - 2];
            float b = hs[j - 1];
            sum = sum + static_cast<float>(2 * (i - j) + 1) / (((a + b) * (a + b)) / 4.0f);
        }
        kmq[i - 1] = 270.0f * std::pow(ws[i - 1], 1.3333f) * sum / (q * q);
    }
    kmq[0] = kmq[1];
}

std::string MILNQRK(int32_t n, CurveColumn theta, CurveColumn h, float ks, float zb, int32_t layer,
                    ConductivityLayer& out) {
    add_missing_saturated_point(n, theta, h);

    // Driest first, heads as non-positive pressure heads (cm).
    CurveColumn& ws = out.theta;
    CurveColumn& hs = out.head;
    for (int32_t j = 0; j < n; ++j) {
        float head = h[n - 1 - j];
        ws[j] = theta[n - 1 - j];
        hs[j] = head <= 0.0f ? head : -head;
    }
    int32_t rows = n;
    if (std::string why = regrid_theta_steps(ws, hs, rows, layer); !why.empty()) return why;

    CurveColumn kmq{};
    millington_quirk(ws, hs, rows, kmq);
    out.rows = rows;
    out.k_header = ks;
    out.zbot = zb;
    out.ksat = ks;

    // Match the curve to the measured saturated conductivity.
    CurveColumn r{};
    for (int32_t j = 0; j < rows; ++j) {
        r[j] = kmq[j] / kmq[rows - 1];
        out.cond[j] = ks * r[j];
    }
    out.sav_head = hs;
    out.front = SAV1(hs, r, rows);
    return {};
}

}  // namespace soilcalc
