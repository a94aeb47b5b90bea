#include "common/record_read.h"

#include <stdexcept>
#include <string>

#include "common/number_parse.h"

namespace common {
namespace {

[[noreturn]] void mismatch(const Layout& layout, const char* what) {
    throw std::logic_error("record layout \"" + layout.source() + "\": " + what);
}

// Stores a text read from a field of the given width into a text target.
void store_text(std::string& target, std::string_view field, int32_t w) {
    size_t len = target.size();
    if (static_cast<size_t>(w) >= len) {
        target.assign(field.substr(field.size() - len));
    } else {
        target.assign(field);
        target.resize(len, ' ');
    }
}

}  // namespace

bool RecordReader::next_record() {
    if (status_ != ReadStatus::Done) return false;
    status_ = c_->next_statement_record(rec_);
    // A statement cut off by the end of the file after some of its values.
    if (status_ == ReadStatus::EndOfFile && filled_ > 0) status_ = ReadStatus::CutOff;
    col_ = 0;
    return status_ == ReadStatus::Done;
}

// The next w columns of the record, padded with blanks past its end.
std::string_view RecordReader::field(int32_t w) {
    thread_local std::string padded;
    auto uw = static_cast<size_t>(w);
    size_t start = col_;
    col_ += uw;
    if (start + uw <= rec_.size()) return rec_.substr(start, uw);
    padded.assign(uw, ' ');
    if (start < rec_.size()) padded.replace(0, rec_.size() - start, rec_.substr(start));
    return padded;
}

bool RecordReader::get(const Target& t) {
    if (!started_) {
        started_ = true;
        if (!next_record()) return false;
    }
    if (status_ != ReadStatus::Done) return false;
    for (;;) {
        const Item* it = walker_.next();
        if (!it) {
            if (since_restart_ == 0) mismatch(*layout_, "no field for a target");
            walker_.restart();
            since_restart_ = 0;
            if (!next_record()) return false;
            continue;
        }
        switch (it->kind) {
            case ItemKind::Blank:
            case ItemKind::Literal:
                col_ += static_cast<size_t>(it->width);
                continue;
            case ItemKind::Slash:
                if (!next_record()) return false;
                continue;
            default:
                break;
        }
        ++since_restart_;
        bool ok = true;
        switch (it->kind) {
            case ItemKind::Int:
                if (t.kind != Kind::Integer) mismatch(*layout_, "I field needs an integer target");
                ok = read_int_field(field(it->width), *static_cast<int32_t*>(t.p));
                break;
            case ItemKind::Fixed:
            case ItemKind::Exp:
                if (t.kind != Kind::Real) mismatch(*layout_, "F or E field needs a real target");
                ok = read_real_field(field(it->width), it->decimals, *static_cast<float*>(t.p));
                break;
            default: {
                if (t.kind != Kind::Text) mismatch(*layout_, "A field needs a text target");
                auto& s = *static_cast<std::string*>(t.p);
                int32_t w = it->width < 0 ? static_cast<int32_t>(s.size()) : it->width;
                store_text(s, field(w), w);
                break;
            }
        }
        if (!ok)
            status_ = ReadStatus::ConversionError;
        else
            ++filled_;
        return ok;
    }
}

ReadStatus RecordReader::finish() {
    if (!started_) {
        started_ = true;
        next_record();
    }
    while (status_ == ReadStatus::Done) {
        const Item* it = walker_.peek();
        if (!it || it->is_data()) break;
        walker_.next();
        if (it->kind == ItemKind::Slash)
            next_record();
        else
            col_ += static_cast<size_t>(it->width);
    }
    return status_;
}

ReadStatus read_record(Connection& c, const Layout& layout, std::initializer_list<Target> targets) {
    RecordReader r(c, layout);
    for (const Target& t : targets)
        if (!r.get(t)) break;
    return r.finish();
}

}  // namespace common
