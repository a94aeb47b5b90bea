// `drainprep soil make` and `soil check`: a PEDOPRE main input file from a
// profile description, and plausibility warnings for one written by hand.
#include <cstdio>
#include <filesystem>
#include <memory>

#include "command/soil_data.h"
#include "soildata/input_plausibility.h"
#include "soildata/profile.h"

namespace command {

void add_soil_make(CLI::App& soil, Outcome& outcome) {
    auto profile = std::make_shared<std::string>();
    auto out = std::make_shared<std::string>();
    CLI::App* make = soil.add_subcommand("make", "Assemble a PEDOPRE main input file from a TOML profile");
    make->footer(
        "Reads a profile description (docs/soil_profile.md): title, gadepth, rootdepth, lsin and\n"
        "layers, each with its bottom depth and one source (parameters with units, a texture class,\n"
        "a fit result or a pedotransfer input). Converts every unit, states each default, refuses\n"
        "implausible values, and writes the van Genuchten form of the main input file.");
    make->add_option("PROFILE", *profile, "TOML profile description")->required();
    make->add_option("--out", *out, "Main input file to write (default: PROFILE with extension .dat)")
        ->type_name("SOIL.dat");
    make->callback([profile, out, &outcome] {
        const auto text = read_text_file(*profile);
        if (!text) {
            std::fprintf(stderr, "drainprep soil make: cannot read %s\n", profile->c_str());
            outcome.status = kUsage;
            return;
        }
        const std::filesystem::path folder = std::filesystem::path(*profile).parent_path();
        const auto r = soildata::read_profile(*text, [&](const std::string& name) {
            const std::filesystem::path p(name);
            return read_text_file((p.is_absolute() ? p : folder / p).string());
        });
        if (!r.ok()) {
            std::fprintf(stderr, "drainprep soil make: %s: %s\n", profile->c_str(), r.error.c_str());
            outcome.status = kUsage;
            return;
        }
        const std::string target =
            out->empty() ? std::filesystem::path(*profile).replace_extension(".dat").string() : *out;
        double top = 0;
        int i = 0;
        for (const auto& l : r.profile.layers) {
            std::printf(
                "layer %d, %g-%g cm, %s: theta_r %.4g, theta_s %.4g cm3/cm3, alpha %.4g 1/cm, n %.4g, "
                "Ks %.4g cm/day, K0 %.4g cm/day, l %.4g\n",
                ++i, top, l.bottom, l.source.c_str(), l.vg.theta_r, l.vg.theta_s, l.vg.alpha, l.vg.n, l.vg.ks, l.k0,
                l.vg.l);
            top = l.bottom;
        }
        for (const auto& n : r.notes) std::printf("%s\n", n.c_str());
        if (!write_text_file(target, soildata::main_input(r.profile), "make")) {
            outcome.status = kFailed;
            return;
        }
        const size_t layers = r.profile.layers.size();
        std::printf("written: %s (%zu %s, van Genuchten form; alpha in 1/cm, Ks and K0 in cm/day)\n", target.c_str(),
                    layers, layers == 1 ? "layer" : "layers");
        outcome.status = kOk;
    });
}

void add_soil_check(CLI::App& soil, Outcome& outcome) {
    auto file = std::make_shared<std::string>();
    CLI::App* check = soil.add_subcommand("check", "Warn of unit mistakes in a PEDOPRE main input file");
    check->footer(
        "Reads a main input file as PEDOPRE does and warns of values that look like unit mistakes:\n"
        "heads in kPa, Ks in the other form's unit (cm/hr for measured points, cm/day for van\n"
        "Genuchten), alpha in 1/m, depths in metres, K0 that zeroes or cuts Green-Ampt B.\n"
        "Exit status 0 when the file was read (with or without warnings), 1 when it cannot be.");
    check->add_option("SOIL", *file, "Main input file")->required();
    check->callback([file, &outcome] {
        const auto text = read_text_file(*file);
        if (!text) {
            std::fprintf(stderr, "drainprep soil check: cannot read %s\n", file->c_str());
            outcome.status = kFailed;
            return;
        }
        const auto r = soildata::check_main_input(*text);
        if (!r.ok()) {
            std::fprintf(stderr, "drainprep soil check: %s: %s\n", file->c_str(), r.error.c_str());
            outcome.status = kFailed;
            return;
        }
        for (const auto& w : r.warnings) std::printf("%s: warning: %s\n", file->c_str(), w.c_str());
        const size_t warnings = r.warnings.size();
        std::printf("%s: %d %s, %s form, %zu %s\n", file->c_str(), r.layers, r.layers == 1 ? "layer" : "layers",
                    r.van_genuchten ? "van Genuchten" : "measured-points", warnings,
                    warnings == 1 ? "warning" : "warnings");
        outcome.status = kOk;
    });
}

}  // namespace command
