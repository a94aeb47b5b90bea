#include "soilprep/mhinput.h"

#include "common/fixed_text.h"
#include "common/layout.h"
#include "common/record_write.h"
#include "soilcalc/messages.h"
#include "soilcalc/out_file.h"

namespace pedopre {
namespace {

constexpr float kFullVolume = 100.0f;  // drained volumes from here on stay as they are (cm)
constexpr float kVolumeStep = 0.001f;  // least rise of the drained volume per row (cm)

}  // namespace

int32_t MHINPUT(Context& ctx, int out_unit, const std::string& sin_name, SoilTable& soil) {
    static const common::Layout kTitle("(A80)");
    static const common::Layout kCounts("(2I2)");
    static const common::Layout kPoint("(F10.3,F10.0)");
    static const common::Layout kDepthRow("(F10.1,F10.3,F10.4)");
    static const common::Layout kRowCount("(I2)");
    static const common::Layout kGreenAmptRows("(10(F10.1,F10.2,F10.2,/))");

    set_routine("MHINPUT");
    clear_error();
    const std::string sin_path(common::trim_right(sin_name));
    common::Connection* sin = ctx.units.open(kSinUnit, sin_path);
    if (!sin) {
        set_error(msg::cannot_open(sin_path, ctx.units.last_error()));
        return -1;
    }
    common::Connection* out = ctx.units.get(out_unit);
    if (!out) {
        set_error(msg::kFileIoError);
        return -1;
    }
    const int32_t lsin = soil.lsin;
    if (soil.nlayer < 1 || soil.nlayer > kMaxLayers || lsin < 1 || lsin > soil.nlayer ||
        soil.npts[lsin - 1] < 0 || soil.npts[lsin - 1] > kMaxPoints) {
        set_error(msg::sin_layer(lsin));
        return -1;
    }
    // Two columns hold the point count: a layer of 100 points (98 measured
    // and both repairs) would be written as asterisks.
    if (soil.npts[lsin - 1] > 99) {
        set_error(msg::sin_points(lsin, soil.npts[lsin - 1]));
        return -1;
    }

    OutTables t;
    if (!read_out(*out, t)) {
        set_error(msg::read_error(out->path()));
        return -1;
    }

    // A drained volume that does not rise by more than 0.001 cm over the row
    // before it is raised by 0.001 cm, row by row from the top.
    for (int i = 1; i < kOutDepths; ++i) {
        if (t.volume[i] < kFullVolume && t.volume[i] - t.volume[i - 1] <= kVolumeStep)
            t.volume[i] = t.volume[i] + kVolumeStep;
    }

    common::write_record(*sin, kTitle, {soil.title});
    // The model takes the characteristic with pressure heads (cm, negative).
    const int32_t npts = soil.npts[lsin - 1];
    auto& head = soil.head[lsin - 1];
    const auto& theta = soil.theta[lsin - 1];
    for (int32_t j = 0; j < npts; ++j)
        if (head[j] > 0.0f) head[j] = -head[j];
    common::write_record(*sin, kCounts, {npts, int32_t{kOutDepths}});
    for (int32_t j = 0; j < npts; ++j) common::write_record(*sin, kPoint, {theta[j], head[j]});
    for (int i = 0; i < kOutDepths; ++i)
        common::write_record(*sin, kDepthRow, {t.depth[i], t.volume[i], t.upflux[i]});
    common::write_record(*sin, kRowCount, {int32_t{kOutGreenAmpt}});
    {
        common::StatementWriter w(*sin, kGreenAmptRows);
        for (int i = 0; i < kOutGreenAmpt; ++i) w << t.ga1[i] << t.ga2[i] << t.ga3[i];
        w.finish();
    }
    if (!ctx.units.close(kSinUnit)) {
        set_error(msg::cannot_write(sin_path, ctx.units.last_error()));
        return -1;
    }
    return 0;
}

}  // namespace pedopre
