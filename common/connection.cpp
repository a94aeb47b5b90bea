#include "common/connection.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace common {
namespace {

constexpr size_t kChunk = 1 << 16;

}  // namespace

Connection::Connection(int unit, std::string path, std::unique_ptr<File> file, bool fresh)
    : unit_(unit), path_(std::move(path)), file_(std::move(file)), fresh_(fresh) {}

std::unique_ptr<Connection> Connection::in_memory(int unit, std::string name, std::string content) {
    return std::make_unique<Connection>(unit, std::move(name), memory_file(std::move(content)));
}

Connection::~Connection() {
    close();
}

void Connection::fail(const std::string& why) {
    if (!failed_) reason_ = why;
    failed_ = true;
}

const std::string& Connection::memory() const {
    static const std::string kNone;
    const std::string* t = file_ ? file_->text() : nullptr;
    return t ? *t : kNone;
}

bool Connection::fill() {
    // Keep the unread bytes, then read one more chunk after them.
    if (begin_ > 0) {
        buf_.erase(0, begin_);
        buf_pos_ += static_cast<int64_t>(begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (eof_ || !file_) return false;
    buf_.resize(end_ + kChunk);
    int64_t k = file_->read(buf_.data() + end_, kChunk);
    if (k <= 0) {
        eof_ = true;
        buf_.resize(end_);
        return false;
    }
    end_ += static_cast<size_t>(k);
    buf_.resize(end_);
    return true;
}

ReadStatus Connection::next_statement_record(std::string_view& rec) {
    switch (next_record(rec)) {
        case RecordStatus::Ok:
            return ReadStatus::Done;
        case RecordStatus::End:
            return ReadStatus::EndOfFile;
        default:
            return ReadStatus::ConversionError;
    }
}

RecordStatus Connection::next_record(std::string_view& rec) {
    if (mode_ == Mode::Writing) flush();
    mode_ = Mode::Reading;
    if (overlong_) return RecordStatus::TooLong;
    if (begin_ == end_ && !fill() && begin_ == end_) return RecordStatus::End;
    // A file saved with a byte-order mark: the mark is no part of the text.
    if (buf_pos_ + static_cast<int64_t>(begin_) == 0) {
        while (end_ < 3 && fill()) {
        }
        if (end_ >= 3 && buf_.compare(0, 3, "\xEF\xBB\xBF") == 0) begin_ = 3;
        if (begin_ == end_ && !fill() && begin_ == end_) return RecordStatus::End;
    }
    last_record_ = buf_pos_ + static_cast<int64_t>(begin_);
    size_t scan = begin_;
    for (;;) {
        const void* nl = std::memchr(buf_.data() + scan, '\n', end_ - scan);
        size_t len = nl ? static_cast<size_t>(static_cast<const char*>(nl) - buf_.data()) - begin_ : end_ - begin_;
        if (len > kMaxRecord) {
            // A record longer than any the programs can hold ends the
            // reading: nothing after it is read.
            overlong_ = true;
            begin_ = end_;
            eof_ = true;
            return RecordStatus::TooLong;
        }
        if (nl) {
            size_t at = begin_ + len;
            if (len > 0 && buf_[at - 1] == '\r') --len;
            rec = std::string_view(buf_.data() + begin_, len);
            begin_ = at + 1;
            return RecordStatus::Ok;
        }
        size_t have = end_ - begin_;
        if (!fill()) {
            // Last record without a line end.
            len = end_ - begin_;
            if (len > 0 && buf_[begin_ + len - 1] == '\r') --len;
            rec = std::string_view(buf_.data() + begin_, len);
            begin_ = end_;
            return RecordStatus::Ok;
        }
        scan = begin_ + have;
    }
}

bool Connection::at_end() {
    if (mode_ == Mode::Writing) return true;
    mode_ = Mode::Reading;
    if (begin_ < end_) return false;
    return !fill() && begin_ == end_;
}

void Connection::backspace() {
    seek(last_record_);
}

int64_t Connection::mark() const {
    if (mode_ != Mode::Reading) return 0;
    return buf_pos_ + static_cast<int64_t>(begin_);
}

void Connection::seek(int64_t offset) {
    if (mode_ == Mode::Writing) flush();
    if (offset >= buf_pos_ && offset <= buf_pos_ + static_cast<int64_t>(end_)) {
        begin_ = static_cast<size_t>(offset - buf_pos_);
        mode_ = Mode::Reading;
        return;
    }
    if (file_) file_->seek(offset);
    buf_.clear();
    begin_ = end_ = 0;
    buf_pos_ = offset;
    eof_ = false;
    mode_ = Mode::Reading;
}

void Connection::rewind() {
    if (mode_ == Mode::Writing) flush();
    overlong_ = false;
    if (file_) file_->seek(0);
    buf_.clear();
    begin_ = end_ = 0;
    buf_pos_ = 0;
    eof_ = false;
    last_record_ = 0;
    mode_ = Mode::Idle;
}

void Connection::enter_writing() {
    if (mode_ == Mode::Writing) return;
    // Writing starts where the reading stopped (the start of the file after
    // opening or rewinding); whatever followed is dropped.
    int64_t at = (mode_ == Mode::Reading) ? buf_pos_ + static_cast<int64_t>(begin_) : 0;
    if (file_ && !(fresh_ && at == 0)) {
        if (!file_->truncate(at)) fail(file_->error());
        file_->seek(at);
    }
    fresh_ = false;
    buf_.clear();
    begin_ = end_ = 0;
    mode_ = Mode::Writing;
}

bool Connection::put_record(std::string_view text) {
    enter_writing();
    out_.append(text);
    out_ += "\r\n";
    output_done();
    return !failed_;
}

bool Connection::flush() {
    if (!out_.empty()) {
        if (copy_) copy_->append(out_);
        if (file_ && !file_->write(out_.data(), out_.size())) fail(file_->error());
        out_.clear();
    }
    return !failed_;
}

bool Connection::close() {
    if (!file_) return !failed_;
    flush();
    // An output whose data could not all be written does not appear.
    if (failed_)
        file_->discard();
    else if (!file_->close())
        fail(file_->error());
    if (!file_->text()) file_.reset();  // a memory connection keeps its text
    return !failed_;
}

void Connection::emergency_close() noexcept {
    if (!file_) return;
    int fd = file_->descriptor();
    if (fd >= 0 && !out_.empty()) write_fully(fd, out_.data(), out_.size());
    file_->emergency_close();
}

UnitTable::UnitTable(FileSystem& fs) : fs_(&fs) {}
UnitTable::~UnitTable() {
    close_all();
}

Connection* UnitTable::connect(int unit, const std::string& path, std::unique_ptr<File> file, bool output) {
    if (!file) return nullptr;
    auto c = std::make_unique<Connection>(unit, path, std::move(file), output);
    Connection* p = c.get();
    units_[unit] = std::move(c);
    outputs_[unit] = output;
    return p;
}

Connection* UnitTable::open(int unit, const std::string& path) {
    close(unit);
    return connect(unit, path, fs_->open_write(path, last_error_), true);
}

Connection* UnitTable::open_existing(int unit, const std::string& path) {
    close(unit);
    return connect(unit, path, fs_->open_read(path, last_error_), false);
}

Connection* UnitTable::attach(int unit, int fd, const std::string& name) {
    close(unit);
    return connect(unit, name, descriptor_file(fd), false);
}

bool UnitTable::is_open(const std::string& path) const {
    for (const auto& [unit, c] : units_)
        if (c->path() == path) return true;
    return false;
}

Connection* UnitTable::get(int unit) {
    auto it = units_.find(unit);
    return it == units_.end() ? nullptr : it->second.get();
}

bool UnitTable::close(int unit) {
    auto it = units_.find(unit);
    if (it == units_.end()) return true;
    Connection& c = *it->second;
    bool ok = c.close();
    if (!ok)
        last_error_ = c.reason();
    else if (outputs_[unit])
        written_.insert(c.path());
    units_.erase(it);
    return ok;
}

void UnitTable::close_all() {
    while (!units_.empty()) close(units_.begin()->first);
}

void UnitTable::emergency_close_all() noexcept {
    for (auto& [unit, c] : units_) c->emergency_close();
}

}  // namespace common
