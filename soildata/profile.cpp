#include "soildata/profile.h"

#include <cmath>
#include <cstdio>

#include <toml++/toml.h>
#include <nlohmann/json.hpp>

#include "soildata/fit_report.h"
#include "soildata/pedotransfer.h"
#include "soildata/texture_classes.h"
#include "soildata/units.h"

namespace soildata {

namespace {

std::string fmt(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

// Plausible ranges, in the form's units. Beyond them a value is far more
// likely a unit or typing mistake than a soil.
struct Range {
    const char* name;
    double lo, hi;
    const char* unit;
    const char* hint;
};
constexpr Range kThetaR{"theta_r", 0.0, 0.5, "cm3/cm3", ""};
constexpr Range kThetaS{"theta_s", 0.1, 0.95, "cm3/cm3", " (a percentage? give it as a fraction)"};
constexpr Range kAlpha{"alpha", 1e-4, 1.0, "1/cm", " (in 1/m? say alpha_unit = \"1/m\")"};
constexpr Range kN{"n", 1.01, 12.0, "-", ""};
// K0 / 24 goes into an F8.3 field in cm/hr: below 0.012 cm/day it prints
// as 0.000 and the Green-Ampt B of every row is zero.
constexpr Range kKs{"ks", 0.012, 1e4, "cm/day", " (check ks_unit)"};
constexpr Range kK0{"k0", 0.012, 1e4, "cm/day", " (check k0_unit)"};
constexpr Range kL{"l", -10.0, 10.0, "-", ""};

struct Refusal {
    std::string text;
};

void check(const std::string& where, double v, const Range& r) {
    if (!(v >= r.lo && v <= r.hi))
        throw Refusal{where + ": " + r.name + " " + fmt(v) + " " + r.unit + " is outside the plausible range " +
                      fmt(r.lo) + " to " + fmt(r.hi) + " " + r.unit + r.hint};
}

double number(const toml::node_view<const toml::node>& node, const std::string& where, const char* key) {
    if (auto v = node.value<double>()) return *v;
    throw Refusal{where + ": `" + key + "` " + (node ? "is not a number" : "is missing")};
}

std::optional<double> optional_number(const toml::table& t, const std::string& where, const char* key) {
    if (!t.contains(key)) return std::nullopt;
    return number(toml::node_view<const toml::node>(t.get(key)), where, key);
}

std::string text(const toml::table& t, const char* key, const std::string& fallback) {
    if (auto v = t[key].value<std::string>()) return *v;
    return fallback;
}

double depth_cm(double v, const std::string& unit, const std::string& where) {
    if (unit == "cm") return v;
    if (unit == "m") return v * 100.0;
    if (unit == "mm") return v / 10.0;
    throw Refusal{where + ": depth_unit \"" + unit + "\" is not cm, m or mm"};
}

// The parameters a layer gives itself, with their units.
VanGenuchten explicit_parameters(const toml::table& t, const std::string& where, std::vector<std::string>& notes) {
    VanGenuchten vg;
    vg.theta_r = number(t["theta_r"], where, "theta_r");
    vg.theta_s = number(t["theta_s"], where, "theta_s");
    const std::string theta_unit_name = text(t, "theta_unit", "fraction");
    const auto tu = theta_unit(theta_unit_name);
    if (!tu) throw Refusal{where + ": theta_unit \"" + theta_unit_name + "\" is not fraction or percent"};
    vg.theta_r = theta_to_fraction(vg.theta_r, *tu);
    vg.theta_s = theta_to_fraction(vg.theta_s, *tu);
    const double alpha = number(t["alpha"], where, "alpha");
    const std::string au_name = text(t, "alpha_unit", "1/cm");
    const auto au = alpha_unit(au_name);
    if (!au) throw Refusal{where + ": alpha_unit \"" + au_name + "\" is not 1/cm, 1/m, 1/hPa or 1/kPa"};
    vg.alpha = alpha_to_per_cm(alpha, *au);
    if (*au != AlphaUnit::PerCm)
        notes.push_back(where + ": alpha " + fmt(alpha) + " " + au_name + " = " + fmt(vg.alpha) + " 1/cm");
    vg.n = number(t["n"], where, "n");
    const double ks = number(t["ks"], where, "ks");
    const std::string ku_name = text(t, "ks_unit", "cm/day");
    const auto ku = conductivity_unit(ku_name);
    if (!ku)
        throw Refusal{where + ": ks_unit \"" + ku_name +
                      "\" is not a conductivity unit (cm/day, cm/hr, m/s, m/day, mm/hr, mm/day)"};
    vg.ks = conductivity_to_cm_per_day(ks, *ku);
    if (*ku != ConductivityUnit::CmPerDay)
        notes.push_back(where + ": ks " + fmt(ks) + " " + ku_name + " = " + fmt(vg.ks) + " cm/day");
    vg.l = 0.5;
    return vg;
}

ProfileLayer read_layer(const toml::table& t, int number_, const std::string& depth_unit, const FileReader& read_file,
                        std::vector<std::string>& notes) {
    const std::string where = "layer " + std::to_string(number_);
    ProfileLayer layer;
    layer.bottom = depth_cm(number(t["bottom"], where, "bottom"), depth_unit, where);
    int sources = 0;
    for (const char* key : {"class", "fit", "ptf", "theta_s"}) sources += t.contains(key) ? 1 : 0;
    if (sources != 1)
        throw Refusal{where +
                      ": give exactly one source: parameters (theta_r, theta_s, alpha, n, ks), class, fit or ptf"};
    bool l_given_by_source = false;
    if (t.contains("class")) {
        const std::string name = text(t, "class", "");
        const auto c = texture_class(name);
        if (!c) throw Refusal{where + ": \"" + name + "\" is not a USDA texture class (drainprep soil class --list)"};
        layer.vg = VanGenuchten{c->theta_r, c->theta_s, c->alpha, c->n, c->ks, 0.5};
        layer.source = std::string("class ") + c->name + " (Carsel & Parrish 1988)";
    } else if (t.contains("fit")) {
        const std::string file = text(t, "fit", "");
        const auto content = read_file(file);
        if (!content) throw Refusal{where + ": cannot read the fit result " + file};
        const auto j = nlohmann::json::parse(*content, nullptr, false);
        if (j.is_discarded()) throw Refusal{where + ": " + file + " is not JSON"};
        const FitRead fit = vg_from_fit_json(j);
        if (!fit.error.empty()) throw Refusal{where + ": " + file + ": " + fit.error};
        layer.vg = fit.vg;
        if (!fit.has_l) layer.vg.l = 0.5;
        l_given_by_source = fit.has_l;
        if (!fit.has_ks) {
            if (!t.contains("ks"))
                throw Refusal{where + ": " + file + " has no ks; give ks (and ks_unit) in the layer"};
        }
        layer.source = "fit " + file;
    } else if (t.contains("ptf")) {
        const auto* p = t["ptf"].as_table();
        if (!p) throw Refusal{where + ": `ptf` must be a table (sand, silt, clay, om, bulk_density, topsoil)"};
        SoilAnalysis a;
        a.sand = number((*p)["sand"], where, "ptf.sand");
        a.silt = number((*p)["silt"], where, "ptf.silt");
        a.clay = number((*p)["clay"], where, "ptf.clay");
        a.organic_matter = number((*p)["om"], where, "ptf.om");
        a.bulk_density = number((*p)["bulk_density"], where, "ptf.bulk_density");
        a.topsoil = (*p)["topsoil"].value<bool>().value_or(number_ == 1);
        const auto r = hypres(a);
        if (!r.ok()) throw Refusal{where + ": " + r.error};
        for (const auto& w : r.warnings) notes.push_back(where + ": " + w);
        layer.vg = r.vg;
        l_given_by_source = true;
        layer.source =
            std::string("HYPRES pedotransfer functions (Wosten et al. 1999), ") + (a.topsoil ? "topsoil" : "subsoil");
    } else {
        layer.vg = explicit_parameters(t, where, notes);
        layer.source = "parameters";
    }
    // A layer may set ks (for a fit without conductivity points), k0 and l
    // beside its source.
    if (t.contains("ks") && !t.contains("theta_s")) {
        const double ks = number(t["ks"], where, "ks");
        const std::string ku_name = text(t, "ks_unit", "cm/day");
        const auto ku = conductivity_unit(ku_name);
        if (!ku) throw Refusal{where + ": ks_unit \"" + ku_name + "\" is not a conductivity unit"};
        layer.vg.ks = conductivity_to_cm_per_day(ks, *ku);
    }
    if (auto l = optional_number(t, where, "l")) {
        layer.vg.l = *l;
    } else if (!l_given_by_source) {
        notes.push_back(where + ": l = 0.5 (default)");
    }
    check(where, layer.vg.theta_r, kThetaR);
    check(where, layer.vg.theta_s, kThetaS);
    if (!(layer.vg.theta_r < layer.vg.theta_s))
        throw Refusal{where + ": theta_r " + fmt(layer.vg.theta_r) + " is not below theta_s " + fmt(layer.vg.theta_s)};
    check(where, layer.vg.alpha, kAlpha);
    check(where, layer.vg.n, kN);
    check(where, layer.vg.ks, kKs);
    check(where, layer.vg.l, kL);
    if (auto k0 = optional_number(t, where, "k0")) {
        const std::string ku_name = text(t, "k0_unit", text(t, "ks_unit", "cm/day"));
        const auto ku = conductivity_unit(ku_name);
        if (!ku) throw Refusal{where + ": k0_unit \"" + ku_name + "\" is not a conductivity unit"};
        layer.k0 = conductivity_to_cm_per_day(*k0, *ku);
        if (*ku != ConductivityUnit::CmPerDay)
            notes.push_back(where + ": k0 " + fmt(*k0) + " " + ku_name + " = " + fmt(layer.k0) + " cm/day");
    } else {
        layer.k0 = layer.vg.ks;
        notes.push_back(where + ": K0 = Ks = " + fmt(layer.k0) + " cm/day (default)");
    }
    check(where, layer.k0, kK0);
    if (layer.k0 < layer.vg.ks / 10)
        notes.push_back(where + ": K0 " + fmt(layer.k0) + " cm/day is " + fmt(layer.vg.ks / layer.k0) +
                        " times below Ks " + fmt(layer.vg.ks) +
                        " cm/day; the Green-Ampt B of the soil input file follows K0, so it is cut as much");
    return layer;
}

}  // namespace

ProfileResult read_profile(std::string_view toml_text, const FileReader& read_file) {
    ProfileResult r;
    toml::table parsed;
    try {
        parsed = toml::parse(toml_text);
    } catch (const toml::parse_error& e) {
        r.error = "line " + std::to_string(e.source().begin.line) + ": " + std::string(e.description());
        return r;
    }
    const toml::table& t = parsed;
    try {
        const std::string where = "profile";
        Profile& p = r.profile;
        p.title = text(t, "title", "");
        if (p.title.empty()) throw Refusal{"profile: `title` is missing"};
        // The title is one line of the main input file: a line break or
        // another control character would shift every record after it.
        for (char c : p.title)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
                throw Refusal{"profile: the title holds a line break or another control character"};
        if (p.title.size() > 80)
            r.notes.push_back("profile: the title is cut to its first 80 characters in every output");
        const std::string depth_unit = text(t, "depth_unit", "cm");
        p.gadepth = depth_cm(number(t["gadepth"], where, "gadepth"), depth_unit, where);
        p.rootdepth = depth_cm(number(t["rootdepth"], where, "rootdepth"), depth_unit, where);
        if (t.contains("lsin") && !t["lsin"].is_integer())
            throw Refusal{"profile: `lsin` must be a whole layer number"};
        p.lsin = static_cast<int>(t["lsin"].value<int64_t>().value_or(1));
        const auto* layers = t["layer"].as_array();
        if (!layers || layers->empty()) throw Refusal{"profile: no [[layer]]"};
        if (layers->size() > 9) throw Refusal{"profile: " + std::to_string(layers->size()) + " layers; at most 9"};
        int i = 0;
        for (const auto& node : *layers) {
            ++i;
            const auto* lt = node.as_table();
            if (!lt) throw Refusal{"layer " + std::to_string(i) + ": not a table"};
            p.layers.push_back(read_layer(*lt, i, depth_unit, read_file, r.notes));
            const double top = i == 1 ? 0.0 : p.layers[i - 2].bottom;
            if (!(p.layers.back().bottom > top))
                throw Refusal{"layer " + std::to_string(i) + ": bottom " + fmt(p.layers.back().bottom) +
                              " cm is not below the layer's top at " + fmt(top) + " cm"};
        }
        const double depth = p.layers.back().bottom;
        if (!(p.gadepth > 0 && p.gadepth <= depth))
            throw Refusal{"profile: gadepth " + fmt(p.gadepth) + " cm is outside the profile, 0 to " + fmt(depth) +
                          " cm"};
        if (!(p.rootdepth > 0 && p.rootdepth <= depth))
            throw Refusal{"profile: rootdepth " + fmt(p.rootdepth) + " cm is outside the profile, 0 to " + fmt(depth) +
                          " cm"};
        if (p.lsin < 1 || p.lsin > static_cast<int>(p.layers.size()))
            throw Refusal{"profile: lsin " + std::to_string(p.lsin) + " is not a layer number, 1 to " +
                          std::to_string(p.layers.size())};
    } catch (const Refusal& e) {
        r.error = e.text;
    }
    return r;
}

std::string main_input(const Profile& p) {
    std::string out = p.title.substr(0, 80) + "\r\n";
    out += std::to_string(p.layers.size()) + " 1\r\n";
    int i = 0;
    for (const auto& l : p.layers) {
        ++i;
        char buf[256];
        std::snprintf(buf, sizeof buf, "%8.6g %8.6g %8.6g %10.6g %8.6g %10.6g %10.6g %8.6g", l.bottom, l.vg.theta_r,
                      l.vg.theta_s, l.vg.alpha, l.vg.n, l.vg.ks, l.k0, l.vg.l);
        out += buf;
        std::string source = l.source;
        for (char& c : source)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';  // one line, whatever the file name
        out += "   ! " + source + "\r\n";
    }
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.6g %.6g %d\r\n", p.gadepth, p.rootdepth, p.lsin);
    out += buf;
    return out;
}

}  // namespace soildata
