// The soil-data subcommands run as a user runs them: their exit statuses
// (0 done, 1 failed, 2 refused), the refusal that names the line, and what
// each writes, on copies of the bundled lab sheet and profile.
#include <gtest/gtest.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "command_folder.h"

namespace fs = std::filesystem;

namespace {

using command_test::Ran;

class SoilData : public command_test::CommandFolder {
  protected:
    void SetUp() override {
        CommandFolder::SetUp();
        for (const char* f : {"lab_loam.csv", "lab_loam.json", "profile.toml"})
            fs::copy_file(fs::path(EXAMPLES_DIR) / "soil_data" / f, dir_ / f);
    }
};

TEST_F(SoilData, FitWritesTheBundledResultAndRefusesWhatItCannotRead) {
    const Ran fit = run("soil fit lab_loam.csv --json fit.json");
    ASSERT_EQ(fit.status, 0) << fit.out;
    const nlohmann::json got = json("fit.json"), bundled = json("lab_loam.json");
    for (const char* p : {"theta_r", "theta_s", "alpha", "n", "ks", "l"})
        EXPECT_NEAR(got[p]["value"].get<double>(), bundled[p]["value"].get<double>(),
                    1e-6 * std::abs(bundled[p]["value"].get<double>()) + 1e-9)
            << p;

    // Suction in kPa: the same points fit to the same curve in cm.
    write("kpa.csv", "head,theta\n0,0.43\n1,0.41\n3,0.36\n10,0.29\n33,0.24\n100,0.19\n1500,0.12\n");
    write("cm.csv", "head,theta\n0,0.43\n" + std::to_string(1 * 101.97162129779283) + ",0.41\n" +
                        std::to_string(3 * 101.97162129779283) + ",0.36\n" + std::to_string(10 * 101.97162129779283) +
                        ",0.29\n" + std::to_string(33 * 101.97162129779283) + ",0.24\n" +
                        std::to_string(100 * 101.97162129779283) + ",0.19\n" +
                        std::to_string(1500 * 101.97162129779283) + ",0.12\n");
    ASSERT_EQ(run("soil fit kpa.csv --head-unit kPa --json kpa.json").status, 0);
    ASSERT_EQ(run("soil fit cm.csv --json cm.json").status, 0);
    EXPECT_NEAR(json("kpa.json")["alpha"]["value"].get<double>(), json("cm.json")["alpha"]["value"].get<double>(),
                1e-5 * json("cm.json")["alpha"]["value"].get<double>());

    write("bad.csv", "head,theta\n0,0.43\n10,abc\n");
    const Ran bad = run("soil fit bad.csv");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.out.find("line 3"), std::string::npos) << bad.out;
    EXPECT_EQ(run("soil fit lab_loam.csv --fix n=abc").status, 2);
    EXPECT_EQ(run("soil fit missing.csv").status, 2);
}

TEST_F(SoilData, ClassPtfMakeAndCheckEndAsTheySay) {
    const Ran cls = run("soil class silt_loam");
    ASSERT_EQ(cls.status, 0) << cls.out;
    EXPECT_NE(cls.out.find("silt loam          0.067    0.45   0.020  1.41    10.80   0.450"), std::string::npos)
        << cls.out;
    EXPECT_EQ(run("soil class loamy_clay").status, 2);
    EXPECT_EQ(run("soil ptf --sand 40 --silt 40 --clay 30 --om 1 --bulk-density 1.5").status, 2);
    EXPECT_EQ(run("soil ptf --sand 40 --silt 40 --clay 20 --om 1 --bulk-density 1.5").status, 0);

    const Ran make = run("soil make profile.toml --out profile.dat");
    ASSERT_EQ(make.status, 0) << make.out;
    EXPECT_NE(make.out.find("(4 layers, van Genuchten form"), std::string::npos) << make.out;
    const Ran check = run("soil check profile.dat");
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_NE(check.out.find("profile.dat: 4 layers, van Genuchten form"), std::string::npos) << check.out;

    // Heads typed in kPa where the form takes cm: a warning, status 0.
    write("kpa.dat", "kPa soil\n1 0\n4 1.0 50\n0.45 0\n0.40 3.3\n0.30 33\n0.15 1500\n30 30 1\n");
    const Ran kpa = run("soil check kpa.dat");
    EXPECT_EQ(kpa.status, 0);
    EXPECT_NE(kpa.out.find("they look like kPa"), std::string::npos) << kpa.out;
    EXPECT_NE(kpa.out.find("1 layer, measured-points form, 1 warning\n"), std::string::npos) << kpa.out;
    EXPECT_EQ(run("soil check none.dat").status, 1);
}

}  // namespace
