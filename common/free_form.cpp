#include "common/free_form.h"

#include "common/field_edit.h"

namespace rec {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool ends_token(char c) { return is_blank(c) || c == ',' || c == '/'; }

// Scans a quoted text starting at rec[pos] (the quote). Returns the text with
// doubled quotes kept doubled, and moves pos past the closing quote.
std::string_view scan_quoted(std::string_view rec, size_t& pos) {
    char q = rec[pos++];
    size_t start = pos;
    while (pos < rec.size()) {
        if (rec[pos] == q) {
            if (pos + 1 < rec.size() && rec[pos + 1] == q) {
                pos += 2;
                continue;
            }
            std::string_view s = rec.substr(start, pos - start);
            ++pos;
            return s;
        }
        ++pos;
    }
    return rec.substr(start);
}

void store_text(std::string& target, std::string_view v, bool quoted) {
    size_t len = target.size();
    std::string s;
    for (size_t i = 0; i < v.size(); ++i) {
        s.push_back(v[i]);
        // Inside quotes a doubled quote stands for one.
        if (quoted && (v[i] == '\'' || v[i] == '"') && i + 1 < v.size() && v[i + 1] == v[i]) ++i;
    }
    s.resize(len, ' ');
    target.swap(s);
}

}  // namespace

bool FreeReader::fetch() {
    fetched_any_ = true;
    switch (c_->next_record(rec_)) {
        case RecordStatus::Ok:
            pos_ = 0;
            have_rec_ = true;
            return true;
        case RecordStatus::End:
            status_ = ReadStatus::EndOfFile;
            return false;
        default:
            status_ = ReadStatus::ConversionError;
            return false;
    }
}

bool FreeReader::convert(std::string_view tok, bool quoted, const Target& t) {
    bool ok = true;
    switch (t.kind) {
        case Kind::Integer:
            ok = !quoted && parse_int_token(tok, *static_cast<int32_t*>(t.p));
            break;
        case Kind::Real:
            ok = !quoted && parse_real_token(tok, *static_cast<float*>(t.p));
            break;
        case Kind::Text:
            store_text(*static_cast<std::string*>(t.p), tok, quoted);
            break;
    }
    if (!ok) status_ = ReadStatus::ConversionError;
    return ok;
}

bool FreeReader::get(const Target& t) {
    if (ended_ || status_ != ReadStatus::Done) return false;
    if (repeat_left_ > 0) {
        --repeat_left_;
        if (repeat_null_) return true;
        return convert(repeat_value_, repeat_quoted_, t);
    }
    for (;;) {
        if (!have_rec_ && !fetch()) return false;
        while (pos_ < rec_.size() && is_blank(rec_[pos_])) ++pos_;
        if (pos_ >= rec_.size()) {
            have_rec_ = false;  // a record end separates like a blank
            continue;
        }
        char c = rec_[pos_];
        if (c == ',') {
            ++pos_;
            if (after_comma_) return true;  // null value: target unchanged
            after_comma_ = true;
            continue;
        }
        if (c == '/') {
            ended_ = true;
            return false;
        }
        after_comma_ = false;
        // A value: r*v, r*, a quoted text or a plain token.
        size_t start = pos_;
        int64_t r = 0;
        size_t p = pos_;
        while (p < rec_.size() && rec_[p] >= '0' && rec_[p] <= '9') {
            if (r < 1000000000) r = r * 10 + (rec_[p] - '0');
            ++p;
        }
        if (p > start && p < rec_.size() && rec_[p] == '*') {
            if (r < 1) {
                status_ = ReadStatus::ConversionError;
                return false;
            }
            pos_ = p + 1;
            if (pos_ >= rec_.size() || ends_token(rec_[pos_])) {
                repeat_left_ = r - 1;
                repeat_null_ = true;
                return true;
            }
            bool quoted = rec_[pos_] == '\'' || rec_[pos_] == '"';
            std::string_view v;
            if (quoted) {
                v = scan_quoted(rec_, pos_);
            } else {
                size_t b = pos_;
                while (pos_ < rec_.size() && !ends_token(rec_[pos_])) ++pos_;
                v = rec_.substr(b, pos_ - b);
            }
            repeat_left_ = r - 1;
            repeat_null_ = false;
            repeat_quoted_ = quoted;
            repeat_value_ = v;
            return convert(v, quoted, t);
        }
        if (c == '\'' || c == '"') {
            std::string_view v = scan_quoted(rec_, pos_);
            return convert(v, true, t);
        }
        while (pos_ < rec_.size() && !ends_token(rec_[pos_])) ++pos_;
        return convert(rec_.substr(start, pos_ - start), false, t);
    }
}

ReadStatus FreeReader::finish() {
    // A statement without targets still reads (and skips) one record.
    if (!fetched_any_ && status_ == ReadStatus::Done) fetch();
    return status_;
}

ReadStatus read_free(Connection& c, std::initializer_list<Target> targets) {
    FreeReader r(c);
    for (const Target& t : targets)
        if (!r.get(t)) break;
    return r.finish();
}

void format_free(std::string& out, std::initializer_list<Value> values) {
    out.push_back(' ');
    bool first = true, after_number = false;
    for (const Value& v : values) {
        switch (v.kind) {
            case Kind::Text:
                if (after_number) out.push_back(' ');
                out.append(v.t);
                after_number = false;
                break;
            case Kind::Integer: {
                if (!first) out.push_back(' ');
                out += std::to_string(v.i);
                after_number = true;
                break;
            }
            case Kind::Real:
                if (!first) out.push_back(' ');
                free_real(out, v.r);
                after_number = true;
                break;
        }
        first = false;
    }
    out.append("\r\n");
}

bool write_free(Connection& c, std::initializer_list<Value> values) {
    format_free(c.output(), values);
    c.output_done();
    return c.ok();
}

}  // namespace rec
