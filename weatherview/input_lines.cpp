#include "weatherview/input_lines.h"

#include <algorithm>
#include <cstring>

namespace weatherview {

// A File that hands every byte it reads to the tracker as well.
class TrackedFile final : public common::File {
  public:
    TrackedFile(std::unique_ptr<common::File> inner, LineTracker& lines) : inner_(std::move(inner)), lines_(&lines) {}

    int64_t read(char* buf, size_t n) override {
        const int64_t k = inner_->read(buf, n);
        if (k > 0) {
            lines_->take(at_, buf, static_cast<size_t>(k));
            at_ += k;
        }
        if (k < 0) error_ = inner_->error();
        return k;
    }
    bool write(const char* p, size_t n) override {
        if (inner_->write(p, n)) return true;
        error_ = inner_->error();
        return false;
    }
    bool seek(int64_t offset) override {
        at_ = offset;
        if (inner_->seek(offset)) return true;
        error_ = inner_->error();
        return false;
    }
    bool truncate(int64_t size) override { return inner_->truncate(size); }
    bool close() override {
        if (inner_->close()) return true;
        error_ = inner_->error();
        return false;
    }
    void discard() override { inner_->discard(); }
    int descriptor() const override { return inner_->descriptor(); }
    const std::string* text() const override { return inner_->text(); }

  private:
    std::unique_ptr<common::File> inner_;
    LineTracker* lines_;
    int64_t at_ = 0;  // file offset of the next byte read
};

std::unique_ptr<common::File> LineTracker::track(std::unique_ptr<common::File> file) {
    return std::make_unique<TrackedFile>(std::move(file), *this);
}

void LineTracker::take(int64_t at, const char* p, size_t n) {
    // Bytes read again after a step back are kept only once.
    const int64_t end = kept_at_ + static_cast<int64_t>(kept_.size());
    if (at + static_cast<int64_t>(n) <= end) return;
    if (at < end) {
        const auto skip = static_cast<size_t>(end - at);
        p += skip;
        n -= skip;
    }
    kept_.append(p, n);
}

LinePlace LineTracker::locate(int64_t offset) {
    const int64_t kept_end = kept_at_ + static_cast<int64_t>(kept_.size());
    size_t at = static_cast<size_t>(std::clamp(offset, kept_at_ + static_cast<int64_t>(head_), kept_end) - kept_at_);
    lines_before_ += std::count(kept_.data() + head_, kept_.data() + at, '\n');
    head_ = at;
    // Blank lines before the record's first value belong to no record.
    int64_t line = lines_before_ + 1;
    for (;;) {
        const size_t stop = kept_.find('\n', at);
        if (stop == std::string::npos) break;
        bool blank = true;
        for (size_t k = at; k < stop && blank; ++k) blank = kept_[k] == ' ' || kept_[k] == '\t' || kept_[k] == '\r';
        if (!blank) break;
        at = stop + 1;
        ++line;
    }
    size_t stop = at;
    while (stop < kept_.size() && kept_[stop] != '\n') ++stop;
    std::string_view text(kept_.data() + at, stop - at);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (kept_at_ + static_cast<int64_t>(at) == 0 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    // What was counted is dropped once it is a good part of what is kept.
    if (head_ >= (size_t{1} << 16) && head_ * 2 >= kept_.size()) {
        const size_t from = static_cast<size_t>(text.data() - kept_.data()) - head_;
        kept_.erase(0, head_);
        kept_at_ += static_cast<int64_t>(head_);
        head_ = 0;
        text = std::string_view(kept_.data() + from, text.size());
    }
    return {line, text};
}

}  // namespace weatherview
