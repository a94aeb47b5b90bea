#include "soilview/checks.h"

#include <cmath>

#include "common/fixed_text.h"
#include "soilview/characteristic_figures.h"
#include "soilview/figure_block.h"
#include "soilview/van_genuchten_curve.h"

namespace pedoview {
namespace {

using figure::CheckStatus;
using figure::format_value;


std::string layer_name(int32_t l) { return "layer " + std::to_string(l + 1); }

// The conductivity a .MQ block header prints as 0.000 (F8.3), cm/hr.
constexpr float kPrintsAsZero = 0.0005f;

void green_ampt_zero_rows(const RunTables& r, std::vector<Check>& out) {
    if (r.out.green_ampt_rows == 0) return;
    int zero = 0;
    for (int32_t i = 0; i < r.out.green_ampt_rows; ++i) zero += r.out.ga_a[i] == 0.0f && r.out.ga_b[i] == 0.0f;
    const std::string file = common::printable(r.names.out);
    if (zero == 0) {
        out.push_back({CheckStatus::Passed, "Green-Ampt: no row of " + file + " has both A and B at 0."});
        return;
    }
    std::string text = "Green-Ampt: A and B are both 0 in " + std::to_string(zero) + " of the " +
                       std::to_string(r.out.green_ampt_rows) + " rows of " + file + ".";
    std::vector<std::string> causes;
    for (int32_t l = 0; l < r.mq_layers; ++l) {
        if (std::fabs(r.mq.layers[l].k_header) >= kPrintsAsZero) continue;
        std::string cause = layer_name(l);
        if (const InputLayer* in = vg_layer(r, l))
            cause += " (K0 = " + format_value(in->vg.k0) + " cm/day, K0/24 = " + format_value(in->vg.k0 / 24.0f) +
                     " cm/hr)";
        else if (r.input.form == InputForm::Measured && l < static_cast<int32_t>(r.input.layers.size()))
            cause += " (Ks = " + format_value(r.input.layers[static_cast<size_t>(l)].ksat) + " cm/hr)";
        causes.push_back(cause);
    }
    if (!causes.empty()) {
        text += " B averages the layer conductivities of the .MQ block headers, and the header of " +
                listed(causes) + " prints as 0.000 cm/hr: a conductivity below 0.0005 cm/hr does, which for "
                "van Genuchten parameters is any K0 below about 0.012 cm/day.";
    }
    out.push_back({CheckStatus::Warning, text});
}

void flux_depths(const RunTables& r, std::vector<Check>& out) {
    if (r.upq.rows < 2) return;
    std::vector<std::string> pairs;
    for (int32_t k = 1; k < r.upq.rows; ++k) {
        if (r.upq.depth[k] > r.upq.depth[k - 1]) continue;
        pairs.push_back("from " + format_value(r.upq.flux[k - 1]) + " to " + format_value(r.upq.flux[k]) +
                        " cm/hr (" + decimals(r.upq.depth[k - 1], 2) + " to " + decimals(r.upq.depth[k], 2) + " cm)");
    }
    const std::string file = common::printable(r.names.upq);
    if (pairs.empty()) {
        out.push_back({CheckStatus::Passed, "Upward flux: in " + file + " the water table deepens with every smaller flux."});
        return;
    }
    out.push_back({CheckStatus::Warning, "Upward flux: in " + file + " the water table does not deepen as the flux falls " +
                                             listed(pairs) + "; the spline is still fitted through these depths as they stand."});
}

void flux_extrapolated(const RunTables& r, std::vector<Check>& out) {
    if (r.upq.rows != pedopre::kUpqFluxes || r.out.flux_rows == 0) return;
    float deepest = r.upq.depth[0];
    for (int32_t k = 0; k < r.upq.rows; ++k) deepest = std::max(deepest, r.upq.depth[k]);
    std::vector<std::string> depths, fluxes;
    for (int32_t i = 0; i < r.out.flux_rows; ++i) {
        if (!(r.out.flux_depth[i] > deepest)) continue;
        depths.push_back(format_value(r.out.flux_depth[i]));
        fluxes.push_back(decimals(r.out.upflux[i], 4));
    }
    const std::string file = common::printable(r.names.out);
    if (depths.empty()) {
        out.push_back({CheckStatus::Passed, "Upward flux: every depth of " + file + " lies within the water tables of " +
                                                common::printable(r.names.upq) + "."});
        return;
    }
    out.push_back({CheckStatus::Warning, "Upward flux: " + file + " gives fluxes at " + listed(depths) + " cm (" +
                                             listed(fluxes) + " cm/hr), below the deepest water table of " +
                                             common::printable(r.names.upq) + " (" + decimals(deepest, 2) +
                                             " cm): they extend the spline's last piece and may mean nothing."});
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
    out.push_back({CheckStatus::Warning, std::string("Green-Ampt: A falls as the water table deepens, ") + listed(falls) +
                                             " (" + kSquareCmPerHour + ")."});
}

void table_against_curve(const RunTables& r, std::vector<Check>& out) {
    for (int32_t l = 0; l < r.mq_layers; ++l) {
        const InputLayer* in = vg_layer(r, l);
        if (!in) continue;
        const pedopre::MqLayer& m = r.mq.layers[l];
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
                       name + " (van Genuchten): the water content of the .MQ table departs from the curve of its "
                              "parameters by up to " + decimals(worst, 3) + " " + kVolumetric + ", at a suction of " +
                              format_value(at) + " cm (" + decimals(table, 3) + " in the table, " + decimals(curve, 3) +
                              " on the curve)."});
    }
}

void mis_against_input(const RunTables& r, std::vector<Check>& out) {
    const size_t read = r.input.layers.size();
    const std::string mis = common::printable(r.names.mis);
    std::vector<std::string> differ;
    bool compared = false;
    for (int32_t l = 0; l < r.mis_layers && static_cast<size_t>(l) < read; ++l) {
        const pedopre::MisLayer& m = r.mis.layers[l];
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

void capped_volumes(const RunTables& r, std::vector<Check>& out) {
    if (r.out.volume_rows == 0 || r.wtd.rows == 0) return;
    std::vector<std::string> depths, listing;
    for (int32_t i = 0; i < r.out.volume_rows; ++i) {
        if (std::fabs(r.out.volume[i] - 100.0f) > 0.0005f) continue;
        for (int32_t k = 0; k < r.wtd.rows; ++k) {
            if (r.wtd.depth[k] != r.out.volume_depth[i] || std::fabs(r.wtd.volume[k] - 100.0f) <= 0.0005f) continue;
            depths.push_back(format_value(r.out.volume_depth[i]));
            listing.push_back(decimals(r.wtd.volume[k], 3));
        }
    }
    const std::string out_name = common::printable(r.names.out), wtd = common::printable(r.names.wtd);
    if (depths.empty()) {
        out.push_back({CheckStatus::Passed, "Drained volume: where " + out_name + " gives 100.000 cm, " + wtd +
                                                " gives the same."});
        return;
    }
    std::string where = " at " + listed(depths) + " cm";
    if (!r.input.layers.empty())
        where += " (the profile's bottom is at " + format_value(r.input.layers.back().zbot) + " cm)";
    out.push_back({CheckStatus::Warning, "Drained volume: " + out_name + " gives 100.000 cm" + where + ", where " + wtd +
                                             " goes on with " + listed(listing) +
                                             " cm; the model takes the values of .OUT, capped at 100 cm and always "
                                             "100 cm at 1000 cm."});
}

void repairs(const RunTables& r, std::vector<Check>& out) {
    if (r.input.form != InputForm::Measured || !r.wtd_notices) return;
    std::vector<std::string> extended;
    int saturated = 0;
    for (const pedopre::WtdNotice& n : r.wtd.notices) {
        if (n.kind == pedopre::WtdNotice::Kind::ExtendedTo1000) {
            std::string text = layer_name(n.layer - 1);
            const int32_t l = n.layer - 1;
            if (l >= 0 && l < r.mis_layers && r.mis.layers[l].n > 0)
                text += " (driest point at " + format_value(std::fabs(r.mis.layers[l].head[r.mis.layers[l].n - 1])) +
                        " cm)";
            extended.push_back(text);
        }
        saturated += n.kind == pedopre::WtdNotice::Kind::NoSaturatedPoint;
    }
    const std::string wtd = common::printable(r.names.wtd);
    if (extended.empty()) {
        out.push_back({CheckStatus::Passed, "Every measured characteristic reaches a suction of 1000 cm."});
    } else {
        out.push_back({CheckStatus::Warning, "The characteristic of " + listed(extended) +
                                                 " does not reach a suction of 1000 cm: PEDOPRE extended it to 1000 cm "
                                                 "at the water content of its driest point (" + wtd + ")."});
    }
    if (saturated > 0)
        out.push_back({CheckStatus::Warning, std::to_string(saturated) + (saturated == 1 ? " layer has" : " layers have") +
                                                 " no point at saturation: PEDOPRE extrapolated one from the first two "
                                                 "points (" + wtd + ")."});
}

void log_against_files(const RunTables& r, std::vector<Check>& out) {
    if (r.outcome != Outcome::Normal) return;
    std::vector<std::string> missing;
    for (const FileStatus& f : r.files)
        if (f.state != FileState::Read) missing.push_back(common::printable(f.path));
    if (missing.empty()) return;
    out.push_back({CheckStatus::Failed, "The log says the run ended normally, but " + listed(missing) +
                                            (missing.size() == 1 ? " is" : " are") +
                                            " missing or not complete. The log is shared by every run in its folder: "
                                            "it may tell the outcome of another input's run."});
}

}  // namespace

std::vector<Check> run_checks(const RunTables& r) {
    std::vector<Check> out;
    log_against_files(r, out);
    mis_against_input(r, out);
    repairs(r, out);
    table_against_curve(r, out);
    capped_volumes(r, out);
    flux_depths(r, out);
    flux_extrapolated(r, out);
    green_ampt_zero_rows(r, out);
    green_ampt_a_falls(r, out);
    return out;
}

}  // namespace pedoview
