#include "common/free_form.h"

#include <charconv>
#include <cmath>

#include "common/field_edit.h"
#include "common/number_parse.h"

namespace common {
namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}
bool ends_token(char c) {
    return is_blank(c) || c == ',' || c == '/';
}

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

// The common real, a plain decimal number in range such as 12.5 or -1.5e3,
// converted in one pass. False leaves the token to parse_real_token, which
// also takes D exponents, a leading plus, and reports what does not read.
bool plain_real(std::string_view tok, float& v) {
    if (tok.empty() || tok[0] == '+') return false;
    float r = 0.0f;
    auto res = std::from_chars(tok.data(), tok.data() + tok.size(), r);
    if (res.ec != std::errc() || res.ptr != tok.data() + tok.size() || !std::isfinite(r)) return false;
    v = r;
    return true;
}

// The common integer, digits with an optional minus sign within the 32-bit
// range, converted in one pass; anything else is left to parse_int_token.
bool plain_int(std::string_view tok, int32_t& v) {
    int32_t r = 0;
    auto res = std::from_chars(tok.data(), tok.data() + tok.size(), r);
    if (res.ec != std::errc() || res.ptr != tok.data() + tok.size()) return false;
    v = r;
    return true;
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
    status_ = c_->next_statement_record(rec_);
    // A record cut off by the end of the file, some of its values read and
    // others missing, is no record.
    if (status_ == ReadStatus::EndOfFile && taken_ > 0) status_ = ReadStatus::CutOff;
    if (status_ != ReadStatus::Done) return false;
    pos_ = 0;
    have_rec_ = true;
    return true;
}

bool FreeReader::convert(std::string_view tok, bool quoted, const Target& t) {
    bool ok = true;
    switch (t.kind) {
        case Kind::Integer:
            ok = !quoted &&
                 (plain_int(tok, *static_cast<int32_t*>(t.p)) || parse_int_token(tok, *static_cast<int32_t*>(t.p)));
            break;
        case Kind::Real:
            ok = !quoted &&
                 (plain_real(tok, *static_cast<float*>(t.p)) || parse_real_token(tok, *static_cast<float*>(t.p)));
            break;
        case Kind::Text:
            store_text(*static_cast<std::string*>(t.p), tok, quoted);
            break;
    }
    if (!ok) status_ = ReadStatus::ConversionError;
    return ok;
}

bool FreeReader::get(const Target& t) {
    if (!take(t)) return false;
    ++taken_;
    return true;
}

bool FreeReader::take(const Target& t) {
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
        const char* d = rec_.data();
        const size_t n = rec_.size();
        size_t start = pos_;
        size_t p = pos_;
        while (p < n && d[p] >= '0' && d[p] <= '9') ++p;
        if (p > start && p < n && d[p] == '*') {
            int64_t r = 0;
            for (size_t k = start; k < p; ++k)
                if (r < 1000000000) r = r * 10 + (d[k] - '0');
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
        // The leading digits belong to the token: scan on from where they end.
        while (p < n && !ends_token(d[p])) ++p;
        pos_ = p;
        return convert(rec_.substr(start, p - start), false, t);
    }
}

ReadStatus FreeReader::finish() {
    // A statement without targets still reads (and skips) one record.
    if (!fetched_any_ && status_ == ReadStatus::Done) fetch();
    return status_;
}

namespace {

// The common statement: numbers only, all on one record, separated by blanks.
// Reads the record and fills the targets from its first values (the rest of
// the record is skipped, as always). Returns false, with the targets
// untouched and the record stepped back over, whenever the record needs the
// general reader: a value that std::from_chars does not take whole (a comma,
// slash, repeat count, quote, D exponent or leading plus), a value out of
// range, fewer values than targets, or a text target.
//
// The values are staged and stored only once the whole record has been
// taken: the general reader leaves a target unchanged for a null value
// (r* or two commas), so a value stored here before the hand-over would
// survive in its place.
bool read_plain_record(Connection& c, std::initializer_list<Target> targets, ReadStatus& status) {
    constexpr size_t kMaxStaged = 16;
    if (targets.size() == 0 || targets.size() > kMaxStaged) return false;
    union Staged {
        int32_t i;
        float r;
    };
    Staged staged[kMaxStaged];
    std::string_view rec;
    status = c.next_statement_record(rec);
    if (status != ReadStatus::Done) return true;
    const char* p = rec.data();
    const char* const end = p + rec.size();
    size_t k = 0;
    for (const Target& t : targets) {
        while (p < end && (*p == ' ' || *p == '\t')) ++p;
        const char* q = nullptr;
        if (t.kind == Kind::Integer) {
            int32_t& v = staged[k].i;
            q = scan_plain_int(p, end, v);
            if (!q) {
                auto res = std::from_chars(p, end, v);
                if (res.ec == std::errc() && res.ptr != p) q = res.ptr;
            }
        } else if (t.kind == Kind::Real) {
            float& v = staged[k].r;
            q = scan_plain_real(p, end, v);
            if (!q) {
                auto res = std::from_chars(p, end, v);
                if (res.ec == std::errc() && res.ptr != p && std::isfinite(v)) q = res.ptr;
            }
        }
        if (!q || (q < end && *q != ' ' && *q != '\t')) {
            c.backspace();
            return false;
        }
        p = q;
        ++k;
    }
    k = 0;
    for (const Target& t : targets) {
        if (t.kind == Kind::Integer)
            *static_cast<int32_t*>(t.p) = staged[k].i;
        else
            *static_cast<float*>(t.p) = staged[k].r;
        ++k;
    }
    status = ReadStatus::Done;
    return true;
}

}  // namespace

ReadStatus read_free(Connection& c, std::initializer_list<Target> targets) {
    ReadStatus status = ReadStatus::Done;
    if (read_plain_record(c, targets, status)) return status;
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

}  // namespace common
