#include "soilview/characteristic_figures.h"

#include <algorithm>
#include <cmath>

#include "common/fixed_text.h"
#include "soilview/van_genuchten_curve.h"

namespace soilview {
namespace {

using figure::format_value;
using figure::Scale;
using figure::Series;
using figure::SeriesKind;

constexpr int kCurvePointsPerDecade = 30;

constexpr const char* kSaturationInBand =
    "A logarithmic axis cannot place a suction of 0: each layer's saturated point is drawn in the band marked "
    "\xE2\x80\x9C\xE2\x89\xA4 0\xE2\x80\x9D at the left of the suction axis.";

std::string layer_name(int32_t l) {
    return "Layer " + std::to_string(l + 1);
}

// Suction (cm, >= 0) of a row of the conductivity file, whose head is a
// pressure head (cm, <= 0).
double suction_of(float head) {
    return head == 0.0f ? 0.0 : -static_cast<double>(head);
}

int32_t layers_drawn(const RunTables& r) {
    return std::max({r.mq_layers, r.mis_layers, static_cast<int32_t>(r.input.layers.size())});
}

// The suctions (cm) a curve is drawn over: from the decade of the smallest
// positive suction of the tables to their largest suction.
std::vector<double> curve_grid(const RunTables& r) {
    double lo = 1e300, hi = 0;
    auto take = [&](double h) {
        if (h > 0) {
            lo = std::min(lo, h);
            hi = std::max(hi, h);
        }
    };
    for (int32_t l = 0; l < r.mq_layers; ++l)
        for (int32_t j = 0; j < r.mq.layers[l].rows; ++j) take(suction_of(r.mq.layers[l].head[j]));
    for (int32_t l = 0; l < r.mis_layers; ++l)
        for (int32_t j = 0; j < r.mis.layers[l].n; ++j) take(std::fabs(r.mis.layers[l].head[j]));
    if (hi == 0) {  // no table: the suctions of the 12-point characteristic
        lo = soilcalc::kVgSuctions[1];
        hi = soilcalc::kVgSuctions.back();
    }
    lo = std::pow(10.0, std::floor(std::log10(lo)));
    if (!(hi > lo)) hi = lo * 10;
    return curve_suctions(lo, hi, kCurvePointsPerDecade);
}

// The water content PEDOPRE extrapolated at saturation for a .MIS layer
// whose first point is not at head 0, with the run's own repair.
float extrapolated_saturation(const soilprep::MisLayer& m) {
    int32_t n = m.n;
    soilcalc::CurveColumn theta = m.theta, head = m.head;
    soilcalc::add_saturated_point(n, theta, head);
    return theta[0];
}

// The notices of .WTD about the characteristic, as sentences.
std::vector<std::string> repair_notes(const RunTables& r) {
    std::vector<std::string> notes;
    const std::string wtd = common::printable(r.names.wtd);
    // The notice of a saturated point names no layer: the k-th belongs to the
    // k-th layer whose given points do not start at head 0.
    std::vector<int32_t> unsaturated;
    for (int32_t l = 0; l < r.mis_layers; ++l)
        if (r.mis.layers[l].n >= 2 && soilcalc::lacks_saturated_point(r.mis.layers[l].head)) unsaturated.push_back(l);
    size_t next = 0;
    for (const soilprep::WtdNotice& n : r.wtd.notices) {
        switch (n.kind) {
            case soilprep::WtdNotice::Kind::NoSaturatedPoint:
                if (next < unsaturated.size()) {
                    const soilprep::MisLayer& m = r.mis.layers[unsaturated[next]];
                    notes.push_back(layer_name(unsaturated[next]) + " has no point at saturation (its first head is " +
                                    format_value(m.head[0]) + " cm): PEDOPRE put one in front, at a water content of " +
                                    decimals(extrapolated_saturation(m), 3) +
                                    " extrapolated along the line through the first two points (" + wtd + ").");
                } else {
                    notes.push_back(
                        "PEDOPRE gave a layer a point at saturation, extrapolated from its first two points (" + wtd +
                        ").");
                }
                ++next;
                break;
            case soilprep::WtdNotice::Kind::ExtendedTo1000: {
                const int32_t l = n.layer - 1;
                std::string text =
                    "The characteristic of layer " + std::to_string(n.layer) + " does not reach a suction of 1000 cm";
                if (l < r.mis_layers && r.mis.layers[l].n > 0) {
                    const soilprep::MisLayer& m = r.mis.layers[l];
                    text += " (its driest point is at " + format_value(std::fabs(m.head[m.n - 1])) +
                            " cm): PEDOPRE added a point at 1000 cm with the water content of the driest point, " +
                            decimals(m.theta[m.n - 1], 3);
                } else {
                    text += ": PEDOPRE added a point at 1000 cm with the water content of the driest point";
                }
                notes.push_back(text + " (" + wtd +
                                "). The drained volumes use that point; the conductivity table does not.");
                break;
            }
            case soilprep::WtdNotice::Kind::Other:
                notes.push_back(wtd + " holds a line before its inputs that is no known notice: \"" +
                                common::printable(n.text) + "\".");
                break;
        }
    }
    return notes;
}

figure::Table mq_characteristic_table(const RunTables& r) {
    figure::Table t;
    t.caption = "Characteristic of the conductivity table (" + common::printable(r.names.mq) + "), driest row first";
    const bool vg = r.input.form == InputForm::VanGenuchten;
    t.header = {"Layer", "Suction (cm)", std::string("Water content, table (") + kVolumetric + ")"};
    if (vg) {
        t.header.push_back(std::string("Water content, curve (") + kVolumetric + ")");
        t.header.push_back("Table minus curve");
    }
    for (int32_t l = 0; l < r.mq_layers; ++l) {
        const soilcalc::MqLayer& m = r.mq.layers[l];
        const InputLayer* in = vg_layer(r, l);
        for (int32_t j = 0; j < m.rows; ++j) {
            const double h = suction_of(m.head[j]);
            std::vector<std::string> row{std::to_string(l + 1), format_value(h), format_value(m.theta[j])};
            if (vg) {
                if (in) {
                    const double c = vg_water_content(in->vg, h);
                    row.push_back(decimals(c, 4));
                    row.push_back(decimals(m.theta[j] - c, 4));
                } else {
                    row.insert(row.end(), {"missing", "missing"});
                }
            }
            t.rows.push_back(std::move(row));
        }
    }
    return t;
}

figure::Table mis_table(const RunTables& r) {
    figure::Table t;
    const bool vg = r.input.form == InputForm::VanGenuchten;
    t.caption = vg ? "Characteristic at the 12 suctions (" + common::printable(r.names.mis) + ")"
                   : "Points as given (" + common::printable(r.names.mis) + ")";
    t.header = {"Layer", vg ? "Suction (cm)" : "Head as given (cm)",
                std::string("Water content (") + kVolumetric + ")"};
    for (int32_t l = 0; l < r.mis_layers; ++l) {
        const soilprep::MisLayer& m = r.mis.layers[l];
        for (int32_t j = 0; j < m.n; ++j)
            t.rows.push_back({std::to_string(l + 1), format_value(m.head[j]), format_value(m.theta[j])});
    }
    return t;
}

figure::Table mq_conductivity_table(const RunTables& r) {
    figure::Table t;
    t.caption = "Conductivity table (" + common::printable(r.names.mq) + "), driest row first";
    const bool vg = r.input.form == InputForm::VanGenuchten;
    t.header = {"Layer", "Suction (cm)", std::string("Water content (") + kVolumetric + ")",
                "Conductivity, table (cm/hr)"};
    if (vg) t.header.push_back("Conductivity, curve (cm/hr)");
    for (int32_t l = 0; l < r.mq_layers; ++l) {
        const soilcalc::MqLayer& m = r.mq.layers[l];
        const InputLayer* in = vg_layer(r, l);
        for (int32_t j = 0; j < m.rows; ++j) {
            const double h = suction_of(m.head[j]);
            std::vector<std::string> row{std::to_string(l + 1), format_value(h), format_value(m.theta[j]),
                                         format_value(m.cond[j])};
            if (vg) row.push_back(in ? format_value(vg_conductivity(in->vg, in->ks, h)) : std::string("missing"));
            t.rows.push_back(std::move(row));
        }
    }
    return t;
}

}  // namespace

const InputLayer* vg_layer(const RunTables& r, int32_t layer) {
    if (r.input.form != InputForm::VanGenuchten || layer < 0 || layer >= static_cast<int32_t>(r.input.layers.size()))
        return nullptr;
    return &r.input.layers[static_cast<size_t>(layer)];
}

std::optional<FigureBlock> characteristic_figure(const RunTables& r) {
    if (r.mq_layers == 0 && r.mis_layers == 0) return std::nullopt;
    const bool vg = r.input.form == InputForm::VanGenuchten;
    FigureBlock b;
    figure::Plot& p = b.plot;
    p.id = "characteristic";
    p.title = "Soil water characteristic";
    p.x = {"Suction", "cm", Scale::Log, {}};
    p.y = {"Water content", kVolumetric, Scale::Linear, {0}};
    p.width = kWideFigure;
    const int32_t layers = layers_drawn(r);
    const std::vector<double> grid = curve_grid(r);

    std::vector<Series> lines, markers;
    for (int32_t l = 0; l < layers; ++l) {
        // Every series of a layer takes the layer's colour and marker.
        const size_t style = static_cast<size_t>(l);
        Series table{layer_name(l) + ", .MQ table", {}, {}, vg ? SeriesKind::Points : SeriesKind::Line, false, style};
        if (l < r.mq_layers) {
            const soilcalc::MqLayer& m = r.mq.layers[l];
            for (int32_t j = 0; j < m.rows; ++j) {
                table.x.push_back(suction_of(m.head[j]));
                table.y.push_back(m.theta[j]);
            }
        }
        if (const InputLayer* in = vg_layer(r, l)) {
            Series curve{layer_name(l) + ", van Genuchten curve", {}, {}, SeriesKind::Line, false, style};
            for (const double h : grid) {
                curve.x.push_back(h);
                curve.y.push_back(vg_water_content(in->vg, h));
            }
            lines.push_back(std::move(curve));
        }
        if (l < r.mq_layers) (vg ? markers : lines).push_back(std::move(table));
        if (!vg && l < r.mis_layers) {
            Series given{layer_name(l) + ", .MIS points", {}, {}, SeriesKind::Points, false, style};
            const soilprep::MisLayer& m = r.mis.layers[l];
            for (int32_t j = 0; j < m.n; ++j) {
                given.x.push_back(std::fabs(m.head[j]));
                given.y.push_back(m.theta[j]);
            }
            markers.push_back(std::move(given));
        }
    }
    p.series = std::move(lines);
    for (Series& s : markers) p.series.push_back(std::move(s));

    if (r.mq_layers > 0) b.tables.push_back(mq_characteristic_table(r));
    if (r.mis_layers > 0) b.tables.push_back(mis_table(r));
    if (!r.sin.theta.empty()) {
        figure::Table t;
        t.caption = "Characteristic the model reads (" + common::printable(r.names.sin) + ")" +
                    (r.input.closing_read ? ", layer " + std::to_string(r.input.lsin) : std::string());
        t.header = {"Pressure head (cm)", std::string("Water content (") + kVolumetric + ")"};
        for (size_t j = 0; j < r.sin.theta.size(); ++j)
            t.rows.push_back({format_value(r.sin.head[j]), decimals(r.sin.theta[j], 3)});
        b.tables.push_back(std::move(t));
    }
    b.notes = repair_notes(r);
    b.band_notes.push_back(kSaturationInBand);
    if (vg && r.mq_layers > 0)
        b.notes.push_back(
            "The markers are the rows of the conductivity table: water contents 0.01 apart whose "
            "suctions PEDOPRE interpolated linearly between the 12 points of .MIS. The lines are the "
            "closed-form curves of the parameters.");
    return b;
}

std::optional<FigureBlock> conductivity_figure(const RunTables& r) {
    if (r.mq_layers == 0) return std::nullopt;
    const bool vg = r.input.form == InputForm::VanGenuchten;
    FigureBlock b;
    figure::Plot& p = b.plot;
    p.id = "conductivity";
    p.title = "Unsaturated hydraulic conductivity";
    p.x = {"Suction", "cm", Scale::Log, {}};
    p.y = {"Conductivity", "cm/hr", Scale::Log, {}};
    p.width = kWideFigure;
    const std::vector<double> grid = curve_grid(r);

    // Each layer's table as the upward flux reads it: straight segments in
    // suction and conductivity between its rows, sampled finely so that
    // the logarithmic axes show them as the method uses them. Beside it, the
    // closed-form curve, thin and faint, in the layer's colour.
    constexpr int kSamplesPerSegment = 24;
    double worst = 1, worst_at = 0;
    int32_t worst_layer = -1;
    for (int32_t l = 0; l < r.mq_layers; ++l) {
        const soilcalc::MqLayer& m = r.mq.layers[l];
        const size_t style = static_cast<size_t>(l);
        const InputLayer* in = vg_layer(r, l);
        Series table{layer_name(l) + ", .MQ table as interpolated", {}, {}, SeriesKind::Line, false, style};
        for (int32_t j = 0; j < m.rows; ++j) {
            const double h0 = suction_of(m.head[j]), k0 = m.cond[j];
            if (j + 1 == m.rows) {
                table.x.push_back(h0);
                table.y.push_back(k0);
                break;
            }
            const double h1 = suction_of(m.head[j + 1]), k1 = m.cond[j + 1];
            // Sampled evenly in log suction. The segment to saturation, whose
            // end lies in the band of the axis, is sampled down to the
            // axis's lowest decade: that is where it leaves the curve most.
            const double to = h1 > 0 ? h1 : std::min(grid[1], h0);
            for (int s = 0; s < kSamplesPerSegment; ++s) {
                const double t = static_cast<double>(s) / kSamplesPerSegment;
                const double h = h0 > 0 ? h0 * std::pow(to / h0, t) : h0 + t * (to - h0);
                const double k = h1 != h0 ? k0 + (h - h0) / (h1 - h0) * (k1 - k0) : k0;
                table.x.push_back(h);
                table.y.push_back(k);
                if (in && h <= 1000.0) {
                    const double c = vg_conductivity(in->vg, in->ks, h);
                    if (c >= kLowestConductivity && k > 0 && std::fabs(std::log(k / c)) > std::fabs(std::log(worst))) {
                        worst = k / c;
                        worst_at = h;
                        worst_layer = l;
                    }
                }
            }
        }
        p.series.push_back(std::move(table));
        if (in) {
            // The curve stops where it falls below what the table can print.
            Series curve{layer_name(l) + ", van Genuchten-Mualem curve", {}, {}, SeriesKind::Line, false, style, true};
            for (const double h : grid) {
                const double k = vg_conductivity(in->vg, in->ks, h);
                if (!(k >= kLowestConductivity)) break;
                curve.x.push_back(h);
                curve.y.push_back(k);
            }
            p.series.push_back(std::move(curve));
        }
    }
    b.tables.push_back(mq_conductivity_table(r));
    b.band_notes.push_back(kSaturationInBand);
    if (!vg)
        b.notes.push_back(
            "The lines are the tables as the upward flux interpolates them, linearly in suction "
            "between rows.");
    int zero = 0;
    for (int32_t l = 0; l < r.mq_layers; ++l)
        for (int32_t j = 0; j < r.mq.layers[l].rows; ++j) zero += !(r.mq.layers[l].cond[j] > 0.0f);
    if (zero > 0)
        b.band_notes.push_back(
            std::to_string(zero) + (zero == 1 ? " row" : " rows") +
            " of the table print a conductivity of 0.000000000 (below 0.0000000005 cm/hr) and " +
            (zero == 1 ? "is" : "are") +
            " drawn in the band marked \xE2\x80\x9C\xE2\x89\xA4 0\xE2\x80\x9D at the bottom of the conductivity axis.");

    if (vg) {
        b.notes.push_back(
            "The thin faint curves are the van Genuchten-Mualem conductivity (Mualem 1976, van Genuchten "
            "1980) scaled to Ks/24 at saturation, as the table is; they are drawn down to 1e-10 cm/hr. "
            "The solid lines are the tables as the upward flux interpolates them, linearly in suction "
            "between rows; on these logarithmic axes a long segment bows above the curve.");
        if (worst_layer >= 0)
            b.notes.push_back("Largest departure at suctions up to 1000 cm: the interpolated table of " +
                              layer_name(worst_layer) + " is " + decimals(worst, 1) + " times the curve at " +
                              format_value(worst_at) + " cm.");
        for (int32_t l = 0; l < r.mq_layers; ++l) {
            const InputLayer* in = vg_layer(r, l);
            if (in && in->vg.k0 != in->ks)
                b.notes.push_back(layer_name(l) + " gives K0 = " + format_value(in->vg.k0) +
                                  " cm/day and Ks = " + format_value(in->ks) +
                                  " cm/day: its table is scaled to Ks/24, but its .MQ block header, from which the "
                                  "Green-Ampt B is averaged, holds K0/24 = " +
                                  format_value(r.mq.layers[l].k_header) + " cm/hr.");
        }
    }
    return b;
}

}  // namespace soilview
