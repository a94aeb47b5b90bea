// Whole batches of the drainprep command on copies of the examples, run as
// a user runs them: exit statuses, a mixed batch read back from its JSON
// summary, the refusals that leave every file untouched, the pages of one
// site named apart, and an interrupted batch.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>

#include "command_folder.h"

namespace fs = std::filesystem;

namespace {

using command_test::Ran;

class Batch : public command_test::CommandFolder {
  protected:
    void copy(const std::string& example, const std::string& to) const {
        fs::create_directories((dir_ / to).parent_path());
        fs::copy_file(fs::path(EXAMPLES_DIR) / example, dir_ / to, fs::copy_options::overwrite_existing);
    }
    bool exists(const std::string& name) const { return fs::exists(dir_ / name); }
    // Every file under the folder with its size and time.
    std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> listing() const {
        std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> m;
        for (const auto& e : fs::recursive_directory_iterator(dir_))
            if (e.is_regular_file()) m[e.path().string()] = {e.file_size(), e.last_write_time()};
        return m;
    }
};

TEST_F(Batch, ExitStatusesOfUsageErrors) {
    copy("soils/vg_layered.dat", "a/soil.dat");
    const auto before = listing();
    for (const char* args : {"", "soil run", "soil run -j 0 a/soil.dat", "soil run --bogus a/soil.dat", "weather run",
                             "weather run --manifest nosuch", "soil run --json no/such/s.json a/soil.dat"})
        EXPECT_EQ(run(args).status, 2) << args;
    write("M", "# stations\n\ntemps.dat TP DF\n");
    const Ran bad = run("weather run --manifest M");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.out.find("M:3: METCONV takes INFILE TYPE UNITS STA [NHR BEGHR], not 3 arguments"), std::string::npos)
        << bad.out;
    EXPECT_EQ(listing().size(), before.size() + 1);  // the manifest only
    EXPECT_EQ(run("--help").status, 0);
    EXPECT_EQ(run("help soil run").status, 0);
}

TEST_F(Batch, MixedSoilsRunOnReadBackFromTheSummary) {
    copy("soils/vg_layered.dat", "s1/soil.dat");
    copy("soils/measured_loam.dat", "s2/loam.dat");
    write("s3/bad.dat", "a title\n");
    const Ran r = run("soil run -j 2 --pages --json out.json s1/soil.dat s2/loam.dat s3/bad.dat s4/none.dat");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("s3/bad.dat: failed: ERROR: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("4 runs: 2 ok, 2 failed; "), std::string::npos) << r.out;

    const nlohmann::json j = json("out.json");
    EXPECT_EQ(j["command"], "soil run");
    EXPECT_EQ(j["summary"]["ok"], 2);
    EXPECT_EQ(j["summary"]["failed"], 2);
    ASSERT_EQ(j["runs"].size(), 4u);
    const auto& good = j["runs"][0];
    EXPECT_EQ(good["arguments"], nlohmann::json::array({"s1/soil.dat"}));
    EXPECT_EQ(good["outcome"], "ok");
    EXPECT_EQ(good["log_record"], " NOERROR: Program terminated normally");
    EXPECT_EQ(good["files"].size(), 10u);  // log, eight outputs, page
    EXPECT_EQ(good["page"]["file"], "s1/soil.SIN.html");
    // The page's own list of checks, and its warnings as the page counts them.
    std::ifstream page(dir_ / "s1/soil.SIN.html");
    const std::string html{std::istreambuf_iterator<char>(page), {}};
    size_t listed = 0;
    for (size_t at = 0; (at = html.find("<li class=\"", at)) != std::string::npos; ++at) ++listed;
    int warnings = 0;
    for (const auto& c : good["page"]["checks"]) warnings += c["level"] == "warning" || c["level"] == "failed";
    EXPECT_EQ(listed, good["page"]["checks"].size() + static_cast<size_t>(warnings));
    EXPECT_EQ(good["page"]["warnings"], warnings);
    EXPECT_EQ(j["summary"]["need_a_look"], warnings > 0 ? 2 : 0);

    for (int k : {2, 3}) {
        EXPECT_EQ(j["runs"][k]["outcome"], "failed");
        EXPECT_FALSE(j["runs"][k]["ok"]);
    }
    EXPECT_EQ(j["runs"][2]["log_record"].get<std::string>().rfind(" ERROR: ", 0), 0u) << j["runs"][2];
    // No folder, no log: the console says why.
    EXPECT_TRUE(j["runs"][3]["log_record"].is_null());
    EXPECT_NE(j["runs"][3]["reason"].get<std::string>().find("PEDOPRE wrote no log"), std::string::npos);
    EXPECT_FALSE(exists("s1/soil.html"));
}

TEST_F(Batch, EveryClashIsRefusedAndNothingWritten) {
    copy("soils/vg_layered.dat", "a/one.dat");
    copy("soils/measured_loam.dat", "a/two.dat");
    copy("soils/vg_layered.dat", "b/soil.dat");
    copy("weather/temps.dat", "w/site07.temps.dat");
    copy("weather/daily.dat", "w/site07.rain.dat");
    copy("weather/temps.dat", "w/temps.dat");
    write("w/M", "site07.temps.dat TP DF 1\r\nsite07.rain.dat DR MM 1 5 20\r\n");
    write("w/N", "temps.dat TP DF 1\nlink.dat ET MM 1\n");
    fs::create_symlink("temps.TEM", dir_ / "w/link.dat");
    const auto before = listing();
    const std::pair<const char*, const char*> cases[] = {
        {"soil run a/one.dat a/two.dat", "a/one.dat and a/two.dat both write a/PEDOPRE.LOG"},
        {"soil run b/soil.dat a/../b/soil.dat", "b/soil.dat and a/../b/soil.dat both write b/PEDOPRE.LOG"},
        {"soil run --json b/soil.SIN b/soil.dat", "the summary b/soil.SIN is a file of b/soil.dat"},
        {"weather run --manifest w/M",
         "line 1 (site07.temps.dat TP DF 1) and line 2 (site07.rain.dat DR MM 1 5 20) "
         "both write w/site07.LOG"},
        {"weather run --manifest w/N",
         "line 2 (link.dat ET MM 1) reads w/link.dat, which line 1 (temps.dat TP DF 1) "
         "writes"},
    };
    for (auto [args, line] : cases) {
        const Ran r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.out.find(line), std::string::npos) << args << "\n" << r.out;
    }
    EXPECT_EQ(listing(), before);
}

TEST_F(Batch, ASiteSoilAndWeatherPagesStandApart) {
    copy("soils/vg_layered.dat", "site07/site07.dat");
    copy("weather/temps.dat", "site07/site07.temps.dat");
    copy("weather/daily.dat", "site07/rain.dat");
    write("site07/COMMANDS", "# site 07\nsite07.temps.dat TP DF 7\nrain.dat DR MM 7 5 20\n");
    EXPECT_EQ(run("soil run --pages site07/site07.dat").status, 0);
    const Ran w = run("weather run --pages --json w.json --manifest site07/COMMANDS");
    EXPECT_EQ(w.status, 0) << w.out;
    for (const char* page : {"site07/site07.SIN.html", "site07/site07.TEM.html", "site07/rain.RAI.html"})
        EXPECT_TRUE(exists(page)) << page;
    EXPECT_FALSE(exists("site07/site07.html"));
    // Names in the manifest are the manifest folder's.
    EXPECT_EQ(json("w.json")["runs"][0]["files"][0], "site07/site07.LOG");
}

TEST_F(Batch, AnEarlierRunsFilesAreNotTheOutcomeOfARunThatWroteNone) {
    // METCONV stops on the console, with no log, when a name is longer
    // than 256 characters; an older log of that name says NOERROR.
    const std::string folder(120, 'd');
    const std::string name = folder + "/" + folder + "/" + std::string(20, 't');
    copy("weather/temps.dat", name + ".dat");
    write(name + ".LOG", "*NOERROR: Program terminated normally\r\n");
    write(name + ".TEM", "an earlier run's weather file\r\n");
    write("M", name + ".dat TP DF 1\n");
    const Ran r = run("weather run --manifest M --json s.json");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find(": failed: METCONV wrote no log"), std::string::npos) << r.out;
    EXPECT_TRUE(json("s.json")["runs"][0]["files"].empty());
}

TEST_F(Batch, AnInterruptedBatchEndsItsRunsAndSaysWhichFinished) {
    // drainprep runs the programs installed beside it: here a PEDOPRE that
    // stays in its run until it is ended.
    fs::create_directories(dir_ / "bin");
    fs::copy_file(DRAINPREP, dir_ / "bin/drainprep");
    write("bin/PEDOPRE",
          "#!/bin/sh\nd=$(dirname \"$1\")\necho 'ERROR: Run did not finish' > \"$d/PEDOPRE.LOG\"\n"
          "exec sleep 60\n");
    fs::permissions(dir_ / "bin/PEDOPRE", fs::perms::owner_all);
    for (const char* s : {"a", "b", "c"}) copy("soils/vg_layered.dat", std::string(s) + "/soil.dat");
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::chdir(dir_.c_str());
        ::freopen("/dev/null", "w", stdout);
        ::execl("bin/drainprep", "drainprep", "soil", "run", "-j", "1", "--json", "s.json", "a/soil.dat", "b/soil.dat",
                "c/soil.dat", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    while (!exists("a/PEDOPRE.LOG") && std::chrono::steady_clock::now() - start < std::chrono::seconds(20))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    const nlohmann::json j = json("s.json");
    EXPECT_EQ(j["interrupted_by"], "SIGTERM");
    EXPECT_EQ(j["runs"][0]["outcome"], "interrupted");
    EXPECT_EQ(j["runs"][0]["log_record"], "ERROR: Run did not finish");
    EXPECT_EQ(j["summary"]["not_started"], 2);
    EXPECT_FALSE(exists("b/PEDOPRE.LOG"));
}

}  // namespace
