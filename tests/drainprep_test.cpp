// The library: runs on the disk, the typed soil tables against the files of
// the same run, runs on many threads at once, and the routine name each soil
// step gives the floating-point trap.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/connection.h"
#include "common/layout.h"
#include "common/record_read.h"
#include "drainprep/drainprep.h"
#include "pedopre_test_files.h"
#include "soilprep/mq_file.h"
#include "soilprep/out_file.h"
#include "soilprep/upq_file.h"
#include "soilprep/wtd_file.h"

namespace fs = std::filesystem;
using pedopre_test::read_file;
using pedopre_test::TempDir;

namespace {

std::string example(const std::string& name) {
    return read_file(std::string(EXAMPLES_DIR) + "/soils/" + name);
}

// Soils of both forms drawn from texture-class ranges, and measured points
// that hurt: out of order, a flat curve, conductivities the files cannot hold.
std::vector<std::string> generated_soils(unsigned seed, int count) {
    struct Texture {
        float theta_r, theta_s, alpha, n, ks;
    };
    const Texture classes[] = {{0.045f, 0.43f, 0.145f, 2.68f, 712.8f}, {0.065f, 0.41f, 0.075f, 1.89f, 106.1f},
                               {0.078f, 0.43f, 0.036f, 1.56f, 24.96f}, {0.067f, 0.45f, 0.020f, 1.41f, 10.8f},
                               {0.095f, 0.41f, 0.019f, 1.31f, 6.24f},  {0.068f, 0.38f, 0.008f, 1.09f, 4.8f}};
    std::mt19937 rng(seed);
    auto uniform = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    std::vector<std::string> soils;
    char buf[256];
    for (int i = 0; i < count; ++i) {
        const int nl = 1 + pick(9);
        std::string s = "Generated soil " + std::to_string(i) + "\n" + std::to_string(nl);
        float z = 0.0f;
        if (i % 2 == 0) {
            s += " 1\n";
            for (int l = 0; l < nl; ++l) {
                const Texture& t = classes[pick(6)];
                z += static_cast<float>(5 + 5 * pick(10));
                const float k0 = i % 10 == 4 ? 2.0e6f : t.ks * uniform(0.2f, 1.8f);
                std::snprintf(buf, sizeof buf, "%g %.4f %.4f %.5f %.4f %.3f %.3f 0.5\n", z,
                              t.theta_r * uniform(0.8f, 1.2f), t.theta_s * uniform(0.95f, 1.05f),
                              t.alpha * uniform(0.8f, 1.2f), std::max(1.05f, t.n * uniform(0.9f, 1.1f)),
                              t.ks * uniform(0.5f, 1.5f), k0);
                s += buf;
            }
        } else {
            s += " 0\n";
            const float heads[] = {0, 10, 30, 100, 330, 1000, 3000, 15000};
            for (int l = 0; l < nl; ++l) {
                z += static_cast<float>(10 + 10 * pick(5));
                const int n = 2 + pick(6);
                std::snprintf(buf, sizeof buf, "%d %g %g\n", n, static_cast<double>(uniform(0.01f, 20.0f)), z);
                s += buf;
                float theta = uniform(0.3f, 0.5f);
                for (int j = 0; j < n; ++j) {
                    // Every seventh soil has a point wetter than the one before it.
                    const float step = (i % 7 == 3 && j == 1) ? -0.02f : uniform(0.0f, 0.06f);
                    theta -= step;
                    std::snprintf(buf, sizeof buf, "%.3f %g ", static_cast<double>(theta),
                                  static_cast<double>(heads[j] * (i % 3 == 0 ? -1.0f : 1.0f)));
                    s += buf;
                }
                s += "\n";
            }
        }
        s += std::to_string(10 + 10 * pick(3)) + " " + std::to_string(15 + 15 * pick(4)) + " " +
             std::to_string(1 + pick(nl)) + "\n";
        soils.push_back(s);
    }
    return soils;
}

// Equal as floats, NaN equal to NaN.
bool same(float a, float b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

// A run's file, read through `read` from its text; false when it is missing.
template <typename Read>
bool read_text(const drainprep::Files& files, const std::string& name, Read read) {
    auto it = files.find(name);
    if (it == files.end()) return false;
    auto c = common::Connection::in_memory(1, name, it->second);
    return read(*c);
}

// The typed tables equal the files of the same run, read back with their
// layouts, table by table as far as the run got.
void expect_tables_equal_files(const std::string& input) {
    const drainprep::SoilTables t = drainprep::soil_tables(input);
    const drainprep::Outcome r = drainprep::pedopre({"soil.dat"}, {{"soil.dat", input}});
    ASSERT_EQ(t.ok, r.ok);
    ASSERT_EQ(t.log, r.log);

    soilcalc::MqTables mq;
    const bool mq_read = read_text(r.files, "soil.MQ", [&](common::Connection& c) {
        return soilprep::read_mq(c, mq, soilcalc::MqColumns::All).failed == soilcalc::MqPart::Done;
    });
    if (t.ok) {
        ASSERT_TRUE(mq_read);
    }
    if (mq_read) {
        ASSERT_EQ(t.layers.size(), static_cast<size_t>(mq.nl));
        for (int32_t l = 0; l < mq.nl; ++l) {
            const auto& layer = t.layers[static_cast<size_t>(l)];
            const soilcalc::MqLayer& m = mq.layers[static_cast<size_t>(l)];
            ASSERT_EQ(layer.k_cond.size(), static_cast<size_t>(m.rows));
            for (int32_t j = 0; j < m.rows; ++j) {
                EXPECT_TRUE(same(layer.k_theta[j], m.theta[j]));
                EXPECT_TRUE(same(layer.k_head[j], m.head[j]));
                EXPECT_TRUE(same(layer.k_cond[j], m.cond[j]));
            }
            EXPECT_TRUE(same(layer.wetting_front_suction, mq.sf[static_cast<size_t>(l)]));
        }
    }

    soilprep::WtdListing wtd;
    if (read_text(r.files, "soil.WTD",
                  [&](common::Connection& c) { return soilprep::read_wtd(c, wtd) == soilprep::WtdPart::Done; })) {
        ASSERT_EQ(t.drainage.size(), static_cast<size_t>(soilprep::kWtdRows));
        for (int k = 0; k < soilprep::kWtdRows; ++k) {
            EXPECT_TRUE(same(t.drainage[k].depth, wtd.depth[k]));
            EXPECT_TRUE(same(t.drainage[k].volume, wtd.volume[k]));
            EXPECT_TRUE(same(t.drainage[k].porosity, wtd.porosity[k]));
        }
        // The characteristic of each layer, as the listing echoes it.
        const std::string& text = r.files.at("soil.WTD");
        static const common::Layout kPoint("(' ',F29.1,F19.3)");
        for (size_t l = 0; l < t.layers.size(); ++l) {
            const std::string caption = "LAYER=" + std::string(l + 1 < 10 ? " " : "") + std::to_string(l + 1);
            const size_t at = text.find(caption);
            ASSERT_NE(at, std::string::npos);
            auto c = common::Connection::in_memory(1, "wtd", text.substr(text.find("THETA", at) + 7));
            for (size_t j = 0; j < t.layers[l].suction.size(); ++j) {
                float h = 0.0f, theta = 0.0f;
                ASSERT_EQ(common::read_record(*c, kPoint, {h, theta}), common::ReadStatus::Done);
                EXPECT_TRUE(same(t.layers[l].suction[j], h));
                EXPECT_TRUE(same(t.layers[l].theta[j], theta));
            }
        }
    } else {
        EXPECT_TRUE(t.drainage.empty());
    }

    soilprep::UpqFluxes upq;
    if (read_text(r.files, "soil.UPQ", [&](common::Connection& c) { return soilprep::read_upq(c, upq); })) {
        ASSERT_EQ(t.upward_flux.size(), static_cast<size_t>(soilprep::kUpqFluxes));
        for (int k = 0; k < soilprep::kUpqFluxes; ++k) {
            EXPECT_TRUE(same(t.upward_flux[k].depth, upq.depth[k]));
            EXPECT_TRUE(same(t.upward_flux[k].flux, upq.flux[k]));
        }
    }

    soilprep::OutReport out;
    if (read_text(r.files, "soil.OUT", [&](common::Connection& c) {
            return soilprep::read_out_report(c, out) == soilprep::OutPart::Done;
        })) {
        ASSERT_EQ(t.green_ampt.size(), static_cast<size_t>(soilprep::kOutGreenAmpt));
        for (int i = 0; i < soilprep::kOutGreenAmpt; ++i) {
            EXPECT_TRUE(same(t.green_ampt[i].depth, out.ga_depth[i]));
            EXPECT_TRUE(same(t.green_ampt[i].a, out.ga_a[i]));
            EXPECT_TRUE(same(t.green_ampt[i].b, out.ga_b[i]));
        }
    }

    // The soil input file, record by record through its layouts.
    if (!t.ok) return;
    auto sin = common::Connection::in_memory(1, "soil.SIN", r.files.at("soil.SIN"));
    static const common::Layout kTitle("(A80)"), kCounts("(2I2)"), kPoint("(F10.3,F10.0)"), kRow("(F10.1,F10.3,F10.4)"),
        kGa("(F10.1,F10.2,F10.2)");
    std::string title(80, ' ');
    int32_t npts = 0, rows = 0;
    ASSERT_EQ(common::read_record(*sin, kTitle, {title}), common::ReadStatus::Done);
    EXPECT_EQ(t.sin.title, title);
    ASSERT_EQ(common::read_record(*sin, kCounts, {npts, rows}), common::ReadStatus::Done);
    ASSERT_EQ(t.sin.theta.size(), static_cast<size_t>(npts));
    float a = 0.0f, b = 0.0f, c = 0.0f;
    for (int32_t j = 0; j < npts; ++j) {
        ASSERT_EQ(common::read_record(*sin, kPoint, {a, b}), common::ReadStatus::Done);
        EXPECT_TRUE(same(t.sin.theta[j], a) && same(t.sin.head[j], b));
    }
    for (int32_t i = 0; i < rows; ++i) {
        ASSERT_EQ(common::read_record(*sin, kRow, {a, b, c}), common::ReadStatus::Done);
        EXPECT_TRUE(same(t.sin.depth[i], a) && same(t.sin.volume[i], b) && same(t.sin.upflux[i], c));
    }
    std::string count(2, ' ');
    ASSERT_EQ(common::read_record(*sin, common::Layout("(A2)"), {count}), common::ReadStatus::Done);
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(common::read_record(*sin, kGa, {a, b, c}), common::ReadStatus::Done);
        EXPECT_TRUE(same(t.sin.ga_depth[i], a) && same(t.sin.ga_a[i], b) && same(t.sin.ga_b[i], c));
    }
}

TEST(SoilTables, EqualTheFilesOfTheSameRunForEveryExample) {
    for (const char* name : {"measured_loam.dat", "vg_layered.dat", "vg_nine_layers.dat"}) {
        SCOPED_TRACE(name);
        const std::string input = example(name);
        expect_tables_equal_files(input);
        EXPECT_TRUE(drainprep::soil_tables(input).ok);
    }
}

TEST(SoilTables, EqualTheFilesOfTheSameRunForGeneratedSoils) {
    int ok = 0, failed = 0;
    for (const std::string& input : generated_soils(11, 160)) {
        SCOPED_TRACE(input);
        expect_tables_equal_files(input);
        (drainprep::soil_tables(input).ok ? ok : failed) += 1;
    }
    // The set holds both outcomes.
    EXPECT_GT(ok, 40);
    EXPECT_GT(failed, 5);
}

TEST(SoilTables, ARefusedSoilGivesItsLogRecordAndNoTables) {
    const drainprep::SoilTables t =
        drainprep::soil_tables("Title\n1 0\n3 1.5 100\n0.43 0 0.45 10 0.20 1000\n30 30 1\n");
    EXPECT_FALSE(t.ok);
    EXPECT_EQ(t.log.substr(0, 72), " ERROR: Layer 1 water content rises with suction from point 1 (0.43 at 0");
    EXPECT_TRUE(t.drainage.empty());
    EXPECT_TRUE(t.sin.depth.empty());
    EXPECT_EQ(drainprep::soil_tables("", "x/mine.dat").log, " ERROR: Line 1 (title) missing in file x/mine.dat");
    // A name whose files PEDOPRE could not name is refused as the program
    // refuses it, not cut to fit.
    const std::string name = std::string(253, 'a') + ".d";  // fits; its .WTD does not
    const std::string text = "Title\n1 0\n3 1.5 100\n0.45 0 0.35 100 0.25 15000\n30 30 1\n";
    const drainprep::Outcome run = drainprep::pedopre({name}, {{name, text}});
    const drainprep::SoilTables refused = drainprep::soil_tables(text, name);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.log, run.log);
}

// The on-disk calls, in a folder of their own.
class OnDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        old_ = fs::current_path();
        fs::current_path(dir_.path());
    }
    void TearDown() override { fs::current_path(old_); }
    TempDir dir_;
    fs::path old_;
};

TEST_F(OnDisk, RunsGiveTheFilesTheyWroteAsTheRunInMemoryDoes) {
    const std::string input = example("vg_layered.dat");
    pedopre_test::write_file("soil.dat", input);
    const drainprep::Outcome disk = drainprep::pedopre_on_disk({"soil.dat"});
    const drainprep::Outcome memory = drainprep::pedopre({"soil.dat"}, {{"soil.dat", input}});
    EXPECT_TRUE(disk.ok);
    EXPECT_EQ(disk.log, memory.log);
    EXPECT_EQ(disk.console, memory.console);
    drainprep::Files written = memory.files;
    written.erase("soil.dat");  // the input is not among the files written
    EXPECT_EQ(disk.files, written);

    pedopre_test::write_file("rain.dat", "1996 1 12.5\n1996 2 0\n");
    const drainprep::Outcome rain = drainprep::metconv_on_disk({"rain.dat", "DR", "MM", "4711", "5", "20"});
    EXPECT_TRUE(rain.ok);
    EXPECT_EQ(rain.files.count("rain.RAI"), 1u);
    EXPECT_EQ(rain.files.count("rain.LOG"), 1u);
}

TEST_F(OnDisk, AFileThatCouldNotBeWrittenIsNotAmongTheFiles) {
    pedopre_test::write_file("soil.dat", example("measured_loam.dat"));
    fs::create_directory("soil.MIS");
    const drainprep::Outcome r = drainprep::pedopre_on_disk({"soil.dat"});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.log, " ERROR: Cannot open file soil.MIS: Is a directory");
    EXPECT_EQ(r.files.count("soil.MIS"), 0u);
    EXPECT_EQ(r.files.count("PEDOPRE.LOG"), 1u);

    const drainprep::Outcome missing = drainprep::metconv_on_disk({"none.dat", "TP", "DF", "7"});
    EXPECT_FALSE(missing.ok);
}

// Every outcome on many threads equals the same run alone.
TEST(Threads, EightThreadsGiveEveryRunItsOwnOutcome) {
    std::vector<std::string> soils = {example("measured_loam.dat"), example("vg_nine_layers.dat"),
                                      "T\n1 0\n3 1.5 100\n0.43 0 0.45 10 0.20 1000\n30 30 1\n",  // refused
                                      "T\n1 1\n100 0.05 0.45 0.02 1.0 10 10 0.5\n30 30 1\n",     // refused
                                      "T\n1 0\n3 1.5 100.0\n0.40 0 0.30 100 0.20 1000\n30.0 30.0 2\n"};
    for (const std::string& s : generated_soils(5, 11)) soils.push_back(s);
    struct Alone {
        drainprep::Outcome text;
        drainprep::SoilTables tables;
    };
    std::vector<Alone> alone;
    for (const std::string& s : soils)
        alone.push_back({drainprep::pedopre({"soil.dat"}, {{"soil.dat", s}}), drainprep::soil_tables(s)});
    const std::vector<std::string> rain_args = {"rain.dat", "DR", "MM", "4711", "5", "20"};
    const drainprep::Files rain_files = {{"rain.dat", "1996 1 12.5\n1996 2 0\n1996 3 x\n"}};
    const drainprep::Outcome rain_alone = drainprep::metconv(rain_args, rain_files);

    std::vector<int> mismatches(8, 0);
    std::vector<std::thread> threads;
    for (int k = 0; k < 8; ++k) {
        threads.emplace_back([&, k] {
            for (int round = 0; round < 6; ++round) {
                for (size_t i = 0; i < soils.size(); ++i) {
                    const size_t at = (i + static_cast<size_t>(k)) % soils.size();
                    const drainprep::Outcome r = drainprep::pedopre({"soil.dat"}, {{"soil.dat", soils[at]}});
                    const drainprep::SoilTables t = drainprep::soil_tables(soils[at]);
                    const Alone& a = alone[at];
                    if (r.log != a.text.log || r.ok != a.text.ok || r.console != a.text.console ||
                        r.files != a.text.files || t.log != a.tables.log || t.ok != a.tables.ok ||
                        t.drainage.size() != a.tables.drainage.size())
                        ++mismatches[static_cast<size_t>(k)];
                }
                const drainprep::Outcome w = drainprep::metconv(rain_args, rain_files);
                if (w.log != rain_alone.log || w.files != rain_alone.files || w.console != rain_alone.console)
                    ++mismatches[static_cast<size_t>(k)];
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(mismatches, std::vector<int>(8, 0));
}

// The name each step leaves for the trap: the step's own name, or the last
// routine a step entered (the spline and van Genuchten routines name
// themselves).
TEST(RoutineNames, EachStepGivesTheTrapItsName) {
    auto name = [] { return std::string(common::trim_right(soilcalc::routine_name())); };
    for (bool van_genuchten : {false, true}) {
        pedopre_test::StepFiles f(example(van_genuchten ? "vg_layered.dat" : "measured_loam.dat"));
        f.open({soilprep::Stream::Out, soilprep::Stream::Wtd, soilprep::Stream::Mis, soilprep::Stream::Mq,
                soilprep::Stream::Sav});
        std::vector<std::string> names;
        auto step = [&](const soilprep::SoilStop& s) {
            ASSERT_EQ(s.text, "");
            names.push_back(name());
        };
        step(soilprep::characteristic_step(f.input, f.names, &f.writer, f.run));
        step(soilprep::volume_step(&f.writer, f.run));
        soilcalc::set_routine("none");
        step(soilprep::conductivity_step(f.input, f.names, &f.writer, f.run));
        step(soilprep::upward_flux_step(f.input, f.names, &f.writer, f.run));
        step(soilprep::green_ampt_step(f.input, f.names, &f.writer, f.run));
        step(soilprep::sin_step(f.names, &f.writer, f.run));
        if (van_genuchten)
            EXPECT_EQ(names,
                      (std::vector<std::string>{"HYDK_GENUCHTEN", "WTVOLDRN", "none", "SPL3", "GRNAMPT", "MHINPUT"}));
        else
            EXPECT_EQ(names,
                      (std::vector<std::string>{"READSWCFILE", "WTVOLDRN", "MILNQRK", "SPL3", "GRNAMPT", "MHINPUT"}));
    }
}

}  // namespace
