// Steady upward flux: the layer bottoms measured from the reference level
// and the integration down to the water table, with its bisection at layer
// bottoms and its notices; then whole upward-flux steps on files in memory: the
// .UPQ echo, the top tension, the notices and fitted section of the report
// file, and the conductivity files the step cannot work with.
#include <gtest/gtest.h>

#include "common/fixed_text.h"
#include "common/free_form.h"
#include "pedopre_test_files.h"
#include "soilcalc/upflux.h"

using namespace soilcalc;
using namespace soilprep;
using pedopre_test::LayerRows;
using pedopre_test::lines_of;
using pedopre_test::mq_tables;
using pedopre_test::mq_text;

namespace {

FluxProfile profile(const std::vector<LayerRows>& layers, float root_depth) {
    return flux_profile(mq_tables(layers, 30.0f, root_depth));
}

const LayerRows kUniform{1.0f, 120.0f, 10.0f, {{0.40f, 0.0f, 1.0f}, {0.20f, 1000.0f, 1.0f}}};

// A layer of constant conductivity k (cm/hr) with rows every 50 cm of
// tension up to `driest` (cm), water content falling by 0.001 per row.
LayerRows even(float k, float bottom, float driest = 1000.0f) {
    LayerRows l{k, bottom, 10.0f, {}};
    for (int i = 0; 50.0f * static_cast<float>(i) <= driest; ++i)
        l.rows.push_back({0.400f - 0.001f * static_cast<float>(i), 50.0f * static_cast<float>(i), k});
    return l;
}
// Layer 2's table stops at 500 cm while about 995 cm arrive from above.
const std::vector<LayerRows> kReduced = {even(1.0f, 35.0f), even(1.0f, 200.0f, 500.0f)};
// With the reference level at 9800 cm, 200 cm are left below it for layer 2.
const std::vector<LayerRows> kShallow = {even(1.0f, 10.0f), even(1.0f, 50.0f)};
// One table interval spans 100000 cm of tension, too coarse for twelve
// halvings to land within 0.1 cm of a bottom 100 cm down.
const std::vector<LayerRows> kCoarse = {{1.0f, 130.0f, 10.0f, {{0.4f, 0.0f, 1.0f}, {0.2f, 100000.0f, 1.0f}}},
                                        even(1.0f, 200.0f)};

// The upward-flux step on a conductivity file in memory: the file read
// back, echoed to .UPQ and integrated; the notices to .OUT and the console.
struct FluxRun {
    int32_t status = 0;
    std::string error, upq, out, console;

    explicit FluxRun(const std::string& mq) {
        pedopre_test::StepFiles f;
        f.open({Stream::Out});
        auto c = common::Connection::in_memory(1, "s.MQ", mq);
        MqTables t;
        const MqRead read = read_mq(*c, t, MqColumns::Flux);
        SoilStop stop = f.writer.open(SoilFile::Upq);
        if (stop.text.empty()) stop = upward_flux_step(t, read, "s.MQ", &f.writer, f.run);
        status = pedopre_test::status_of(stop);
        error = pedopre_test::error_of(stop);
        upq = f.text("soil.UPQ");
        out = f.text("soil.OUT");
        console = f.text("console");
    }

    // The water-table depths (cm) of the .UPQ table, read back in free form.
    std::vector<float> depths() const {
        const size_t caption = upq.find("   DEPTH (CM)  UPFLUX (CM/HR) \r\n");
        if (caption == std::string::npos) return {};
        auto rows = common::Connection::in_memory(1, "upq", upq.substr(caption + 32));
        std::vector<float> w;
        float depth = 0.0f, q = 0.0f;
        while (common::read_free(*rows, {depth, q}) == common::ReadStatus::Done) w.push_back(depth);
        return w;
    }
};

}  // namespace

TEST(WaterTableDepth, OneLayerOfConstantConductivityGivesTheWaterTableAt1000OverOnePlusQ) {
    const FluxProfile p = profile({kUniform}, 30.0f);
    for (float q : kUpwardFluxes) {
        const FluxDepth d = water_table_depth(p, q, 1000.0f);
        EXPECT_EQ(d.end, FluxDepth::End::WaterTable);
        EXPECT_NEAR(d.depth, 1000.0f / (1.0f + q), 0.006f) << q;
        EXPECT_TRUE(d.notices.empty());
    }
}

TEST(WaterTableDepth, BottomsAreMeasuredFromTheReferenceLevelAndLayersAreCrossedByBisection) {
    // Bottoms 10, 50, 120 cm with the reference level at 30 cm become 5, 25
    // and 9975 cm. Conductivity is constant in each layer, so the tension
    // falls by (1 + q/K) cm per cm of depth: 5 cm of layer 1 (K = 1), 20 cm
    // of layer 2 (K = 0.25), then layer 3 (K = 1) down to zero tension.
    const FluxProfile p = profile({even(1.0f, 10.0f), even(0.25f, 50.0f), even(1.0f, 120.0f)}, 30.0f);
    EXPECT_EQ(p.bottom[0], 5.0f);
    EXPECT_EQ(p.bottom[1], 25.0f);
    EXPECT_EQ(p.bottom[2], 9975.0f);
    for (float q : kUpwardFluxes) {
        const float left = 1000.0f - 5.0f * (1.0f + q) - 20.0f * (1.0f + q / 0.25f);
        // Each bottom is found within 0.1 cm.
        EXPECT_NEAR(water_table_depth(p, q, 1000.0f).depth, 25.0f + left / (1.0f + q), 0.25f) << q;
    }
}

TEST(WaterTableDepth, TensionBeyondTheNextLayersTableIsReducedWithANotice) {
    // Below the 5 cm of layer 1, layer 2 starts again from 500 cm; the
    // bisection finds the bottom within 0.1 cm.
    const FluxProfile p = profile(kReduced, 30.0f);
    for (float q : kUpwardFluxes) {
        const FluxDepth d = water_table_depth(p, q, 1000.0f);
        EXPECT_NEAR(d.depth, 5.0f + 500.0f / (1.0f + q), 0.15f) << q;
        ASSERT_EQ(d.notices.size(), 1u);
        EXPECT_EQ(d.notices[0].kind, FluxNotice::Kind::Reduction);
        EXPECT_EQ(d.notices[0].layer, 2);
        EXPECT_NEAR(d.notices[0].tension, 1000.0f - 5.0f * (1.0f + q), 0.25f) << q;
        EXPECT_EQ(d.notices[0].reduced, 500.0f);
    }
}

TEST(WaterTableDepth, BottomOfTheProfileAndBisectionFailures) {
    FluxDepth d = water_table_depth(profile(kShallow, 9800.0f), 0.5f, 1000.0f);
    EXPECT_EQ(d.end, FluxDepth::End::BelowBottom);
    EXPECT_EQ(d.depth, 205.0f);  // the adjusted bottom: 5 + (10000 - 9800)
    ASSERT_EQ(d.notices.size(), 1u);
    EXPECT_EQ(d.notices[0].kind, FluxNotice::Kind::BelowBottom);
    EXPECT_EQ(d.notices[0].layer, 2);

    d = water_table_depth(profile(kCoarse, 30.0f), 0.5f, 1000.0f);
    EXPECT_EQ(d.end, FluxDepth::End::Failed);
    EXPECT_EQ(common::trim_right(d.error), "ERROR: UPFLUX error");
    ASSERT_EQ(d.notices.size(), 1u);
    EXPECT_EQ(d.notices[0].kind, FluxNotice::Kind::CannotFind);
    EXPECT_EQ(d.notices[0].layer, 1);
}

TEST(WaterTableDepth, ConductivitiesThatWouldDivideTheFluxMustBePositive) {
    LayerRows layer{1.0f, 120.0f, 10.0f, {{0.40f, 0.0f, 1.0f}, {0.30f, 500.0f, 0.0f}, {0.20f, 1000.0f, 1.0f}}};
    FluxDepth d = water_table_depth(profile({layer}, 30.0f), 0.5f, 1000.0f);
    EXPECT_EQ(d.end, FluxDepth::End::Failed);
    EXPECT_EQ(d.error, "ERROR: The conductivity table of layer 1 has a conductivity of zero or less in row 2");
    // A dry conductivity printed as zero in the first row drier than the top
    // tension only enters the interpolation; rows drier still are never used.
    layer.rows = {{0.40f, 0.0f, 1.0f}, {0.30f, 500.0f, 1.0f}, {0.20f, 2000.0f, 0.0f}, {0.1f, 15000.0f, 0.0f}};
    EXPECT_EQ(water_table_depth(profile({layer}, 30.0f), 0.5f, 1000.0f).end, FluxDepth::End::WaterTable);
    // Exactly at such a row the conductivity would divide the flux.
    layer.rows[2] = {0.20f, 1000.0f, 0.0f};
    d = water_table_depth(profile({layer}, 30.0f), 0.5f, 1000.0f);
    EXPECT_EQ(d.error, "ERROR: The conductivity table of layer 1 has a conductivity of zero or less in row 3");
}

TEST(Upflux, WritesTheTablesAndTheFittedSection) {
    FluxRun r(mq_text({kUniform}, 30.0f, 30.0f));
    ASSERT_EQ(r.status, 0) << r.error;
    auto upq = lines_of(r.upq);
    ASSERT_EQ(upq.size(), 1u + 6u + 2u + 1u + 21u);
    EXPECT_EQ(upq[0], std::string("TEST SOIL") + std::string(71, ' '));
    // The deepest bottom as read, not as the integration takes it, and the
    // rows wettest first.
    EXPECT_EQ(upq[3], " LAYER   1 GOES DOWN TO   120.CM. AND HAS THE TENSION-CONDUCTIVITY VALUES:");
    EXPECT_EQ(upq[7], "    0.00    0.1000E+01");
    EXPECT_EQ(upq[8], " 1000.00    0.1000E+01");
    EXPECT_EQ(upq[10], "     666.67      0.5000");
    EXPECT_EQ(upq[30], "     999.80      0.0002");

    auto out = lines_of(r.out);
    ASSERT_EQ(out.size(), 22u);
    EXPECT_EQ(out[0], "@TENSION AT ROOT ZONE = 1000 CM, 1/2 MAXIMUM ROOT DEPTH (CM) =   30.0");
    // Depths above the first water table report the first flux exactly.
    EXPECT_EQ(out[2], "       0.00      0.5000");
    EXPECT_EQ(out[19], "     200.00      0.5000");
    EXPECT_EQ(out[20], "     500.00      0.5000");
    EXPECT_EQ(out[21].substr(0, 11), "    1000.00");
    EXPECT_EQ(r.console, "");
}

TEST(Upflux, TopTensionIsTheDriestTensionOfLayerOneWhenLower) {
    LayerRows layer{1.0f, 120.0f, 10.0f, {{0.40f, 0.0f, 1.0f}, {0.20f, 800.0f, 1.0f}}};
    FluxRun r(mq_text({layer}, 30.0f, 45.0f));
    ASSERT_EQ(r.status, 0) << r.error;
    auto w = r.depths();
    ASSERT_EQ(w.size(), 21u);
    for (int k = 0; k < kFluxes; ++k) EXPECT_NEAR(w[k], 800.0f / (1.0f + kUpwardFluxes[k]), 0.006f) << k;
    EXPECT_EQ(lines_of(r.out)[0], "@TENSION AT ROOT ZONE = 1000 CM, 1/2 MAXIMUM ROOT DEPTH (CM) =   45.0");
}

TEST(Upflux, NoticesStandAheadOfTheSection) {
    {
        FluxRun r(mq_text(kReduced, 30.0f, 30.0f));
        ASSERT_EQ(r.status, 0) << r.error;
        auto out = lines_of(r.out);
        // 21 notices of four lines, then the section.
        ASSERT_EQ(out.size(), 21u * 4u + 22u);
        EXPECT_EQ(out[0], "");
        EXPECT_EQ(out[1], "");
        EXPECT_EQ(out[2].substr(0, 51), " FOR UPFLUX=   0.50000TENSION AT TOP OF LAYER  2 IS");
        EXPECT_EQ(out[3], " THIS IS REDUCED TO  500.00000");
        EXPECT_EQ(out[84][0], '@');
    }
    {
        // Every flux passes the bottom: the notices go to the console as
        // well, and the equal depths cannot be fitted.
        FluxRun r(mq_text(kShallow, 30.0f, 9800.0f));
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.error.substr(0, 7), "ERROR: ");
        EXPECT_NE(r.error.find("at the same depth"), std::string::npos) << r.error;
        const std::string notice = " FOR UPFLUX=   0.50000 WATERTABLE IS BELOW BOTTOM OF LAYER  2 GO TO NEXT UPFLUX";
        EXPECT_EQ(lines_of(r.out)[0], notice);
        EXPECT_EQ(lines_of(r.console)[0], notice);
        EXPECT_EQ(r.out.find('@'), std::string::npos);  // no report section
        EXPECT_EQ(r.depths().at(0), 205.0f);
    }
    {
        FluxRun r(mq_text(kCoarse, 30.0f, 30.0f));
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.error, "ERROR: UPFLUX error");
        auto out = lines_of(r.out);
        ASSERT_EQ(out.size(), 3u);
        EXPECT_EQ(out[2],
                  " FOR UPFLUX=   0.50000 PROGRAM CANNOT FIND THE TENSION AND CONDUCTIVITY AT BOTTOM OF LAYER  1");
    }
}

TEST(Upflux, ConductivityFilesItCannotUseAreErrors) {
    {
        FluxRun r(mq_text({{1.0f, 120.0f, 10.0f, {{0.40f, 0.0f, 1.0f}}}}, 30.0f, 30.0f));
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.error, "ERROR: The conductivity table of layer 1 has 1 rows; 2 to 100 are needed");
    }
    {
        FluxRun r(mq_text(std::vector<LayerRows>(11, kUniform), 30.0f, 30.0f));
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.error, "ERROR: The conductivity file gives 11 layers; 1 to 10 are possible");
    }
    {
        std::string mq = mq_text({kUniform}, 30.0f, 30.0f);
        FluxRun r(mq.substr(0, mq.size() - 20));  // the closing record cut off
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.error, "ERROR: Read error in file s.MQ");
    }
    {
        FluxRun r("");
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.error, "ERROR: Read error in file s.MQ");
    }
}
