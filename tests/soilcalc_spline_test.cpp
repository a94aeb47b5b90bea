// Natural cubic spline: the tridiagonal solver, the second derivatives, the
// evaluation with its interval choice and extrapolation, and the fixed
// 21-point fit of the upward-flux table with its hold and clipping.
#include <gtest/gtest.h>

#include <array>

#include "soilcalc/run_state.h"
#include "soilcalc/spline.h"

using namespace soilcalc;

TEST(Spline, TriWithoutOffDiagonalsDividesByTheDiagonal) {
    std::array<float, 3> zero{}, b{2.0f, 4.0f, 8.0f}, d{1.0f, 1.0f, 1.0f};
    ASSERT_EQ(TRI(3, zero.data(), b.data(), zero.data(), d.data()), 0);
    EXPECT_EQ(d[0], 0.5f);
    EXPECT_EQ(d[1], 0.25f);
    EXPECT_EQ(d[2], 0.125f);
    std::array<float, 2> bz{0.0f, 1.0f}, dz{1.0f, 1.0f}, one{1.0f, 1.0f};
    EXPECT_EQ(TRI(2, one.data(), bz.data(), one.data(), dz.data()), -1);  // zero pivot
}

TEST(Spline, ThreePointsGiveTheHandWorkedCurve) {
    std::array<float, 3> x{0.0f, 1.0f, 2.0f}, y{0.0f, 1.0f, 0.0f}, b{}, hw{}, z{};
    ASSERT_EQ(ZSPL3(3, x.data(), y.data(), b.data(), hw.data(), z.data()), 0);
    EXPECT_EQ(z[0], 0.0f);
    EXPECT_EQ(z[1], -3.0f);
    EXPECT_EQ(z[2], 0.0f);
    EXPECT_EQ(SPL3(3, x.data(), y.data(), z.data(), 0.5f), 0.6875f);
    EXPECT_EQ(SPL3(3, x.data(), y.data(), z.data(), 1.5f), 0.6875f);  // interval 2
    EXPECT_EQ(SPL3(3, x.data(), y.data(), z.data(), 1.0f), 1.0f);     // a point uses its interval
    // Below x(1) the first cubic goes on: 0 + dt*(1.5 - 0.5*dt*dt) at dt = -1.
    EXPECT_EQ(SPL3(3, x.data(), y.data(), z.data(), -1.0f), -1.0f);
    EXPECT_EQ(std::string(routine_name().substr(0, 5)), "SPL3 ");
}

TEST(Spline, StraightLinesAreReproducedWithinAndBeyondThePoints) {
    std::array<float, 2> x2{1.0f, 3.0f}, y2{2.0f, 6.0f}, b2{}, hw2{}, z2{};
    ASSERT_EQ(ZSPL3(2, x2.data(), y2.data(), b2.data(), hw2.data(), z2.data()), 0);
    for (float t : {-1.0f, 1.0f, 2.0f, 3.0f, 10.0f}) EXPECT_EQ(SPL3(2, x2.data(), y2.data(), z2.data(), t), 2.0f * t);

    std::array<float, 6> x{}, y{}, b{}, hw{}, z{};
    for (int i = 0; i < 6; ++i) {
        x[i] = static_cast<float>(i);
        y[i] = 2.0f * x[i];
    }
    ASSERT_EQ(ZSPL3(6, x.data(), y.data(), b.data(), hw.data(), z.data()), 0);
    for (float zi : z) EXPECT_EQ(zi, 0.0f);
    for (float t : {-2.0f, 0.5f, 4.0f, 5.0f, 8.0f}) EXPECT_EQ(SPL3(6, x.data(), y.data(), z.data(), t), 2.0f * t);
}

TEST(Spline, ZspL3RejectsPointsThatCannotBeFitted) {
    std::array<float, 3> x{0.0f, 1.0f, 1.0f}, y{0.0f, 1.0f, 2.0f}, b{}, hw{}, z{};
    EXPECT_EQ(ZSPL3(3, x.data(), y.data(), b.data(), hw.data(), z.data()), -1);
    EXPECT_EQ(ZSPL3(1, x.data(), y.data(), b.data(), hw.data(), z.data()), -1);
}

TEST(Spline, SplfitHoldsTheFirstFluxAboveTheFirstDepthAndClips) {
    std::array<float, kSplfitPoints> x{}, y{};
    for (int k = 0; k < kSplfitPoints; ++k) {
        x[k] = 4.5f + 20.0f * static_cast<float>(k);   // 4.5 .. 404.5 cm
        y[k] = 0.45f - 0.03f * static_cast<float>(k);  // falls to -0.15
    }
    std::array<float, kSplfitRows> yout{}, tout{};
    ASSERT_EQ(SPLFIT(y, x, yout, tout), 0);
    const std::array<float, kSplfitRows> grid = {0,  3,  6,  9,  12, 15,  20,  25,  30,  35,
                                                 40, 45, 60, 75, 90, 120, 150, 200, 500, 1000};
    EXPECT_EQ(tout, grid);
    EXPECT_EQ(yout[0], 0.45f);  // 0 and 3 cm lie above x(1): held, not extrapolated
    EXPECT_EQ(yout[1], 0.45f);
    EXPECT_NEAR(yout[2], 0.45f - 0.03f * 1.5f / 20.0f, 1e-6f);  // 6 cm is evaluated
    EXPECT_EQ(yout[18], 0.0f);                                  // the extrapolated line is negative at 500 and 1000 cm
    EXPECT_EQ(yout[19], 0.0f);
    for (float v : yout) {
        EXPECT_GE(v, 0.0f);
        EXPECT_LE(v, 0.5f);
    }
    // Ordinates above the upper bound are clipped to 0.5.
    for (auto& v : y) v += 0.2f;
    ASSERT_EQ(SPLFIT(y, x, yout, tout), 0);
    EXPECT_EQ(yout[0], 0.5f);
    EXPECT_EQ(std::string(routine_name().substr(0, 5)), "SPL3 ");
}
