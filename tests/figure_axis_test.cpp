// The choice of axes: round linear steps, whole decades, and the ranges that
// could break a figure (one value, none, values <= 0 on a log axis, values
// near the ends of the double range).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "figure/axis.h"

using namespace figure;

namespace {

std::vector<std::string> labels(const Axis& a) {
    std::vector<std::string> out;
    for (const Tick& t : a.ticks) out.push_back(t.label);
    return out;
}

// The step between ticks, when it is one, round and the same throughout.
double round_step(const Axis& a) {
    const double step = a.ticks[1].value - a.ticks[0].value;
    for (size_t i = 1; i < a.ticks.size(); ++i) {
        const double s = a.ticks[i].value - a.ticks[i - 1].value;
        if (std::fabs(s - step) > step * 1e-6) return 0;
    }
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-6));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (std::fabs(mantissa - m) < 1e-6) return step;
    }
    return 0;
}

TEST(LinearAxis, RoundStepsWithWholeStepsAtTheEnds) {
    struct Case {
        std::vector<double> data;
        double lo, hi;
        std::vector<std::string> labels;
    };
    const std::vector<Case> cases{
        {{0, 1}, 0, 1, {"0", "0.2", "0.4", "0.6", "0.8", "1"}},
        {{0.3, 9.7}, 0, 10, {"0", "2", "4", "6", "8", "10"}},
        {{-3.2, 47}, -10, 50, {"-10", "0", "10", "20", "30", "40", "50"}},
        {{1989.5, 2019.5}, 1985, 2020, {"1985", "1990", "1995", "2000", "2005", "2010", "2015", "2020"}},
        {{0.0012, 0.0087}, 0, 0.01, {"0", "0.002", "0.004", "0.006", "0.008", "0.01"}},
        {{1e-9, 3e-9}, 1e-9, 3e-9, {"1e-9", "1.5e-9", "2e-9", "2.5e-9", "3e-9"}},
        // 0.1 + 0.2 lies a rounding error past 0.3: no extra step for it.
        {{0.0, 0.1 + 0.2}, 0, 0.3, {"0", "0.05", "0.1", "0.15", "0.2", "0.25", "0.3"}},
        {{12345678, 12345699},
         12345675,
         12345700,
         {"12345675", "12345680", "12345685", "12345690", "12345695", "12345700"}},
    };
    for (const Case& c : cases) {
        const Axis a = choose_axis(Scale::Linear, c.data);
        EXPECT_DOUBLE_EQ(a.lo, c.lo) << c.data[0];
        EXPECT_DOUBLE_EQ(a.hi, c.hi) << c.data[0];
        EXPECT_EQ(labels(a), c.labels) << c.data[0];
    }
    // Years have no halves: a whole-number axis keeps to steps of 1.
    const std::vector<double> years{1994.6, 1996.4};
    EXPECT_EQ(labels(choose_axis(Scale::Linear, years)),
              (std::vector<std::string>{"1994.5", "1995", "1995.5", "1996", "1996.5"}));
    EXPECT_EQ(labels(choose_axis(Scale::Linear, years, 1)), (std::vector<std::string>{"1994", "1995", "1996", "1997"}));
}

TEST(LinearAxis, AnyRangeGivesFourToEightRoundTicksCoveringIt) {
    uint64_t state = 12345;
    auto uniform = [&]() {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 11) / 9007199254740992.0;
    };
    for (int i = 0; i < 20000; ++i) {
        const double scale = std::pow(10.0, uniform() * 24 - 12);
        const double a = (uniform() * 2 - 1) * scale;
        const double b = a + uniform() * scale * std::pow(10.0, -uniform() * 6);
        const Axis ax = choose_axis(Scale::Linear, std::vector<double>{a, b});
        ASSERT_GE(ax.ticks.size(), 4u) << a << " " << b;
        ASSERT_LE(ax.ticks.size(), 8u) << a << " " << b;
        ASSERT_LE(ax.lo, std::min(a, b)) << a << " " << b;
        ASSERT_GE(ax.hi, std::max(a, b)) << a << " " << b;
        ASSERT_EQ(ax.ticks.front().value, ax.lo);
        ASSERT_EQ(ax.ticks.back().value, ax.hi);
        ASSERT_GT(round_step(ax), 0) << a << " " << b;
        // Labels differ, and each reads back as its tick's value.
        std::set<std::string> seen;
        const double step = ax.ticks[1].value - ax.ticks[0].value;
        for (const Tick& t : ax.ticks) {
            ASSERT_TRUE(seen.insert(t.label).second) << t.label;
            ASSERT_NEAR(std::strtod(t.label.c_str(), nullptr), t.value, step * 1e-6) << t.label;
        }
        for (const double v : {a, b}) {
            const double p = ax.position(v);
            ASSERT_TRUE(p >= 0 && p <= 1) << v;
        }
    }
}

TEST(LinearAxis, OneValueNoValueAndExtremeValues) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    // One value sits inside a small range around it.
    for (const double v : {5.0, -0.003, 1e12, 0.0}) {
        const Axis a = choose_axis(Scale::Linear, std::vector<double>{v, v});
        EXPECT_LT(a.lo, v);
        EXPECT_GT(a.hi, v);
        EXPECT_GE(a.ticks.size(), 4u);
        EXPECT_NEAR(a.position(v), 0.5, 0.2);
    }
    // No value, or none that can be drawn: 0 to 1.
    for (const std::vector<double>& v : {std::vector<double>{}, std::vector<double>{nan, inf, -inf, 1e301}}) {
        const Axis a = choose_axis(Scale::Linear, v);
        EXPECT_EQ(a.lo, 0);
        EXPECT_EQ(a.hi, 1);
    }
    // Undrawable values do not stretch the axis.
    const Axis a = choose_axis(Scale::Linear, std::vector<double>{1, nan, 3, inf});
    EXPECT_EQ(a.lo, 1);
    EXPECT_EQ(a.hi, 3);
    // Values next to zero, down to denormals, still give finite positions.
    for (const std::vector<double>& v :
         {std::vector<double>{1e-310, 3e-310}, std::vector<double>{0, 1e-295}, std::vector<double>{1e-280, 3e-280}}) {
        const Axis tiny = choose_axis(Scale::Linear, v);
        for (const double x : v) {
            EXPECT_GE(tiny.position(x), 0) << x;
            EXPECT_LE(tiny.position(x), 1) << x;
        }
    }
    // The widest drawable range has finite ends and positions.
    const Axis wide = choose_axis(Scale::Linear, std::vector<double>{-1e300, 1e300});
    EXPECT_TRUE(std::isfinite(wide.lo) && std::isfinite(wide.hi));
    EXPECT_DOUBLE_EQ(wide.position(0), 0.5);
    EXPECT_EQ(wide.nonpositive, 0);
    EXPECT_FALSE(wide.has_band());
}

TEST(LogAxis, WholeDecadesWithReadableLabels) {
    const Axis a = choose_axis(Scale::Log, std::vector<double>{0.02, 15000});
    EXPECT_DOUBLE_EQ(a.lo, 0.01);
    EXPECT_DOUBLE_EQ(a.hi, 1e5);
    EXPECT_EQ(labels(a), (std::vector<std::string>{"0.01", "0.1", "1", "10", "100", "1000", "1e4", "1e5"}));
    EXPECT_EQ(choose_axis(Scale::Log, std::vector<double>{0.02, 1500}).minor.size(),
              6u * 8u);  // 2 to 9 in each decade
    EXPECT_DOUBLE_EQ(a.position(0.01), 0);
    EXPECT_DOUBLE_EQ(a.position(1e5), 1);
    EXPECT_NEAR(a.position(10), 3.0 / 7.0, 1e-12);

    // Values on whole decades are not pushed a decade further.
    const Axis exact = choose_axis(Scale::Log, std::vector<double>{1, 1000});
    EXPECT_EQ(labels(exact), (std::vector<std::string>{"1", "10", "100", "1000"}));
    const Axis small = choose_axis(Scale::Log, std::vector<double>{1e-5, 0.001});
    EXPECT_EQ(labels(small), (std::vector<std::string>{"1e-5", "1e-4", "0.001"}));

    // Many decades: a tick at each, a label at every other, at most ten.
    const Axis many = choose_axis(Scale::Log, std::vector<double>{1e-16, 1000});
    EXPECT_EQ(many.ticks.size(), 20u);
    EXPECT_TRUE(many.minor.empty());
    int labelled = 0;
    for (const Tick& t : many.ticks) labelled += !t.label.empty();
    EXPECT_LE(labelled, 10);
    EXPECT_EQ(many.ticks.front().label, "1e-16");
}

TEST(LogAxis, OneValueNoValueAndTheEndsOfTheRange) {
    EXPECT_EQ(labels(choose_axis(Scale::Log, std::vector<double>{5})), (std::vector<std::string>{"1", "10"}));
    EXPECT_EQ(labels(choose_axis(Scale::Log, std::vector<double>{100})),
              (std::vector<std::string>{"10", "100", "1000"}));
    const Axis none = choose_axis(Scale::Log, std::vector<double>{});
    EXPECT_EQ(none.lo, 1);
    EXPECT_EQ(none.hi, 10);
    EXPECT_FALSE(none.has_band());
    // Tiny and huge values keep every position finite and in order.
    for (const std::vector<double>& v :
         {std::vector<double>{1e-300, 1e300}, std::vector<double>{std::numeric_limits<double>::denorm_min(), 1}}) {
        const Axis a = choose_axis(Scale::Log, v);
        EXPECT_GT(a.lo, 0);
        EXPECT_TRUE(std::isfinite(a.hi));
        EXPECT_LE(a.ticks.size(), 31u);
        const double p0 = a.position(v[0]);
        const double p1 = a.position(v[1]);
        EXPECT_TRUE(std::isfinite(p0) && std::isfinite(p1));
        EXPECT_GE(p0, 0);
        EXPECT_LT(p0, p1);
        EXPECT_LE(p1, 1);
    }
}

TEST(LogAxis, ValuesAtOrBelowZeroAreCountedAndGetTheBand) {
    const Axis a = choose_axis(Scale::Log, std::vector<double>{-3, 0, 0.5, 200});
    EXPECT_EQ(a.nonpositive, 2);
    EXPECT_TRUE(a.has_band());
    EXPECT_DOUBLE_EQ(a.lo, 0.1);  // the decades come from the positive values
    EXPECT_DOUBLE_EQ(a.hi, 1000);
    EXPECT_DOUBLE_EQ(a.position(0), kBandShare / 2);
    EXPECT_DOUBLE_EQ(a.position(-3), kBandShare / 2);
    EXPECT_DOUBLE_EQ(a.position(0.1), kBandShare);  // the lowest decade sits above the band
    EXPECT_DOUBLE_EQ(a.position(1000), 1);
    EXPECT_LT(a.position(0), a.position(0.5));

    // Only values <= 0: still a whole decade above the band.
    const Axis only = choose_axis(Scale::Log, std::vector<double>{0, -1});
    EXPECT_EQ(only.nonpositive, 2);
    EXPECT_TRUE(only.has_band());
    EXPECT_EQ(only.lo, 1);
    EXPECT_EQ(only.hi, 10);

    // A linear axis places them and keeps no band.
    const Axis lin = choose_axis(Scale::Linear, std::vector<double>{-3, 0, 5});
    EXPECT_FALSE(lin.has_band());
}

}  // namespace
