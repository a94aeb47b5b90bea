#include "soilprep/mhinput.h"

#include <array>

#include "common/fixed_text.h"
#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "common/record_write.h"
#include "soilcalc/messages.h"

namespace pedopre {
namespace {

constexpr int kDepths = 20;      // water-table depths of the drained-volume and flux tables
constexpr int kGreenAmpt = 10;   // rows of the Green-Ampt table
constexpr float kFullVolume = 100.0f;  // drained volumes from here on stay as they are (cm)
constexpr float kVolumeStep = 0.001f;  // least rise of the drained volume per row (cm)

// Moves the .OUT stream past the next section caption, the line whose first
// character is "@", and past `extra` heading lines after it. Notices that
// stand ahead of a caption are stepped over. False at the end of the file.
bool skip_to_section(common::Connection& out, int extra) {
    static const common::Layout kLine("(A)");
    std::string first(1, ' ');
    for (;;) {
        if (common::read_record(out, kLine, {first}) != common::ReadStatus::Done) return false;
        if (first[0] == '@') break;
    }
    for (int i = 0; i < extra; ++i)
        if (common::read_record(out, kLine, {first}) != common::ReadStatus::Done) return false;
    return true;
}

struct OutTables {
    std::array<float, kDepths> depth{};   // water-table depth (cm)
    std::array<float, kDepths> volume{};  // drained volume (cm)
    std::array<float, kDepths> upflux{};  // steady upward flux (cm/hr)
    std::array<float, kGreenAmpt> ga1{}, ga2{}, ga3{};  // depth (cm), A (cm2/hr), B (cm/hr)
};

// Reads the drained-volume, upward-flux and Green-Ampt sections back.
bool read_out(common::Connection& out, OutTables& t) {
    using common::ReadStatus;
    out.rewind();
    if (!skip_to_section(out, 1)) return false;
    for (int i = 0; i < kDepths; ++i)
        if (common::read_free(out, {t.depth[i], t.volume[i]}) != ReadStatus::Done) return false;
    if (!skip_to_section(out, 1)) return false;
    {
        common::FreeReader r(out);
        for (int i = 0; i < kDepths; ++i)
            if (!r.get(t.depth[i]) || !r.get(t.upflux[i])) break;
        if (r.finish() != ReadStatus::Done) return false;
    }
    if (!skip_to_section(out, 0)) return false;
    common::FreeReader r(out);
    for (int i = 0; i < kGreenAmpt; ++i)
        if (!r.get(t.ga1[i]) || !r.get(t.ga2[i]) || !r.get(t.ga3[i])) break;
    return r.finish() == ReadStatus::Done;
}

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
        set_error(msg::cannot_open(sin_path));
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
        set_error("ERROR: Layer " + std::to_string(lsin) +
                  " chosen for the soil input file is not a layer of the profile");
        return -1;
    }

    OutTables t;
    if (!read_out(*out, t)) {
        set_error(msg::read_error(out->path()));
        return -1;
    }

    // A drained volume that does not rise by more than 0.001 cm over the row
    // before it is raised by 0.001 cm, row by row from the top.
    for (int i = 1; i < kDepths; ++i) {
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
    common::write_record(*sin, kCounts, {npts, int32_t{kDepths}});
    for (int32_t j = 0; j < npts; ++j) common::write_record(*sin, kPoint, {theta[j], head[j]});
    for (int i = 0; i < kDepths; ++i)
        common::write_record(*sin, kDepthRow, {t.depth[i], t.volume[i], t.upflux[i]});
    common::write_record(*sin, kRowCount, {int32_t{kGreenAmpt}});
    {
        common::StatementWriter w(*sin, kGreenAmptRows);
        for (int i = 0; i < kGreenAmpt; ++i) w << t.ga1[i] << t.ga2[i] << t.ga3[i];
        w.finish();
    }
    if (!ctx.units.close(kSinUnit)) {
        set_error(msg::cannot_open(sin_path));
        return -1;
    }
    return 0;
}

}  // namespace pedopre
