#include "soilview/depth_figures.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "soilview/checks.h"
#include "soilview/run_references.h"

namespace soilview {
namespace {

using figure::format_value;
using figure::Scale;
using figure::Series;
using figure::SeriesKind;

const char* const kWaterTable = "Water-table depth";

// The notices as sentences: one per kind, layer and reduced tension, in the
// order each first appears in the file.
std::vector<std::string> notice_notes(const std::vector<soilprep::OutNotice>& notices, const std::string& out) {
    using Kind = soilprep::OutNotice::Kind;
    std::vector<std::string> notes;
    std::vector<bool> told(notices.size(), false);
    for (size_t i = 0; i < notices.size(); ++i) {
        if (told[i]) continue;
        const soilprep::OutNotice& n = notices[i];
        if (n.kind == Kind::Other) {
            notes.push_back(out + " holds a line before its upward-flux section that is no known notice: \"" +
                            common::printable(n.text) + "\".");
            continue;
        }
        std::vector<std::string> fluxes, tensions;
        for (size_t j = i; j < notices.size(); ++j) {
            const soilprep::OutNotice& m = notices[j];
            if (m.kind != n.kind || m.layer != n.layer || m.reduced != n.reduced) continue;
            told[j] = true;
            fluxes.push_back(format_value(m.q));
            tensions.push_back(decimals(m.tension, 2));
        }
        const std::string layer = "layer " + std::to_string(n.layer);
        std::string text = (fluxes.size() == 1 ? "For the flux " : "For the fluxes ") + listed(fluxes) + " cm/hr, ";
        switch (n.kind) {
            case Kind::Reduction:
                text += "the tension carried down to the top of " + layer + " (" + listed(tensions) +
                        " cm) lies beyond that layer's table, which ends at " + decimals(n.reduced, 2) +
                        " cm; PEDOPRE went on from there";
                break;
            case Kind::BelowBottom:
                text += "the water table lies below the bottom of " + layer +
                        "; PEDOPRE set it at the bottom of the profile";
                break;
            case Kind::CannotFind:
                text += "PEDOPRE could not find the tension and conductivity at the bottom of " + layer +
                        ", and the run stopped";
                break;
            case Kind::Other:
                break;
        }
        notes.push_back(text + " (" + out + ").");
    }
    return notes;
}

// Keeps the points of `s` within the design depths, so that 0 to 200 cm
// fill the figure; the deeper rows go into a table beside it.
void within_design(Series& s) {
    Series kept{s.name, {}, {}, s.kind, s.markers, s.style_of, s.reference};
    for (size_t i = 0; i < s.x.size(); ++i) {
        if (s.x[i] > kDesignDepth) continue;
        kept.x.push_back(s.x[i]);
        kept.y.push_back(s.y[i]);
    }
    s = std::move(kept);
}

void design_axis(figure::Plot& p, const char* title) {
    p.x = {title, "cm", Scale::Linear, {0, kDesignDepth}};
}

const char* const kSinRows = ".SIN, the rows the model reads";

std::string deeper_caption(const RunTables& r, const char* what) {
    return std::string("Rows of ") + common::printable(r.names.sin) + " below " + format_value(kDesignDepth) +
           " cm, not drawn: " + what;
}

}  // namespace

std::optional<FigureBlock> drained_volume_figure(const RunTables& r) {
    if (r.wtd.rows == 0 && r.sin.depth_rows == 0) return std::nullopt;
    const RunReferences* ref = r.refs ? &*r.refs : nullptr;
    FigureBlock b;
    figure::Plot& p = b.plot;
    p.id = "drained-volume";
    p.title = "Drained volume";
    design_axis(p, kWaterTable);
    p.y = {"Drained volume", "cm", Scale::Linear, {0}};
    Series listing{".WTD, every 10 cm"};
    for (int32_t i = 0; i < r.wtd.rows; ++i) {
        listing.x.push_back(r.wtd.depth[i]);
        listing.y.push_back(r.wtd.volume[i]);
    }
    Series sin{kSinRows, {}, {}, SeriesKind::Points};
    for (int32_t i = 0; i < r.sin.depth_rows; ++i) {
        sin.x.push_back(r.sin.depth[i]);
        sin.y.push_back(r.sin.volume[i]);
    }
    for (Series* s : {&listing, &sin}) within_design(*s);
    if (r.wtd.rows > 0) p.series.push_back(std::move(listing));
    if (r.sin.depth_rows > 0) p.series.push_back(std::move(sin));
    if (ref) {
        Series exact{"Exact, hydrostatic equilibrium (van Genuchten)",
                     ref->curve_depth,
                     ref->curve_volume,
                     SeriesKind::Line,
                     false,
                     {},
                     true};
        p.series.push_back(std::move(exact));
    }

    figure::Table t;
    t.caption = "Drained volume: the rows of " + common::printable(r.names.sin) + " beside " +
                common::printable(r.names.wtd) + (ref ? " and the exact volume" : "");
    t.header = {"Water-table depth (cm)", "Drained volume, .SIN (cm)", "Drained volume, .WTD (cm)"};
    if (ref) t.header.insert(t.header.end(), {"Exact (cm)", ".SIN minus exact (cm)"});
    figure::Table deep;
    deep.caption = deeper_caption(r, "drained volume (cm)");
    deep.header = t.header;
    for (int32_t i = 0; i < r.sin.depth_rows; ++i) {
        std::vector<std::string> row{format_value(r.sin.depth[i]), decimals(r.sin.volume[i], 3), ""};
        for (int32_t k = 0; k < r.wtd.rows; ++k)
            if (r.wtd.depth[k] == r.sin.depth[i]) row[2] = decimals(r.wtd.volume[k], 3);
        if (ref && static_cast<size_t>(i) < ref->sin_volume.size()) {
            row.push_back(decimals(ref->sin_volume[i], 3));
            row.push_back(signed_value(r.sin.volume[i] - ref->sin_volume[i], 3));
        }
        if (r.sin.depth[i] > kDesignDepth) deep.rows.push_back(row);
        t.rows.push_back(std::move(row));
    }
    if (!t.rows.empty()) b.tables.push_back(std::move(t));
    if (r.wtd.rows > 0) {
        figure::Table w;
        w.caption = "Drained volume every 10 cm (" + common::printable(r.names.wtd) + ")";
        w.header = {"Water-table depth (cm)", "Drained volume (cm)"};
        if (ref) w.header.insert(w.header.end(), {"Exact (cm)", "Departure"});
        for (int32_t i = 0; i < r.wtd.rows; ++i) {
            std::vector<std::string> row{format_value(r.wtd.depth[i]), decimals(r.wtd.volume[i], 3)};
            if (ref && static_cast<size_t>(i) < ref->wtd_volume.size()) {
                const double e = ref->wtd_volume[i];
                row.push_back(decimals(e, 3));
                row.push_back(e > 0 ? signed_percent((r.wtd.volume[i] - e) / e) : std::string());
            }
            w.rows.push_back(std::move(row));
        }
        b.tables.push_back(std::move(w));
    }
    if (!deep.rows.empty()) b.open_tables.push_back(std::move(deep));

    b.notes.push_back(std::string(r.sin.depth_rows > 0 ? "The model reads the 20 rows of .SIN (markers) and "
                                                         "interpolates between them. "
                                                       : "") +
                      ".SIN caps the volumes at 100 cm and always gives 100 cm at 1000 cm; the listing .WTD does not. "
                      "The deepest layer is taken to reach 1000 cm.");
    if (ref) {
        // The largest departures within the design depths.
        auto largest = [&](const float* depth, const float* volume, int32_t n, const std::vector<double>& exact) {
            double worst = 0, diff = 0, at = 0;
            for (int32_t i = 0; i < n && static_cast<size_t>(i) < exact.size(); ++i) {
                if (depth[i] > kDesignDepth || !(exact[i] >= kVolumeFloor)) continue;
                const double d = volume[i] - exact[i];
                if (std::fabs(d / exact[i]) > std::fabs(worst)) {
                    worst = d / exact[i];
                    diff = d;
                    at = depth[i];
                }
            }
            return signed_percent(worst) + " (" + signed_value(diff, 3) + " cm) at " + format_value(at) + " cm";
        };
        b.notes.push_back(
            "The thin faint line is the exact drained volume at hydrostatic equilibrium: the integral over "
            "the profile above the water table of \xCE\xB8s \xE2\x88\x92 \xCE\xB8(h), h the height above it, with the "
            "van Genuchten (1980) water content of each layer's parameters. Largest departure down to " +
            format_value(kDesignDepth) + " cm, where the exact volume is 0.1 cm or more: .SIN " +
            largest(r.sin.depth.data(), r.sin.volume.data(), r.sin.depth_rows, ref->sin_volume) + "; .WTD " +
            largest(r.wtd.depth.data(), r.wtd.volume.data(), r.wtd.rows, ref->wtd_volume) +
            ". The run interpolates the 12 points of the characteristic linearly in suction.");
    }
    return b;
}

std::optional<FigureBlock> drainable_porosity_figure(const RunTables& r) {
    if (r.wtd.rows == 0) return std::nullopt;
    FigureBlock b;
    figure::Plot& p = b.plot;
    p.id = "drainable-porosity";
    p.title = "Drainable porosity";
    design_axis(p, kWaterTable);
    p.y = {"Drainable porosity", "cm/cm", Scale::Linear, {0}};
    Series s{".WTD, every 10 cm"};
    figure::Table t;
    t.caption = "Drainable porosity (" + common::printable(r.names.wtd) + ")";
    t.header = {"Water-table depth (cm)", "Drainable porosity (cm/cm)"};
    for (int32_t i = 0; i < r.wtd.rows; ++i) {
        s.x.push_back(r.wtd.depth[i]);
        s.y.push_back(r.wtd.porosity[i]);
        t.rows.push_back({format_value(r.wtd.depth[i]), format_value(r.wtd.porosity[i])});
    }
    within_design(s);
    p.series.push_back(std::move(s));
    if (r.refs) {
        // The exact rise of the drained volume over the last 1 cm, as .WTD
        // takes it.
        Series exact{"Exact, over the last 1 cm (van Genuchten)", {}, {}, SeriesKind::Line, false, {}, true};
        for (double d = 10; d <= kDesignDepth; d += 10) {
            exact.x.push_back(d);
            exact.y.push_back(drained_volume(r.refs->layers, d) - drained_volume(r.refs->layers, d - 1));
        }
        p.series.push_back(std::move(exact));
    }
    b.tables.push_back(std::move(t));
    b.notes.push_back(
        "Each porosity is the rise of the drained volume over the last 1 cm before its depth. Drawn "
        "down to " +
        format_value(kDesignDepth) + " cm; the table under the figure goes on to 1000 cm.");
    return b;
}

std::optional<FigureBlock> upward_flux_figure(const RunTables& r) {
    if (r.upq.rows == 0 && r.sin.depth_rows == 0 && r.out.notices.empty()) return std::nullopt;
    const RunReferences* ref = r.refs ? &*r.refs : nullptr;
    FigureBlock b;
    figure::Plot& p = b.plot;
    p.id = "upward-flux";
    p.title = "Steady upward flux";
    design_axis(p, "Water-table depth below the reference level");
    p.y = {"Upward flux", "cm/hr", Scale::Log, {}};
    Series found{".UPQ, water table computed for each flux", {}, {}, SeriesKind::Line, true};
    figure::Table upq;
    upq.caption = "Water table of each upward flux (" + common::printable(r.names.upq) + ")";
    upq.header = {"Upward flux (cm/hr)", "Water-table depth below the reference level (cm)"};
    const bool exact = ref && ref->flux_depth.size() == static_cast<size_t>(r.upq.rows);
    if (exact) upq.header.insert(upq.header.end(), {"Exact depth (cm)", ".UPQ / exact"});
    Series reference{
        "Exact water table of each flux (van Genuchten-Mualem)", {}, {}, SeriesKind::Line, false, {}, true};
    for (int32_t i = 0; i < r.upq.rows; ++i) {
        found.x.push_back(r.upq.depth[i]);
        found.y.push_back(r.upq.flux[i]);
        upq.rows.push_back({format_value(r.upq.flux[i]), decimals(r.upq.depth[i], 2)});
        if (exact) {
            reference.x.push_back(ref->flux_depth[i]);
            reference.y.push_back(r.upq.flux[i]);
            upq.rows.back().push_back(decimals(ref->flux_depth[i], 2));
            upq.rows.back().push_back(ref->flux_depth[i] > 0 ? decimals(r.upq.depth[i] / ref->flux_depth[i], 2)
                                                             : std::string());
        }
    }
    Series sin{kSinRows, {}, {}, SeriesKind::Points};
    figure::Table rows, deep;
    rows.caption = "Upward flux at 20 depths (" + common::printable(r.names.sin) + ")";
    rows.header = {"Water-table depth below the reference level (cm)", "Upward flux (cm/hr)"};
    deep.caption = deeper_caption(r, "upward flux (cm/hr)");
    deep.header = rows.header;
    float deepest = 0;
    for (int32_t k = 0; k < r.upq.rows; ++k) deepest = std::max(deepest, r.upq.depth[k]);
    for (int32_t i = 0; i < r.sin.depth_rows; ++i) {
        sin.x.push_back(r.sin.depth[i]);
        sin.y.push_back(r.sin.upflux[i]);
        std::vector<std::string> row{format_value(r.sin.depth[i]), decimals(r.sin.upflux[i], 4)};
        rows.rows.push_back(row);
        if (r.sin.depth[i] > kDesignDepth) deep.rows.push_back(std::move(row));
    }
    for (Series* s : {&found, &sin, &reference}) within_design(*s);
    if (r.upq.rows > 0) {
        p.series.push_back(std::move(found));
        b.tables.push_back(std::move(upq));
    }
    if (r.sin.depth_rows > 0) {
        p.series.push_back(std::move(sin));
        b.tables.push_back(std::move(rows));
    }
    if (exact) p.series.push_back(std::move(reference));
    if (!deep.rows.empty()) {
        if (r.upq.rows > 0) deep.caption += "; the deepest water table computed is " + decimals(deepest, 2) + " cm";
        b.open_tables.push_back(std::move(deep));
    }

    const std::string out_name = common::printable(r.names.out);
    b.notes = notice_notes(r.out.notices, out_name);
    std::string level = "The depths are counted from the reference level at half the maximum root depth";
    if (r.input.closing_read)
        level += ", " + format_value(r.input.rootdepth) + " cm below the surface";
    else if (r.out.rootdepth_read)
        level += ", " + format_value(r.out.rootdepth) + " cm below the surface";
    level += "; a layer that ends above it, or less than 5 cm below it, counts as 5 cm thick.";
    if (const std::optional<double> top = run_top_tension(r)) {
        level += " At the reference level the run used a tension of " + format_value(*top) + " cm";
        if (*top < 1000.0)
            level +=
                ": 1000 cm, lowered to the driest tension of layer 1's conductivity table (.MQ), which ends "
                "there (the caption of .OUT still reads 1000 CM)";
        level += ".";
    }
    b.notes.push_back(level + " Fluxes of .SIN are clipped to 0 to 0.5 cm/hr.");
    if (exact && r.upq.rows > 0) {
        double worst = 1;
        int32_t at = 0;
        for (int32_t k = 0; k < r.upq.rows; ++k) {
            if (!(ref->flux_depth[k] > 0) || !(r.upq.depth[k] > 0)) continue;
            const double ratio = r.upq.depth[k] / ref->flux_depth[k];
            if (std::fabs(std::log(ratio)) > std::fabs(std::log(worst))) {
                worst = ratio;
                at = k;
            }
        }
        b.notes.push_back(
            "The thin faint line is the exact water table of each flux q: dz = dh / (1 + q/K(h)) integrated "
            "layer by layer from the reference level down to the water table, with the van Genuchten-"
            "Mualem conductivity of each layer (Mualem 1976, van Genuchten 1980) and the same tension "
            "and layer depths as the run. Largest departure: .UPQ gives " +
            decimals(r.upq.depth[at], 2) + " cm for " + format_value(r.upq.flux[at]) + " cm/hr, " + decimals(worst, 2) +
            " times the exact " + decimals(ref->flux_depth[at], 2) + " cm.");
    }
    return b;
}

namespace {

// The note under A's figure on the exact reference: layer 1's wetting-front
// suction against the run's, and the largest departure of .SIN's A where
// the exact A keeps a digit there.
std::string green_ampt_a_reference_note(const RunTables& r, const RunReferences& ref, const std::string& unit) {
    // Rows whose exact A would keep a digit in .SIN, as a ratio.
    const int32_t n = r.sin.green_ampt_rows;
    double worst = 1, at = 0, sin_a = 0, ex = 0;
    for (int32_t i = 1; i < n; ++i) {
        const double e = ref.ga_a[static_cast<size_t>(i)];
        if (!(e >= 0.005) || !(r.sin.ga_a[i] > 0)) continue;
        const double ratio = r.sin.ga_a[i] / e;
        if (std::fabs(std::log(ratio)) > std::fabs(std::log(worst))) {
            worst = ratio;
            at = r.sin.ga_depth[i];
            sin_a = r.sin.ga_a[i];
            ex = e;
        }
    }
    std::string text =
        "The thin faint line takes M and Sf exact: the van Genuchten (1980) water content, and "
        "Sf = the integral of K(h)/Ks over all suctions with the Mualem (1976) conductivity, " +
        decimals(ref.sf, 2) + " cm for layer 1 where the run's .MQ gives " + decimals(r.mq.sf[0], 2) + " cm (" +
        decimals(r.mq.sf[0] / ref.sf, 2) + " times); B is the run's.";
    if (at > 0)
        text += " Largest departure of .SIN where the exact A is 0.005 " + unit + " or more: " + decimals(sin_a, 2) +
                " for " + decimals(ex, 4) + " at " + format_value(at) + " cm (" + decimals(worst, 2) + " times).";
    return text;
}

std::optional<FigureBlock> green_ampt_figure(const RunTables& r, bool a) {
    const int32_t n = r.sin.green_ampt_rows;
    if (n == 0 && r.out.green_ampt_rows == 0) return std::nullopt;
    const RunReferences* ref = r.refs && r.refs->ga_a.size() == static_cast<size_t>(n) ? &*r.refs : nullptr;
    FigureBlock b;
    figure::Plot& p = b.plot;
    p.id = a ? "green-ampt-a" : "green-ampt-b";
    p.title = a ? "Green-Ampt parameter A" : "Green-Ampt parameter B";
    design_axis(p, kWaterTable);
    p.y = {a ? "A" : "B", a ? kSquareCmPerHour : "cm/hr", Scale::Linear, {0}};
    const std::string unit = a ? kSquareCmPerHour : "cm/hr";
    Series sin{a ? ".SIN, A as the model reads it" : ".SIN, B as the model reads it", {}, {}, SeriesKind::Line, true};
    Series computed{a ? ".OUT, A as computed" : ".OUT, B as computed"};
    Series exact{"A with the exact water content and wetting-front suction", {}, {}, SeriesKind::Line, false, {}, true};
    figure::Table t, deep;
    t.caption = std::string("Green-Ampt ") + (a ? "A" : "B") + " (" + common::printable(r.names.sin) + ", " +
                common::printable(r.names.out) + ")";
    t.header = {"Water-table depth (cm)", std::string(a ? "A" : "B") + ", .SIN (" + unit + ")",
                std::string(a ? "A" : "B") + ", .OUT (" + unit + ")"};
    if (a && ref) t.header.push_back("A, exact (" + unit + ")");
    deep.caption = deeper_caption(r, a ? "Green-Ampt A" : "Green-Ampt B");
    deep.header = t.header;
    const bool have_out = r.out.green_ampt_rows > 0;
    for (int32_t i = 0; i < std::max(n, r.out.green_ampt_rows); ++i) {
        const float depth = i < n ? r.sin.ga_depth[i] : r.out.ga_depth[i];
        std::vector<std::string> row{format_value(depth)};
        if (i < n) {
            sin.x.push_back(depth);
            sin.y.push_back(a ? r.sin.ga_a[i] : r.sin.ga_b[i]);
            row.push_back(decimals(a ? r.sin.ga_a[i] : r.sin.ga_b[i], 2));
        } else {
            row.push_back("missing");
        }
        if (have_out && i < r.out.green_ampt_rows) {
            computed.x.push_back(r.out.ga_depth[i]);
            computed.y.push_back(a ? r.out.ga_a[i] : r.out.ga_b[i]);
            row.push_back(format_value(a ? r.out.ga_a[i] : r.out.ga_b[i]));
        } else {
            row.push_back("missing");
        }
        if (a && ref) {
            exact.x.push_back(depth);
            exact.y.push_back(ref->ga_a[static_cast<size_t>(i)]);
            row.push_back(format_value(ref->ga_a[static_cast<size_t>(i)]));
        }
        if (depth > kDesignDepth) deep.rows.push_back(row);
        t.rows.push_back(std::move(row));
    }
    for (Series* s : {&sin, &computed, &exact}) within_design(*s);
    if (n > 0) p.series.push_back(std::move(sin));
    if (have_out) p.series.push_back(std::move(computed));
    if (a && ref) p.series.push_back(std::move(exact));
    b.tables.push_back(std::move(t));
    if (!deep.rows.empty()) b.open_tables.push_back(std::move(deep));
    if (a) {
        b.notes.push_back(
            "The infiltration rate is f = A/F + B, F being the cumulative infiltration, and A = M Sf B: "
            "M the fillable porosity of the top layer (saturated water content less that at the "
            "water-table depth as suction, from 150 cm on at the driest suction of its table), Sf its "
            "wetting-front suction. .SIN keeps A to two decimals.");
        if (ref && r.mq_summary && r.mq_layers > 0) b.notes.push_back(green_ampt_a_reference_note(r, *ref, unit));
    } else {
        b.notes.push_back(
            "B is the thickness-weighted mean of the .MQ block-header conductivities over the soil above "
            "the water table, down to GADEPTH = " +
            format_value(r.out.gadepth) +
            " cm; deeper water tables keep the B of the last depth within it. .SIN keeps B to two "
            "decimals.");
    }
    return b;
}

}  // namespace

std::optional<FigureBlock> green_ampt_a_figure(const RunTables& r) {
    return green_ampt_figure(r, true);
}
std::optional<FigureBlock> green_ampt_b_figure(const RunTables& r) {
    return green_ampt_figure(r, false);
}

}  // namespace soilview
