// Steady upward flux: reading the conductivity file, the .UPQ echo, the
// adjusted layer bottoms, the top tension, the integration with its
// bisection at layer bottoms, the notices, the fitted report section, and
// the inputs that the integration cannot work with.
#include <gtest/gtest.h>

#include <cmath>

#include "common/fixed_text.h"
#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "pedopre_test_files.h"
#include "soilcalc/upflux.h"

using namespace pedopre;
using pedopre_test::lines_of;
using pedopre_test::LayerRows;
using pedopre_test::even_rows;

namespace {

const std::array<float, 21> kFlux = {0.5f,   0.2f,   0.15f,  0.1f,   0.075f, 0.05f,  0.025f,
                                     0.02f,  0.015f, 0.012f, 0.01f,  0.0075f, 0.005f, 0.004f,
                                     0.003f, 0.002f, 0.001f, 0.0008f, 0.0006f, 0.0004f, 0.0002f};

struct FluxRun {
    pedopre_test::TempDir dir;
    int32_t status = 0;
    std::string upq, out, console, error;

    explicit FluxRun(const std::string& mq, bool write_mq = true) {
        if (write_mq) pedopre_test::write_file(dir.file("s.MQ"), mq);
        Context ctx;
        ctx.units.open(kOutUnit, dir.file("s.OUT"));
        ctx.console = ctx.units.open(99, dir.file("console"));
        status = UPFLUX(ctx, kOutUnit, common::fixed(dir.file("s"), 256), common::fixed(dir.file("s.MQ"), 256));
        error = std::string(common::trim_right(error_message()));
        ctx.units.close_all();
        upq = pedopre_test::read_file(dir.file("s.UPQ"));
        out = pedopre_test::read_file(dir.file("s.OUT"));
        console = pedopre_test::read_file(dir.file("console"));
    }

    // The 21 water-table depths (cm) of the .UPQ table.
    std::vector<float> depths() const {
        auto lines = lines_of(upq);
        std::vector<float> w;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] != "   DEPTH (CM)  UPFLUX (CM/HR) ") continue;
            for (size_t k = i + 1; k < lines.size(); ++k) w.push_back(std::stof(lines[k].substr(4, 7)));
        }
        return w;
    }
};

}  // namespace

TEST(Upflux, OneLayerOfConstantConductivityGivesTheWaterTableAt1000OverOnePlusQ) {
    LayerRows layer{1.0f, 120.0f, 10.0f, {{0.40f, 0.0f, 1.0f}, {0.20f, 1000.0f, 1.0f}}};
    FluxRun r(pedopre_test::mq_text({layer}, 30.0f, 30.0f));
    ASSERT_EQ(r.status, 0) << r.error;
    auto upq = lines_of(r.upq);
    ASSERT_EQ(upq.size(), 1u + 6u + 2u + 1u + 21u);
    EXPECT_EQ(upq[0], std::string("TEST SOIL") + std::string(71, ' '));
    EXPECT_EQ(upq[1], "");
    EXPECT_EQ(upq[2], "");
    EXPECT_EQ(upq[3], " LAYER   1 GOES DOWN TO   120.CM. AND HAS THE TENSION-CONDUCTIVITY VALUES:");
    EXPECT_EQ(upq[4], "");
    EXPECT_EQ(upq[5], "   TENSION  CONDUCTIVITY");
    EXPECT_EQ(upq[6], "    (CM)      (CM/HR)");
    EXPECT_EQ(upq[7], "    0.00    0.1000E+01");
    EXPECT_EQ(upq[8], " 1000.00    0.1000E+01");
    EXPECT_EQ(upq[9], "   DEPTH (CM)  UPFLUX (CM/HR) ");
    EXPECT_EQ(upq[10], "     666.67      0.5000");
    EXPECT_EQ(upq[30], "     999.80      0.0002");
    auto w = r.depths();
    ASSERT_EQ(w.size(), 21u);
    for (int k = 0; k < 21; ++k) EXPECT_NEAR(w[k], 1000.0f / (1.0f + kFlux[k]), 0.006f) << k;

    auto out = lines_of(r.out);
    ASSERT_EQ(out.size(), 22u);
    EXPECT_EQ(out[0], "@TENSION AT ROOT ZONE = 1000 CM, 1/2 MAXIMUM ROOT DEPTH (CM) =   30.0");
    EXPECT_EQ(out[1], "   DEPTH (CM)  UPFLUX (CM/HR) ");
    // Depths above the first water table report the first flux exactly.
    EXPECT_EQ(out[2], "       0.00      0.5000");
    EXPECT_EQ(out[19], "     200.00      0.5000");
    EXPECT_EQ(out[20], "     500.00      0.5000");
    EXPECT_EQ(out[21].substr(0, 11), "    1000.00");
    EXPECT_EQ(r.console, "");
}

TEST(Upflux, TopTensionIsTheDriestTensionOfLayerOneWhenLower) {
    LayerRows layer{1.0f, 120.0f, 10.0f, {{0.40f, 0.0f, 1.0f}, {0.20f, 800.0f, 1.0f}}};
    FluxRun r(pedopre_test::mq_text({layer}, 30.0f, 45.0f));
    ASSERT_EQ(r.status, 0) << r.error;
    auto w = r.depths();
    ASSERT_EQ(w.size(), 21u);
    for (int k = 0; k < 21; ++k) EXPECT_NEAR(w[k], 800.0f / (1.0f + kFlux[k]), 0.006f) << k;
    EXPECT_EQ(lines_of(r.out)[0], "@TENSION AT ROOT ZONE = 1000 CM, 1/2 MAXIMUM ROOT DEPTH (CM) =   45.0");
}

TEST(Upflux, BottomsAreMeasuredFromTheReferenceLevelAndLayersAreCrossedByBisection) {
    // Bottoms 10, 50, 120 cm with the reference level at 30 cm become 5, 25
    // and 9975 cm. Conductivity is constant in each layer, so the tension
    // falls by (1 + q/K) cm per cm of depth: 5 cm of layer 1 (K = 1), 20 cm
    // of layer 2 (K = 0.25), then layer 3 (K = 1) down to zero tension.
    std::vector<LayerRows> layers = {{1.0f, 10.0f, 10.0f, even_rows(50.0f, 1000.0f, 1.0f)},
                                   {0.25f, 50.0f, 10.0f, even_rows(50.0f, 1000.0f, 0.25f)},
                                   {1.0f, 120.0f, 10.0f, even_rows(50.0f, 1000.0f, 1.0f)}};
    FluxRun r(pedopre_test::mq_text(layers, 30.0f, 30.0f));
    ASSERT_EQ(r.status, 0) << r.error;
    auto w = r.depths();
    ASSERT_EQ(w.size(), 21u);
    for (int k = 0; k < 21; ++k) {
        float q = kFlux[k];
        float left = 1000.0f - 5.0f * (1.0f + q) - 20.0f * (1.0f + q / 0.25f);
        // Each bottom is found within 0.1 cm.
        EXPECT_NEAR(w[k], 25.0f + left / (1.0f + q), 0.25f) << k;
    }
    auto upq = lines_of(r.upq);
    // The echo shows the bottoms as read; the deepest one too.
    EXPECT_NE(r.upq.find(" LAYER   1 GOES DOWN TO    10.CM."), std::string::npos);
    EXPECT_NE(r.upq.find(" LAYER   2 GOES DOWN TO    50.CM."), std::string::npos);
    EXPECT_NE(r.upq.find(" LAYER   3 GOES DOWN TO   120.CM."), std::string::npos);
}

TEST(Upflux, TensionBeyondTheNextLayersTableIsReducedWithANotice) {
    // Layer 2's table stops at 500 cm while about 990 cm arrive from above.
    std::vector<LayerRows> layers = {{1.0f, 35.0f, 10.0f, even_rows(50.0f, 1000.0f, 1.0f)},
                                   {1.0f, 200.0f, 10.0f, even_rows(50.0f, 500.0f, 1.0f)}};
    FluxRun r(pedopre_test::mq_text(layers, 30.0f, 30.0f));
    ASSERT_EQ(r.status, 0) << r.error;
    auto out = lines_of(r.out);
    ASSERT_GE(out.size(), 4u);
    EXPECT_EQ(out[0], "");
    EXPECT_EQ(out[1], "");
    EXPECT_EQ(out[2].substr(0, 51), " FOR UPFLUX=   0.50000TENSION AT TOP OF LAYER  2 IS");
    EXPECT_EQ(out[3], " THIS IS REDUCED TO  500.00000");
    // 21 notices of four lines, then the section.
    ASSERT_EQ(out.size(), 21u * 4u + 22u);
    EXPECT_EQ(out[84][0], '@');
    // Below the 5 cm of layer 1, layer 2 starts again from 500 cm.
    auto w = r.depths();
    for (int k = 0; k < 21; ++k) EXPECT_NEAR(w[k], 5.0f + 500.0f / (1.0f + kFlux[k]), 0.15f) << k;
}

TEST(Upflux, BottomOfTheProfileReachedEndsInNoticesAndNoSpline) {
    // A reference level at 9800 cm leaves 200 cm below it for layer 2; every
    // flux then passes the bottom, and the equal depths cannot be fitted.
    std::vector<LayerRows> layers = {{1.0f, 10.0f, 10.0f, even_rows(50.0f, 1000.0f, 1.0f)},
                                   {1.0f, 50.0f, 10.0f, even_rows(50.0f, 1000.0f, 1.0f)}};
    FluxRun r(pedopre_test::mq_text(layers, 30.0f, 9800.0f));
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.error.substr(0, 7), "ERROR: ");
    EXPECT_NE(r.error.find("at the same depth"), std::string::npos) << r.error;
    const std::string notice = " FOR UPFLUX=   0.50000 WATERTABLE IS BELOW BOTTOM OF LAYER  2 GO TO NEXT UPFLUX";
    EXPECT_EQ(lines_of(r.out)[0], notice);
    EXPECT_EQ(lines_of(r.console)[0], notice);
    EXPECT_EQ(r.out.find('@'), std::string::npos);  // no report section
    auto w = r.depths();
    ASSERT_EQ(w.size(), 21u);
    EXPECT_EQ(w[0], 205.0f);  // the adjusted bottom: 5 + (10000 - 9800)
}

TEST(Upflux, BisectionThatCannotFindTheBottomFails) {
    // One table interval spans 100000 cm of tension, too coarse for twelve
    // halvings to land within 0.1 cm of a bottom 100 cm down.
    std::vector<LayerRows> layers = {{1.0f, 130.0f, 10.0f, {{0.4f, 0.0f, 1.0f}, {0.2f, 100000.0f, 1.0f}}},
                                   {1.0f, 200.0f, 10.0f, even_rows(50.0f, 1000.0f, 1.0f)}};
    FluxRun r(pedopre_test::mq_text(layers, 30.0f, 30.0f));
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.error, "ERROR: UPFLUX error");
    auto out = lines_of(r.out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[2], " FOR UPFLUX=   0.50000 PROGRAM CANNOT FIND THE TENSION AND CONDUCTIVITY AT BOTTOM OF LAYER  1");
}

TEST(Upflux, InputsTheIntegrationCannotUseAreErrors) {
    LayerRows good{1.0f, 120.0f, 10.0f, {{0.40f, 0.0f, 1.0f}, {0.30f, 500.0f, 1.0f}, {0.20f, 1000.0f, 1.0f}}};
    {
        LayerRows one_row{1.0f, 120.0f, 10.0f, {{0.40f, 0.0f, 1.0f}}};
        FluxRun r(pedopre_test::mq_text({one_row}, 30.0f, 30.0f));
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.error, "ERROR: The conductivity table of layer 1 has 1 rows; 2 to 100 are needed");
    }
    {
        LayerRows zero = good;
        zero.rows[1][2] = 0.0f;
        FluxRun r(pedopre_test::mq_text({zero}, 30.0f, 30.0f));
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.error, "ERROR: The conductivity table of layer 1 has a conductivity of zero or less in row 2");
        EXPECT_EQ(r.out, "");
    }
    {
        // A dry conductivity printed as zero in the first row drier than the
        // top tension only enters the interpolation at 1000 cm; rows drier
        // still are never used.
        LayerRows dry = good;
        dry.rows[2] = {0.20f, 2000.0f, 0.0f};
        dry.rows.push_back({0.1f, 15000.0f, 0.0f});
        FluxRun r(pedopre_test::mq_text({dry}, 30.0f, 30.0f));
        EXPECT_EQ(r.status, 0) << r.error;
        // Exactly at such a row the conductivity would divide the flux.
        dry.rows[2] = {0.20f, 1000.0f, 0.0f};
        FluxRun at_row(pedopre_test::mq_text({dry}, 30.0f, 30.0f));
        EXPECT_EQ(at_row.status, -1);
        EXPECT_EQ(at_row.error, "ERROR: The conductivity table of layer 1 has a conductivity of zero or less in row 3");
    }
    {
        std::vector<LayerRows> eleven(11, good);
        FluxRun r(pedopre_test::mq_text(eleven, 30.0f, 30.0f));
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.error, "ERROR: The conductivity file gives 11 layers; 1 to 10 are possible");
    }
    {
        std::string mq = pedopre_test::mq_text({good}, 30.0f, 30.0f);
        FluxRun r(mq.substr(0, mq.size() - 20));  // the closing record cut off
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.error, "ERROR: Read error in file " + r.dir.file("s.MQ"));
    }
    {
        FluxRun r("", false);
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.error, "ERROR: File I/O error");
    }
}
