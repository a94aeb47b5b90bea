// The files a run reads and writes, behind one interface: the disk, or texts
// held in memory. A run is handed a FileSystem and never opens a file any
// other way, so whole runs can work on memory (tests, callers that hold a
// soil or a series in memory) exactly as they work on disk.
//
// Outputs are written whole or not at all: a file opened for writing is
// written under a temporary name beside its final name and appears under
// that name only when it is closed without error, replacing what stood there
// (a symbolic link at the name is replaced, never followed). A file that
// fails, or is dropped, leaves nothing behind. Readers of a name therefore
// see either the earlier file or the complete new one.
//
// A run's log is the one file rewritten in place: it is held under an
// exclusive lock for the run's whole life, so that runs sharing a log (and
// with it their outputs) wait for each other instead of mixing their files.
// A log that has other names (a hard-linked copy of a folder, a backup made
// with links) is first replaced by a file of its own, so that a run never
// changes another folder's log through the link. Readers of a run's files
// hold the same lock shared while they read.
//
// Durable results on request: with DRAINPREP_FSYNC=1 in the environment,
// every output and its folder are flushed to the disk (fsync) before the
// output counts as written, and the log after each of its lines, so that
// after a power cut the log never says more than the disk holds.
//
// Failures are values: an open that fails returns nullptr and says why in
// `err`; a read, write or close that fails returns a failure and the File
// keeps the reason in error(). Reasons are the system's own words
// (strerror), such as "No space left on device".
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace common {

enum class FileType : uint8_t { Missing, Regular, Directory, Fifo, Device, Socket };
// What a name that is no regular file is, in words: "a folder", ...
std::string_view type_words(FileType t);

// One open file: bytes read and written at a position.
class File {
  public:
    virtual ~File() = default;

    // Reads up to n bytes at the position and moves past them: the count
    // read, 0 at the end of the file, -1 on a failure.
    virtual int64_t read(char* buf, size_t n) = 0;
    // Writes n bytes at the position. False on a failure.
    virtual bool write(const char* p, size_t n) = 0;
    // Moves the position to `offset` bytes from the start.
    virtual bool seek(int64_t offset) = 0;
    // Cuts the file to `size` bytes.
    virtual bool truncate(int64_t size) = 0;
    // Ends the connection; a file opened for writing then appears under its
    // name. False if that failed: the file then does not appear.
    virtual bool close() = 0;
    // Ends a file opened for writing without letting it appear.
    virtual void discard() {}

    // For the floating-point trap, with async-signal-safe calls only: the
    // descriptor behind the file (or -1), and the close that lets a file
    // opened for writing appear under its name as it stands.
    virtual int descriptor() const { return -1; }
    virtual void emergency_close() noexcept {}
    // The bytes of a file held in memory; nullptr for a file on disk.
    virtual const std::string* text() const { return nullptr; }

    // Why the last operation failed.
    const std::string& error() const { return error_; }

  protected:
    std::string error_;
};

// A run's log, locked for as long as it is open.
class LogFile {
  public:
    virtual ~LogFile() = default;
    // Makes `text` (whole records with their line ends) the log's content.
    // The new text is written over the old before the file is cut to its
    // length, so an interruption never leaves the old text alone.
    virtual bool replace(std::string_view text) = 0;
    // The same for the floating-point trap, with async-signal-safe calls.
    virtual void emergency_replace(const char* text, size_t n) noexcept { (void)text, (void)n; }
    const std::string& error() const { return error_; }

  protected:
    std::string error_;
};

// A run's files held still while they are read: while it lives, no run
// changes them.
class RunHold {
  public:
    virtual ~RunHold() = default;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Opens an existing file for reading only.
    virtual std::unique_ptr<File> open_read(const std::string& path, std::string& err) = 0;
    // Opens a new file for writing (and reading back what was written),
    // which appears under `path` when it is closed.
    virtual std::unique_ptr<File> open_write(const std::string& path, std::string& err) = 0;
    // Opens the log `path` (created when missing) and locks it, waiting
    // while another run holds it.
    virtual std::unique_ptr<LogFile> open_log(const std::string& path, std::string& err) = 0;
    virtual FileType type(const std::string& path) = 0;
    // What tells an existing file apart from every other, or "" when the
    // name leads to no file. Two names with one identity name one file.
    virtual std::string identity(const std::string& path) = 0;
    // Removes a file; a name that does not exist is no failure.
    virtual bool remove(const std::string& path, std::string& err) = 0;
    // Removes what runs that were killed while writing these files left
    // behind.
    virtual void remove_leftovers(const std::vector<std::string>& paths) { (void)paths; }
    // Holds the run whose log is `log` still (the log's lock, shared),
    // waiting up to `wait_ms` milliseconds for a run in progress to end.
    // nullptr when there is no log to hold, or when a run is still in
    // progress after the wait (`in_progress` then says so).
    virtual std::unique_ptr<RunHold> hold_run(const std::string& log, int wait_ms, bool& in_progress) {
        (void)log, (void)wait_ms;
        in_progress = false;
        return std::make_unique<RunHold>();
    }
};

// True when DRAINPREP_FSYNC=1 asks for every output to be flushed to the disk
// before a run says it has ended.
bool fsync_requested();

// The name made normal without asking the disk: "." parts, doubled
// slashes and "dir/.." pairs removed.
std::string normal_name(const std::string& path);

// The disk of this process.
class DiskFileSystem final : public FileSystem {
  public:
    std::unique_ptr<File> open_read(const std::string& path, std::string& err) override;
    std::unique_ptr<File> open_write(const std::string& path, std::string& err) override;
    std::unique_ptr<LogFile> open_log(const std::string& path, std::string& err) override;
    FileType type(const std::string& path) override;
    std::string identity(const std::string& path) override;
    bool remove(const std::string& path, std::string& err) override;
    void remove_leftovers(const std::vector<std::string>& paths) override;
    std::unique_ptr<RunHold> hold_run(const std::string& log, int wait_ms, bool& in_progress) override;
};
DiskFileSystem& disk();

// Removes the temporary files of outputs still being written when the
// process is ended by SIGINT, SIGTERM or SIGHUP, then ends it as the signal
// would have. A write past the file-size limit (SIGXFSZ) or into a closed
// pipe (SIGPIPE) no longer ends the process: the write fails with the
// system's reason ("File too large", "Broken pipe") and the run ends as for
// any failed write. For programs, not for libraries that run inside another.
void remove_temporaries_on_signal();

// Writes all n bytes to a descriptor, retrying what an interruption cut
// short. Async-signal-safe, for the floating-point trap. False on a failure.
bool write_fully(int fd, const char* p, size_t n) noexcept;

// A file on a descriptor that stays open after the connection (the console).
std::unique_ptr<File> descriptor_file(int fd);
// A standalone text in memory, read from its start and written in place.
std::unique_ptr<File> memory_file(std::string text = {});

// Files held in memory, by name. Names are compared as normal_name() makes
// them: without "." parts, doubled slashes and "dir/.." pairs (which the
// disk resolves through the folders instead).
class MemoryFileSystem final : public FileSystem {
  public:
    std::unique_ptr<File> open_read(const std::string& path, std::string& err) override;
    std::unique_ptr<File> open_write(const std::string& path, std::string& err) override;
    std::unique_ptr<LogFile> open_log(const std::string& path, std::string& err) override;
    FileType type(const std::string& path) override;
    std::string identity(const std::string& path) override;
    bool remove(const std::string& path, std::string& err) override;

    // Puts a file in place, replacing one of the same name.
    void put(const std::string& path, std::string text);
    // A folder: a name under which files may not be opened as files.
    void add_folder(const std::string& path);
    // The file's bytes, or nullptr when there is none.
    const std::string* get(const std::string& path) const;
    // The names of all files, in order.
    std::vector<std::string> names() const;

  private:
    friend class MemoryOutput;
    static std::string key(const std::string& path);
    std::map<std::string, std::shared_ptr<std::string>> files_;
    std::map<std::string, bool> folders_;
};

}  // namespace common
