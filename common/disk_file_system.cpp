// The file system on disk: inputs read where they stand, outputs written
// under temporary names and renamed into place, logs locked for the run.
#include "common/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>
#include <thread>

namespace common {
namespace {

std::string reason(int e) {
    return std::strerror(e);
}

// Temporary files of outputs being written, for the signal handler that
// removes them: plain pointers to their names, set and cleared atomically.
constexpr int kTemporarySlots = 64;
std::atomic<const char*> g_temporaries[kTemporarySlots];

void register_temporary(const char* path) {
    for (auto& slot : g_temporaries) {
        const char* none = nullptr;
        if (slot.compare_exchange_strong(none, path)) return;
    }
}

void unregister_temporary(const char* path) {
    for (auto& slot : g_temporaries) {
        const char* p = path;
        if (slot.compare_exchange_strong(p, nullptr)) return;
    }
}

void remove_temporaries_and_end(int sig) {
    for (auto& slot : g_temporaries)
        if (const char* p = slot.load()) ::unlink(p);
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

}  // namespace

bool write_fully(int fd, const char* p, size_t n) noexcept {
    while (n > 0) {
        ssize_t k = ::write(fd, p, n);
        if (k < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += k;
        n -= static_cast<size_t>(k);
    }
    return true;
}

namespace {

bool pwrite_fully(int fd, const char* p, size_t n) noexcept {
    off_t at = 0;
    while (n > 0) {
        ssize_t k = ::pwrite(fd, p, n, at);
        if (k < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += k;
        at += k;
        n -= static_cast<size_t>(k);
    }
    return true;
}

// The folder part of a path, with its separator ("" for none), and the name.
void split(const std::string& path, std::string& folder, std::string& name) {
    size_t slash = path.rfind('/');
    folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    name = path.substr(folder.size());
}

// Flushes the folder that holds `path` to the disk, so that a name made or
// removed in it survives a power cut. A file system that cannot flush a
// folder (EINVAL) keeps its names by other means.
bool sync_folder(const std::string& path) {
    std::string folder, name;
    split(path, folder, name);
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    const int e = errno;
    ::close(fd);
    errno = e;
    return ok;
}

// A file on a descriptor: an input, or the console, whose descriptor stays
// open and which is written where it stands.
class DescriptorFile : public File {
  public:
    DescriptorFile(int fd, bool owned) : fd_(fd), owned_(owned) {}
    ~DescriptorFile() override {
        if (owned_ && fd_ >= 0) ::close(fd_);
    }
    int64_t read(char* buf, size_t n) override {
        for (;;) {
            ssize_t k = ::read(fd_, buf, n);
            if (k >= 0) return k;
            if (errno == EINTR) continue;
            error_ = reason(errno);
            return -1;
        }
    }
    bool write(const char* p, size_t n) override {
        if (write_fully(fd_, p, n)) return true;
        error_ = reason(errno);
        return false;
    }
    bool seek(int64_t offset) override {
        if (!owned_) return true;
        if (::lseek(fd_, offset, SEEK_SET) < 0) {
            error_ = reason(errno);
            return false;
        }
        return true;
    }
    bool truncate(int64_t size) override {
        if (!owned_) return true;
        if (::ftruncate(fd_, size) != 0) {
            error_ = reason(errno);
            return false;
        }
        return true;
    }
    bool close() override {
        if (!owned_ || fd_ < 0) return true;
        int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) {
            error_ = reason(errno);
            return false;
        }
        return true;
    }
    int descriptor() const override { return fd_; }

  protected:
    int fd_;
    bool owned_;
};

// An output on disk: written under a temporary name in its folder and
// renamed onto its own name when closed.
class DiskOutput final : public DescriptorFile {
  public:
    DiskOutput(int fd, std::string temporary, std::string final_name)
        : DescriptorFile(fd, true), temporary_(std::move(temporary)), final_(std::move(final_name)) {
        register_temporary(temporary_.c_str());
    }
    ~DiskOutput() override { discard(); }
    bool close() override {
        if (done_) return error_.empty();
        done_ = true;
        unregister_temporary(temporary_.c_str());
        const int fd = fd_;
        fd_ = -1;
        const bool durable = fsync_requested();
        const bool synced = !durable || ::fsync(fd) == 0;
        const int sync_error = errno;
        if (::close(fd) != 0 || !synced) {
            error_ = reason(synced ? errno : sync_error);
            ::unlink(temporary_.c_str());
            return false;
        }
        if (::rename(temporary_.c_str(), final_.c_str()) != 0) {
            error_ = reason(errno);
            ::unlink(temporary_.c_str());
            return false;
        }
        // The file stands under its name; a folder that cannot be flushed
        // leaves the name unsure after a power cut, and the run says so.
        if (durable && !sync_folder(final_)) {
            error_ = reason(errno);
            return false;
        }
        return true;
    }
    void discard() override {
        if (done_) return;
        done_ = true;
        unregister_temporary(temporary_.c_str());
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        ::unlink(temporary_.c_str());
    }
    void emergency_close() noexcept override {
        if (!done_) ::rename(temporary_.c_str(), final_.c_str());
    }

  private:
    std::string temporary_, final_;
    bool done_ = false;
};

class DiskLog final : public LogFile {
  public:
    explicit DiskLog(int fd) : fd_(fd) {}
    ~DiskLog() override { ::close(fd_); }  // the lock goes with the descriptor
    bool replace(std::string_view text) override {
        if (!pwrite_fully(fd_, text.data(), text.size()) || ::ftruncate(fd_, static_cast<off_t>(text.size())) != 0 ||
            (fsync_requested() && ::fsync(fd_) != 0)) {
            error_ = reason(errno);
            return false;
        }
        return true;
    }
    void emergency_replace(const char* text, size_t n) noexcept override {
        if (pwrite_fully(fd_, text, n)) (void)::ftruncate(fd_, static_cast<off_t>(n));
    }

  private:
    int fd_;
};

// Holds a run's log under a shared lock.
class DiskHold final : public RunHold {
  public:
    explicit DiskHold(int fd) : fd_(fd) {}
    ~DiskHold() override { ::close(fd_); }

  private:
    int fd_;
};

FileType type_of(const struct stat& st) {
    if (S_ISREG(st.st_mode)) return FileType::Regular;
    if (S_ISDIR(st.st_mode)) return FileType::Directory;
    if (S_ISFIFO(st.st_mode)) return FileType::Fifo;
    if (S_ISSOCK(st.st_mode)) return FileType::Socket;
    return FileType::Device;
}

// The start of the temporary names of `name`: a hidden name in its folder.
// The name is cut so that the whole temporary name stays a valid file name.
std::string temporary_prefix(const std::string& path) {
    std::string folder, name;
    split(path, folder, name);
    return folder + "." + name.substr(0, 200) + ".";
}
constexpr std::string_view kTemporarySuffix = ".tmp";

std::string temporary_name(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return temporary_prefix(path) + std::to_string(::getpid()) + "-" + std::to_string(counter++) +
           std::string(kTemporarySuffix);
}

bool same_file(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Gives the locked log on `fd`, which has other names too, a file of its
// own under `path`: a copy, made and locked under a temporary name, then
// put in place of the link. The other names keep the file as it was. On
// success `fd` is the copy's descriptor, locked; the old file's lock goes
// with its descriptor, and runs waiting for it find the name taken and
// start again on the copy.
bool own_log(const std::string& path, int& fd, mode_t mode, std::string& err) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary = temporary_name(path);
        const int copy = ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode & 07777);
        if (copy < 0 && errno == EEXIST) continue;
        if (copy < 0) {
            err = reason(errno);
            return false;
        }
        register_temporary(temporary.c_str());
        char buf[65536];
        off_t at = 0;
        bool ok = ::flock(copy, LOCK_EX) == 0;
        for (ssize_t k = 1; ok && k > 0; at += k) {
            k = ::pread(fd, buf, sizeof buf, at);
            ok = k >= 0 && write_fully(copy, buf, static_cast<size_t>(k));
        }
        ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
        const int e = errno;
        unregister_temporary(temporary.c_str());
        if (!ok) {
            err = reason(e);
            ::close(copy);
            ::unlink(temporary.c_str());
            return false;
        }
        ::close(fd);
        fd = copy;
        return true;
    }
    err = reason(EEXIST);
    return false;
}

}  // namespace

bool fsync_requested() {
    const char* v = std::getenv("DRAINPREP_FSYNC");
    return v && std::string_view(v) == "1";
}

std::unique_ptr<File> DiskFileSystem::open_read(const std::string& path, std::string& err) {
    // Opened without waiting, so that a named pipe cannot hold the open;
    // only a regular file is read.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        err = reason(errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        err = reason(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        ::close(fd);
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return std::make_unique<DescriptorFile>(fd, true);
}

std::unique_ptr<File> DiskFileSystem::open_write(const std::string& path, std::string& err) {
    if (type(path) == FileType::Directory) {
        err = reason(EISDIR);
        return nullptr;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temporary = temporary_name(path);
        int fd = ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return std::make_unique<DiskOutput>(fd, std::move(temporary), path);
        if (errno != EEXIST) {
            err = reason(errno);
            return nullptr;
        }
    }
    err = reason(EEXIST);
    return nullptr;
}

std::unique_ptr<LogFile> DiskFileSystem::open_log(const std::string& path, std::string& err) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno == ELOOP) {
            // A link at the log's name is replaced, never followed.
            if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
                err = reason(errno);
                return nullptr;
            }
            continue;
        }
        if (fd < 0) {
            err = reason(errno);
            return nullptr;
        }
        struct stat held {
        }, named{};
        if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            err = reason(S_ISDIR(held.st_mode) ? EISDIR : EINVAL);
            ::close(fd);
            return nullptr;
        }
        while (::flock(fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                err = reason(errno);
                ::close(fd);
                return nullptr;
            }
        }
        // The lock holds for the file that bears the name: if the name was
        // taken away while this run waited, start again.
        if (::stat(path.c_str(), &named) != 0 || !same_file(named, held)) {
            ::close(fd);
            continue;
        }
        // A log with other names (a linked copy of the folder) is never
        // changed through the link.
        if (held.st_nlink > 1 && !own_log(path, fd, held.st_mode, err)) {
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<DiskLog>(fd);
    }
    err = reason(EAGAIN);
    return nullptr;
}

std::unique_ptr<RunHold> DiskFileSystem::hold_run(const std::string& log, int wait_ms, bool& in_progress) {
    using clock = std::chrono::steady_clock;
    const clock::time_point until = clock::now() + std::chrono::milliseconds(wait_ms);
    in_progress = false;
    for (int attempt = 0; attempt < 100;) {
        const int fd = ::open(log.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return nullptr;
        struct stat held {
        }, named{};
        if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            ::close(fd);
            return nullptr;
        }
        if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
            const int e = errno;
            ::close(fd);
            if (e == EINTR) continue;
            if (e != EWOULDBLOCK) return nullptr;  // a file system without locks: nothing to wait for
            if (clock::now() >= until) {
                in_progress = true;
                return nullptr;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        // As for a run: the lock holds for the file that bears the name.
        if (::stat(log.c_str(), &named) == 0 && same_file(named, held)) return std::make_unique<DiskHold>(fd);
        ::close(fd);
        ++attempt;
    }
    return nullptr;
}

FileType DiskFileSystem::type(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return FileType::Missing;
    return type_of(st);
}

std::string DiskFileSystem::identity(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

bool DiskFileSystem::remove(const std::string& path, std::string& err) {
    if (::unlink(path.c_str()) == 0) {
        if (fsync_requested() && !sync_folder(path)) {
            err = reason(errno);
            return false;
        }
        return true;
    }
    const int e = errno;
    if (e == ENOENT) return true;
    err = reason(e);
    // In a shared folder with the sticky bit (/tmp, a group's exchange
    // folder) only a file's owner may remove it: say so, for the user who
    // finds another's file standing.
    std::string folder, name;
    split(path, folder, name);
    struct stat file {
    }, dir{};
    if ((e == EPERM || e == EACCES) && ::lstat(path.c_str(), &file) == 0 &&
        ::stat(folder.empty() ? "." : folder.c_str(), &dir) == 0 && (dir.st_mode & S_ISVTX) != 0 &&
        file.st_uid != ::geteuid())
        err += ", for the folder lets only a file's owner remove it and another user owns this one";
    return false;
}

void DiskFileSystem::remove_leftovers(const std::vector<std::string>& paths) {
    // The start of each file's temporary names, by folder: one look at
    // each folder.
    std::map<std::string, std::vector<std::string>> starts;
    for (const std::string& path : paths) {
        std::string folder, name;
        split(temporary_prefix(path), folder, name);
        starts[folder].push_back(name);
    }
    for (const auto& [folder, names] : starts) {
        DIR* d = ::opendir(folder.empty() ? "." : folder.c_str());
        if (!d) continue;
        while (const dirent* e = ::readdir(d)) {
            std::string_view n(e->d_name);
            for (const std::string& name : names) {
                if (n.size() <= name.size() + kTemporarySuffix.size() || n.substr(0, name.size()) != name ||
                    n.substr(n.size() - kTemporarySuffix.size()) != kTemporarySuffix)
                    continue;
                // What lies between is the process number and a count: "123-4".
                std::string_view mid = n.substr(name.size(), n.size() - name.size() - kTemporarySuffix.size());
                if (mid.find_first_not_of("0123456789-") == std::string_view::npos)
                    ::unlink((folder + std::string(n)).c_str());
            }
        }
        ::closedir(d);
    }
}

DiskFileSystem& disk() {
    static DiskFileSystem d;
    return d;
}

void remove_temporaries_on_signal() {
    struct sigaction action {};
    action.sa_handler = remove_temporaries_and_end;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(sig, &action, nullptr);
    // A write past the file-size limit or into a closed pipe then fails
    // with its reason, and the run ends through its own error path.
    ::signal(SIGXFSZ, SIG_IGN);
    ::signal(SIGPIPE, SIG_IGN);
}

std::unique_ptr<File> descriptor_file(int fd) {
    return std::make_unique<DescriptorFile>(fd, false);
}

}  // namespace common
