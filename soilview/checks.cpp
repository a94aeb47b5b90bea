#include "soilview/checks.h"

#include <cmath>

#include "common/fixed_text.h"
#include "soilview/characteristic_figures.h"
#include "soilview/figure_block.h"
#include "soilview/run_outcome.h"
#include "soilview/run_references.h"
#include "soilview/van_genuchten_curve.h"

namespace soilview {
namespace {

using figure::CheckStatus;
using figure::format_value;

std::string layer_name(int32_t l) {
    return "layer " + std::to_string(l + 1);
}

// A block-header conductivity (cm/hr) below which B rounds to 0.00 in .SIN.
constexpr float kRoundsToZero = 0.005f;

// The .SIN Green-Ampt rows after the first whose A or B reads 0.00: the
// model then infiltrates with no suction term, or not at all. Row 1 (water
// table at the surface) has A = 0 by definition.
void sin_green_ampt_zero(const RunTables& r, std::vector<Check>& out) {
    const SinTables& t = r.sin;
    if (t.green_ampt_rows == 0) return;
    const bool have_out = r.out.green_ampt_rows == t.green_ampt_rows;
    std::vector<std::string> a_rows, b_rows;
    for (int32_t i = 1; i < t.green_ampt_rows; ++i) {
        const std::string where = format_value(t.ga_depth[i]) + " cm";
        if (t.ga_a[i] == 0.0f) a_rows.push_back(where + (have_out ? " (" + decimals(r.out.ga_a[i], 4) + ")" : ""));
        if (t.ga_b[i] == 0.0f) b_rows.push_back(where + (have_out ? " (" + decimals(r.out.ga_b[i], 4) + ")" : ""));
    }
    const std::string sin = common::printable(r.names.sin);
    if (a_rows.empty() && b_rows.empty()) {
        out.push_back({CheckStatus::Passed, "Green-Ampt: in " + sin +
                                                " every row below the surface has A and B "
                                                "above 0.00."});
        return;
    }
    std::vector<std::string> parts;
    if (!a_rows.empty())
        parts.push_back("A = 0.00 at " + std::to_string(a_rows.size()) + " of its " +
                        std::to_string(t.green_ampt_rows - 1) +
                        " water-table depths below the surface: " + listed(a_rows));
    if (!b_rows.empty()) parts.push_back("B = 0.00 at " + std::to_string(b_rows.size()) + ": " + listed(b_rows));
    std::string text = "Green-Ampt: " + sin + " keeps A and B to two decimals and gives the model " + listed(parts);
    if (have_out) text += " (in brackets the value computed, " + std::string(kSquareCmPerHour) + " or cm/hr)";
    text += ". With A = 0.00 the model infiltrates without the suction of the wetting front";
    if (!b_rows.empty()) text += "; with B = 0.00 it lets in nothing once that suction is spent";
    text += ".";
    std::vector<std::string> causes;
    for (int32_t l = 0; l < r.mq_layers; ++l) {
        if (std::fabs(r.mq.layers[l].k_header) >= kRoundsToZero) continue;
        std::string cause = layer_name(l) + " (" + format_value(r.mq.layers[l].k_header) + " cm/hr";
        if (const InputLayer* in = vg_layer(r, l)) cause += ", K0 = " + format_value(in->vg.k0) + " cm/day";
        causes.push_back(cause + ")");
    }
    if (!causes.empty())
        text += " B averages the conductivities of the .MQ block headers, and that of " + listed(causes) +
                " is below 0.005 cm/hr.";
    out.push_back({CheckStatus::Warning, text});
}

// The deepest water table that the run computed for the 21 fluxes (cm).
float deepest_computed(const RunTables& r) {
    float deepest = r.upq.depth[0];
    for (int32_t k = 0; k < r.upq.rows; ++k) deepest = std::max(deepest, r.upq.depth[k]);
    return deepest;
}

void flux_depths(const RunTables& r, std::vector<Check>& out) {
    if (r.upq.rows < 2) return;
    std::vector<std::string> pairs;
    for (int32_t k = 1; k < r.upq.rows; ++k) {
        if (r.upq.depth[k] > r.upq.depth[k - 1]) continue;
        pairs.push_back("from " + format_value(r.upq.flux[k - 1]) + " to " + format_value(r.upq.flux[k]) + " cm/hr (" +
                        decimals(r.upq.depth[k - 1], 2) + " to " + decimals(r.upq.depth[k], 2) + " cm)");
    }
    const std::string file = common::printable(r.names.upq);
    if (pairs.empty()) {
        out.push_back(
            {CheckStatus::Passed, "Upward flux: in " + file + " the water table deepens with every smaller flux."});
        return;
    }
    out.push_back(
        {CheckStatus::Warning, "Upward flux: in " + file + " the water table does not deepen as the flux falls " +
                                   listed(pairs) + "; the spline that gives the flux column of " +
                                   common::printable(r.names.sin) + " is fitted through these depths as they stand."});
}

// .SIN flux rows below the deepest water table the run computed extend the
// spline's last piece. Above zero or rising with depth, they hand the model
// an upward flux that no computation gave.
void sin_flux_beyond(const RunTables& r, std::vector<Check>& out) {
    if (r.upq.rows != soilprep::kUpqFluxes || r.sin.depth_rows != kSinDepths) return;
    const float deepest = deepest_computed(r);
    std::vector<std::string> rows, bad;
    bool rising = false;
    for (int32_t i = 0; i < r.sin.depth_rows; ++i) {
        if (!(r.sin.depth[i] > deepest)) continue;
        const std::string row = decimals(r.sin.upflux[i], 4) + " cm/hr at " + format_value(r.sin.depth[i]) + " cm";
        rows.push_back(row);
        const bool rises = i > 0 && r.sin.upflux[i] > r.sin.upflux[i - 1];
        rising = rising || rises;
        if (r.sin.upflux[i] > 0.0f || rises)
            bad.push_back(row + (r.sin.upflux[i] >= 0.01f ? " (" + decimals(r.sin.upflux[i] * 240.0, 1) + " mm/day)"
                                                          : std::string()));
    }
    const std::string sin = common::printable(r.names.sin), upq = common::printable(r.names.upq);
    const std::string deep = decimals(deepest, 2) + " cm";
    if (rows.empty()) {
        out.push_back({CheckStatus::Passed, "Upward flux: every row of " + sin +
                                                " lies within the water tables "
                                                "computed in " +
                                                upq + " (down to " + deep + ")."});
    } else if (bad.empty()) {
        out.push_back({CheckStatus::Note, "Upward flux: the rows of " + sin +
                                              " below the deepest water table computed (" + deep + ", " + upq +
                                              ") give " + listed(rows) + "."});
    } else {
        out.push_back({CheckStatus::Warning, "Upward flux: " + sin + " hands the model " + listed(bad) +
                                                 ", below the deepest water table computed (" + deep + ", " + upq +
                                                 "). No computation gave " +
                                                 (bad.size() == 1 ? "this flux" : "these fluxes") +
                                                 ": the spline's last piece is extended there" +
                                                 (rising ? ", and it rises with depth, which no soil gives." : ".")});
    }
}

// .SIN drained volumes held at 100.000 cm (capped there, and always 100 at
// 1000 cm): within the design depths a warning, deeper a note with what the
// profile drains there.
void sin_volumes_held(const RunTables& r, std::vector<Check>& out) {
    if (r.sin.depth_rows == 0) return;
    std::vector<std::string> shallow, deep;
    for (int32_t i = 0; i < r.sin.depth_rows; ++i) {
        if (std::fabs(r.sin.volume[i] - 100.0f) > 0.0005f) continue;
        std::string row = format_value(r.sin.depth[i]) + " cm";
        for (int32_t k = 0; k < r.wtd.rows; ++k)
            if (r.wtd.depth[k] == r.sin.depth[i])
                row += " (the profile drains " + decimals(r.wtd.volume[k], 3) + " cm)";
        (r.sin.depth[i] <= kDesignDepth ? shallow : deep).push_back(row);
    }
    const std::string sin = common::printable(r.names.sin), wtd = common::printable(r.names.wtd);
    const std::string rule =
        ".SIN caps every volume at 100 cm and always gives 100 cm at 1000 cm; the profile's "
        "volumes are those of " +
        wtd + ".";
    if (!shallow.empty())
        out.push_back({CheckStatus::Warning, "Drained volume: " + sin + " holds the volume at 100.000 cm at " +
                                                 listed(shallow) +
                                                 ", within the depths drainage design uses: the "
                                                 "model sees no water released as the water table falls there. " +
                                                 rule});
    if (!deep.empty())
        out.push_back({CheckStatus::Note, "Drained volume: " + sin + " holds the volume at 100.000 cm at " +
                                              listed(deep) +
                                              "; the model reads these rows only for water tables below " +
                                              format_value(kDesignDepth) + " cm. " + rule});
    if (shallow.empty() && deep.empty())
        out.push_back({CheckStatus::Passed, "Drained volume: no row of " + sin + " is held at 100 cm."});
}

void volume_against_reference(const RunTables& r, const RunReferences& ref, std::vector<Check>& out) {
    const std::string sin = common::printable(r.names.sin);
    std::vector<std::string> beyond;
    double worst = 0, worst_abs = 0, worst_at = 0;
    for (int32_t i = 0; i < r.sin.depth_rows && static_cast<size_t>(i) < ref.sin_volume.size(); ++i) {
        if (r.sin.depth[i] > kDesignDepth || !(ref.sin_volume[i] >= kVolumeFloor)) continue;
        const double diff = r.sin.volume[i] - ref.sin_volume[i], rel = diff / ref.sin_volume[i];
        if (std::fabs(rel) > std::fabs(worst)) {
            worst = rel;
            worst_abs = diff;
            worst_at = r.sin.depth[i];
        }
        if (std::fabs(rel) > kVolumeDeparture && std::fabs(diff) >= kVolumeFloor)
            beyond.push_back(decimals(r.sin.volume[i], 3) + " for " + decimals(ref.sin_volume[i], 3) + " cm at " +
                             format_value(r.sin.depth[i]) + " cm");
    }
    const std::string rule = decimals(kVolumeDeparture * 100, 0) + " % and " + decimals(kVolumeFloor, 1) + " cm";
    const std::string largest =
        signed_percent(worst) + ", " + signed_value(worst_abs, 3) + " cm at " + format_value(worst_at) + " cm";
    if (!beyond.empty()) {
        out.push_back({CheckStatus::Warning, "Drained volume: " + sin +
                                                 " departs from the exact volume at hydrostatic "
                                                 "equilibrium by up to " +
                                                 largest + ": " + listed(beyond) + " (a departure counts beyond " +
                                                 rule + ")."});
    } else {
        out.push_back({CheckStatus::Passed, "Drained volume: down to " + format_value(kDesignDepth) +
                                                " cm every row of " + sin + " lies within " +
                                                decimals(kVolumeDeparture * 100, 0) + " % or " +
                                                decimals(kVolumeFloor, 1) + " cm of the exact volume" +
                                                (worst != 0 ? " (largest " + largest + ")" : std::string()) + "."});
    }
}

void flux_against_reference(const RunTables& r, const RunReferences& ref, std::vector<Check>& out) {
    if (ref.flux_depth.empty() || !ref.top_tension) return;
    double worst = 1;
    int32_t at = 0;
    int beyond = 0;
    for (int32_t k = 0; k < r.upq.rows && static_cast<size_t>(k) < ref.flux_depth.size(); ++k) {
        if (!(ref.flux_depth[k] > 0) || !(r.upq.depth[k] > 0)) continue;
        const double ratio = r.upq.depth[k] / ref.flux_depth[k];
        beyond += ratio > kRatioWarning || ratio < 1 / kRatioWarning;
        if (std::fabs(std::log(ratio)) > std::fabs(std::log(worst))) {
            worst = ratio;
            at = k;
        }
    }
    const std::string text =
        "Upward flux: the water tables of " + common::printable(r.names.upq) + ", through which the flux column of " +
        common::printable(r.names.sin) + " is fitted, lie up to " + decimals(worst, 2) + " times the exact depth (at " +
        format_value(r.upq.flux[at]) + " cm/hr " + decimals(r.upq.depth[at], 2) + " cm where the exact depth is " +
        decimals(ref.flux_depth[at], 2) + " cm, with the run's tension of " + format_value(*ref.top_tension) +
        " cm at the reference level)";
    if (beyond > 0)
        out.push_back({CheckStatus::Warning, text + "; " + std::to_string(beyond) + " of the " +
                                                 std::to_string(r.upq.rows) + " depart by more than " +
                                                 decimals(kRatioWarning, 2) +
                                                 " times. The conductivity table is "
                                                 "interpolated linearly between rows far apart in suction."});
    else
        out.push_back({CheckStatus::Passed, text + ", within " + decimals(kRatioWarning, 2) + " times."});
}

void suction_against_reference(const RunTables& r, const RunReferences& ref, std::vector<Check>& out) {
    if (!r.mq_summary || r.mq_layers == 0 || !(ref.sf > 0)) return;
    const double ratio = r.mq.sf[0] / ref.sf;
    const std::string text = "Green-Ampt: the wetting-front suction of layer 1 in .MQ, " + decimals(r.mq.sf[0], 2) +
                             " cm, is " + decimals(ratio, 2) + " times the exact " + decimals(ref.sf, 2) +
                             " cm, and every A of " + common::printable(r.names.sin) + " is in proportion to it";
    if (ratio > kRatioWarning || ratio < 1 / kRatioWarning)
        out.push_back({CheckStatus::Warning, text + " (more than " + decimals(kRatioWarning, 2) + " times counts)."});
    else
        out.push_back({CheckStatus::Passed, text + "."});
}

void green_ampt_a_falls(const RunTables& r, std::vector<Check>& out) {
    if (r.out.green_ampt_rows < 2) return;
    std::vector<std::string> falls;
    for (int32_t i = 1; i < r.out.green_ampt_rows; ++i) {
        if (!(r.out.ga_a[i] < r.out.ga_a[i - 1])) continue;
        falls.push_back("from " + format_value(r.out.ga_a[i - 1]) + " at " + format_value(r.out.ga_depth[i - 1]) +
                        " cm to " + format_value(r.out.ga_a[i]) + " at " + format_value(r.out.ga_depth[i]) + " cm");
    }
    if (falls.empty()) {
        out.push_back({CheckStatus::Passed, "Green-Ampt: A does not fall as the water table deepens."});
        return;
    }
    out.push_back({CheckStatus::Warning, std::string("Green-Ampt: A falls as the water table deepens, ") +
                                             listed(falls) + " (" + kSquareCmPerHour + ")."});
}

void table_against_curve(const RunTables& r, std::vector<Check>& out) {
    for (int32_t l = 0; l < r.mq_layers; ++l) {
        const InputLayer* in = vg_layer(r, l);
        if (!in) continue;
        const soilcalc::MqLayer& m = r.mq.layers[l];
        double worst = -1, at = 0, table = 0, curve = 0;
        for (int32_t j = 0; j < m.rows; ++j) {
            const double h = m.head[j] == 0.0f ? 0.0 : -static_cast<double>(m.head[j]);
            const double c = vg_water_content(in->vg, h);
            const double d = std::fabs(m.theta[j] - c);
            if (d > worst) {
                worst = d;
                at = h;
                table = m.theta[j];
                curve = c;
            }
        }
        if (worst < 0) continue;
        const std::string name = "Layer " + std::to_string(l + 1);
        out.push_back({worst > kDepartureWarning ? CheckStatus::Warning : CheckStatus::Passed,
                       name +
                           " (van Genuchten): the water content of the .MQ table departs from the curve of its "
                           "parameters by up to " +
                           decimals(worst, 3) + " " + kVolumetric + ", at a suction of " + format_value(at) + " cm (" +
                           decimals(table, 3) + " in the table, " + decimals(curve, 3) + " on the curve)."});
    }
}

void mis_against_input(const RunTables& r, std::vector<Check>& out) {
    const size_t read = r.input.layers.size();
    const std::string mis = common::printable(r.names.mis);
    std::vector<std::string> differ;
    bool compared = false;
    for (int32_t l = 0; l < r.mis_layers && static_cast<size_t>(l) < read; ++l) {
        const soilprep::MisLayer& m = r.mis.layers[l];
        const InputLayer& in = r.input.layers[static_cast<size_t>(l)];
        compared = true;
        bool same = true;
        if (r.input.form == InputForm::VanGenuchten) {
            for (int32_t j = 0; j < m.n; ++j)
                same = same && std::fabs(m.theta[j] - vg_water_content(in.vg, m.head[j])) < 1e-4;
        } else {
            same = static_cast<size_t>(m.n) == in.theta.size();
            for (int32_t j = 0; same && j < m.n; ++j)
                same = std::fabs(m.theta[j] - in.theta[static_cast<size_t>(j)]) < 5e-4f &&
                       std::fabs(m.head[j] - in.head[static_cast<size_t>(j)]) < 0.05f;
        }
        same = same && std::fabs(m.bottom - in.zbot) < 0.05f;
        if (!same) differ.push_back(layer_name(l));
    }
    if (!compared) return;
    if (differ.empty()) {
        out.push_back({CheckStatus::Passed, "The layers of " + mis + " are those of the main input."});
        return;
    }
    out.push_back({CheckStatus::Warning, "The points of " + listed(differ) + " in " + mis +
                                             " are not those the main input gives now: the input may have been "
                                             "changed after the run, and the page then mixes both."});
}

void repairs(const RunTables& r, std::vector<Check>& out) {
    if (r.input.form != InputForm::Measured || !r.wtd_notices) return;
    std::vector<std::string> extended;
    int saturated = 0;
    for (const soilprep::WtdNotice& n : r.wtd.notices) {
        if (n.kind == soilprep::WtdNotice::Kind::ExtendedTo1000) {
            std::string text = layer_name(n.layer - 1);
            const int32_t l = n.layer - 1;
            if (l >= 0 && l < r.mis_layers && r.mis.layers[l].n > 0)
                text += " (driest point at " + format_value(std::fabs(r.mis.layers[l].head[r.mis.layers[l].n - 1])) +
                        " cm)";
            extended.push_back(text);
        }
        saturated += n.kind == soilprep::WtdNotice::Kind::NoSaturatedPoint;
    }
    const std::string wtd = common::printable(r.names.wtd);
    if (extended.empty()) {
        out.push_back({CheckStatus::Passed, "Every measured characteristic reaches a suction of 1000 cm."});
    } else {
        out.push_back({CheckStatus::Warning, "The characteristic of " + listed(extended) +
                                                 " does not reach a suction of 1000 cm: PEDOPRE extended it to 1000 cm "
                                                 "at the water content of its driest point (" +
                                                 wtd + ")."});
    }
    if (saturated > 0)
        out.push_back({CheckStatus::Warning, std::to_string(saturated) +
                                                 (saturated == 1 ? " layer has" : " layers have") +
                                                 " no point at saturation: PEDOPRE extrapolated one from the first two "
                                                 "points (" +
                                                 wtd + ")."});
}

void log_against_files(const RunTables& r, std::vector<Check>& out) {
    const std::string text = log_disagreement(r);
    if (!text.empty()) out.push_back({CheckStatus::Warning, text});
}

}  // namespace

std::vector<Check> run_checks(const RunTables& r) {
    std::vector<Check> out;
    log_against_files(r, out);
    mis_against_input(r, out);
    repairs(r, out);
    table_against_curve(r, out);
    sin_volumes_held(r, out);
    if (r.refs) volume_against_reference(r, *r.refs, out);
    flux_depths(r, out);
    if (r.refs) flux_against_reference(r, *r.refs, out);
    sin_flux_beyond(r, out);
    sin_green_ampt_zero(r, out);
    if (r.refs) suction_against_reference(r, *r.refs, out);
    green_ampt_a_falls(r, out);
    return out;
}

}  // namespace soilview
