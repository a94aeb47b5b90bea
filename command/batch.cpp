#include "command/batch.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "command/progress.h"
#include "command/subcommands.h"
#include "command/summary_json.h"
#include "common/run_outcome.h"

extern char** environ;

namespace command {

namespace {

namespace fs = std::filesystem;

// NAME's folder resolved through the file system (symbolic links, "..")
// and its file name: one string per file, however it is spelt. A folder
// that does not exist yet is taken as written.
std::string resolved(const std::string& name) {
    fs::path p(name);
    fs::path dir = p.parent_path();
    if (dir.empty()) dir = ".";
    std::error_code ec;
    fs::path real = fs::canonical(dir, ec);
    if (ec) real = fs::absolute(dir, ec).lexically_normal();
    return (real / p.filename()).string();
}

// The file a run reads at NAME: a symbolic link is followed, as the
// program follows it, even when what it points to is yet to be written.
std::string resolved_read(const std::string& name) {
    std::error_code ec;
    if (fs::is_symlink(name, ec)) {
        fs::path target = fs::read_symlink(name, ec);
        if (!ec) {
            if (target.is_relative()) target = fs::path(name).parent_path() / target;
            return resolved_read(target.string());
        }
    }
    return resolved(name);
}

// The names a run writes.
std::vector<std::string> writes(const Run& r) {
    std::vector<std::string> w{r.log};
    w.insert(w.end(), r.outputs.begin(), r.outputs.end());
    if (!r.page.empty()) w.push_back(r.page);
    return w;
}

// ---- signals --------------------------------------------------------------

constexpr int kMaxJobs = 256;
volatile sig_atomic_t g_signal = 0;
volatile pid_t g_running[kMaxJobs];

void pass_on(int sig) {
    if (g_signal == 0) g_signal = sig;
    for (int i = 0; i < kMaxJobs; ++i)
        if (g_running[i] > 0) ::kill(g_running[i], sig);
}

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

void catch_signals() {
    struct sigaction action {};
    action.sa_handler = pass_on;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: waitpid returns on a signal
    for (int sig : kSignals) ::sigaction(sig, &action, nullptr);
    // A reader of the lines that goes away (`| head`) does not end the
    // batch: its runs and its summary file are still completed.
    ::signal(SIGPIPE, SIG_IGN);
}

class SignalsHeld {
  public:
    SignalsHeld() {
        sigset_t set;
        sigemptyset(&set);
        for (int sig : kSignals) sigaddset(&set, sig);
        ::sigprocmask(SIG_BLOCK, &set, &old_);
    }
    ~SignalsHeld() { ::sigprocmask(SIG_SETMASK, &old_, nullptr); }

  private:
    sigset_t old_;
};

// ---- processes ------------------------------------------------------------

// The environment of the programs: drainprep's own, with DRAINPREP_FSYNC=1
// when every output is to reach the disk before its run ends.
std::vector<std::string> child_environment(bool fsync) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        if (fsync && std::strncmp(*e, "DRAINPREP_FSYNC=", 16) == 0) continue;
        env.emplace_back(*e);
    }
    if (fsync) env.emplace_back("DRAINPREP_FSYNC=1");
    return env;
}

// Starts PATH on ARGS in FOLDER, its console (standard output and error)
// going to OUT_FD. The program gets its own process group, so a Ctrl-C at
// the terminal reaches drainprep alone, which passes it on once.
pid_t spawn(const std::string& path, const std::string& name, const std::vector<std::string>& args,
            const std::string& folder, int out_fd, const std::vector<std::string>& env, std::string& err) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(name.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
    posix_spawn_file_actions_adddup2(&actions, out_fd, 2);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int sig : kSignals) sigaddset(&defaults, sig);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, path.c_str(), &actions, &attr, argv.data(), envp.data());
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        err = std::strerror(rc);
        return -1;
    }
    return pid;
}

// What a console file holds, one line per line, blanks around cut.
std::vector<std::string> console_lines(int fd) {
    std::string text;
    ::lseek(fd, 0, SEEK_SET);
    char buf[4096];
    for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(n));
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const size_t b = line.find_first_not_of(" \t\r");
        if (b == std::string::npos) continue;
        lines.push_back(line.substr(b, line.find_last_not_of(" \t\r") + 1 - b));
    }
    return lines;
}

// A file as it stands, to tell whether a process wrote it.
struct Stamp {
    bool exists = false;
    struct stat st {};
};

Stamp stamp(const std::string& path) {
    Stamp s;
    s.exists = ::stat(path.c_str(), &s.st) == 0;
    return s;
}

bool changed(const Stamp& before, const Stamp& after) {
    if (before.exists != after.exists) return true;
    if (!after.exists) return false;
    const auto same_time = [](const timespec& a, const timespec& b) {
        return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    };
    return before.st.st_ino != after.st.st_ino || before.st.st_dev != after.st.st_dev ||
           before.st.st_size != after.st.st_size || !same_time(before.st.st_mtim, after.st.st_mtim) ||
           !same_time(before.st.st_ctim, after.st.st_ctim);
}

bool is_file(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The log's record: its first line, line end and trailing blanks cut.
std::string log_record(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    std::getline(in, line);
    const size_t end = line.find_last_not_of(" \r\t");
    return end == std::string::npos ? std::string() : line.substr(0, end + 1);
}

std::string signal_name(int sig) {
    switch (sig) {
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
        case SIGHUP:
            return "SIGHUP";
        default:
            return "signal " + std::to_string(sig);
    }
}

// ---- the batch ------------------------------------------------------------

enum class Stage { Program, Viewer };

struct Slot {
    size_t run = 0;
    pid_t pid = -1;
    Stage stage = Stage::Program;
    int console_fd = -1;
    Stamp before;                // the log, or the viewer's page
    std::vector<Stamp> outputs;  // the outputs, as they stood before the run
};

class Batch {
  public:
    Batch(const std::vector<Run>& runs, const BatchOptions& o)
        : runs_(runs),
          o_(o),
          results_(runs.size()),
          env_(child_environment(o.fsync)),
          progress_(runs.size()),
          folder_(program_folder()) {}

    int run();

  private:
    bool start(Slot& slot, size_t run, Stage stage);
    void ended(Slot& slot, int status);
    void program_ended(Slot& slot, int status);
    void viewer_ended(Slot& slot, int status);
    void finish(size_t run);
    void report(size_t run);

    const std::vector<Run>& runs_;
    const BatchOptions& o_;
    std::vector<RunResult> results_;
    std::vector<std::string> env_;
    Progress progress_;
    std::string folder_;
    std::vector<Slot> slots_;
};

bool Batch::start(Slot& slot, size_t run, Stage stage) {
    const Run& r = runs_[run];
    const std::string& name = stage == Stage::Program ? r.program : r.viewer;
    slot.run = run;
    slot.stage = stage;
    slot.pid = -1;
    slot.console_fd = ::memfd_create("drainprep-console", MFD_CLOEXEC);
    slot.before = stamp(stage == Stage::Program ? r.log : r.page);
    slot.outputs.clear();
    if (stage == Stage::Program)
        for (const std::string& out : r.outputs) slot.outputs.push_back(stamp(out));
    // Empty while nothing went wrong; a signal that came first leaves it so.
    std::string err;
    if (slot.console_fd < 0) {
        err = std::string("its console cannot be kept: ") + std::strerror(errno);
    } else {
        SignalsHeld held;
        if (g_signal == 0) {
            slot.pid = spawn(folder_ + "/" + name, name, r.args, r.folder, slot.console_fd, env_, err);
            if (slot.pid > 0) g_running[&slot - slots_.data()] = slot.pid;
        }
    }
    if (slot.pid > 0) {
        progress_.started(r.label);
        return true;
    }
    if (slot.console_fd >= 0) ::close(slot.console_fd);
    slot.console_fd = -1;
    RunResult& res = results_[run];
    if (err.empty()) {
        // A signal came first.
        if (stage == Stage::Viewer) {
            res.reason = "no page: the batch was interrupted before " + name + " started";
            finish(run);
        }
        return false;
    }
    // A program that cannot start fails its run; so does a viewer whose
    // run had ended well (a failed run keeps its own reason).
    if (stage == Stage::Program || res.outcome == RunOutcome::Ok) {
        res.outcome = RunOutcome::Failed;
        res.reason = name + " could not be started: " + err;
    }
    finish(run);
    return false;
}

void Batch::ended(Slot& slot, int status) {
    progress_.ended();
    if (slot.stage == Stage::Program)
        program_ended(slot, status);
    else
        viewer_ended(slot, status);
}

void Batch::program_ended(Slot& slot, int status) {
    const size_t run = slot.run;
    const Run& r = runs_[run];
    RunResult& res = results_[run];
    res.console = console_lines(slot.console_fd);
    ::close(slot.console_fd);
    slot.console_fd = -1;
    const bool wrote_log = changed(slot.before, stamp(r.log));
    if (wrote_log) res.log_record = log_record(r.log);
    // The files this run wrote: a run that stops before its first output
    // leaves an earlier run's outputs as they were, and those are not its.
    if (wrote_log && is_file(r.log)) res.files.push_back(r.log);
    for (size_t k = 0; k < r.outputs.size(); ++k)
        if (is_file(r.outputs[k]) && changed(slot.outputs[k], stamp(r.outputs[k]))) res.files.push_back(r.outputs[k]);
    const std::string last_console = res.console.empty() ? std::string() : res.console.back();
    if (WIFSIGNALED(status)) {
        if (g_signal != 0 && (WTERMSIG(status) == g_signal)) {
            res.outcome = RunOutcome::Interrupted;
        } else {
            res.outcome = RunOutcome::Failed;
            res.reason = r.program + " ended by " + signal_name(WTERMSIG(status));
        }
    } else if (WEXITSTATUS(status) != 0) {
        res.outcome = RunOutcome::Failed;
        res.reason = r.program + " ended with exit status " + std::to_string(WEXITSTATUS(status));
    } else if (!wrote_log) {
        // An earlier run's log left at the name must not be read as this
        // run's outcome.
        res.outcome = RunOutcome::Failed;
        res.reason = r.program + " wrote no log" + (last_console.empty() ? "" : ": " + last_console);
    } else {
        res.outcome = common::says_normal_end(res.log_record) ? RunOutcome::Ok : RunOutcome::Failed;
    }
    if (res.log_record.empty() && wrote_log && res.reason.empty())
        res.reason = is_file(r.log) ? "the log " + r.log + " is empty" : "the log " + r.log + " was removed";

    if (!o_.pages || r.page.empty() || res.outcome == RunOutcome::Interrupted || g_signal != 0) {
        finish(run);
        slot.pid = -1;
        return;
    }
    slot.pid = -1;
    start(slot, run, Stage::Viewer);
}

void Batch::viewer_ended(Slot& slot, int status) {
    const size_t run = slot.run;
    const Run& r = runs_[run];
    RunResult& res = results_[run];
    std::vector<std::string> console = console_lines(slot.console_fd);
    ::close(slot.console_fd);
    slot.console_fd = -1;
    slot.pid = -1;
    std::string problem;
    if (WIFSIGNALED(status)) {
        problem = r.viewer + " ended by " + signal_name(WTERMSIG(status));
    } else if (changed(slot.before, stamp(r.page)) && is_file(r.page)) {
        res.page_written = true;
    } else {
        problem = r.viewer + " wrote no page" + (console.empty() ? "" : ": " + console.back());
    }
    if (res.page_written) {
        res.checks = page_checks(read_all(r.page));
    } else if (res.outcome == RunOutcome::Ok && !(WIFSIGNALED(status) && g_signal != 0)) {
        // A normal run whose page is asked for and cannot be made has not
        // given what was asked.
        res.outcome = RunOutcome::Failed;
        res.reason = problem;
    } else if (res.outcome == RunOutcome::Ok) {
        res.reason = "no page: " + problem;
    }
    finish(run);
}

void Batch::finish(size_t run) {
    const Run& r = runs_[run];
    RunResult& res = results_[run];
    if (res.page_written) res.files.push_back(r.page);
    progress_.finished();
    progress_.clear();
    report(run);
    progress_.draw();
}

// One line per run as it ends: the run, its outcome, the warnings of its
// page, and why a run failed.
void Batch::report(size_t run) {
    const Run& r = runs_[run];
    const RunResult& res = results_[run];
    std::string line = r.label + ": " + outcome_word(res.outcome);
    if (res.outcome == RunOutcome::Ok && !res.reason.empty()) line += "; " + res.reason;
    if (res.outcome != RunOutcome::Ok) {
        if (!res.log_record.empty()) line += ": " + res.log_record.substr(res.log_record.find_first_not_of(" *"));
        if (!res.reason.empty()) line += res.log_record.empty() ? ": " + res.reason : " (" + res.reason + ")";
    }
    if (res.page_written) {
        const int w = warning_count(res.checks);
        line += "; " + std::to_string(w) + (w == 1 ? " warning" : " warnings") + " on " + r.page;
    }
    line += '\n';
    std::fputs(line.c_str(), stdout);
    std::fflush(stdout);
}

int Batch::run() {
    const size_t jobs = std::min<size_t>(static_cast<size_t>(o_.jobs), runs_.size());
    slots_.assign(jobs, Slot{});
    for (int i = 0; i < kMaxJobs; ++i) g_running[i] = 0;
    catch_signals();
    size_t next = 0;
    while (true) {
        for (Slot& s : slots_) {
            while (s.pid <= 0 && next < runs_.size() && g_signal == 0) start(s, next++, Stage::Program);
        }
        bool busy = false;
        for (const Slot& s : slots_) busy = busy || s.pid > 0;
        if (!busy) break;
        int status = 0;
        const pid_t pid = ::waitpid(-1, &status, 0);
        if (pid < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (Slot& s : slots_) {
            if (s.pid != pid) continue;
            {
                SignalsHeld held;
                g_running[&s - slots_.data()] = 0;
            }
            ended(s, status);
            break;
        }
    }
    progress_.clear();

    Summary sum = summarise(results_);
    std::string line = std::to_string(sum.runs) + (sum.runs == 1 ? " run: " : " runs: ") + std::to_string(sum.ok) +
                       " ok, " + std::to_string(sum.failed) + " failed";
    if (sum.interrupted > 0 || sum.not_started > 0)
        line += ", " + std::to_string(sum.interrupted) + " interrupted, " + std::to_string(sum.not_started) +
                " not started";
    if (o_.pages)
        line += "; " + std::to_string(sum.need_a_look) + (sum.need_a_look == 1 ? " needs" : " need") + " a look";
    const int sig = g_signal;
    if (sig != 0) {
        for (size_t k = 0; k < runs_.size(); ++k)
            if (results_[k].outcome == RunOutcome::NotStarted) std::printf("%s: not started\n", runs_[k].label.c_str());
        line += "; interrupted by " + signal_name(sig) + ": the runs said ok or failed had finished";
    }
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);

    int status = sum.failed > 0 ? kFailed : kOk;
    if (!o_.json.empty()) {
        std::string err;
        if (!write_summary(o_.json, summary_json(runs_, results_, o_, sig == 0 ? "" : signal_name(sig)), err)) {
            std::fprintf(stderr, "drainprep: the summary %s could not be written: %s\n", o_.json.c_str(), err.c_str());
            status = kFailed;
        }
    }
    if (sig != 0) {
        // Ends as the programs end on a signal, so that a calling script
        // stops too.
        struct sigaction dfl {};
        dfl.sa_handler = SIG_DFL;
        sigemptyset(&dfl.sa_mask);
        ::sigaction(sig, &dfl, nullptr);
        ::raise(sig);
    }
    return status;
}

}  // namespace

const char* outcome_word(RunOutcome o) {
    switch (o) {
        case RunOutcome::Ok:
            return "ok";
        case RunOutcome::Failed:
            return "failed";
        case RunOutcome::Interrupted:
            return "interrupted";
        case RunOutcome::NotStarted:
            return "not started";
    }
    return "";
}

Summary summarise(const std::vector<RunResult>& results) {
    Summary s;
    for (const RunResult& r : results) {
        ++s.runs;
        switch (r.outcome) {
            case RunOutcome::Ok:
                ++s.ok;
                break;
            case RunOutcome::Failed:
                ++s.failed;
                break;
            case RunOutcome::Interrupted:
                ++s.interrupted;
                break;
            case RunOutcome::NotStarted:
                ++s.not_started;
                break;
        }
        if (r.page_written && warning_count(r.checks) > 0) ++s.need_a_look;
    }
    return s;
}

std::string program_folder() {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : self.parent_path().string();
}

std::string seen_from_here(const std::string& folder, const std::string& name) {
    if (folder.empty() || (!name.empty() && name[0] == '/')) return name;
    return (fs::path(folder) / name).string();
}

std::vector<Clash> find_clashes(const std::vector<Run>& runs, const std::string& json) {
    // Each pair of runs is named once, with the first name they share, as
    // the first of them spells it.
    std::vector<Clash> clashes;
    std::set<std::pair<size_t, long>> named;
    const auto add = [&](size_t a, long b, const std::string& name, bool read) {
        if (named.insert({a, b}).second) clashes.push_back({a, b, name, read});
    };
    std::map<std::string, std::pair<size_t, std::string>> writer;
    for (size_t k = 0; k < runs.size(); ++k) {
        for (const std::string& name : writes(runs[k])) {
            auto [it, fresh] = writer.emplace(resolved(name), std::pair{k, name});
            if (!fresh && it->second.first != k) add(it->second.first, static_cast<long>(k), it->second.second, false);
        }
    }
    for (size_t k = 0; k < runs.size(); ++k) {
        for (const std::string& name : runs[k].reads) {
            auto it = writer.find(resolved_read(name));
            if (it != writer.end() && it->second.first != k) add(k, static_cast<long>(it->second.first), name, true);
        }
    }
    if (!json.empty()) {
        const std::string key = resolved(json);
        for (size_t k = 0; k < runs.size(); ++k) {
            std::vector<std::string> names = writes(runs[k]);
            names.insert(names.end(), runs[k].reads.begin(), runs[k].reads.end());
            for (const std::string& name : names)
                if (resolved(name) == key) add(k, -1, name, false);
        }
    }
    return clashes;
}

int run_batch(const std::vector<Run>& runs, const BatchOptions& options) {
    // Everything that can refuse the batch is looked at before anything runs.
    const std::vector<Clash> clashes = find_clashes(runs, options.json);
    for (const Clash& c : clashes) {
        const std::string& a = runs[c.first].label;
        if (c.second < 0)
            std::fprintf(stderr, "drainprep: refused: the summary %s is a file of %s\n", options.json.c_str(),
                         a.c_str());
        else if (c.read)
            std::fprintf(stderr, "drainprep: refused: %s reads %s, which %s writes\n", a.c_str(), c.name.c_str(),
                         runs[static_cast<size_t>(c.second)].label.c_str());
        else
            std::fprintf(stderr, "drainprep: refused: %s and %s both write %s\n", a.c_str(),
                         runs[static_cast<size_t>(c.second)].label.c_str(), c.name.c_str());
    }
    if (!clashes.empty()) {
        std::fprintf(stderr, "drainprep: nothing was run\n");
        return kUsage;
    }
    const std::string folder = program_folder();
    std::vector<std::string> programs;
    if (!runs.empty()) {
        programs.push_back(runs.front().program);
        if (options.pages) programs.push_back(runs.front().viewer);
    }
    for (const std::string& p : programs) {
        if (::access((folder + "/" + p).c_str(), X_OK) != 0) {
            std::fprintf(stderr, "drainprep: %s is not installed beside drainprep (in %s)\n", p.c_str(),
                         folder.c_str());
            return kUsage;
        }
    }
    if (!options.json.empty()) {
        fs::path dir = fs::path(options.json).parent_path();
        if (dir.empty()) dir = ".";
        if (::access(dir.c_str(), W_OK) != 0 || fs::is_directory(options.json)) {
            std::fprintf(stderr, "drainprep: the summary %s cannot be written in %s\n", options.json.c_str(),
                         dir.c_str());
            return kUsage;
        }
    }
    if (options.jobs < 1 || options.jobs > kMaxJobs) {
        std::fprintf(stderr, "drainprep: -j takes 1 to %d runs at a time\n", kMaxJobs);
        return kUsage;
    }
    return Batch(runs, options).run();
}

}  // namespace command
