// `drainprep weather import` run as a process: the exit status tells a
// script what happened (0 written, 1 import failed, 2 usage), and the JSON
// summary lists what the console lists.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class WeatherImportCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("weatherimport_command_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        std::ofstream(dir_ / "t.csv") << "date,tmax,tmin,rain\n2001-05-01,20,10,1\n2001-05-02,21,11,NA\n";
    }
    void TearDown() override { fs::remove_all(dir_); }

    int run(const std::string& args) {
        const std::string cmd = std::string(DRAINPREP_PROGRAM) + " weather import " + (dir_ / "t.csv").string() +
                                " --out " + dir_.string() + " --station 5 " + args + " >/dev/null 2>&1";
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string read(const std::string& name) {
        std::ifstream in(dir_ / name);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    fs::path dir_;
};

TEST_F(WeatherImportCommand, ExitStatusesAndSummary) {
    const std::string table =
        "--name s --date-column date --tmax-column tmax --tmin-column tmin --rain-column rain --missing NA "
        "--temperature-unit C --rain-unit mm --json " +
        (dir_ / "s.json").string();
    EXPECT_EQ(run(table), 1);  // missing rain: no rain file
    EXPECT_FALSE(fs::exists(dir_ / "s_dr.RAI"));
    EXPECT_TRUE(fs::exists(dir_ / "s_tp.TEM"));
    const std::string json = read("s.json");
    EXPECT_NE(json.find("\"status\": 1"), std::string::npos);
    EXPECT_NE(json.find("\"kind\": \"missing\""), std::string::npos);
    EXPECT_EQ(run(table + " --missing-rain dry"), 0);
    EXPECT_TRUE(fs::exists(dir_ / "s_dr.RAI"));
    EXPECT_NE(read("s.json").find("\"kind\": \"dry-assumed\""), std::string::npos);
    // Usage: units not declared, a name the converter would cut, a latitude
    // out of range, PET without a latitude.
    EXPECT_EQ(run("--name s --date-column date --tmax-column tmax --tmin-column tmin"), 2);
    EXPECT_EQ(run("--name s.x --date-column date --rain-column rain --rain-unit mm"), 2);
    EXPECT_EQ(run(table + " --pet hargreaves --latitude 91"), 2);
    EXPECT_EQ(run(table + " --pet hargreaves"), 2);
    // A refusal of the source: the import failed.
    EXPECT_EQ(run("--name s --date-column day --rain-column rain --rain-unit mm"), 1);
}

}  // namespace
