#include "soilprep/out_file.h"

#include <string>
#include <string_view>

#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "common/record_write.h"
#include "soilprep/upq_file.h"

namespace soilprep {
namespace {

// The records of the .OUT file, for its writers and its readers alike.
const common::Layout& volume_head_layout() {
    static const common::Layout k("('@WATER TABLE',3X,'VOLUME',/,2X,' (CM)  ',6X,' (CM) ')");
    return k;
}
const common::Layout& volume_row_layout() {
    static const common::Layout k("(1X,F6.1,5X,F8.3)");
    return k;
}
const common::Layout& reduction_layout() {
    static const common::Layout k(
        "(/,/,1X,'FOR UPFLUX=',F10.5,'TENSION AT TOP OF LAYER ',I2,' IS ',F10.5,/,1X,"
        "'THIS IS REDUCED TO ',F10.5)");
    return k;
}
const common::Layout& below_bottom_layout() {
    static const common::Layout k(
        "(1X,'FOR UPFLUX=',F10.5,' WATERTABLE IS BELOW BOTTOM',' OF LAYER',I3,' GO TO NEXT UPFLUX')");
    return k;
}
const common::Layout& cannot_find_layout() {
    static const common::Layout k(
        "(/,/,1X,'FOR UPFLUX=',F10.5,' PROGRAM CANNOT FIND THE ','TENSION AND CONDUCTIVITY AT "
        "BOTTOM OF LAYER',I3)");
    return k;
}
const common::Layout& root_zone_layout() {
    static const common::Layout k("('@TENSION AT ROOT ZONE = 1000 CM, 1/2 MAXIMUM',' ROOT DEPTH (CM) =  ',F5.1)");
    return k;
}
const common::Layout& green_ampt_layout() {
    static const common::Layout k("('@Green-Ampt parameters use soil ','properties for top ',F6.1,' cm.')");
    return k;
}

// The records `recs[from, from + count)` joined with their line ends, or an
// empty text when fewer remain.
std::string records(const std::vector<std::string>& recs, size_t from, size_t count) {
    if (from + count > recs.size()) return {};
    std::string text;
    for (size_t i = from; i < from + count; ++i) text += recs[i] + "\r\n";
    return text;
}

// Reads `text` through `layout` into the targets; true when writing the
// values read through the same layout gives `text` back, so that the text
// is a record of that layout and no other.
template <typename... T>
bool written_by(const std::string& text, const common::Layout& layout, T&... targets) {
    if (text.empty()) return false;
    auto c = common::Connection::in_memory(0, "record", text);
    if (common::read_record(*c, layout, {targets...}) != common::ReadStatus::Done) return false;
    return common::format_record(layout, {targets...}) == text;
}

// Tells the notices among the records between the drained-volume rows and
// the upward-flux caption apart, in the order they were written.
std::vector<OutNotice> notices_of(const std::vector<std::string>& recs) {
    std::vector<OutNotice> notices;
    for (size_t i = 0; i < recs.size();) {
        OutNotice n{};
        if (written_by(records(recs, i, 4), reduction_layout(), n.q, n.layer, n.tension, n.reduced)) {
            n.kind = OutNotice::Kind::Reduction;
            i += 4;
        } else if (written_by(records(recs, i, 3), cannot_find_layout(), n.q, n.layer)) {
            n.kind = OutNotice::Kind::CannotFind;
            i += 3;
        } else if (written_by(records(recs, i, 1), below_bottom_layout(), n.q, n.layer)) {
            n.kind = OutNotice::Kind::BelowBottom;
            i += 1;
        } else {
            if (!recs[i].empty()) notices.push_back({OutNotice::Kind::Other, 0.0f, 0, 0.0f, 0.0f, recs[i]});
            ++i;
            continue;
        }
        notices.push_back(n);
    }
    return notices;
}

}  // namespace

bool write_out_volume_head(common::Connection& out) {
    return common::write_record(out, volume_head_layout(), {});
}

bool write_out_volume_row(common::Connection& out, float depth, float volume) {
    return common::write_record(out, volume_row_layout(), {depth, volume});
}

bool write_out_reduction_notice(common::Connection& c, float q, int32_t layer, float tension, float reduced) {
    return common::write_record(c, reduction_layout(), {q, layer, tension, reduced});
}

bool write_out_below_bottom_notice(common::Connection& c, float q, int32_t layer) {
    return common::write_record(c, below_bottom_layout(), {q, layer});
}

bool write_out_cannot_find_notice(common::Connection& c, float q, int32_t layer) {
    return common::write_record(c, cannot_find_layout(), {q, layer});
}

bool write_out_root_zone_caption(common::Connection& out, float root_depth) {
    return common::write_record(out, root_zone_layout(), {root_depth});
}

bool write_out_green_ampt(common::Connection& out, float gadepth, const float* depth, const float* a, const float* b) {
    bool ok = common::write_record(out, green_ampt_layout(), {gadepth});
    for (int i = 0; i < kOutGreenAmpt; ++i) ok = common::write_free(out, {depth[i], a[i], b[i]});
    return ok;
}

OutPart read_out_report(common::Connection& out, OutReport& t) {
    using common::ReadStatus;
    std::string_view rec;

    // Drained volume: the heading, then its rows.
    const std::string head = common::format_record(volume_head_layout(), {});
    if (out.next_record(rec) != common::RecordStatus::Ok || rec != head.substr(0, head.find('\r')))
        return OutPart::Volume;
    if (out.next_record(rec) != common::RecordStatus::Ok) return OutPart::Volume;
    for (t.volume_rows = 0; t.volume_rows < kOutDepths; ++t.volume_rows) {
        const int i = t.volume_rows;
        if (common::read_record(out, volume_row_layout(), {t.volume_depth[i], t.volume[i]}) != ReadStatus::Done)
            return OutPart::Volume;
    }

    // The notices of the upward flux, up to its caption.
    std::vector<std::string> between;
    for (;;) {
        if (out.next_record(rec) != common::RecordStatus::Ok) {
            t.notices = notices_of(between);
            return OutPart::Flux;
        }
        if (!rec.empty() && rec[0] == '@') break;
        between.emplace_back(rec);
    }
    t.notices = notices_of(between);

    // Upward flux: the caption with half the maximum root depth (asterisks
    // from 1000 cm on leave it unread), the depth caption, the rows.
    t.rootdepth_read = written_by(std::string(rec) + "\r\n", root_zone_layout(), t.rootdepth);
    if (out.next_record(rec) != common::RecordStatus::Ok || !is_flux_caption(rec)) return OutPart::Flux;
    t.flux_rows = read_flux_rows(out, kOutDepths, t.flux_depth.data(), t.upflux.data());
    if (t.flux_rows < kOutDepths) return OutPart::Flux;

    // Green-Ampt: the caption with the depth of top soil, then free-form rows.
    if (common::read_record(out, green_ampt_layout(), {t.gadepth}) != ReadStatus::Done) return OutPart::GreenAmpt;
    for (t.green_ampt_rows = 0; t.green_ampt_rows < kOutGreenAmpt; ++t.green_ampt_rows) {
        const int i = t.green_ampt_rows;
        if (common::read_free(out, {t.ga_depth[i], t.ga_a[i], t.ga_b[i]}) != ReadStatus::Done)
            return OutPart::GreenAmpt;
    }
    return OutPart::Done;
}

}  // namespace soilprep
