#include "soilprep/soil_input.h"

#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "soilcalc/messages.h"

namespace soilprep {
namespace {

SoilInput& stop(common::Connection& in, SoilInput& s, SoilInput::Stop where, std::string why = {}) {
    s.stop = where;
    s.failure = std::move(why);
    s.overlong = in.overlong();
    return s;
}

}  // namespace

SoilStop read_input_head(common::Connection& in, const std::string& infile, int32_t& vgflag) {
    static const common::Layout kTitle("(A)");
    using common::ReadStatus;
    auto line = [&](std::string text) -> SoilStop {
        if (in.overlong()) return {soilcalc::msg::overlong_record(infile), false};
        return {std::move(text), false};
    };
    std::string title(128, ' ');
    switch (common::read_record(in, kTitle, {title})) {
        case ReadStatus::Done:
            break;
        case ReadStatus::EndOfFile:
            return {soilcalc::msg::title_missing(infile), false};
        default:
            return line(soilcalc::msg::title_unreadable(infile));
    }
    int32_t nlayer = 0;
    switch (common::read_free(in, {nlayer, vgflag})) {
        case ReadStatus::Done:
            break;
        case ReadStatus::EndOfFile:
            return {soilcalc::msg::header_missing(infile), false};
        default:
            return line(soilcalc::msg::header_unreadable(infile));
    }
    if (nlayer < 1 || nlayer > soilcalc::kMaxLayers) return {soilcalc::msg::layer_count(nlayer), false};
    return {};
}

SoilInput read_soil_input(common::Connection& in, int32_t vgflag) {
    static const common::Layout kTitle("(A80)");
    using common::ReadStatus;
    SoilInput s;
    s.van_genuchten = vgflag != 0;
    if (common::read_record(in, kTitle, {s.title}) != ReadStatus::Done) return stop(in, s, SoilInput::Stop::Head);
    soilcalc::blank_control_characters(s.title);
    if (common::read_free(in, {s.nlayer}) != ReadStatus::Done) return stop(in, s, SoilInput::Stop::Head);
    if (s.nlayer < 1 || s.nlayer > soilcalc::kMaxLayers)
        return stop(in, s, SoilInput::Stop::Head, soilcalc::msg::layer_count(s.nlayer));

    float top = 0.0f;  // top of the layer (cm)
    for (int32_t layer = 1; layer <= s.nlayer; ++layer) {
        if (s.van_genuchten) {
            VgLayerInput v;
            if (common::read_free(in, {v.zbot, v.vg.theta_r, v.vg.theta_s, v.vg.alpha, v.vg.n, v.ks, v.vg.k0,
                                       v.vg.l}) != ReadStatus::Done)
                return stop(in, s, SoilInput::Stop::Layer);
            s.vg.push_back(v);
            continue;
        }
        MeasuredLayerInput m;
        if (common::read_free(in, {m.n, m.ksat, m.zbot}) != ReadStatus::Done)
            return stop(in, s, SoilInput::Stop::Layer);
        // Each layer's bottom lies below the one above it (cm, downward).
        if (!(m.zbot > top))
            return stop(in, s, SoilInput::Stop::Layer, soilcalc::msg::bottom_not_below(layer, m.zbot, top));
        if (m.n > soilcalc::kMaxMeasured)
            return stop(in, s, SoilInput::Stop::Layer, soilcalc::msg::too_many_points(layer, m.n));
        if (m.n < 2) return stop(in, s, SoilInput::Stop::Layer, soilcalc::msg::too_few_points(layer, m.n));
        common::FreeReader points(in);
        for (int32_t j = 0; j < m.n; ++j)
            if (!points.get(m.theta[j]) || !points.get(m.head[j])) break;
        if (points.finish() != ReadStatus::Done) return stop(in, s, SoilInput::Stop::Layer);
        top = m.zbot;
        s.measured.push_back(m);
    }
    if (common::read_free(in, {s.gadepth, s.rootdepth, s.lsin}) != ReadStatus::Done)
        return stop(in, s, SoilInput::Stop::Closing);
    s.closing_read = true;
    return s;
}

}  // namespace soilprep
