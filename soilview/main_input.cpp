#include "soilview/main_input.h"

#include "common/fixed_text.h"
#include "common/free_form.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "soilcalc/characteristic.h"

namespace soilview {
namespace {

bool done(common::ReadStatus s) {
    return s == common::ReadStatus::Done;
}

bool read_measured_layer(common::Connection& in, InputLayer& layer, int32_t number, std::string& problem) {
    int32_t n = 0;
    if (!done(common::read_free(in, {n, layer.ksat, layer.zbot}))) {
        problem = "The header of layer " + std::to_string(number) + " (NPTS KSAT ZBOT) does not read.";
        return false;
    }
    if (n < 1 || n > soilcalc::kMaxMeasured) {
        problem = "Layer " + std::to_string(number) + " gives " + std::to_string(n) + " points; 1 to 98 can be read.";
        return false;
    }
    layer.theta.assign(static_cast<size_t>(n), 0.0f);
    layer.head.assign(static_cast<size_t>(n), 0.0f);
    common::FreeReader points(in);
    for (size_t j = 0; j < layer.theta.size(); ++j)
        if (!points.get(layer.theta[j]) || !points.get(layer.head[j])) break;
    if (!done(points.finish())) {
        problem = "The points of layer " + std::to_string(number) + " do not read.";
        return false;
    }
    return true;
}

bool read_vg_layer(common::Connection& in, InputLayer& layer, int32_t number, std::string& problem) {
    soilcalc::VanGenuchten& vg = layer.vg;
    if (!done(common::read_free(in, {layer.zbot, vg.theta_r, vg.theta_s, vg.alpha, vg.n, layer.ks, vg.k0, vg.l}))) {
        problem =
            "The record of layer " + std::to_string(number) + " (ZBOT theta_r theta_s alpha n Ks K0 l) does not read.";
        return false;
    }
    return true;
}

}  // namespace

MainInput read_main_input(common::Connection& in) {
    static const common::Layout kTitle("(A)");
    MainInput m;
    std::string title(128, ' ');
    if (!done(common::read_record(in, kTitle, {title}))) {
        m.problem = "Line 1 (the title) does not read.";
        return m;
    }
    m.title = std::string(common::trim_right(title));
    int32_t vgflag = 0;
    if (!done(common::read_free(in, {m.nlayer, vgflag}))) {
        m.problem = "Line 2 (NLAYER VGFLAG) does not read.";
        return m;
    }
    m.form = vgflag == 0 ? InputForm::Measured : InputForm::VanGenuchten;
    if (m.nlayer < 1 || m.nlayer > soilcalc::kMaxLayers) {
        m.problem = "NLAYER = " + std::to_string(m.nlayer) + " is outside 1 to 9.";
        return m;
    }

    // The layers, read from the start again as the run's readers read them.
    in.rewind();
    int32_t nlayer = 0;
    if (!done(common::read_record(in, kTitle, {title})) || !done(common::read_free(in, {nlayer}))) {
        m.problem = "Line 2 (NLAYER VGFLAG) does not read.";
        return m;
    }
    for (int32_t l = 1; l <= m.nlayer; ++l) {
        InputLayer layer;
        const bool ok = m.form == InputForm::Measured ? read_measured_layer(in, layer, l, m.problem)
                                                      : read_vg_layer(in, layer, l, m.problem);
        if (!ok) return m;
        m.layers.push_back(std::move(layer));
    }
    if (!done(common::read_free(in, {m.gadepth, m.rootdepth, m.lsin}))) {
        m.problem = "The closing record (GADEPTH ROOTDEPTH LSIN) does not read.";
        return m;
    }
    m.closing_read = true;
    return m;
}

}  // namespace soilview
