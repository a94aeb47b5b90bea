// File connections: sequential text files of records, known by stream number.
//
// A connection reads and writes one File of a FileSystem. An output is
// written from its start, so the first write replaces whatever the file held;
// a connection that is only read leaves its file as it was. Output records
// end with CR LF; input records may end with CR LF or a bare LF, and the last
// one needs no line end at all. A UTF-8 byte-order mark at the start of a
// file is skipped.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "common/file_system.h"
#include "common/values.h"

namespace common {

enum class RecordStatus : uint8_t { Ok, End, TooLong };

class Connection {
  public:
    // The longest record accepted on input. A longer one is a conversion
    // error and ends the reading: overlong() then tells why.
    static constexpr size_t kMaxRecord = size_t{1} << 20;

    // `fresh`: the file was just created and holds nothing, so writing from
    // its start has nothing to cut.
    Connection(int unit, std::string path, std::unique_ptr<File> file, bool fresh = false);
    // A connection on a text held in memory: reads come from `content`, and
    // writes are kept in memory() instead of a file.
    static std::unique_ptr<Connection> in_memory(int unit, std::string name, std::string content = {});
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    int unit() const { return unit_; }
    const std::string& path() const { return path_; }

    // Input. next_record() hands out the next record without its line end;
    // the view stays valid until the next call on this connection.
    RecordStatus next_record(std::string_view& rec);
    // The same, as the outcome of a read statement: an overlong record is a
    // conversion error.
    ReadStatus next_statement_record(std::string_view& rec);
    // True when no byte is left to read.
    bool at_end();
    // True once a record longer than kMaxRecord was met.
    bool overlong() const { return overlong_; }
    // Steps back over the record read last (once).
    void backspace();
    // Offset of the next record, and a return to such an offset.
    int64_t mark() const;
    void seek(int64_t offset);
    void rewind();

    // Output: appends one record and its CR LF. Returns false once a write
    // to the file has failed.
    bool put_record(std::string_view text);
    bool flush();
    bool ok() const { return !failed_; }
    // Why the connection failed, in the system's words; empty when it did not.
    const std::string& reason() const { return reason_; }
    // Flushes and closes; false if any write failed.
    bool close();

    // For the floating-point trap: writes pending output with write(2) and
    // lets an output appear as it stands, with async-signal-safe calls only.
    void emergency_close() noexcept;

    // Direct access for the record writer: the output buffer to append whole
    // records to, and the call that ends such an append.
    std::string& output() {
        enter_writing();
        return out_;
    }
    void output_done() {
        if (out_.size() >= kFlushSize) flush();
    }
    // What a memory connection holds (written text included once flushed);
    // empty for a file on disk.
    const std::string& memory() const;
    // From now on every byte written is also appended to `copy` as it is
    // flushed; null stops that.
    void keep_copy(std::string* copy) { copy_ = copy; }

  private:
    enum class Mode : uint8_t { Idle, Reading, Writing };
    bool fill();
    void enter_writing();
    void fail(const std::string& why);

    int unit_;
    std::string path_;
    std::unique_ptr<File> file_;
    Mode mode_ = Mode::Idle;
    bool failed_ = false;
    bool fresh_ = false;
    bool overlong_ = false;
    std::string reason_;
    // Input buffer: bytes [begin_, end_) of buf_ are unread; buf_pos_ is the
    // file offset of buf_[0].
    std::string buf_;
    size_t begin_ = 0, end_ = 0;
    int64_t buf_pos_ = 0;
    bool eof_ = false;
    int64_t last_record_ = 0;
    std::string spill_;
    // Output buffer.
    std::string out_;
    std::string* copy_ = nullptr;
    static constexpr size_t kFlushSize = size_t{1} << 16;
};

// The open connections of one run, by stream number.
class UnitTable {
  public:
    explicit UnitTable(FileSystem& fs = disk());
    ~UnitTable();

    FileSystem& file_system() { return *fs_; }

    // Opens `path` as stream `unit` (closing what the stream had before) for
    // writing: creates the file when missing. Returns nullptr when it cannot
    // be opened; last_error() then says why.
    Connection* open(int unit, const std::string& path);
    // Opens an existing file for reading only; nullptr when it cannot.
    Connection* open_existing(int unit, const std::string& path);
    // Binds a stream to an already open descriptor (the console).
    Connection* attach(int unit, int fd, const std::string& name);
    // Why the last open failed.
    const std::string& last_error() const { return last_error_; }
    Connection* get(int unit);
    // Closes the stream; an output then appears under its name. False if
    // writing it failed: the output then does not appear, and
    // last_error() says why. Closing a stream that is not open does nothing.
    bool close(int unit);
    void close_all();
    // True when an output of that name was opened and closed without error.
    bool wrote(const std::string& path) const { return written_.count(path) != 0; }
    // True when a stream is open on that name.
    bool is_open(const std::string& path) const;
    // For the floating-point trap: every output appears as it stands.
    void emergency_close_all() noexcept;

  private:
    Connection* connect(int unit, const std::string& path, std::unique_ptr<File> file, bool output);

    FileSystem* fs_;
    std::map<int, std::unique_ptr<Connection>> units_;
    std::map<int, bool> outputs_;
    std::set<std::string> written_;
    std::string last_error_;
};

}  // namespace common
