#include "soilprep/mhinput.h"

#include "common/layout.h"
#include "common/record_write.h"
#include "soilcalc/messages.h"

namespace soilprep {
namespace {

constexpr float kFullVolume = 100.0f;  // drained volumes from here on stay as they are (cm)
constexpr float kVolumeStep = 0.001f;  // least rise of the drained volume per row (cm)

}  // namespace

std::string sin_checks(const soilcalc::SoilTable& soil) {
    const int32_t lsin = soil.lsin;
    if (soil.nlayer < 1 || soil.nlayer > soilcalc::kMaxLayers || lsin < 1 || lsin > soil.nlayer ||
        soil.npts[lsin - 1] < 0 || soil.npts[lsin - 1] > soilcalc::kMaxPoints)
        return soilcalc::msg::sin_layer(lsin);
    // Two columns hold the point count: a layer of 100 points (98 measured
    // and both repairs) would be written as asterisks.
    if (soil.npts[lsin - 1] > 99) return soilcalc::msg::sin_points(lsin, soil.npts[lsin - 1]);
    return {};
}

SinTables MHINPUT(const soilcalc::SoilTable& soil, const ReportTables& report) {
    SinTables s;
    s.title = soil.title;
    s.rows = report;
    // A drained volume that does not rise by more than 0.001 cm over the row
    // before it is raised by 0.001 cm, row by row from the top.
    auto& v = s.rows.volume;
    for (int i = 1; i < kSinDepths; ++i)
        if (v[i] < kFullVolume && v[i] - v[i - 1] <= kVolumeStep) v[i] = v[i] + kVolumeStep;
    // The model takes the characteristic with pressure heads (cm, negative).
    const int32_t l = soil.lsin - 1;
    s.npts = soil.npts[l];
    for (int32_t j = 0; j < s.npts; ++j) {
        s.theta[j] = soil.theta[l][j];
        s.head[j] = soil.head[l][j] > 0.0f ? -soil.head[l][j] : soil.head[l][j];
    }
    return s;
}

bool write_sin(common::Connection& sin, const SinTables& s) {
    static const common::Layout kTitle("(A80)");
    static const common::Layout kCounts("(2I2)");
    static const common::Layout kPoint("(F10.3,F10.0)");
    static const common::Layout kDepthRow("(F10.1,F10.3,F10.4)");
    static const common::Layout kRowCount("(I2)");
    static const common::Layout kGreenAmptRows("(10(F10.1,F10.2,F10.2,/))");
    common::write_record(sin, kTitle, {s.title});
    common::write_record(sin, kCounts, {s.npts, int32_t{kSinDepths}});
    for (int32_t j = 0; j < s.npts; ++j) common::write_record(sin, kPoint, {s.theta[j], s.head[j]});
    for (int i = 0; i < kSinDepths; ++i)
        common::write_record(sin, kDepthRow, {s.rows.depth[i], s.rows.volume[i], s.rows.upflux[i]});
    common::write_record(sin, kRowCount, {int32_t{kSinGreenAmpt}});
    common::StatementWriter w(sin, kGreenAmptRows);
    for (int i = 0; i < kSinGreenAmpt; ++i) w << s.rows.ga_depth[i] << s.rows.ga_a[i] << s.rows.ga_b[i];
    return w.finish();
}

}  // namespace soilprep
