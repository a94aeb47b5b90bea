// Model soil input file: the .OUT sections read back by their caption lines
// (notices ahead of a caption are stepped over), the flat-volume adjustment,
// the characteristic with negative heads, and the records of the .SIN file.
#include <gtest/gtest.h>

#include "common/fixed_text.h"
#include "common/layout.h"
#include "common/record_write.h"
#include "pedopre_test_files.h"
#include "soilprep/mhinput.h"
#include "soilprep/out_file.h"
#include "soilprep/upq_file.h"

using namespace soilcalc;
using namespace soilprep;
using pedopre_test::lines_of;

namespace {

const float kDepths[20] = {0, 3, 6, 9, 12, 15, 20, 25, 30, 35, 40, 45, 60, 75, 90, 120, 150, 200, 500, 1000};

// A report file as the three steps write it, with the given drained volumes
// (cm), and with notices ahead of the upward-flux caption when asked.
std::string out_text(const std::vector<float>& volumes, bool notices = false) {
    auto out = common::Connection::in_memory(1, "s.OUT");
    write_out_volume_head(*out);
    for (size_t i = 0; i < 20; ++i) write_out_volume_row(*out, kDepths[i], volumes[i]);
    if (notices) {
        write_out_reduction_notice(*out, 0.5f, 2, 992.5f, 500.0f);
        write_out_below_bottom_notice(*out, 0.0002f, 2);
    }
    write_out_root_zone_caption(*out, 30.0f);
    write_flux_caption(*out);
    float flux[20];
    for (int i = 0; i < 20; ++i) flux[i] = 0.5f - 0.02f * static_cast<float>(i);
    write_flux_rows(*out, 20, kDepths, flux);
    const float depth[10] = {0, 10, 20, 40, 60, 80, 100, 150, 200, 1000};
    const float a[10] = {0.0f, 0.24f, 0.5f, 1.0f, 1.5f, 2.0f, 2.5f, 4.2f, 4.2f, 4.2f};
    const float b[10] = {2.0f, 2.0f, 1.75f, 1.75f, 1.75f, 1.75f, 1.75f, 1.75f, 1.75f, 1.75f};
    write_out_green_ampt(*out, 30.0f, depth, a, b);
    out->flush();
    return out->memory();
}

std::vector<float> rising_volumes() {
    std::vector<float> v;
    for (int i = 0; i < 19; ++i) v.push_back(static_cast<float>(i) + 0.5f);
    v.push_back(100.0f);
    return v;
}

SoilTable two_layers() {
    SoilTable s;
    s.title = common::fixed("CLAY LOAM OVER SAND", 128);
    s.nlayer = 2;
    s.lsin = 2;
    s.npts = {2, 3};
    s.head[1] = {0.0f, 100.0f, 1000.0f};
    s.theta[1] = {0.4f, 0.3f, 0.2f};
    return s;
}

// The report file read back with its layouts, then the soil input file
// assembled from its tables, as the soil input step does with the values
// the report file holds.
struct SinRun {
    int32_t status = 0;
    std::string sin, error;
    SinTables tables;

    SinRun(const std::string& out, const SoilTable& soil) {
        pedopre_test::StepFiles f;
        f.open({Stream::Sin});
        std::string why = sin_checks(soil);
        auto c = common::Connection::in_memory(1, "s.OUT", out);
        OutReport t;
        if (why.empty() && read_out_report(*c, t) != OutPart::Done) why = "ERROR: Read error in file s.OUT";
        if (why.empty()) {
            tables = MHINPUT(soil, {t.flux_depth, t.volume, t.upflux, t.ga_depth, t.ga_a, t.ga_b});
            write_sin(*f.units.get(static_cast<int>(Stream::Sin)), tables);
        }
        status = why.empty() ? 0 : -1;
        error = why;
        sin = f.text("soil.SIN");
    }
};

}  // namespace

TEST(Mhinput, WritesTheSoilInputFileRecordByRecord) {
    SoilTable soil = two_layers();
    SinRun r(out_text(rising_volumes()), soil);
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(r.error, "");
    std::string expected = common::fixed("CLAY LOAM OVER SAND", 80) + "\r\n" + " 320\r\n" + "     0.400        0.\r\n" +
                           "     0.300     -100.\r\n" + "     0.200    -1000.\r\n";
    for (int i = 0; i < 20; ++i) {
        static const common::Layout kRow("(F10.1,F10.3,F10.4)");
        expected += common::format_record(
            kRow, {kDepths[i], i < 19 ? static_cast<float>(i) + 0.5f : 100.0f, 0.5f - 0.02f * static_cast<float>(i)});
    }
    expected += "10\r\n";
    expected +=
        "       0.0      0.00      2.00\r\n      10.0      0.24      2.00\r\n"
        "      20.0      0.50      1.75\r\n      40.0      1.00      1.75\r\n"
        "      60.0      1.50      1.75\r\n      80.0      2.00      1.75\r\n"
        "     100.0      2.50      1.75\r\n     150.0      4.20      1.75\r\n"
        "     200.0      4.20      1.75\r\n    1000.0      4.20      1.75\r\n\r\n";
    EXPECT_EQ(r.sin, expected);
    // The chosen layer's heads are pressure heads.
    EXPECT_EQ(r.tables.head[2], -1000.0f);
}

TEST(Mhinput, FlatVolumesRiseByOneThousandthRowByRow) {
    std::vector<float> v = {0.0f, 0.5f, 0.5f, 0.5f, 0.3f, 2.0f};
    for (int i = 6; i < 17; ++i) v.push_back(static_cast<float>(i));
    v.push_back(100.0f);  // 100 and more stay as they are
    v.push_back(100.0f);
    v.push_back(100.0f);
    SoilTable soil = two_layers();
    SinRun r(out_text(v), soil);
    ASSERT_EQ(r.status, 0) << r.error;
    auto lines = lines_of(r.sin);
    const size_t first = 2 + 3;  // title, counts, three points
    EXPECT_EQ(lines[first + 1].substr(10, 10), "     0.500");
    EXPECT_EQ(lines[first + 2].substr(10, 10), "     0.501");  // 0.500 + 0.001, not 0.501 + 0.001
    EXPECT_EQ(lines[first + 3].substr(10, 10), "     0.501");
    EXPECT_EQ(lines[first + 4].substr(10, 10), "     0.301");  // a fall is still raised by 0.001 only
    EXPECT_EQ(lines[first + 5].substr(10, 10), "     2.000");
    EXPECT_EQ(lines[first + 18].substr(10, 10), "   100.000");
    EXPECT_EQ(lines[first + 19].substr(10, 10), "   100.000");
}

TEST(Mhinput, NoticesAheadOfACaptionDoNotShiftTheTables) {
    SoilTable plain_soil = two_layers(), noticed_soil = two_layers();
    SinRun plain(out_text(rising_volumes()), plain_soil);
    SinRun noticed(out_text(rising_volumes(), true), noticed_soil);
    ASSERT_EQ(noticed.status, 0) << noticed.error;
    EXPECT_EQ(noticed.sin, plain.sin);
}

TEST(Mhinput, ShortOrUnreadableReportFileIsAnError) {
    std::string good = out_text(rising_volumes());
    {
        SoilTable soil = two_layers();
        SinRun r(good.substr(0, good.find("@Green-Ampt")), soil);  // no Green-Ampt section
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.error, "ERROR: Read error in file s.OUT");
        EXPECT_EQ(r.sin, "");
    }
    {
        SoilTable soil = two_layers();
        SinRun r(good.substr(0, good.size() - 10), soil);  // the last Green-Ampt row cut short
        EXPECT_EQ(r.status, -1);
    }
    {
        std::string bad = good;
        bad.replace(bad.find("   12.0"), 7, "   1X.0");
        SoilTable soil = two_layers();
        SinRun r(bad, soil);
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.error, "ERROR: Read error in file s.OUT");
    }
    {
        SoilTable soil = two_layers();
        SinRun r("", soil);
        EXPECT_EQ(r.status, -1);
    }
    {
        SoilTable soil = two_layers();
        soil.lsin = 3;
        SinRun r(good, soil);
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.error, "ERROR: Layer 3 chosen for the soil input file is not a layer of the profile");
    }
}
