// What a caller finds beside its inputs when the programs run as a batch
// script runs them: interrupted, rerun after a failure, on names that are
// symbolic links, several at once on the same names, on a full disk. Each
// test runs the real programs as separate processes.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void put(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
}

// Starts a program in `dir` with its output going to `out` (thrown away by
// default); returns its pid.
// `prepare`, when given, runs in the new process before the program starts
// (limits, another user, another standard output).
pid_t start(const char* program, const std::vector<std::string>& args, const fs::path& dir,
            const char* out = "/dev/null", const std::function<void()>& prepare = {}) {
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(dir.c_str()) != 0) ::_exit(127);
        if (!std::freopen(out, "w", stdout)) ::_exit(127);
        if (prepare) prepare();
        std::vector<char*> argv{const_cast<char*>(program)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program, argv.data());
        ::_exit(127);
    }
    return pid;
}

int finish(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

void run(const char* program, const std::vector<std::string>& args, const fs::path& dir) {
    ASSERT_EQ(finish(start(program, args, dir)), 0);
}

// Every file of a folder, by name.
std::map<std::string, std::string> contents(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir)) files[e.path().filename().string()] = slurp(e.path());
    return files;
}

bool hidden_files(const fs::path& dir) {
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string()[0] == '.') return true;
    return false;
}

const std::string kMetconvNormal = "*NOERROR: Program terminated normally" + std::string(256 - 37, ' ') + "\r\n";
const std::string kMetconvUnfinished = "ERROR: Run did not finish" + std::string(256 - 25, ' ') + "\r\n";
const std::string kPedopreNormal = " NOERROR: Program terminated normally\r\n";

class ProgramFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("programs_files_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    // A soil of the examples, copied into the folder under `name`.
    void soil(const char* example, const std::string& name) {
        fs::copy_file(fs::path(EXAMPLES_DIR) / "soils" / example, dir_ / name);
    }
    fs::path dir_;
};

std::string soil_name(int k) {
    char name[16];
    std::snprintf(name, sizeof name, "s%d.dat", k);
    return name;
}

// Readings every quarter of an hour over `years` years: a long series.
std::string hourly_series(int years) {
    std::string s;
    char line[64];
    for (int y = 0; y < years; ++y)
        for (int d = 1; d <= 365; ++d)
            for (int q = 1; q <= 96; ++q) {
                std::snprintf(line, sizeof line, "%d %.5f 0.01\n", 1950 + y, d + q / 96.0);
                s += line;
            }
    return s;
}

TEST_F(ProgramFiles, HelpAndVersionPrintAndTouchNoFile) {
    const fs::path out = fs::temp_directory_path() / ("programs_files_out_" + std::to_string(::getpid()));
    for (const char* program : {PEDOPRE_PROGRAM, METCONV_PROGRAM}) {
        const std::string name = fs::path(program).filename().string();
        ASSERT_EQ(finish(start(program, {"--version"}, dir_, out.c_str())), 0);
        EXPECT_EQ(slurp(out), name + " (drainprep) 1.0.0\r\n");
        ASSERT_EQ(finish(start(program, {"--help"}, dir_, out.c_str())), 0);
        EXPECT_EQ(slurp(out).rfind(" USAGE: " + name + " <INFILE>", 0), 0u) << slurp(out);
    }
    fs::remove(out);
    EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(ProgramFiles, AnInterruptedRunNeverLeavesSuccessOrAHalfOutput) {
    put(dir_ / "big.dat", hourly_series(12));
    run(METCONV_PROGRAM, {"big.dat", "HR", "IN", "1"}, dir_);
    ASSERT_EQ(slurp(dir_ / "big.LOG"), kMetconvNormal);
    const std::string complete = slurp(dir_ / "big.RAI");

    // Killed while it writes its rain file, by SIGTERM and by SIGKILL.
    for (int sig : {SIGTERM, SIGKILL}) {
        SCOPED_TRACE(sig);
        bool caught = false;
        for (int attempt = 0; attempt < 20 && !caught; ++attempt) {
            pid_t pid = start(METCONV_PROGRAM, {"big.dat", "HR", "IN", "2"}, dir_);
            // Wait until a temporary rain file has grown, then strike.
            const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (std::chrono::steady_clock::now() < give_up && !caught) {
                for (const auto& e : fs::directory_iterator(dir_)) {
                    std::error_code ec;
                    const std::string n = e.path().filename().string();
                    if (n.rfind(".big.RAI.", 0) == 0 && fs::file_size(e.path(), ec) > 4096 && !ec) {
                        caught = ::kill(pid, sig) == 0;
                        break;
                    }
                }
            }
            const int status = finish(pid);
            if (caught && !(WIFSIGNALED(status) && WTERMSIG(status) == sig)) caught = false;  // it had ended
        }
        ASSERT_TRUE(caught) << "the run always ended before it could be interrupted";
        EXPECT_EQ(slurp(dir_ / "big.LOG"), kMetconvUnfinished);
        EXPECT_EQ(slurp(dir_ / "big.RAI"), complete);   // the earlier whole file, never a half one
        EXPECT_EQ(hidden_files(dir_), sig == SIGKILL);  // a killed run cannot clean up
    }
    // The next run removes what the killed one left.
    run(METCONV_PROGRAM, {"big.dat", "HR", "IN", "1"}, dir_);
    EXPECT_EQ(slurp(dir_ / "big.LOG"), kMetconvNormal);
    EXPECT_EQ(slurp(dir_ / "big.RAI"), complete);
    EXPECT_FALSE(hidden_files(dir_));
}

TEST_F(ProgramFiles, AFailedRerunLeavesOnlyItsOwnOutputs) {
    soil("measured_loam.dat", "soil.dat");
    run(PEDOPRE_PROGRAM, {"soil.dat"}, dir_);
    ASSERT_EQ(slurp(dir_ / "PEDOPRE.LOG"), kPedopreNormal);
    ASSERT_TRUE(fs::exists(dir_ / "soil.SIN"));
    // The same soil with a reference level below the profile: the upward
    // flux cannot be fitted, so the run stops before the soil input file.
    std::string input = slurp(dir_ / "soil.dat");
    input.replace(input.rfind("30"), 2, "9990");
    put(dir_ / "soil.dat", input);
    run(PEDOPRE_PROGRAM, {"soil.dat"}, dir_);
    EXPECT_EQ(slurp(dir_ / "PEDOPRE.LOG").substr(0, 8), " ERROR: ");
    EXPECT_FALSE(fs::exists(dir_ / "soil.SIN"));
    EXPECT_TRUE(fs::exists(dir_ / "soil.UPQ"));  // written by the failed run
    EXPECT_FALSE(hidden_files(dir_));
}

TEST_F(ProgramFiles, LinksAtOutputNamesAreReplacedNeverFollowed) {
    soil("vg_layered.dat", "clean.dat");
    run(PEDOPRE_PROGRAM, {"clean.dat"}, dir_);
    soil("vg_layered.dat", "soil.dat");
    put(dir_ / "other.txt", "not an output\n");
    fs::create_symlink("other.txt", dir_ / "soil.SIN");
    fs::create_symlink("soil.WTD", dir_ / "soil.WDV");  // two outputs, one file
    run(PEDOPRE_PROGRAM, {"soil.dat"}, dir_);
    EXPECT_EQ(slurp(dir_ / "PEDOPRE.LOG"), kPedopreNormal);
    EXPECT_EQ(slurp(dir_ / "other.txt"), "not an output\n");
    for (const char* ext : {".SIN", ".WDV", ".WTD"}) {
        SCOPED_TRACE(ext);
        EXPECT_FALSE(fs::is_symlink(dir_ / ("soil" + std::string(ext))));
        EXPECT_EQ(slurp(dir_ / ("soil" + std::string(ext))), slurp(dir_ / ("clean" + std::string(ext))));
    }
    // An output name linked to the input itself is refused before anything
    // is written: the input stays whole.
    soil("vg_layered.dat", "linked.dat");
    fs::create_symlink("linked.dat", dir_ / "linked.SIN");
    run(PEDOPRE_PROGRAM, {"linked.dat"}, dir_);
    EXPECT_EQ(slurp(dir_ / "PEDOPRE.LOG"),
              " ERROR: Input file linked.dat would be overwritten by output file linked.SIN\r\n");
    EXPECT_EQ(slurp(dir_ / "linked.dat"), slurp(dir_ / "clean.dat"));
}

TEST_F(ProgramFiles, RunsOnTheSameNamesAtOnceEndAsRunsOneAfterAnother) {
    // Four stations converted into one rain file at once: the file is one
    // station's whole conversion, never lines of several.
    put(dir_ / "rain.dat", hourly_series(1));
    std::vector<std::string> alone;
    for (int sta = 1; sta <= 4; ++sta) {
        run(METCONV_PROGRAM, {"rain.dat", "HR", "IN", std::to_string(sta)}, dir_);
        alone.push_back(slurp(dir_ / "rain.RAI"));
    }
    std::vector<pid_t> pids;
    for (int sta = 1; sta <= 4; ++sta)
        pids.push_back(start(METCONV_PROGRAM, {"rain.dat", "HR", "IN", std::to_string(sta)}, dir_));
    for (pid_t pid : pids) finish(pid);
    EXPECT_EQ(slurp(dir_ / "rain.LOG"), kMetconvNormal);
    EXPECT_NE(std::find(alone.begin(), alone.end(), slurp(dir_ / "rain.RAI")), alone.end());

    // Soils run at once in one folder: every soil's set is whole.
    const char* examples[] = {"measured_loam.dat", "vg_layered.dat", "vg_nine_layers.dat"};
    fs::create_directories(dir_ / "one");
    fs::create_directories(dir_ / "many");
    for (int k = 0; k < 6; ++k) {
        const std::string name = soil_name(k);
        fs::copy_file(fs::path(EXAMPLES_DIR) / "soils" / examples[k % 3], dir_ / "one" / name);
        fs::copy_file(fs::path(EXAMPLES_DIR) / "soils" / examples[k % 3], dir_ / "many" / name);
        run(PEDOPRE_PROGRAM, {name}, dir_ / "one");
    }
    pids.clear();
    for (int k = 0; k < 6; ++k) pids.push_back(start(PEDOPRE_PROGRAM, {soil_name(k)}, dir_ / "many"));
    for (pid_t pid : pids) finish(pid);
    EXPECT_EQ(contents(dir_ / "many"), contents(dir_ / "one"));
}

TEST_F(ProgramFiles, AFullDiskNeverGivesASuccessLine) {
    const fs::path small = dir_ / "small";
    fs::create_directories(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=24k") != 0) GTEST_SKIP() << "no tmpfs can be mounted here";
    fs::copy_file(fs::path(EXAMPLES_DIR) / "soils" / "vg_nine_layers.dat", small / "soil.dat");
    run(PEDOPRE_PROGRAM, {"soil.dat"}, small);
    const std::string log = slurp(small / "PEDOPRE.LOG");
    EXPECT_EQ(log.find("NOERROR"), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(small / "soil.SIN"));
    EXPECT_FALSE(hidden_files(small));
    ::umount(small.c_str());
}

// A write that fails for a limit of the process ends the run with the
// system's reason, like any failed write: past the file-size limit (`ulimit
// -f`), and into a pipe nobody reads any more.
TEST_F(ProgramFiles, AFileSizeLimitOrAClosedPipeEndsTheRunWithItsReason) {
    soil("vg_nine_layers.dat", "soil.dat");
    const int status = finish(start(PEDOPRE_PROGRAM, {"soil.dat"}, dir_, "/dev/null", [] {
        rlimit r{8192, 8192};
        ::setrlimit(RLIMIT_FSIZE, &r);
    }));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const std::string log = slurp(dir_ / "PEDOPRE.LOG");
    EXPECT_NE(log.find(": File too large"), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(dir_ / "soil.SIN"));
    EXPECT_FALSE(hidden_files(dir_));

    put(dir_ / "rain.dat", hourly_series(1));
    for (const auto& [program, args] : std::vector<std::pair<const char*, std::vector<std::string>>>{
             {PEDOPRE_PROGRAM, {"soil.dat"}}, {METCONV_PROGRAM, {"rain.dat", "HR", "IN", "1"}}}) {
        SCOPED_TRACE(program);
        int ends[2];
        ASSERT_EQ(::pipe(ends), 0);
        ::close(ends[0]);  // nobody reads the console
        const int closed = finish(start(program, args, dir_, "/dev/null", [&] { ::dup2(ends[1], STDOUT_FILENO); }));
        ::close(ends[1]);
        EXPECT_TRUE(WIFEXITED(closed) && WEXITSTATUS(closed) == 0) << closed;
    }
    EXPECT_EQ(slurp(dir_ / "PEDOPRE.LOG"), kPedopreNormal);  // only the console was lost
    EXPECT_EQ(slurp(dir_ / "rain.LOG"), kMetconvNormal);
}

// A folder copied with its files linked, not copied (`cp -al`, a backup with
// `rsync --link-dest`): a run in the copy never changes the original's log.
TEST_F(ProgramFiles, ARunInALinkedCopyLeavesTheOriginalsLog) {
    fs::create_directories(dir_ / "original");
    fs::copy_file(fs::path(EXAMPLES_DIR) / "soils" / "measured_loam.dat", dir_ / "original" / "soil.dat");
    run(PEDOPRE_PROGRAM, {"soil.dat"}, dir_ / "original");
    fs::copy(dir_ / "original", dir_ / "copy", fs::copy_options::create_hard_links | fs::copy_options::recursive);
    fs::remove(dir_ / "copy" / "soil.dat");  // a new input of its own, not through the link
    put(dir_ / "copy" / "soil.dat", "broken\n");
    run(PEDOPRE_PROGRAM, {"soil.dat"}, dir_ / "copy");
    EXPECT_EQ(slurp(dir_ / "copy" / "PEDOPRE.LOG").substr(0, 8), " ERROR: ");
    EXPECT_EQ(slurp(dir_ / "original" / "PEDOPRE.LOG"), kPedopreNormal);
    EXPECT_TRUE(fs::exists(dir_ / "original" / "soil.SIN"));
    EXPECT_FALSE(hidden_files(dir_ / "copy"));
}

// Earlier files that a failed run cannot remove are named, so that no one
// takes them for this run's.
TEST_F(ProgramFiles, EarlierFilesThatStandAreNamedOnTheConsole) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs a second user";
    const auto as_another_user = [] {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(126);
    };
    const fs::path console = dir_ / "console.txt";
    const fs::path folder = dir_ / "runs";
    fs::create_directories(folder);
    fs::permissions(dir_, fs::perms::all);
    fs::copy_file(fs::path(EXAMPLES_DIR) / "soils" / "measured_loam.dat", folder / "soil.dat");
    run(PEDOPRE_PROGRAM, {"soil.dat"}, folder);

    // A folder the user may not change, with a log the user may write: the
    // run fails, and the soil input file of the earlier run stays.
    fs::permissions(folder / "PEDOPRE.LOG", fs::perms::all);
    ASSERT_EQ(finish(start(PEDOPRE_PROGRAM, {"soil.dat"}, folder, console.c_str(), as_another_user)), 0);
    EXPECT_EQ(slurp(folder / "PEDOPRE.LOG").substr(0, 8), " ERROR: ");
    EXPECT_TRUE(fs::exists(folder / "soil.SIN"));
    EXPECT_NE(slurp(console).find(" ERROR: Earlier output soil.SIN stands, not of this run; it cannot be removed: "
                                  "Permission denied\r\n"),
              std::string::npos)
        << slurp(console);

    // A shared folder with the sticky bit, the log another user's: the old
    // log stands, and the console says so and why.
    fs::permissions(folder, fs::perms::all | fs::perms::sticky_bit);
    fs::permissions(folder / "PEDOPRE.LOG", fs::perms::owner_read | fs::perms::owner_write);
    run(PEDOPRE_PROGRAM, {"soil.dat"}, folder);
    ASSERT_EQ(finish(start(PEDOPRE_PROGRAM, {"soil.dat"}, folder, console.c_str(), as_another_user)), 0);
    EXPECT_EQ(slurp(folder / "PEDOPRE.LOG"), kPedopreNormal);
    EXPECT_NE(slurp(console).find(" ERROR: Cannot open file PEDOPRE.LOG: Permission denied\r\n"
                                  " ERROR: Earlier log PEDOPRE.LOG stands, not of this run; it cannot be removed: "
                                  "Operation not permitted, for the folder lets only a file's owner remove it and "
                                  "another user owns this one\r\n"),
              std::string::npos)
        << slurp(console);
}

// Durable results on request: the outputs and their folder reach the disk
// before the log's last line.
TEST_F(ProgramFiles, DurableResultsAreTheSameFilesFlushedBeforeTheLog) {
    soil("vg_layered.dat", "soil.dat");
    run(PEDOPRE_PROGRAM, {"soil.dat"}, dir_);
    const auto plain = contents(dir_);
    const fs::path trace = dir_.parent_path() / (dir_.filename().string() + ".trace");
    // The leak check of a sanitizer build cannot run under a tracer.
    const std::string command = "cd '" + dir_.string() + "' && DRAINPREP_FSYNC=1 ASAN_OPTIONS=detect_leaks=0 " +
                                "strace -f -o '" + trace.string() + "' -e trace=fsync,rename,pwrite64 " +
                                PEDOPRE_PROGRAM + " soil.dat >/dev/null 2>&1";
    if (std::system("strace -o /dev/null true 2>/dev/null") != 0) GTEST_SKIP() << "strace cannot run here";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(contents(dir_), plain);
    // In the trace: each output renamed after its flush and followed by its
    // folder's, all before the log's last line.
    const std::string calls = slurp(trace);
    fs::remove(trace);
    const size_t last_line = calls.find("NOERROR");
    ASSERT_NE(last_line, std::string::npos);
    size_t renames = 0, fsyncs = 0;
    for (size_t at = calls.find("rename("); at < last_line; at = calls.find("rename(", at + 1)) ++renames;
    for (size_t at = calls.find("fsync("); at < last_line; at = calls.find("fsync(", at + 1)) ++fsyncs;
    EXPECT_EQ(renames, 8u);
    EXPECT_GE(fsyncs, 2 * renames + 1);  // each output, its folder, and the log's first line
}

}  // namespace
