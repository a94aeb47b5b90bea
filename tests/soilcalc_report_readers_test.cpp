// The readers that the report programs use, on files made by the run's own
// writers: .MIS points with their signs, the .WTD notices and table, the
// .UPQ fluxes past the layer tables, and the .OUT report with the notices
// between its sections. Files cut short keep what was read before the cut.
#include <gtest/gtest.h>

#include <string>

#include "common/connection.h"
#include "common/fixed_text.h"
#include "soilcalc/characteristic.h"
#include "soilprep/mis_file.h"
#include "soilprep/out_file.h"
#include "soilprep/upq_file.h"
#include "soilprep/wtd_file.h"

using namespace soilcalc;
using namespace soilprep;

namespace {

// A text written by `write` on a connection in memory.
template <typename Write>
std::string written(Write write) {
    auto c = common::Connection::in_memory(1, "file");
    write(*c);
    c->flush();
    return c->memory();
}

std::unique_ptr<common::Connection> reading(const std::string& text) {
    return common::Connection::in_memory(1, "file", text);
}

// The text up to the end of the record that holds the first (or last)
// `marker`.
std::string cut_after(const std::string& text, const std::string& marker, bool last = false) {
    const size_t at = last ? text.rfind(marker) : text.find(marker);
    return text.substr(0, text.find('\n', at) + 1);
}

TEST(MisReader, ReadsBackBothFormsWithTheHeadsAsWritten) {
    const float theta1[] = {0.43f, 0.38f, 0.2f}, head1[] = {0.0f, -30.0f, -1000.0f};
    const float theta2[] = {0.45f, 0.41603f}, head2[] = {0.0f, 25.0f};
    for (MisPoints form : {MisPoints::Measured, MisPoints::VanGenuchten}) {
        const std::string text = written([&](common::Connection& c) {
            write_mis_count(c, 2);
            write_mis_layer(c, 0.0f, 30.0f, 3, theta1, head1, form);
            write_mis_layer(c, 30.0f, 120.5f, 2, theta2, head2, form);
        });
        MisTables t;
        const MisRead r = read_mis(*reading(text), t, form);
        ASSERT_EQ(r.failed, MisPart::Done);
        ASSERT_EQ(t.nlayer, 2);
        EXPECT_EQ(t.layers[0].n, 3);
        EXPECT_FLOAT_EQ(t.layers[0].head[1], -30.0f);  // a negative head stays negative
        EXPECT_FLOAT_EQ(t.layers[0].theta[2], 0.2f);
        EXPECT_FLOAT_EQ(t.layers[1].top, 30.0f);
        EXPECT_FLOAT_EQ(t.layers[1].bottom, 120.5f);
        EXPECT_NEAR(t.layers[1].theta[1], form == MisPoints::Measured ? 0.416f : 0.41603f, 1e-6f);

        // Cut inside the second layer's points: the first layer stays read.
        MisTables cut;
        const MisRead c = read_mis(*reading(cut_after(text, "*NUMBER OF POINTS", true) + "0.45000 0.0\r\n"), cut, form);
        EXPECT_EQ(c.failed, MisPart::Points);
        EXPECT_EQ(c.layer, 1);
        EXPECT_EQ(cut.layers[0].n, 3);
    }
    // A record that is not the marker line is no .MIS layer.
    MisTables t;
    EXPECT_EQ(read_mis(*reading("   1\r\n *TOP AND BOTTOM\r\n     0.0    30.0\r\n"), t, MisPoints::Measured).failed,
              MisPart::Bounds);
}

TEST(WtdReader, TellsTheNoticesApartAndReadsTheTable) {
    const float zbot[] = {30.0f, 120.0f};
    const float head[] = {0.0f, 1000.0f}, theta[] = {0.4f, 0.2f};
    const std::string text = written([&](common::Connection& c) {
        write_wtd_title(c, common::fixed("Title of the soil", 128));
        write_no_saturated_notice(c);
        write_extended_notice(c, 9);
        write_extended_notice(c, 2);
        c.put_record(" A LINE NOBODY WROTE");
        write_wtd_inputs(c, 2, zbot);
        write_wtd_grid(c, 1001, 1.0f);
        write_wtd_layer(c, 1, 2, head, theta);
        write_wtd_table_head(c);
        for (int k = 0; k < kWtdRows; ++k)
            write_wtd_table_row(c, 10.0f * static_cast<float>(k), 0.5f * static_cast<float>(k), 0.05f);
    });
    WtdListing t;
    ASSERT_EQ(read_wtd(*reading(text), t), WtdPart::Done);
    EXPECT_EQ(t.title.substr(0, 17), "Title of the soil");
    ASSERT_EQ(t.notices.size(), 4u);
    EXPECT_EQ(t.notices[0].kind, WtdNotice::Kind::NoSaturatedPoint);
    EXPECT_EQ(t.notices[1].kind, WtdNotice::Kind::ExtendedTo1000);
    EXPECT_EQ(t.notices[1].layer, 9);
    EXPECT_EQ(t.notices[2].layer, 2);
    EXPECT_EQ(t.notices[3].kind, WtdNotice::Kind::Other);
    EXPECT_EQ(t.notices[3].text, " A LINE NOBODY WROTE");
    EXPECT_EQ(t.rows, kWtdRows);
    EXPECT_FLOAT_EQ(t.depth[100], 1000.0f);
    EXPECT_FLOAT_EQ(t.volume[57], 28.5f);
    EXPECT_FLOAT_EQ(t.porosity[3], 0.05f);

    // A listing cut in its table keeps the rows before the cut.
    WtdListing cut;
    EXPECT_EQ(read_wtd(*reading(cut_after(text, "  570.00")), cut), WtdPart::Table);
    EXPECT_EQ(cut.rows, 58);
    EXPECT_EQ(cut.notices.size(), 4u);
}

TEST(UpqReader, StepsOverTheLayerTablesToTheFluxes) {
    const float tension[] = {0.0f, 1000.0f}, cond[] = {1.04f, 1e-9f};
    float depth[kUpqFluxes], flux[kUpqFluxes];
    for (int k = 0; k < kUpqFluxes; ++k) {
        depth[k] = 10.0f + 5.0f * static_cast<float>(k);
        flux[k] = 0.5f / static_cast<float>(k + 1);
    }
    const std::string text = written([&](common::Connection& c) {
        write_upq_title(c, "Title");
        for (int32_t l = 1; l <= 2; ++l) {
            write_upq_layer_head(c, l, 30.0f * static_cast<float>(l));
            write_upq_layer_rows(c, 2, tension, cond);
        }
        write_flux_caption(c);
        write_flux_rows(c, kUpqFluxes, depth, flux);
    });
    UpqFluxes t;
    ASSERT_TRUE(read_upq(*reading(text), t));
    EXPECT_FLOAT_EQ(t.depth[20], 110.0f);
    EXPECT_FLOAT_EQ(t.flux[1], 0.25f);
    // Without its last row, or without the caption, the file is not whole.
    UpqFluxes cut;
    EXPECT_FALSE(read_upq(*reading(cut_after(text, "  105.00")), cut));
    EXPECT_EQ(cut.rows, 20);
    EXPECT_FALSE(read_upq(*reading(cut_after(text, "(CM/HR)\r\n")), cut));
    EXPECT_EQ(cut.rows, 0);
}

// A report file with notices between its first two sections.
std::string report(float root_depth, bool complete) {
    static const float kDepths[20] = {0, 3, 6, 9, 12, 15, 20, 25, 30, 35, 40, 45, 60, 75, 90, 120, 150, 200, 500, 1000};
    return written([&](common::Connection& c) {
        write_out_volume_head(c);
        for (int i = 0; i < 20; ++i) write_out_volume_row(c, kDepths[i], i == 19 ? 100.0f : 0.5f * kDepths[i]);
        write_out_reduction_notice(c, 0.5f, 2, 992.5f, 500.0f);
        write_out_below_bottom_notice(c, 0.0002f, 3);
        write_out_reduction_notice(c, 0.2f, 2, 996.0f, 500.0f);
        write_out_cannot_find_notice(c, 0.0001f, 1);
        if (!complete) return;
        write_out_root_zone_caption(c, root_depth);
        write_flux_caption(c);
        float flux[20];
        for (int i = 0; i < 20; ++i) flux[i] = 0.5f - 0.02f * static_cast<float>(i);
        write_flux_rows(c, 20, kDepths, flux);
        const float depth[10] = {0, 10, 20, 40, 60, 80, 100, 150, 200, 1000};
        const float a[10] = {0.0f, 0.24f, 0.5f, 1.0f, 1.5f, 2.0f, 2.5f, 4.2f, 4.2f, 4.2f};
        const float b[10] = {2.0f, 2.0f, 1.75f, 1.75f, 1.75f, 1.75f, 1.75f, 1.75f, 1.75f, 1.75f};
        write_out_green_ampt(c, 30.0f, depth, a, b);
    });
}

TEST(OutReportReader, ReadsEachSectionAndTheNoticesInTheirOrder) {
    OutReport t;
    ASSERT_EQ(read_out_report(*reading(report(45.0f, true)), t), OutPart::Done);
    EXPECT_FLOAT_EQ(t.volume[19], 100.0f);
    EXPECT_FLOAT_EQ(t.volume_depth[6], 20.0f);
    EXPECT_FLOAT_EQ(t.flux_depth[19], 1000.0f);
    EXPECT_FLOAT_EQ(t.upflux[1], 0.48f);
    EXPECT_TRUE(t.rootdepth_read);
    EXPECT_FLOAT_EQ(t.rootdepth, 45.0f);
    EXPECT_FLOAT_EQ(t.gadepth, 30.0f);
    EXPECT_FLOAT_EQ(t.ga_a[7], 4.2f);
    EXPECT_FLOAT_EQ(t.ga_b[0], 2.0f);
    using Kind = OutNotice::Kind;
    ASSERT_EQ(t.notices.size(), 4u);
    EXPECT_EQ(t.notices[0].kind, Kind::Reduction);
    EXPECT_FLOAT_EQ(t.notices[0].tension, 992.5f);
    EXPECT_FLOAT_EQ(t.notices[0].reduced, 500.0f);
    EXPECT_EQ(t.notices[1].kind, Kind::BelowBottom);
    EXPECT_EQ(t.notices[1].layer, 3);
    EXPECT_FLOAT_EQ(t.notices[1].q, 0.0002f);
    EXPECT_EQ(t.notices[2].kind, Kind::Reduction);
    EXPECT_FLOAT_EQ(t.notices[2].q, 0.2f);
    EXPECT_EQ(t.notices[3].kind, Kind::CannotFind);
    EXPECT_EQ(t.notices[3].layer, 1);
}

TEST(OutReportReader, KeepsWhatAFailedRunWroteAndLinesItDoesNotKnow) {
    // A root depth from 1000 cm on prints as asterisks: the flux section
    // still reads, without it.
    OutReport wide;
    EXPECT_EQ(read_out_report(*reading(report(9990.0f, true)), wide), OutPart::Done);
    EXPECT_FALSE(wide.rootdepth_read);
    EXPECT_EQ(wide.flux_rows, 20);

    // A run that stopped in the upward flux: the volumes and the notices.
    std::string text = report(45.0f, false);
    text.insert(text.find(" FOR UPFLUX=   0.00020"), " FOR UPFLUX=   0.00020 SOMETHING ELSE\r\n");
    OutReport t;
    EXPECT_EQ(read_out_report(*reading(text), t), OutPart::Flux);
    EXPECT_EQ(t.volume_rows, 20);
    EXPECT_EQ(t.flux_rows, 0);
    ASSERT_EQ(t.notices.size(), 5u);
    EXPECT_EQ(t.notices[1].kind, OutNotice::Kind::Other);
    EXPECT_EQ(t.notices[1].text, " FOR UPFLUX=   0.00020 SOMETHING ELSE");
    EXPECT_EQ(t.notices[2].kind, OutNotice::Kind::BelowBottom);
}

}  // namespace
