// `drainprep soil fit`, `soil class` and `soil ptf`: van Genuchten
// parameters from lab points, from a texture class and from a soil
// analysis.
#include <cstdio>
#include <memory>

#include "command/soil_data.h"
#include "soildata/fit_page.h"
#include "soildata/fit_report.h"
#include "soildata/pedotransfer.h"
#include "soildata/retention_points.h"
#include "soildata/texture_classes.h"
#include "soildata/van_genuchten_fit.h"

namespace command {

namespace {

struct FitArgs {
    std::string points;
    std::string head_unit = "cm";
    std::string theta_unit = "fraction";
    std::string k_unit = "cm/day";
    std::vector<std::string> fix;
    std::string json;
    std::string page;
};

int run_fit(const FitArgs& a) {
    soildata::PointUnits units;
    units.head = *soildata::head_unit(a.head_unit);
    units.theta = *soildata::theta_unit(a.theta_unit);
    units.k = *soildata::conductivity_unit(a.k_unit);
    soildata::FitOptions options;
    for (const auto& f : a.fix) {
        const auto eq = f.find('=');
        const auto param = eq == std::string::npos ? std::nullopt : soildata::param_from_name(f.substr(0, eq));
        double value = 0;
        bool number = false;
        if (param) {
            try {
                size_t used = 0;
                value = std::stod(f.substr(eq + 1), &used);
                number = used == f.size() - eq - 1;
            } catch (const std::exception&) {
            }
        }
        if (!param || !number) {
            std::fprintf(stderr,
                         "drainprep soil fit: --fix %s: give NAME=VALUE with NAME one of theta_r, theta_s, "
                         "alpha (1/cm), n, ks (cm/day), l\n",
                         f.c_str());
            return kUsage;
        }
        options.fixed[*param] = value;
    }
    const auto text = read_text_file(a.points);
    if (!text) {
        std::fprintf(stderr, "drainprep soil fit: cannot read %s\n", a.points.c_str());
        return kUsage;
    }
    const auto read = soildata::read_points(*text, units);
    if (!read.ok()) {
        std::fprintf(stderr, "drainprep soil fit: %s: %s\n", a.points.c_str(), read.error.c_str());
        return kUsage;
    }
    if (read.points.retention.empty()) {
        std::fprintf(stderr, "drainprep soil fit: %s: no retention points (head and theta)\n", a.points.c_str());
        return kUsage;
    }
    const auto fit = soildata::fit_van_genuchten(read.points, options);
    if (!fit.ok()) {
        std::fprintf(stderr, "drainprep soil fit: %s: %s\n", a.points.c_str(), fit.error.c_str());
        return fit.refused ? kUsage : kFailed;
    }
    std::fputs(soildata::fit_text(fit).c_str(), stdout);
    if (!a.json.empty() && !write_text_file(a.json, soildata::fit_json(fit, units).dump(2) + "\n", "fit"))
        return kFailed;
    if (!a.page.empty() && !write_text_file(a.page, soildata::fit_page(fit, read.points, a.points), "fit"))
        return kFailed;
    return kOk;
}

void print_class(const soildata::TextureClass& c) {
    std::printf("%-16s %7.3f %7.2f %7.3f %5.2f %8.2f %7.3f\n", c.name, c.theta_r, c.theta_s, c.alpha, c.n, c.ks,
                c.ks / 24);
    if (const auto sd = soildata::texture_spread(c.name))
        std::printf("%-16s %7.3f %7.2f %7.3f %5.2f %8.2f %7.3f\n", "  std. dev.", sd->theta_r, sd->theta_s, sd->alpha,
                    sd->n, sd->ks, sd->ks / 24);
}

}  // namespace

void add_soil_fit(CLI::App& soil, Outcome& outcome) {
    auto a = std::make_shared<FitArgs>();
    CLI::App* fit = soil.add_subcommand("fit", "Fit van Genuchten parameters (and Ks, l) to measured points");
    fit->footer(
        "Fits theta_r, theta_s, alpha and n of van Genuchten's retention function (m = 1 - 1/n) to the\n"
        "(head, theta) points of a CSV file, and Ks and l of the Mualem model to its (head, k) points, by\n"
        "weighted least squares (Levenberg-Marquardt, several starting points). Columns are found by name\n"
        "in the header: head, theta, and optionally k and weight. Prints each parameter with its standard\n"
        "error and 95% confidence interval, RMSE and R2, and warns of parameters the points do not pin.");
    fit->add_option("POINTS", a->points, "CSV file of measured points")->required();
    fit->add_option("--head-unit", a->head_unit, "Unit of the head column (default cm)")
        ->check(CLI::IsMember({"cm", "hPa", "kPa", "m", "pF"}));
    fit->add_option("--theta-unit", a->theta_unit, "Unit of the theta column (default fraction)")
        ->check(CLI::IsMember({"fraction", "percent"}));
    fit->add_option("--k-unit", a->k_unit, "Unit of the k column (default cm/day)")
        ->check(CLI::IsMember({"cm/day", "cm/hr", "m/s"}));
    fit->add_option("--fix", a->fix, "Fix a parameter: theta_r=0, n=1.5, alpha=0.02 (1/cm), ks=25 (cm/day), l=0.5")
        ->type_name("NAME=VALUE");
    fit->add_option("--json", a->json, "Write the result as JSON to FILE")->type_name("FILE");
    fit->add_option("--page", a->page, "Write a page with the points, the curve and its confidence band")
        ->type_name("FILE");
    fit->callback([a, &outcome] { outcome.status = run_fit(*a); });
}

void add_soil_class(CLI::App& soil, Outcome& outcome) {
    auto name = std::make_shared<std::string>();
    auto list = std::make_shared<bool>(false);
    CLI::App* cls = soil.add_subcommand("class", "Van Genuchten parameters of a USDA texture class");
    cls->add_option("NAME", *name, "Texture class, e.g. \"silty clay loam\" or silty_clay_loam");
    cls->add_flag("--list", *list, "List all twelve classes");
    cls->callback([name, list, &outcome] {
        const auto found = soildata::texture_class(*name);
        if (!name->empty() && !*list && !found) {
            std::fprintf(stderr, "drainprep soil class: \"%s\" is not a USDA texture class (--list names them)\n",
                         name->c_str());
            outcome.status = kUsage;
            return;
        }
        std::printf("Source: %s\n", std::string(soildata::kTextureClassSource).c_str());
        std::printf(
            "Means of each class, with their standard deviations for sand, silt, silt loam, clay loam and clay;\n"
            "Mualem l = 0.5. theta in cm3/cm3, alpha in 1/cm, Ks in cm/day and cm/hr.\n\n");
        std::printf("%-16s %7s %7s %7s %5s %8s %7s\n", "class", "theta_r", "theta_s", "alpha", "n", "Ks/day", "Ks/hr");
        if (name->empty() || *list) {
            for (const auto& c : soildata::texture_classes()) print_class(c);
            outcome.status = kOk;
            return;
        }
        print_class(*found);
        outcome.status = kOk;
    });
}

void add_soil_ptf(CLI::App& soil, Outcome& outcome) {
    auto a = std::make_shared<soildata::SoilAnalysis>();
    auto subsoil = std::make_shared<bool>(false);
    auto topsoil = std::make_shared<bool>(false);
    CLI::App* ptf =
        soil.add_subcommand("ptf", "Van Genuchten parameters from texture, organic matter and bulk density");
    ptf->footer(
        "HYPRES continuous pedotransfer functions (Wosten et al. 1999): theta_s, alpha, n, Ks and l\n"
        "from silt, clay, organic matter and bulk density; theta_r = 0.");
    ptf->add_option("--sand", a->sand, "Sand, % of the mineral fraction")->required();
    ptf->add_option("--silt", a->silt, "Silt, %")->required();
    ptf->add_option("--clay", a->clay, "Clay, %")->required();
    ptf->add_option("--om", a->organic_matter, "Organic matter, % by weight")->required();
    ptf->add_option("--bulk-density", a->bulk_density, "Bulk density, g/cm3")->required();
    auto* top = ptf->add_flag("--topsoil", *topsoil, "A topsoil (the default)");
    auto* sub = ptf->add_flag("--subsoil", *subsoil, "A subsoil");
    top->excludes(sub);
    ptf->callback([a, subsoil, topsoil, &outcome] {
        a->topsoil = !*subsoil;
        const auto r = soildata::hypres(*a);
        if (!r.ok()) {
            std::fprintf(stderr, "drainprep soil ptf: %s\n", r.error.c_str());
            outcome.status = kUsage;
            return;
        }
        std::printf("Source: %s\n", soildata::kHypresSource);
        std::printf("%s: sand %g %%, silt %g %%, clay %g %%, organic matter %g %%, bulk density %g g/cm3\n\n",
                    a->topsoil ? "topsoil" : "subsoil", a->sand, a->silt, a->clay, a->organic_matter, a->bulk_density);
        std::printf("  theta_r  %10.4f cm3/cm3\n", r.vg.theta_r);
        std::printf("  theta_s  %10.4f cm3/cm3\n", r.vg.theta_s);
        std::printf("  alpha    %10.5f 1/cm\n", r.vg.alpha);
        std::printf("  n        %10.4f\n", r.vg.n);
        std::printf("  ks       %10.3f cm/day (%.4f cm/hr)\n", r.vg.ks, r.vg.ks / 24);
        std::printf("  l        %10.3f\n", r.vg.l);
        for (const auto& w : r.warnings) std::printf("warning: %s\n", w.c_str());
        outcome.status = kOk;
    });
}

}  // namespace command
