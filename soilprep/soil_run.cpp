#include "soilprep/soil_run.h"

#include <cmath>
#include <optional>

#include "common/fixed_text.h"
#include "common/printed_value.h"
#include "soilcalc/messages.h"
#include "soilcalc/milnqrk.h"
#include "soilcalc/run_state.h"

namespace soilprep {
namespace {

constexpr float kDriestHead = 1000.0f;  // suction a measured curve must reach (cm)

using common::printed_fixed;
using common::printed_free;

// The steps' stops.
SoilStop step_stop(std::string text) {
    return {std::move(text), true};
}

// The line of a main input that stopped short: a record longer than a line
// may be, the reader's own line, or the read-error line naming the file.
SoilStop input_stop(const SoilInput& in, const SoilNames& names) {
    if (in.overlong) return {soilcalc::msg::overlong_record(names.input), false};
    if (!in.failure.empty()) return step_stop(in.failure);
    return step_stop(soilcalc::msg::read_error(names.input));
}

// Measured points: the points as given go to the .MIS file, must be in
// order, and get a saturated point and a point at 1000 cm where they lack
// them. Afterwards the heads are positive suctions.
SoilStop measured_characteristic(const SoilInput& in, const SoilNames& names, SoilFiles* files, SoilRun& run) {
    soilcalc::set_routine("READSWCFILE");
    soilcalc::SoilTable& soil = run.soil;
    if (files) files->head(soil.title, soil.nlayer, false);
    float top = 0.0f;
    for (size_t l = 0; l < in.measured.size(); ++l) {
        const MeasuredLayerInput& m = in.measured[l];
        const auto layer = static_cast<int32_t>(l + 1);
        auto& head = soil.head[l];
        auto& theta = soil.theta[l];
        int32_t n = m.n;
        soil.ksat[l] = m.ksat;
        soil.zbot[l] = m.zbot;
        head = m.head;
        theta = m.theta;
        if (files) files->mis_layer(top, m.zbot, n, theta.data(), head.data(), false);
        top = m.zbot;
        run.points.push_back(m);

        // The points as given must run from wet to dry: suction rising
        // strictly, water content never rising. Checked before the
        // saturated-point repair, which keeps points in that order.
        if (std::string why = soilcalc::points_out_of_order(layer, n, theta, head); !why.empty()) return step_stop(why);

        if (soilcalc::lacks_saturated_point(head)) {
            soilcalc::add_saturated_point(n, theta, head);
            if (files) files->saturated_notice(theta[0]);
        }
        // A curve that stops short of 1000 cm gets a point there with the
        // water content of its driest point. The suction is compared, so a
        // curve given in negative heads down to -15000 cm needs no such point.
        if (std::fabs(head[n - 1]) < kDriestHead) {
            n = n + 1;
            head[n - 1] = kDriestHead;
            theta[n - 1] = theta[n - 2];
            if (files) files->extended_notice(layer);
        }
        soil.npts[l] = n;
        for (int32_t j = 0; j < n; ++j)
            if (head[j] < 0.0f) head[j] = -head[j];
    }
    if (in.stop == SoilInput::Stop::Head || in.stop == SoilInput::Stop::Layer) return input_stop(in, names);
    if (files)
        if (SoilStop why = files->close(SoilFile::Mis); !why.text.empty()) return why;
    return {};
}

// Van Genuchten parameters: the 12-point characteristic and the conductivity
// table of each layer, the summary and the closing record.
SoilStop vg_characteristic(const SoilInput& in, const SoilNames& names, SoilFiles* files, SoilRun& run) {
    soilcalc::set_routine("ROSETTA");
    soilcalc::SoilTable& soil = run.soil;
    if (files) files->head(soil.title, soil.nlayer, true);
    std::array<float, soilcalc::kMaxLayers> swf{};
    float top = 0.0f;
    for (size_t l = 0; l < in.vg.size(); ++l) {
        const VgLayerInput& v = in.vg[l];
        const auto layer = static_cast<int32_t>(l + 1);
        soil.zbot[l] = v.zbot;
        if (std::string why = soilcalc::layer_checks(layer, top, v.zbot, v.vg, v.ks); !why.empty())
            return step_stop(why);

        std::array<float, soilcalc::kVgPoints> theta{}, k{};
        soilcalc::SWC_GENUCHTEN(soilcalc::kVgPoints, v.vg, theta.data(), k.data(), soilcalc::kVgSuctions.data());
        if (files) files->mis_layer(top, v.zbot, soilcalc::kVgPoints, theta.data(), soilcalc::kVgSuctions.data(), true);
        run.vg_theta.push_back(theta);

        top = v.zbot;
        soil.npts[l] = soilcalc::kVgPoints;
        for (int32_t i = 0; i < soilcalc::kVgPoints; ++i) {
            soil.head[l][i] = soilcalc::kVgSuctions[i];
            soil.theta[l][i] = theta[i];
        }
        soil.ksat[l] = v.ks / 24.0f;

        soilcalc::ConductivityLayer c;
        if (std::string why = soilcalc::HYDK_GENUCHTEN(soilcalc::kVgPoints, v.vg, soil.ksat[l], theta.data(),
                                                       soilcalc::kVgSuctions.data(), layer, v.zbot, c);
            !why.empty())
            return step_stop(why);
        swf[l] = c.front.swf;
        run.conductivity.push_back(c);
        if (files) files->conductivity_layer(c);
    }
    if (in.stop == SoilInput::Stop::Head || in.stop == SoilInput::Stop::Layer) return input_stop(in, names);

    if (files) files->mq_summary(true, soil.nlayer, soil.zbot.data(), swf.data());
    if (!in.closing_read) return input_stop(in, names);
    if (std::string why = soilcalc::closing_checks(in.gadepth, in.rootdepth); !why.empty()) return step_stop(why);
    if (soil.lsin < 1 || soil.lsin > soil.nlayer) return step_stop(soilcalc::msg::lsin_range(soil.lsin, soil.nlayer));
    if (files) {
        files->mq_closing(true, in.gadepth, in.rootdepth, soil.lsin);
        for (SoilFile f : {SoilFile::Sav, SoilFile::Mq, SoilFile::Mis})
            if (SoilStop why = files->close(f); !why.text.empty()) return why;
    }
    return {};
}

}  // namespace

// The drained volumes of the profile.
SoilStop volume_step(SoilFiles* files, SoilRun& run) {
    soilcalc::set_routine("WTVOLDRN");
    if (files)
        if (SoilStop why = files->open(SoilFile::Wdv); !why.text.empty()) return why;
    if (std::string why = soilcalc::drained_volume_checks(run.soil); !why.empty()) return step_stop(why);
    if (files) files->volume_inputs(run.soil);
    run.volume = soilcalc::drained_volume(run.soil);
    run.volume_rows = soilcalc::volume_rows(run.volume);
    if (files) {
        files->volumes(run.soil, run.volume, run.volume_rows);
        if (SoilStop why = files->close(SoilFile::Wdv); !why.text.empty()) return why;
    }
    return {};
}

// Measured points: the conductivity table of each layer from its points as
// given, the summary and the closing record.
SoilStop conductivity_step(const SoilInput& in, const SoilNames& names, SoilFiles* files, SoilRun& run) {
    if (in.van_genuchten) return {};  // made with the characteristic
    soilcalc::set_routine("MILNQRK");
    const int32_t nl = in.nlayer;
    if (files) files->mq_head(run.soil.title, nl);
    std::array<float, soilcalc::kMaxLayers> zb{}, swf{};
    for (size_t l = 0; l < in.measured.size(); ++l) {
        const MeasuredLayerInput& m = in.measured[l];
        zb[l] = m.zbot;
        soilcalc::ConductivityLayer c;
        if (std::string why = soilcalc::MILNQRK(m.n, m.theta, m.head, m.ksat, m.zbot, static_cast<int32_t>(l + 1), c);
            !why.empty())
            return step_stop(why);
        swf[l] = c.front.swf;
        run.conductivity.push_back(c);
        if (files) files->conductivity_layer(c);
    }
    if (files) files->mq_summary(false, nl, zb.data(), swf.data());
    if (!in.closing_read) return input_stop(in, names);
    if (std::string why = soilcalc::closing_checks(in.gadepth, in.rootdepth); !why.empty()) return step_stop(why);
    if (in.lsin < 1 || in.lsin > nl) return step_stop(soilcalc::msg::lsin_range(in.lsin, nl));
    if (files) {
        files->mq_closing(false, in.gadepth, in.rootdepth, in.lsin);
        for (SoilFile f : {SoilFile::Mq, SoilFile::Sav})
            if (SoilStop why = files->close(f); !why.text.empty()) return why;
    }
    return {};
}

SoilStop upward_flux_step(const SoilInput& in, const SoilNames& names, SoilFiles* files, SoilRun& run) {
    soilcalc::set_routine("UPFLUX");
    if (files)
        if (SoilStop why = files->open(SoilFile::Upq); !why.text.empty()) return why;
    soilcalc::MqTables t;
    const soilcalc::MqRead r = read_back_mq(run.soil.title, run.conductivity, in, soilcalc::MqColumns::Flux, t);
    return upward_flux_step(t, r, names.mq, files, run);
}

SoilStop green_ampt_step(const SoilInput& in, const SoilNames& names, SoilFiles* files, SoilRun& run) {
    soilcalc::set_routine("GRNAMPT");
    soilcalc::MqTables t;
    const soilcalc::MqRead r = read_back_mq(run.soil.title, run.conductivity, in, soilcalc::MqColumns::All, t);
    return green_ampt_step(t, r, names.mq, files, run);
}

namespace {

// The report file's tables as read back, at the precision it holds them.
bool read_back_report(const SoilRun& run, ReportTables& t) {
    for (int i = 0; i < kSinDepths; ++i) {
        const auto volume = printed_fixed(run.volume_rows[i], 8, 3);
        const auto depth = printed_fixed(run.flux.grid[i], 7, 2);
        const auto flux = printed_fixed(run.flux.fitted[i], 6, 4);
        if (!volume || !depth || !flux) return false;
        t.volume[i] = *volume;
        t.depth[i] = *depth;
        t.upflux[i] = *flux;
    }
    const soilcalc::GreenAmpt& g = run.green_ampt;
    for (int i = 0; i < kSinGreenAmpt; ++i) {
        const auto depth = printed_free(g.depth[i]), a = printed_free(g.a[i]), b = printed_free(g.b[i]);
        if (!depth || !a || !b) return false;
        t.ga_depth[i] = *depth;
        t.ga_a[i] = *a;
        t.ga_b[i] = *b;
    }
    return true;
}

}  // namespace

SoilStop sin_step(const SoilNames& names, SoilFiles* files, SoilRun& run) {
    soilcalc::set_routine("MHINPUT");
    if (files)
        if (SoilStop why = files->open(SoilFile::Sin); !why.text.empty()) return why;
    if (std::string why = sin_checks(run.soil); !why.empty()) return step_stop(why);
    ReportTables report;
    if (!read_back_report(run, report)) return step_stop(soilcalc::msg::read_error(names.out));
    run.sin = MHINPUT(run.soil, report);
    if (files) {
        files->sin(run.sin);
        if (SoilStop why = files->close(SoilFile::Sin); !why.text.empty()) return why;
    }
    return {};
}

SoilStop upward_flux_step(const soilcalc::MqTables& t, const soilcalc::MqRead& r, const std::string& mq_name,
                          SoilFiles* files, SoilRun& run) {
    // The tables are echoed to the .UPQ file as far as they read.
    const std::string read_error = soilcalc::msg::read_error(mq_name);
    if (r.failed == soilcalc::MqPart::Title) return step_stop(read_error);
    if (files && !files->upq_title(t.title)) return step_stop(read_error);
    if (r.failed == soilcalc::MqPart::LayerCount)
        return step_stop(r.out_of_range ? soilcalc::msg::mq_layer_count(t.nl) : read_error);
    const bool in_layer = r.failed == soilcalc::MqPart::Header || r.failed == soilcalc::MqPart::Rows;
    for (int32_t l = 0; l < t.nl; ++l) {
        const soilcalc::MqLayer& layer = t.layers[l];
        const bool failing = in_layer && l == r.layer;
        if (failing && r.failed == soilcalc::MqPart::Header)
            return step_stop(r.out_of_range ? soilcalc::msg::mq_row_count(l + 1, layer.rows) : read_error);
        // The integration needs two rows at least.
        if (layer.rows < 2) return step_stop(soilcalc::msg::mq_row_count(l + 1, layer.rows));
        if (files) files->upq_layer_head(l + 1, layer.bottom);
        if (failing) return step_stop(read_error);
        if (files) {
            // The file lists the driest row first; the echo runs the other way.
            soilcalc::CurveColumn tension{}, cond{};
            for (int32_t j = 0; j < layer.rows; ++j) {
                tension[layer.rows - 1 - j] = -layer.head[j];
                cond[layer.rows - 1 - j] = layer.cond[j];
            }
            files->upq_layer_rows(layer.rows, tension.data(), cond.data());
        }
    }
    if (r.failed != soilcalc::MqPart::Done) return step_stop(read_error);
    run.mq = t;

    run.flux = soilcalc::UPFLUX(t);
    if (files)
        for (const soilcalc::FluxNotice& notice : run.flux.notices) files->flux_notice(notice);
    if (!run.flux.depths_found) return step_stop(run.flux.error);
    if (files) files->upq_depths(run.flux.depth);
    if (!run.flux.error.empty()) return step_stop(run.flux.error);
    if (files) {
        files->flux_section(run.flux);
        if (SoilStop why = files->close(SoilFile::Upq); !why.text.empty()) return why;
    }
    return {};
}

SoilStop green_ampt_step(const soilcalc::MqTables& t, const soilcalc::MqRead& r, const std::string& mq_name,
                         SoilFiles* files, SoilRun& run) {
    if (r.failed != soilcalc::MqPart::Done) return step_stop(soilcalc::msg::read_error(mq_name));
    run.green_ampt = soilcalc::GRNAMPT(t);
    if (!run.green_ampt.error.empty()) return step_stop(run.green_ampt.error);
    if (files) files->green_ampt(run.green_ampt);
    return {};
}

soilcalc::MqRead read_back_mq(const std::string& title, const std::vector<soilcalc::ConductivityLayer>& layers,
                              const SoilInput& input, soilcalc::MqColumns columns, soilcalc::MqTables& t) {
    const bool all = columns == soilcalc::MqColumns::All;
    t.title = common::fixed(common::fixed(title, 80), 128);
    t.nl = input.nlayer;
    for (int32_t l = 0; l < t.nl; ++l) {
        if (static_cast<size_t>(l) >= layers.size()) return {soilcalc::MqPart::Header, l, false};
        const soilcalc::ConductivityLayer& c = layers[l];
        soilcalc::MqLayer& layer = t.layers[l];
        layer.rows = c.rows;
        const auto k = all ? printed_fixed(c.k_header, 8, 3) : std::optional<float>(0.0f);
        const auto bottom = printed_fixed(c.zbot, 10, 2);
        if (!k || !bottom) return {soilcalc::MqPart::Header, l, false};
        layer.k_header = *k;
        layer.bottom = *bottom;
        for (int32_t j = 0; j < c.rows; ++j) {
            const auto theta = all ? printed_fixed(c.theta[j], 10, 3) : std::optional<float>(0.0f);
            const auto head = printed_fixed(c.head[j], 10, 1);
            const auto cond = printed_fixed(c.cond[j], 15, 9);
            if (!theta || !head || !cond) return {soilcalc::MqPart::Rows, l, false};
            layer.theta[j] = *theta;
            layer.head[j] = *head;
            layer.cond[j] = *cond;
        }
    }
    for (int32_t l = 0; l < t.nl; ++l) {
        const auto zb = printed_fixed(layers[l].zbot, 5, 0);
        const auto sf = printed_fixed(layers[l].front.swf, 9, 4);
        if (!zb || !sf) return {soilcalc::MqPart::Summary, t.nl, false};
        t.zb[l] = *zb;
        t.sf[l] = *sf;
    }
    t.gadepth = input.gadepth;
    t.rootdepth = input.rootdepth;
    t.lsin = input.lsin;
    return {};
}

void begin_soil_run(const SoilInput& input, SoilRun& run) {
    run.soil.title = input.title;
    run.soil.nlayer = input.nlayer;
    run.soil.lsin = input.lsin;
}

SoilStop characteristic_step(const SoilInput& in, const SoilNames& names, SoilFiles* files, SoilRun& run) {
    if (in.stop == SoilInput::Stop::Head) return input_stop(in, names);
    return in.van_genuchten ? vg_characteristic(in, names, files, run) : measured_characteristic(in, names, files, run);
}

SoilStop run_soil_steps(const SoilInput& input, const SoilNames& names, SoilFiles* files, SoilRun& run) {
    begin_soil_run(input, run);
    using Step = SoilStop (*)(const SoilInput&, const SoilNames&, SoilFiles*, SoilRun&);
    const Step steps[] = {
        characteristic_step,
        [](const SoilInput&, const SoilNames&, SoilFiles* f, SoilRun& r) { return volume_step(f, r); },
        conductivity_step,
        upward_flux_step,
        green_ampt_step,
        [](const SoilInput&, const SoilNames& n, SoilFiles* f, SoilRun& r) { return sin_step(n, f, r); },
    };
    for (Step step : steps) {
        if (SoilStop s = step(input, names, files, run); !s.text.empty()) return s;
        ++run.steps_done;
    }
    return {};
}

}  // namespace soilprep
