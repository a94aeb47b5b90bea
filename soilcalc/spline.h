// Natural cubic spline: fitting (ZSPL3, with the tridiagonal solver TRI),
// evaluation (SPL3), and the fixed 21-point fit of the upward-flux table
// sampled at the 20 water-table depths of the model's tables (SPLFIT).
//
// Arrays hold the points in order, element 0 being point 1. Every routine
// records its name as the current routine name on entry.
#pragma once

#include <array>
#include <cstdint>

namespace soilcalc {

inline constexpr int kSplfitPoints = 21;  // points of the upward-flux fit
inline constexpr int kSplfitRows = 20;    // sampled water-table depths

// Solves the tridiagonal system a(i-1)u(i-1) + b(i)u(i) + c(i)u(i+1) = d(i),
// i = 1..n, by elimination without pivoting. On return d holds u and b the
// eliminated diagonal; a and c are only read and may be the same array.
// Returns 0, or -1 (arrays partly eliminated) when a pivot is zero or n < 1.
int32_t TRI(int32_t n, const float* a, float* b, const float* c, float* d);

// Second derivatives z(1..n) of the natural spline through (x, y), using the
// work arrays b and hw of length n. Returns 0, or -1 when n < 2, when two
// neighbouring abscissae are equal or not numbers (nothing is then computed),
// or when the elimination meets a zero pivot. Abscissae that do not rise are
// fitted as they stand.
int32_t ZSPL3(int32_t n, const float* x, const float* y, float* b, float* hw, float* z);

// The spline value at t; outside the points the end pieces are extrapolated.
// Needs n >= 2 and the second derivatives from ZSPL3.
float SPL3(int32_t n, const float* x, const float* y, const float* z, float t);

// Fits the spline through the 21 points (x, y), note the argument order, and
// samples it at the 20 fixed depths (cm) into tout and yout. A depth short of
// x(1) takes y(1); every value is clipped to 0.0 .. 0.5. Returns 0, or -1
// when ZSPL3 cannot fit the points.
int32_t SPLFIT(const std::array<float, kSplfitPoints>& y, const std::array<float, kSplfitPoints>& x,
               std::array<float, kSplfitRows>& yout, std::array<float, kSplfitRows>& tout);

}  // namespace soilcalc
