#include "soilcalc/out_file.h"

#include <string>

#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "common/record_write.h"

namespace pedopre {
namespace {

// Moves past the next section caption, the line whose first character is
// "@", and past `extra` heading lines after it. Notices that stand ahead of
// a caption are stepped over. False at the end of the file.
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

}  // namespace

bool write_out_volume_head(common::Connection& out) {
    static const common::Layout kHead("('@WATER TABLE',3X,'VOLUME',/,2X,' (CM)  ',6X,' (CM) ')");
    return common::write_record(out, kHead, {});
}

bool write_out_volume_row(common::Connection& out, float depth, float volume) {
    static const common::Layout kRow("(1X,F6.1,5X,F8.3)");
    return common::write_record(out, kRow, {depth, volume});
}

bool write_out_reduction_notice(common::Connection& c, float q, int32_t layer, float tension, float reduced) {
    static const common::Layout k(
        "(/,/,1X,'FOR UPFLUX=',F10.5,'TENSION AT TOP OF LAYER ',I2,' IS ',F10.5,/,1X,"
        "'THIS IS REDUCED TO ',F10.5)");
    return common::write_record(c, k, {q, layer, tension, reduced});
}

bool write_out_below_bottom_notice(common::Connection& c, float q, int32_t layer) {
    static const common::Layout k(
        "(1X,'FOR UPFLUX=',F10.5,' WATERTABLE IS BELOW BOTTOM',' OF LAYER',I3,' GO TO NEXT UPFLUX')");
    return common::write_record(c, k, {q, layer});
}

bool write_out_cannot_find_notice(common::Connection& c, float q, int32_t layer) {
    static const common::Layout k(
        "(/,/,1X,'FOR UPFLUX=',F10.5,' PROGRAM CANNOT FIND THE ','TENSION AND CONDUCTIVITY AT "
        "BOTTOM OF LAYER',I3)");
    return common::write_record(c, k, {q, layer});
}

bool write_out_root_zone_caption(common::Connection& out, float root_depth) {
    static const common::Layout k("('@TENSION AT ROOT ZONE = 1000 CM, 1/2 MAXIMUM',' ROOT DEPTH (CM) =  ',F5.1)");
    return common::write_record(out, k, {root_depth});
}

bool write_out_green_ampt(common::Connection& out, float gadepth, const float* depth, const float* a,
                          const float* b) {
    static const common::Layout kCaption(
        "('@Green-Ampt parameters use soil ','properties for top ',F6.1,' cm.')");
    bool ok = common::write_record(out, kCaption, {gadepth});
    for (int i = 0; i < kOutGreenAmpt; ++i) ok = common::write_free(out, {depth[i], a[i], b[i]});
    return ok;
}

bool read_out(common::Connection& out, OutTables& t) {
    using common::ReadStatus;
    out.rewind();
    if (!skip_to_section(out, 1)) return false;
    for (int i = 0; i < kOutDepths; ++i)
        if (common::read_free(out, {t.depth[i], t.volume[i]}) != ReadStatus::Done) return false;
    if (!skip_to_section(out, 1)) return false;
    {
        common::FreeReader r(out);
        for (int i = 0; i < kOutDepths; ++i)
            if (!r.get(t.depth[i]) || !r.get(t.upflux[i])) break;
        if (r.finish() != ReadStatus::Done) return false;
    }
    if (!skip_to_section(out, 0)) return false;
    common::FreeReader r(out);
    for (int i = 0; i < kOutGreenAmpt; ++i)
        if (!r.get(t.ga1[i]) || !r.get(t.ga2[i]) || !r.get(t.ga3[i])) break;
    return r.finish() == ReadStatus::Done;
}

}  // namespace pedopre
