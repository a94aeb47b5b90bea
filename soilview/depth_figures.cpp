#include "soilview/depth_figures.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "common/fixed_text.h"

namespace pedoview {
namespace {

using figure::format_value;
using figure::Scale;
using figure::Series;
using figure::SeriesKind;

const char* const kWaterTable = "Water-table depth";


// The notices as sentences: one per kind, layer and reduced tension, in the
// order each first appears in the file.
std::vector<std::string> notice_notes(const std::vector<pedopre::OutNotice>& notices, const std::string& out) {
    using Kind = pedopre::OutNotice::Kind;
    std::vector<std::string> notes;
    std::vector<bool> told(notices.size(), false);
    for (size_t i = 0; i < notices.size(); ++i) {
        if (told[i]) continue;
        const pedopre::OutNotice& n = notices[i];
        if (n.kind == Kind::Other) {
            notes.push_back(out + " holds a line before its upward-flux section that is no known notice: \"" +
                            common::printable(n.text) + "\".");
            continue;
        }
        std::vector<std::string> fluxes, tensions;
        for (size_t j = i; j < notices.size(); ++j) {
            const pedopre::OutNotice& m = notices[j];
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

}  // namespace

std::optional<FigureBlock> drained_volume_figure(const RunTables& r) {
    if (r.wtd.rows == 0 && r.out.volume_rows == 0) return std::nullopt;
    FigureBlock b;
    figure::Plot& p = b.plot;
    p.id = "drained-volume";
    p.title = "Drained volume";
    p.x = {kWaterTable, "cm", Scale::Linear, {0}};
    p.y = {"Drained volume", "cm", Scale::Linear, {0}};
    Series listing{".WTD, every 10 cm"};
    for (int32_t i = 0; i < r.wtd.rows; ++i) {
        listing.x.push_back(r.wtd.depth[i]);
        listing.y.push_back(r.wtd.volume[i]);
    }
    Series report{".OUT, the rows the model takes", {}, {}, SeriesKind::Points};
    for (int32_t i = 0; i < r.out.volume_rows; ++i) {
        report.x.push_back(r.out.volume_depth[i]);
        report.y.push_back(r.out.volume[i]);
    }
    if (r.wtd.rows > 0) p.series.push_back(std::move(listing));
    if (r.out.volume_rows > 0) p.series.push_back(std::move(report));

    // One row per depth of either file.
    std::map<float, std::pair<std::string, std::string>> rows;
    for (int32_t i = 0; i < r.wtd.rows; ++i) rows[r.wtd.depth[i]].first = format_value(r.wtd.volume[i]);
    for (int32_t i = 0; i < r.out.volume_rows; ++i) rows[r.out.volume_depth[i]].second = format_value(r.out.volume[i]);
    figure::Table t;
    t.caption = "Drained volume (" + common::printable(r.names.wtd) + ", " + common::printable(r.names.out) + ")";
    t.header = {"Water-table depth (cm)", "Drained volume, .WTD (cm)", "Drained volume, .OUT (cm)"};
    for (const auto& [depth, v] : rows) t.rows.push_back({format_value(depth), v.first, v.second});
    b.tables.push_back(std::move(t));
    b.notes.push_back("The deepest layer is taken to reach 1000 cm. The report file (.OUT) caps the volumes at "
                      "100 cm and always gives 100 cm at 1000 cm; the listing (.WTD) does not.");
    return b;
}

std::optional<FigureBlock> drainable_porosity_figure(const RunTables& r) {
    if (r.wtd.rows == 0) return std::nullopt;
    FigureBlock b;
    figure::Plot& p = b.plot;
    p.id = "drainable-porosity";
    p.title = "Drainable porosity";
    p.x = {kWaterTable, "cm", Scale::Linear, {0}};
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
    p.series.push_back(std::move(s));
    b.tables.push_back(std::move(t));
    b.notes.push_back("Each porosity is the rise of the drained volume over the last 1 cm before its depth.");
    return b;
}

std::optional<FigureBlock> upward_flux_figure(const RunTables& r) {
    if (r.upq.rows == 0 && r.out.flux_rows == 0 && r.out.notices.empty()) return std::nullopt;
    FigureBlock b;
    figure::Plot& p = b.plot;
    p.id = "upward-flux";
    p.title = "Steady upward flux";
    p.x = {"Water-table depth below the reference level", "cm", Scale::Linear, {0}};
    p.y = {"Upward flux", "cm/hr", Scale::Log, {}};
    Series found{".UPQ, water table of each flux", {}, {}, SeriesKind::Line, true};
    figure::Table upq;
    upq.caption = "Water table of each upward flux (" + common::printable(r.names.upq) + ")";
    upq.header = {"Upward flux (cm/hr)", "Water-table depth below the reference level (cm)"};
    for (int32_t i = 0; i < r.upq.rows; ++i) {
        found.x.push_back(r.upq.depth[i]);
        found.y.push_back(r.upq.flux[i]);
        upq.rows.push_back({format_value(r.upq.flux[i]), format_value(r.upq.depth[i])});
    }
    Series fitted{".OUT, spline at 20 depths", {}, {}, SeriesKind::Points};
    figure::Table out;
    out.caption = "Upward flux at 20 depths (" + common::printable(r.names.out) + ")";
    out.header = {"Water-table depth below the reference level (cm)", "Upward flux (cm/hr)"};
    for (int32_t i = 0; i < r.out.flux_rows; ++i) {
        fitted.x.push_back(r.out.flux_depth[i]);
        fitted.y.push_back(r.out.upflux[i]);
        out.rows.push_back({format_value(r.out.flux_depth[i]), format_value(r.out.upflux[i])});
    }
    if (r.upq.rows > 0) {
        p.series.push_back(std::move(found));
        b.tables.push_back(std::move(upq));
    }
    if (r.out.flux_rows > 0) {
        p.series.push_back(std::move(fitted));
        b.tables.push_back(std::move(out));
    }

    const std::string out_name = common::printable(r.names.out);
    b.notes = notice_notes(r.out.notices, out_name);
    std::string level = "The depths are counted from the reference level at half the maximum root depth";
    if (r.out.rootdepth_read) level += ", " + format_value(r.out.rootdepth) + " cm below the surface";
    else if (r.input.closing_read) level += ", " + format_value(r.input.rootdepth) + " cm below the surface";
    b.notes.push_back(level + ", where the tension is 1000 cm. Fluxes of .OUT are clipped to 0 to 0.5 cm/hr.");
    return b;
}

namespace {

std::optional<FigureBlock> green_ampt_figure(const RunTables& r, bool a) {
    if (r.out.green_ampt_rows == 0) return std::nullopt;
    FigureBlock b;
    figure::Plot& p = b.plot;
    p.id = a ? "green-ampt-a" : "green-ampt-b";
    p.title = a ? "Green-Ampt parameter A" : "Green-Ampt parameter B";
    p.x = {kWaterTable, "cm", Scale::Linear, {0}};
    p.y = {a ? "A" : "B", a ? kSquareCmPerHour : "cm/hr", Scale::Linear, {0}};
    Series s{a ? ".OUT, A" : ".OUT, B", {}, {}, SeriesKind::Line, true};
    figure::Table t;
    t.caption = std::string("Green-Ampt ") + (a ? "A" : "B") + " (" + common::printable(r.names.out) + ")";
    t.header = {"Water-table depth (cm)", a ? std::string("A (") + kSquareCmPerHour + ")" : std::string("B (cm/hr)")};
    for (int32_t i = 0; i < r.out.green_ampt_rows; ++i) {
        const float v = a ? r.out.ga_a[i] : r.out.ga_b[i];
        s.x.push_back(r.out.ga_depth[i]);
        s.y.push_back(v);
        t.rows.push_back({format_value(r.out.ga_depth[i]), format_value(v)});
    }
    p.series.push_back(std::move(s));
    b.tables.push_back(std::move(t));
    if (a)
        b.notes.push_back("The infiltration rate is f = A/F + B, F being the cumulative infiltration. A uses the top "
                          "layer alone; from 150 cm on it takes the driest suction of the top layer's table.");
    else
        b.notes.push_back("B is the thickness-weighted mean of the .MQ block-header conductivities over the soil above "
                          "the water table, down to GADEPTH = " + format_value(r.out.gadepth) +
                          " cm; deeper water tables keep the B of the last depth within it.");
    return b;
}

}  // namespace

std::optional<FigureBlock> green_ampt_a_figure(const RunTables& r) { return green_ampt_figure(r, true); }
std::optional<FigureBlock> green_ampt_b_figure(const RunTables& r) { return green_ampt_figure(r, false); }

}  // namespace pedoview
