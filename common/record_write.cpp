#include "common/record_write.h"

#include <cstring>
#include <stdexcept>

#include "common/field_edit.h"

namespace common {
namespace {

[[noreturn]] void mismatch(const Layout& layout, const char* what) {
    throw std::logic_error("record layout \"" + layout.source() + "\": " + what);
}

}  // namespace

// The output string is kept longer than what was written, blank-filled past
// len_, so that a field is a pointer into blanks that are already there; the
// string is cut back to len_ when the statement ends.
void RecordWriter::widen(size_t n) {
    // A record or two at a time: the blanks are filled only where written.
    out_->resize(len_ + n + 160, ' ');
}

void RecordWriter::end_record() {
    char* p = room(2);
    p[0] = '\r';
    p[1] = '\n';
    pending_blanks_ = 0;
}

void RecordWriter::text(std::string_view t) {
    char* p = room(static_cast<size_t>(pending_blanks_) + t.size()) + pending_blanks_;
    pending_blanks_ = 0;
    if (!t.empty()) std::memcpy(p, t.data(), t.size());
}

void RecordWriter::act(const Item& it) {
    switch (it.kind) {
        case ItemKind::Literal:
            text(layout_->literal(it));
            break;
        case ItemKind::Blank:
            pending_blanks_ += it.width;
            break;
        case ItemKind::Slash:
            end_record();
            break;
        default:
            break;
    }
}

void RecordWriter::put(const Value& v) {
    for (;;) {
        const Item* it = walker_.next();
        if (!it) {
            if (since_restart_ == 0) mismatch(*layout_, "no field for a value");
            end_record();
            walker_.restart();
            since_restart_ = 0;
            continue;
        }
        if (!it->is_data()) {
            act(*it);
            continue;
        }
        ++since_restart_;
        if (it->kind == ItemKind::Int) {
            // The busiest case: the digits go straight into the blanks.
            if (v.kind != Kind::Integer) mismatch(*layout_, "I field needs an integer");
            char* p = room(static_cast<size_t>(pending_blanks_) + static_cast<size_t>(it->width)) + pending_blanks_;
            pending_blanks_ = 0;
            edit_int_field(p, v.i, it->width);
            return;
        }
        thread_local std::string field;
        field.clear();
        switch (it->kind) {
            case ItemKind::Fixed:
                if (v.kind != Kind::Real) mismatch(*layout_, "F field needs a real");
                edit_fixed(field, v.r, it->width, it->decimals);
                break;
            case ItemKind::Exp:
                if (v.kind != Kind::Real) mismatch(*layout_, "E field needs a real");
                edit_exp(field, v.r, it->width, it->decimals);
                break;
            default:
                if (v.kind != Kind::Text) mismatch(*layout_, "A field needs a text");
                if (it->width < 0) {
                    text(v.t);
                    return;
                }
                edit_text(field, v.t, it->width);
                break;
        }
        text(field);
        return;
    }
}

void RecordWriter::finish() {
    for (;;) {
        const Item* it = walker_.peek();
        if (!it || it->is_data()) break;
        walker_.next();
        act(*it);
    }
    end_record();
    out_->resize(len_);
}

bool write_record(Connection& c, const Layout& layout, std::initializer_list<Value> values) {
    RecordWriter w(layout, c.output());
    for (const Value& v : values) w.put(v);
    w.finish();
    c.output_done();
    return c.ok();
}

std::string format_record(const Layout& layout, std::initializer_list<Value> values) {
    std::string out;
    RecordWriter w(layout, out);
    for (const Value& v : values) w.put(v);
    w.finish();
    return out;
}

}  // namespace common
