#include "soilview/report_page.h"

#include <functional>

#include "common/fixed_text.h"
#include "figure/page.h"
#include "soilview/characteristic_figures.h"
#include "soilview/checks.h"
#include "soilview/depth_figures.h"
#include "soilview/figure_block.h"
#include "soilview/run_outcome.h"
#include "soilview/version.h"

namespace soilview {
namespace {

using figure::format_value;

using Builder = std::optional<FigureBlock> (*)(const RunTables&);

struct FigureEntry {
    const char* id;
    Builder build;
};

// Every figure, in page order, with the section it opens or belongs to.
struct SectionEntry {
    const char* heading;
    std::vector<FigureEntry> figures;
    // The files without which the section has nothing to draw.
    std::function<std::vector<std::string>(const RunNames&)> sources;
};

const std::vector<SectionEntry>& sections() {
    static const std::vector<SectionEntry> k = {
        {"Soil water characteristic",
         {{"characteristic", characteristic_figure}},
         [](const RunNames& n) {
             return std::vector<std::string>{n.mis, n.mq};
         }},
        {"Unsaturated conductivity",
         {{"conductivity", conductivity_figure}},
         [](const RunNames& n) { return std::vector<std::string>{n.mq}; }},
        {"Drained volume and drainable porosity",
         {{"drained-volume", drained_volume_figure}, {"drainable-porosity", drainable_porosity_figure}},
         [](const RunNames& n) {
             return std::vector<std::string>{n.wtd, n.sin};
         }},
        {"Steady upward flux",
         {{"upward-flux", upward_flux_figure}},
         [](const RunNames& n) {
             return std::vector<std::string>{n.upq, n.sin};
         }},
        {"Green-Ampt parameters",
         {{"green-ampt-a", green_ampt_a_figure}, {"green-ampt-b", green_ampt_b_figure}},
         [](const RunNames& n) {
             return std::vector<std::string>{n.sin, n.out};
         }},
    };
    return k;
}

bool drawn(const std::string& path, const RunNames& n) {
    return path == n.mis || path == n.wtd || path == n.mq || path == n.upq || path == n.out || path == n.sin;
}

std::string state_text(const FileStatus& f, const RunTables& r) {
    switch (f.state) {
        case FileState::Read:
            return drawn(f.path, r.names) ? "read" : "present, not drawn";
        case FileState::Incomplete:
            return "incomplete";
        case FileState::Unreadable:
            return "unreadable";
        case FileState::Missing:
            return "missing";
    }
    return {};
}

std::string state_detail(const FileStatus& f, const RunTables& r) {
    if (f.state == FileState::Missing && r.outcome != Outcome::Normal) return "Not written by this run.";
    return f.detail;
}

std::string page_title(const RunTables& r) {
    if (!r.input.title.empty()) return common::printable(r.input.title);
    return "PEDOPRE run of " + common::printable(r.names.infile);
}

void add_outcome(figure::Page& page, const RunTables& r) {
    const std::string reason = failure_reason(r);
    if (!reason.empty()) page.set_failed(reason);
}

void add_run_section(figure::Page& page, const RunTables& r) {
    page.add_section("Run");
    page.add_paragraph("Log " + common::printable(r.names.log) + ": " +
                       (r.log_line.empty() ? std::string("no line.") : "\"" + common::printable(r.log_line) + "\"."));
    std::string input = "Main input " + common::printable(r.names.infile) + ": ";
    if (r.input.nlayer > 0 && r.input.nlayer <= soilcalc::kMaxLayers)
        input += std::to_string(r.input.nlayer) + (r.input.nlayer == 1 ? " layer" : " layers") +
                 (r.input.form == InputForm::Measured ? " given by measured points."
                                                      : " given by van Genuchten parameters.");
    if (!r.input.problem.empty()) input += (r.input.nlayer > 0 ? " " : "") + r.input.problem;
    page.add_paragraph(input);

    figure::Table files;
    files.caption = "Output files of the run";
    bool details = false;
    for (const FileStatus& f : r.files) details = details || !state_detail(f, r).empty();
    files.header = {"File", "Found"};
    if (details) files.header.push_back("What was found");
    for (const FileStatus& f : r.files) {
        files.rows.push_back({common::printable(f.path), state_text(f, r)});
        if (details) files.rows.back().push_back(state_detail(f, r));
    }
    page.add_table(files, false);
    page.add_paragraph(
        "The log is shared by every soil in its folder and tells the outcome of the last run made "
        "there; this soil's own outputs decide how its run ended (eight whole outputs, .SIN written "
        "last, only come from a run that reached its end). PEDOVIEW only reads these files.");
}

// The layers table's caption and header: van Genuchten parameters or the
// measured points, then what the .MQ file holds for each layer.
figure::Table layers_table(bool vg) {
    figure::Table t;
    t.caption = vg ? "Layers: van Genuchten parameters (Ks and K0 in cm/day as given)"
                   : "Layers: measured points (Ks in cm/hr as given)";
    t.header = {"Layer", "Top (cm)", "Bottom (cm)"};
    if (vg) {
        for (const char* h :
             {"\xCE\xB8r", "\xCE\xB8s", "\xCE\xB1 (1/cm)", "n", "Ks (cm/day)", "K0 (cm/day)", "\xE2\x84\x93"})
            t.header.push_back(h);
    } else {
        t.header.insert(t.header.end(), {"Points given", "Ks (cm/hr)"});
    }
    t.header.insert(t.header.end(), {".MQ header conductivity (cm/hr)", "Wetting-front suction (cm)"});
    return t;
}

// Bottom of layer L, from the main input, else the .MQ file, else the
// .MIS file; nullopt when none of them has the layer.
std::optional<float> layer_bottom(const RunTables& r, size_t l) {
    if (l < r.input.layers.size()) return r.input.layers[l].zbot;
    if (static_cast<int32_t>(l) < r.mq_layers) return r.mq.layers[l].bottom;
    if (static_cast<int32_t>(l) < r.mis_layers) return r.mis.layers[l].bottom;
    return std::nullopt;
}

// Row of layer L, whose top is TOP; a value no file gives reads "missing".
std::vector<std::string> layer_row(const RunTables& r, size_t l, float top, std::optional<float> bottom) {
    const bool vg = r.input.form == InputForm::VanGenuchten;
    const InputLayer* in = l < r.input.layers.size() ? &r.input.layers[l] : nullptr;
    const bool in_mq = static_cast<int32_t>(l) < r.mq_layers;
    std::vector<std::string> row{std::to_string(l + 1), format_value(top),
                                 bottom ? format_value(*bottom) : std::string("missing")};
    const auto cell = [&](bool have, float v) { return have ? format_value(v) : std::string("missing"); };
    if (vg) {
        for (float v : {in ? in->vg.theta_r : 0.0f, in ? in->vg.theta_s : 0.0f, in ? in->vg.alpha : 0.0f,
                        in ? in->vg.n : 0.0f, in ? in->ks : 0.0f, in ? in->vg.k0 : 0.0f, in ? in->vg.l : 0.0f})
            row.push_back(cell(in != nullptr, v));
    } else {
        row.push_back(in ? std::to_string(in->theta.size()) : std::string("missing"));
        row.push_back(cell(in != nullptr, in ? in->ksat : 0.0f));
    }
    row.push_back(cell(in_mq, in_mq ? r.mq.layers[l].k_header : 0.0f));
    row.push_back(cell(in_mq && r.mq_summary, in_mq ? r.mq.sf[l] : 0.0f));
    return row;
}

void add_layers_section(figure::Page& page, const RunTables& r) {
    page.add_section("Layers");
    const bool vg = r.input.form == InputForm::VanGenuchten;
    const size_t rows =
        std::max({r.input.layers.size(), static_cast<size_t>(r.mq_layers), static_cast<size_t>(r.mis_layers)});
    if (rows == 0) {
        page.add_paragraph("No layer could be read from the main input or the run's files.");
        return;
    }
    figure::Table t = layers_table(vg);
    float top = 0.0f;
    for (size_t l = 0; l < rows; ++l) {
        const std::optional<float> bottom = layer_bottom(r, l);
        t.rows.push_back(layer_row(r, l, top, bottom));
        top = bottom.value_or(0.0f);
    }
    page.add_table(t, false);
    std::string note =
        "The deepest layer is taken to reach 1000 cm in the drained volumes and 10000 cm in the "
        "upward flux, whatever bottom the input gives it.";
    if (vg) note += " The .MQ block header holds K0/24; the conductivity table is scaled to Ks/24.";
    page.add_paragraph(note);
    if (r.input.closing_read)
        page.add_paragraph("Closing record: GADEPTH = " + format_value(r.input.gadepth) +
                           " cm (top soil of the Green-Ampt B), ROOTDEPTH = " + format_value(r.input.rootdepth) +
                           " cm (half the maximum root depth, the reference level of the upward flux), LSIN = " +
                           std::to_string(r.input.lsin) + " (the layer of the soil input file).");
}

void add_figure_sections(figure::Page& page, const RunTables& r) {
    for (const SectionEntry& s : sections()) {
        page.add_section(s.heading);
        bool any = false;
        for (const FigureEntry& f : s.figures) {
            std::optional<FigureBlock> b = f.build(r);
            if (!b) continue;
            any = true;
            figure::Figure fig = figure::render(b->plot);
            if (!b->band_notes.empty()) {
                std::erase_if(fig.notes, [](const std::string& n) {
                    return n.starts_with("The x axis is logarithmic") || n.starts_with("The y axis is logarithmic");
                });
                fig.notes.insert(fig.notes.end(), b->band_notes.begin(), b->band_notes.end());
            }
            fig.notes.insert(fig.notes.begin(), b->notes.begin(), b->notes.end());
            if (b->tables.empty()) {
                page.add_figure(fig);
            } else {
                page.add_figure(fig, b->tables.front());
                for (size_t i = 1; i < b->tables.size(); ++i) page.add_table(b->tables[i], true);
            }
            for (const figure::Table& t : b->open_tables) page.add_table(t, false);
        }
        if (any) continue;
        std::vector<std::string> names;
        for (const std::string& p : s.sources(r.names)) names.push_back(common::printable(p));
        page.add_paragraph("Nothing to draw: the run left no table of this kind in " + listed(names) + ".");
    }
}

}  // namespace

const std::vector<std::string>& figure_ids() {
    static const std::vector<std::string> ids = [] {
        std::vector<std::string> v;
        for (const SectionEntry& s : sections())
            for (const FigureEntry& f : s.figures) v.emplace_back(f.id);
        return v;
    }();
    return ids;
}

std::optional<std::string> figure_svg(const RunTables& r, std::string_view id) {
    for (const SectionEntry& s : sections()) {
        for (const FigureEntry& f : s.figures) {
            if (id != f.id) continue;
            std::optional<FigureBlock> b = f.build(r);
            if (!b) return std::nullopt;
            // Alone, the figure has no page behind it: it gets a white ground
            // of its own, first thing after its title.
            std::string svg = figure::render(b->plot).svg;
            const size_t at = svg.find("</title>");
            if (at != std::string::npos)
                svg.insert(at + 8, "\n<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>");
            return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + svg + "\n";
        }
    }
    return std::nullopt;
}

std::string report_html(const RunTables& r) {
    figure::Page page(page_title(r));
    page.set_subtitle("The tables PEDOPRE wrote for " + common::printable(r.names.infile) + ", drawn by PEDOVIEW " +
                      std::string(kVersion) + ".");
    add_outcome(page, r);
    for (const Check& c : run_checks(r)) page.add_check(c.status, c.text);
    add_run_section(page, r);
    add_layers_section(page, r);
    add_figure_sections(page, r);
    return page.html();
}

}  // namespace soilview
