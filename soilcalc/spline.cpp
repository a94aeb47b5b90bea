#include "soilcalc/spline.h"

#include "soilcalc/run_state.h"

namespace soilcalc {
namespace {

// The sampling depths of the model's tables (cm).
constexpr std::array<float, kSplfitRows> kGrid = {0.0f,  3.0f,   6.0f,   9.0f,   12.0f,  15.0f,  20.0f,
                                                  25.0f, 30.0f,  35.0f,  40.0f,  45.0f,  60.0f,  75.0f,
                                                  90.0f, 120.0f, 150.0f, 200.0f, 500.0f, 1000.0f};
constexpr float kFluxLow = 0.0f;  // clipping bounds of the fitted flux (cm/hr)
constexpr float kFluxHigh = 0.5f;

}  // namespace

// Indices below are 0-based: element k holds point k + 1.
int32_t TRI(int32_t n, const float* a, float* b, const float* c, float* d) {
    set_routine("TRI");
    if (n < 1) return -1;
    for (int32_t i = 1; i < n; ++i) {
        if (b[i - 1] == 0.0f) return -1;
        float r = a[i - 1] / b[i - 1];
        b[i] = b[i] - r * c[i - 1];
        d[i] = d[i] - r * d[i - 1];
    }
    if (b[n - 1] == 0.0f) return -1;
    d[n - 1] = d[n - 1] / b[n - 1];
    for (int32_t k = n - 2; k >= 0; --k) d[k] = (d[k] - c[k] * d[k + 1]) / b[k];
    return 0;
}

int32_t ZSPL3(int32_t n, const float* x, const float* y, float* b, float* hw, float* z) {
    set_routine("ZSPL3");
    if (n < 2) return -1;
    // Each interval width divides a slope: two equal abscissae cannot be fitted.
    for (int32_t i = 1; i < n; ++i) {
        if (!(x[i] != x[i - 1])) return -1;
    }
    b[0] = 1.0f;
    hw[0] = 0.0f;
    z[0] = 0.0f;
    for (int32_t i = 1; i < n - 1; ++i) {
        b[i] = 2.0f * (x[i + 1] - x[i - 1]);
        hw[i] = x[i + 1] - x[i];
        // Slopes of the intervals on either side of point i + 1.
        float s_right = (y[i + 1] - y[i]) / (x[i + 1] - x[i]);
        float s_left = (y[i] - y[i - 1]) / (x[i] - x[i - 1]);
        z[i] = 6.0f * (s_right - s_left);
    }
    b[n - 1] = 1.0f;
    hw[n - 2] = 0.0f;
    z[n - 1] = 0.0f;
    return TRI(n, hw, b, hw, z);
}

float SPL3(int32_t n, const float* x, const float* y, const float* z, float t) {
    set_routine("SPL3");
    if (n < 2) return n == 1 ? y[0] : 0.0f;
    // The last interval whose left point is at or below t; interval 1 when
    // t lies below point 2.
    int32_t i = 0;
    float dt = t - x[0];
    for (int32_t k = n - 2; k >= 1; --k) {
        float d = t - x[k];
        if (d >= 0.0f) {
            i = k;
            dt = d;
            break;
        }
    }
    float h = x[i + 1] - x[i];
    float c = 0.5f * z[i] + (z[i + 1] - z[i]) * dt / (6.0f * h);
    float b = (y[i + 1] - y[i]) / h - (2.0f * z[i] + z[i + 1]) * h / 6.0f + dt * c;
    return y[i] + dt * b;
}

int32_t SPLFIT(const std::array<float, kSplfitPoints>& y, const std::array<float, kSplfitPoints>& x,
               std::array<float, kSplfitRows>& yout, std::array<float, kSplfitRows>& tout) {
    set_routine("SPLFIT");
    std::array<float, kSplfitPoints> b{}, hw{}, z{};
    if (ZSPL3(kSplfitPoints, x.data(), y.data(), b.data(), hw.data(), z.data()) != 0) return -1;
    for (int k = 0; k < kSplfitRows; ++k) {
        tout[k] = kGrid[k];
        float t = kGrid[k];
        if (t < x[0])
            yout[k] = y[0];
        else
            yout[k] = SPL3(kSplfitPoints, x.data(), y.data(), z.data(), t);
        if (yout[k] < kFluxLow) yout[k] = kFluxLow;
        if (yout[k] > kFluxHigh) yout[k] = kFluxHigh;
    }
    return 0;
}

}  // namespace soilcalc
