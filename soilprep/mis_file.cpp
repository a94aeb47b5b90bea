#include "soilprep/mis_file.h"

#include <string>
#include <string_view>

#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "common/record_write.h"

namespace soilprep {
namespace {

// The records of the .MIS file, for its writers and its reader alike.
const common::Layout& count_layout() {
    static const common::Layout k("(I4)");
    return k;
}
const common::Layout& top_bottom_layout() {
    static const common::Layout k("(2F8.1)");
    return k;
}
const common::Layout& points_layout(MisPoints form) {
    static const common::Layout kMeasured("(F7.3,F12.1)");
    static const common::Layout kComputed("(F7.5,F12.1)");
    return form == MisPoints::Measured ? kMeasured : kComputed;
}
// The marker lines are free-form records of one text.
constexpr std::string_view kTopBottomMarker = "*TOP AND BOTTOM OF LAYER";
constexpr std::string_view kPointsMarker = "*NUMBER OF POINTS IN LAYER";

// Reads one record and tells whether it is the marker line of `marker`,
// as write_free writes it.
bool read_marker(common::Connection& mis, std::string_view marker) {
    std::string_view rec;
    if (mis.next_record(rec) != common::RecordStatus::Ok) return false;
    std::string expected;
    common::format_free(expected, {marker});
    return expected.size() >= 2 && rec == std::string_view(expected).substr(0, expected.size() - 2);
}

}  // namespace

bool write_mis_count(common::Connection& mis, int32_t nlayer) {
    return common::write_record(mis, count_layout(), {nlayer});
}

bool write_mis_layer(common::Connection& mis, float top, float zbot, int32_t n, const float* theta, const float* head,
                     MisPoints form) {
    common::write_free(mis, {kTopBottomMarker});
    common::write_record(mis, top_bottom_layout(), {top, zbot});
    common::write_free(mis, {kPointsMarker});
    common::write_record(mis, count_layout(), {n});
    common::StatementWriter points(mis, points_layout(form));
    for (int32_t j = 0; j < n; ++j) points << theta[j] << head[j];
    return points.finish();
}

MisRead read_mis(common::Connection& mis, MisTables& t, MisPoints form) {
    using common::ReadStatus;
    if (common::read_record(mis, count_layout(), {t.nlayer}) != ReadStatus::Done) return {MisPart::Count, 0, false};
    if (t.nlayer < 1 || t.nlayer > soilcalc::kMaxLayers) return {MisPart::Count, 0, true};
    for (int32_t l = 0; l < t.nlayer; ++l) {
        MisLayer& layer = t.layers[l];
        if (!read_marker(mis, kTopBottomMarker) ||
            common::read_record(mis, top_bottom_layout(), {layer.top, layer.bottom}) != ReadStatus::Done)
            return {MisPart::Bounds, l, false};
        if (!read_marker(mis, kPointsMarker) || common::read_record(mis, count_layout(), {layer.n}) != ReadStatus::Done)
            return {MisPart::Points, l, false};
        if (layer.n < 1 || layer.n > soilcalc::kMaxPoints) return {MisPart::Points, l, true};
        // The points were written in one statement, one record per point.
        common::RecordReader points(mis, points_layout(form));
        for (int32_t j = 0; j < layer.n; ++j)
            if (!points.get(layer.theta[j]) || !points.get(layer.head[j])) break;
        if (points.finish() != ReadStatus::Done) return {MisPart::Points, l, false};
    }
    return {};
}

}  // namespace soilprep
