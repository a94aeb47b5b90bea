// Profiles assembled from each source run through PEDOPRE to NOERROR with
// every unit converted; implausible values are refused with the layer, the
// value and the range; hand-written inputs get the unit warnings.
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>

#include <gtest/gtest.h>

#include "drainprep/drainprep.h"
#include "soildata/fit_page.h"
#include "soildata/fit_report.h"
#include "soildata/input_plausibility.h"
#include "soildata/profile.h"
#include "soildata/van_genuchten_fit.h"

namespace soildata {
namespace {

ProfileResult read(const std::string& toml, std::map<std::string, std::string> files = {}) {
    return read_profile(toml, [files](const std::string& name) -> std::optional<std::string> {
        auto it = files.find(name);
        if (it == files.end()) return std::nullopt;
        return it->second;
    });
}

std::string header(int lsin = 1) {
    return "title = \"Test profile\"\ngadepth = 30\nrootdepth = 30\nlsin = " + std::to_string(lsin) + "\n";
}

bool has_note(const ProfileResult& r, const std::string& text) {
    for (const auto& n : r.notes)
        if (n.find(text) != std::string::npos) return true;
    return false;
}

// A fit result as `soil fit --json` writes it, from points of a loam.
std::string fit_result_json() {
    const VanGenuchten loam{0.078, 0.43, 0.036, 1.56, 24.96, 0.5};
    MeasuredPoints p;
    for (double h : {0.0, 10.0, 30.0, 100.0, 330.0, 1000.0, 5000.0, 15000.0})
        p.retention.push_back({h, loam.theta(h), 1});
    for (double h : {0.0, 30.0, 100.0, 1000.0}) p.conductivity.push_back({h, loam.conductivity(h)});
    return fit_json(fit_van_genuchten(p, {}), {}).dump();
}

TEST(Profile, EachSourceRunsThroughPedopre) {
    const std::string toml =
        header() +
        "[[layer]]\nbottom = 30\nfit = \"lab.json\"\n"
        "[[layer]]\nbottom = 80\nclass = \"clay loam\"\n"
        "[[layer]]\nbottom = 150\nptf = { sand = 40, silt = 40, clay = 20, om = 1.0, bulk_density = 1.5 }\n"
        "[[layer]]\nbottom = 200\ntheta_r = 6.5\ntheta_s = 41\ntheta_unit = \"percent\"\n"
        "alpha = 7.5\nalpha_unit = \"1/m\"\nn = 1.89\nks = 4.42\nks_unit = \"cm/hr\"\n";
    const auto r = read(toml, {{"lab.json", fit_result_json()}});
    ASSERT_TRUE(r.ok()) << r.error;
    const auto& layers = r.profile.layers;
    ASSERT_EQ(layers.size(), 4u);
    EXPECT_NEAR(layers[0].vg.ks, 24.96, 1e-3);  // fitted Ks and l taken
    EXPECT_NEAR(layers[0].vg.l, 0.5, 1e-3);
    EXPECT_EQ(layers[1].vg.ks, 6.24);              // class mean, cm/day
    EXPECT_EQ(layers[2].vg.theta_r, 0);            // pedotransfer
    EXPECT_DOUBLE_EQ(layers[3].vg.alpha, 0.075);   // 7.5 1/m
    EXPECT_DOUBLE_EQ(layers[3].vg.ks, 4.42 * 24);  // cm/hr to cm/day
    EXPECT_DOUBLE_EQ(layers[3].vg.theta_s, 0.41);
    EXPECT_EQ(layers[3].k0, layers[3].vg.ks);  // K0 defaults to Ks
    EXPECT_TRUE(has_note(r, "layer 4: alpha 7.5 1/m = 0.075 1/cm"));
    EXPECT_TRUE(has_note(r, "layer 2: l = 0.5 (default)"));
    EXPECT_TRUE(has_note(r, "layer 4: K0 = Ks"));

    const std::string text = main_input(r.profile);
    EXPECT_EQ(text.substr(0, 15), "Test profile\r\n4");
    const auto run = drainprep::pedopre({"soil.dat"}, {{"soil.dat", text}});
    EXPECT_TRUE(run.ok) << run.log;
    EXPECT_NE(run.log.find("NOERROR"), std::string::npos) << run.log;
}

TEST(Profile, DepthsInMetres) {
    const auto r = read(
        "title = \"Metres\"\ndepth_unit = \"m\"\ngadepth = 0.3\nrootdepth = 0.25\nlsin = 1\n"
        "[[layer]]\nbottom = 0.3\nclass = \"loam\"\n[[layer]]\nbottom = 1.2\nclass = \"sand\"\n");
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_DOUBLE_EQ(r.profile.gadepth, 30.0);
    EXPECT_DOUBLE_EQ(r.profile.rootdepth, 25.0);
    EXPECT_DOUBLE_EQ(r.profile.layers[0].bottom, 30.0);
    EXPECT_DOUBLE_EQ(r.profile.layers[1].bottom, 120.0);
}

TEST(FitPage, DrawsPointsCurveAndBand) {
    const VanGenuchten loam{0.078, 0.43, 0.036, 1.56, 24.96, 0.5};
    MeasuredPoints p;
    for (double h : {0.0, 10.0, 30.0, 100.0, 330.0, 1000.0, 5000.0, 15000.0})
        p.retention.push_back({h, loam.theta(h) + 0.002 * std::sin(h), 1});
    const FitResult fit = fit_van_genuchten(p, {});
    const std::string html = fit_page(fit, p, "lab.csv");
    for (const char* series : {"measured", "fitted", "95% band, lower", "95% band, upper"})
        EXPECT_NE(html.find(std::string("data-series=\"") + series + "\""), std::string::npos) << series;
    EXPECT_EQ(html.find("conductivity"), std::string::npos);  // no k points, no conductivity figure
    EXPECT_GT(theta_band(fit, 100), 0);
}

TEST(Profile, NotesAK0FarBelowKs) {
    const auto r = read(header() + "[[layer]]\nbottom = 100\nclass = \"loam\"\nk0 = 0.1\nk0_unit = \"cm/hr\"\n");
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_DOUBLE_EQ(r.profile.layers[0].k0, 2.4);
    EXPECT_TRUE(has_note(r, "Green-Ampt B"));
    EXPECT_TRUE(drainprep::pedopre({"soil.dat"}, {{"soil.dat", main_input(r.profile)}}).ok);
}

TEST(Profile, RefusesImplausibleValuesNamingLayerValueAndRange) {
    const auto alpha = read(
        header() + "[[layer]]\nbottom = 100\ntheta_r = 0.078\ntheta_s = 0.43\nalpha = 3.6\nn = 1.56\nks = 24.96\n");
    EXPECT_EQ(
        alpha.error,
        "layer 1: alpha 3.6 1/cm is outside the plausible range 0.0001 to 1 1/cm (in 1/m? say alpha_unit = \"1/m\")");
    const auto k0 = read(header() + "[[layer]]\nbottom = 100\nclass = \"loam\"\nk0 = 0.001\n");
    EXPECT_NE(k0.error.find("layer 1: k0 0.001 cm/day"), std::string::npos) << k0.error;
    EXPECT_NE(read(header() + "[[layer]]\nbottom = 100\nclass = \"loam\"\n[[layer]]\nbottom = 80\nclass = \"clay\"\n")
                  .error.find("layer 2: bottom 80 cm is not below"),
              std::string::npos);
    EXPECT_NE(read(header(3) + "[[layer]]\nbottom = 100\nclass = \"loam\"\n").error.find("lsin 3"), std::string::npos);
    EXPECT_NE(read(header() + "[[layer]]\nbottom = 100\nclass = \"loam\"\nfit = \"x.json\"\n")
                  .error.find("exactly one source"),
              std::string::npos);
    EXPECT_NE(read(header() + "[[layer]]\nbottom = 100\nfit = \"missing.json\"\n").error.find("cannot read"),
              std::string::npos);
    EXPECT_NE(read("title = \"x\"\ngadepth = \n").error.find("line 2"), std::string::npos);
    // A title over two lines would shift every record of the main input file.
    EXPECT_NE(read("title = \"two\\nlines\"\ngadepth = 30\nrootdepth = 30\n[[layer]]\nbottom = 100\nclass = \"loam\"\n")
                  .error.find("line break"),
              std::string::npos);
}

TEST(InputPlausibility, WarnsOfUnitMistakes) {
    const auto kpa = check_main_input(
        "Loam in kPa\r\n1 0\r\n6 1.0 30.0\r\n0.43 0\r\n0.40 10\r\n0.33 33\r\n0.25 100\r\n"
        "0.18 500\r\n0.12 1500\r\n30 30 1\r\n");
    ASSERT_TRUE(kpa.ok()) << kpa.error;
    ASSERT_EQ(kpa.warnings.size(), 1u);
    EXPECT_NE(kpa.warnings[0].find("look like kPa"), std::string::npos);

    const auto vg = check_main_input(
        "x\n2 1\n30 0.078 0.43 3.6 1.56 24.96 24.96 0.5\n80 0.065 0.41 0.075 1.89 4.42 4.42 0.5\n30 30 1\n");
    ASSERT_TRUE(vg.ok()) << vg.error;
    ASSERT_EQ(vg.warnings.size(), 2u);
    EXPECT_NE(vg.warnings[0].find("layer 1: alpha 3.6"), std::string::npos);
    EXPECT_NE(vg.warnings[1].find("layer 2: Ks 4.42 cm/day is low"), std::string::npos);

    const auto day = check_main_input("x\n1 0\n3 106 100\n0.41 0\n0.30 30\n0.10 1000\n30 30 1\n");
    ASSERT_EQ(day.warnings.size(), 1u);
    EXPECT_NE(day.warnings[0].find("KSAT 106 cm/hr"), std::string::npos);
}

TEST(InputPlausibility, LeavesTheBundledExamplesAlone) {
    for (const char* name : {"measured_loam.dat", "vg_layered.dat", "vg_nine_layers.dat"}) {
        std::ifstream in(std::string(EXAMPLES_DIR) + "/soils/" + name, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const auto r = check_main_input(text);
        EXPECT_TRUE(r.ok()) << name << ": " << r.error;
        EXPECT_TRUE(r.warnings.empty()) << name << ": " << r.warnings.front();
    }
    EXPECT_FALSE(check_main_input("title\n2 1\n30 0.078 0.43\n").ok());
}

}  // namespace
}  // namespace soildata
