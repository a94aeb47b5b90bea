// Green-Ampt parameters: the thickness-weighted conductivity (GRAMTB), the
// water content in the top layer's table (THETA), and the report section
// that the Green-Ampt step writes from a conductivity file in memory.
#include <gtest/gtest.h>

#include <cmath>

#include "common/fixed_text.h"
#include "common/free_form.h"
#include "common/record_read.h"
#include "pedopre_test_files.h"
#include "soilcalc/grnampt.h"

using namespace soilcalc;
using namespace soilprep;
using pedopre_test::LayerRows;
using pedopre_test::lines_of;
using pedopre_test::mq_text;

namespace {

struct GaRun {
    int32_t status = 0;
    std::string out, error;
    // Rows of the section: depth (cm), A (cm2/hr), B (cm/hr).
    std::vector<std::array<float, 3>> rows;

    explicit GaRun(const std::string& mq, bool write_mq = true) {
        pedopre_test::StepFiles f;
        f.open({Stream::Out});
        MqTables t;
        MqRead read{MqPart::Title};
        if (write_mq) {
            auto c = common::Connection::in_memory(1, "s.MQ", mq);
            read = read_mq(*c, t, MqColumns::All);
        }
        const SoilStop stop = green_ampt_step(t, read, "s.MQ", &f.writer, f.run);
        status = pedopre_test::status_of(stop);
        error = pedopre_test::error_of(stop);
        out = f.text("soil.OUT");
        auto c = common::Connection::in_memory(1, "out", out);
        std::string caption(1, ' ');
        static const common::Layout kLine("(A)");
        if (common::read_record(*c, kLine, {caption}) != common::ReadStatus::Done) return;
        for (int i = 0; i < 10; ++i) {
            std::array<float, 3> r{};
            if (common::read_free(*c, {r[0], r[1], r[2]}) != common::ReadStatus::Done) return;
            rows.push_back(r);
        }
    }
};

// Top layer: heads -1000, -100, 0 with water contents 0.20, 0.30, 0.40.
LayerRows top_layer(float kb, float bottom) {
    return {kb, bottom, 12.0f, {{0.40f, 0.0f, 1.0f}, {0.30f, 100.0f, 0.1f}, {0.20f, 1000.0f, 0.01f}}};
}

}  // namespace

TEST(GreenAmpt, GramtbAveragesByThicknessAndContinuesTheDeepestLayer) {
    std::array<float, kMqLayers> zb{20.0f, 50.0f}, kb{2.0f, 1.0f};
    EXPECT_EQ(GRAMTB(40.0f, zb, kb, 2), 1.5f);
    EXPECT_EQ(GRAMTB(20.0f, zb, kb, 2), 2.0f);
    EXPECT_EQ(GRAMTB(10.0f, zb, kb, 2), 2.0f);
    // At and below the deepest bottom its conductivity carries on.
    EXPECT_EQ(GRAMTB(50.0f, zb, kb, 2), (20.0f * 2.0f + 30.0f * 1.0f) / 50.0f);
    EXPECT_EQ(GRAMTB(100.0f, zb, kb, 2), 1.2f);
    // Bounds are truncated to whole cm; each thickness runs from the
    // truncated bound to the untruncated next one.
    std::array<float, kMqLayers> zf{20.5f, 50.0f}, kf{2.0f, 1.0f};
    EXPECT_EQ(GRAMTB(40.0f, zf, kf, 2), (20.5f * 2.0f + 20.0f * 1.0f) / 40.0f);
}

TEST(GreenAmpt, ThetaInterpolatesInHeadAndExtrapolatesTheFirstSegment) {
    MqTables in = pedopre_test::mq_tables({top_layer(2.0f, 15.0f)}, 30.0f, 30.0f);
    EXPECT_FLOAT_EQ(THETA(50.0f, in, 1), 0.35f);
    EXPECT_FLOAT_EQ(THETA(100.0f, in, 1), 0.30f);
    EXPECT_FLOAT_EQ(THETA(1000.0f, in, 1), 0.20f);
    EXPECT_NEAR(THETA(2000.0f, in, 1), 0.20f - 1000.0f * (0.1f / 900.0f), 1e-6f);
    in.layers[0].head[2] = -10.0f;  // no row at or above the head -5
    EXPECT_TRUE(std::isnan(THETA(5.0f, in, 1)));
}

TEST(GreenAmpt, SectionAveragesOverTheTopSoilDepth) {
    std::vector<LayerRows> layers = {top_layer(2.0f, 15.0f), top_layer(1.0f, 60.0f)};
    GaRun r(mq_text(layers, 30.0f, 30.0f));
    ASSERT_EQ(r.status, 0) << r.error;
    auto lines = lines_of(r.out);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], "@Green-Ampt parameters use soil properties for top   30.0 cm.");
    ASSERT_EQ(r.rows.size(), 10u);
    const float depth[10] = {0, 10, 20, 40, 60, 80, 100, 150, 200, 1000};
    const float b20 = (15.0f * 2.0f + 5.0f * 1.0f) / 20.0f;
    for (int i = 0; i < 10; ++i) EXPECT_EQ(r.rows[i][0], depth[i]);
    EXPECT_EQ(r.rows[0][1], 0.0f);
    EXPECT_EQ(r.rows[0][2], 2.0f);
    EXPECT_EQ(r.rows[1][2], 2.0f);
    for (int i = 2; i < 10; ++i) EXPECT_EQ(r.rows[i][2], b20) << i;
    // A = (saturated - water content at the suction) * Sf * B; at 10 cm the
    // water content is 0.4 - 10 * 0.001.
    EXPECT_NEAR(r.rows[1][1], 0.01f * 12.0f * 2.0f, 1e-5f);
    EXPECT_NEAR(r.rows[3][1], 0.04f * 12.0f * b20, 1e-5f);
    // From 150 cm on, the driest water content of the top layer.
    EXPECT_FLOAT_EQ(r.rows[7][1], 0.2f * 12.0f * b20);
    EXPECT_EQ(r.rows[7][1], r.rows[8][1]);
    EXPECT_EQ(r.rows[8][1], r.rows[9][1]);
}

TEST(GreenAmpt, ShallowTopSoilKeepsTheTopConductivityAndDeepTopSoilStaysFinite) {
    std::vector<LayerRows> layers = {top_layer(2.0f, 15.0f), top_layer(1.0f, 60.0f)};
    GaRun shallow(mq_text(layers, 5.0f, 30.0f));
    ASSERT_EQ(shallow.status, 0);
    for (const auto& row : shallow.rows) EXPECT_EQ(row[2], 2.0f);
    EXPECT_EQ(lines_of(shallow.out)[0], "@Green-Ampt parameters use soil properties for top    5.0 cm.");

    // A top soil depth below the profile bottom (60 cm): the deepest layer
    // continues, so 80 to 200 cm average in more of its conductivity.
    GaRun deep(mq_text(layers, 500.0f, 30.0f));
    ASSERT_EQ(deep.status, 0) << deep.error;
    ASSERT_EQ(deep.rows.size(), 10u);
    EXPECT_EQ(deep.rows[5][2], (15.0f * 2.0f + 65.0f * 1.0f) / 80.0f);
    EXPECT_EQ(deep.rows[8][2], (15.0f * 2.0f + 185.0f * 1.0f) / 200.0f);
    EXPECT_EQ(deep.rows[9][2], deep.rows[8][2]);
}

TEST(GreenAmpt, UnreadableConductivityFileWritesNothing) {
    GaRun missing("", false);
    EXPECT_EQ(missing.status, -1);
    EXPECT_EQ(missing.error, "ERROR: Read error in file s.MQ");
    EXPECT_EQ(missing.out, "");

    std::string mq = mq_text({top_layer(2.0f, 15.0f)}, 30.0f, 30.0f);
    GaRun cut(mq.substr(0, mq.size() / 2));
    EXPECT_EQ(cut.status, -1);
    EXPECT_EQ(cut.out, "");

    std::vector<LayerRows> eleven(11, top_layer(2.0f, 15.0f));
    GaRun too_many(mq_text(eleven, 30.0f, 30.0f));
    EXPECT_EQ(too_many.status, -1);
    EXPECT_EQ(too_many.error, "ERROR: Read error in file s.MQ");
}
