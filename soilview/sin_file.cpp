#include "soilview/sin_file.h"

#include "common/fixed_text.h"
#include "common/layout.h"
#include "common/record_read.h"

namespace soilview {
namespace {

bool done(common::ReadStatus s) {
    return s == common::ReadStatus::Done;
}

}  // namespace

SinPart read_sin(common::Connection& c, SinTables& t, std::string& problem) {
    static const common::Layout kTitle("(A80)");
    static const common::Layout kCounts("(2I2)");
    static const common::Layout kPoint("(F10.3,F10.0)");
    static const common::Layout kDepthRow("(F10.1,F10.3,F10.4)");
    static const common::Layout kCount("(I2)");
    static const common::Layout kGreenAmptRow("(F10.1,F10.2,F10.2)");

    std::string title(80, ' ');
    if (!done(common::read_record(c, kTitle, {title}))) {
        problem = "It holds no title.";
        return SinPart::Title;
    }
    t.title = std::string(common::trim_right(title));
    int32_t points = 0, depths = 0;
    if (!done(common::read_record(c, kCounts, {points, depths})) || points < 1 || points > 100 ||
        depths != kSinDepths) {
        problem = "Its counts of points and depths (line 2) do not read as a point count and 20.";
        return SinPart::Counts;
    }
    for (int32_t j = 0; j < points; ++j) {
        float theta = 0.0f, head = 0.0f;
        if (!done(common::read_record(c, kPoint, {theta, head}))) {
            problem =
                "Its characteristic stops after " + std::to_string(j) + " of " + std::to_string(points) + " points.";
            return SinPart::Points;
        }
        t.theta.push_back(theta);
        t.head.push_back(head);
    }
    for (int32_t i = 0; i < kSinDepths; ++i) {
        if (!done(common::read_record(c, kDepthRow, {t.depth[i], t.volume[i], t.upflux[i]}))) {
            problem = "Its table of drained volume and upward flux stops after " + std::to_string(i) + " of 20 rows.";
            return SinPart::Depths;
        }
        t.depth_rows = i + 1;
    }
    int32_t rows = 0;
    if (!done(common::read_record(c, kCount, {rows})) || rows != kSinGreenAmpt) {
        problem = "The count of Green-Ampt rows does not read as 10.";
        return SinPart::GreenAmptCount;
    }
    for (int32_t i = 0; i < kSinGreenAmpt; ++i) {
        if (!done(common::read_record(c, kGreenAmptRow, {t.ga_depth[i], t.ga_a[i], t.ga_b[i]}))) {
            problem = "Its Green-Ampt table stops after " + std::to_string(i) + " of 10 rows.";
            return SinPart::GreenAmpt;
        }
        t.green_ampt_rows = i + 1;
    }
    return SinPart::Done;
}

}  // namespace soilview
