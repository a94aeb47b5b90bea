// File connections: sequential text files of records, known by stream number.
//
// A connection is opened on a path: the file is created when missing and is
// written from its start, so the first write replaces whatever the file held.
// A connection that is only read leaves its file as it was. Output records end
// with CR LF; input records may end with CR LF or a bare LF, and the last one
// needs no line end at all.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "common/values.h"

namespace common {

enum class RecordStatus : uint8_t { Ok, End, TooLong };

class Connection {
public:
    // The longest record accepted on input; a longer one is a conversion error.
    static constexpr size_t kMaxRecord = size_t{1} << 20;

    Connection(int unit, std::string path, int fd, bool owns_fd);
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
    // Flushes and closes; false if any write failed.
    bool close();

    // For the floating-point trap: writes pending output with write(2) only.
    void emergency_flush() noexcept;

    // Direct access for the record writer: the output buffer to append whole
    // records to, and the call that ends such an append.
    std::string& output() {
        enter_writing();
        return out_;
    }
    void output_done() {
        if (out_.size() >= kFlushSize) flush();
    }
    // What a memory connection holds (written text included once flushed).
    const std::string& memory() const { return mem_; }

private:
    enum class Mode : uint8_t { Idle, Reading, Writing };
    bool fill();
    void enter_writing();

    int unit_;
    std::string path_;
    int fd_;
    bool owns_fd_;
    Mode mode_ = Mode::Idle;
    bool failed_ = false;
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
    static constexpr size_t kFlushSize = size_t{1} << 16;
    // Memory connection: the file's content and the read position in it.
    bool in_memory_ = false;
    std::string mem_;
    size_t mem_read_ = 0;
};

// The open connections of one run, by stream number.
class UnitTable {
public:
    UnitTable();
    ~UnitTable();

    // Opens `path` as stream `unit` (closing what the stream had before):
    // creates the file when missing. Returns nullptr when it cannot be opened.
    Connection* open(int unit, const std::string& path);
    // Opens an existing file for reading only; nullptr when it cannot.
    Connection* open_existing(int unit, const std::string& path);
    // Binds a stream to an already open descriptor (the console).
    Connection* attach(int unit, int fd, const std::string& name);
    Connection* get(int unit);
    // Closes the stream; false if writing it failed. Closing a stream that is
    // not open does nothing.
    bool close(int unit);
    void close_all();
    // Writes every pending output with write(2); for the floating-point trap.
    void emergency_flush_all() noexcept;

private:
    Connection* connect(int unit, const std::string& path, int flags);

    std::map<int, std::unique_ptr<Connection>> units_;
};

bool file_exists(const std::string& path);

}  // namespace common
