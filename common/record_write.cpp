#include "common/record_write.h"

#include <stdexcept>

#include "common/field_edit.h"

namespace rec {
namespace {

[[noreturn]] void mismatch(const Layout& layout, const char* what) {
    throw std::logic_error("record layout \"" + layout.source() + "\": " + what);
}

}  // namespace

void RecordWriter::end_record() {
    out_->append("\r\n");
    pending_blanks_ = 0;
}

void RecordWriter::act(const Item& it) {
    switch (it.kind) {
        case ItemKind::Literal:
            out_->append(static_cast<size_t>(pending_blanks_), ' ');
            pending_blanks_ = 0;
            out_->append(layout_->literal(it));
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
        out_->append(static_cast<size_t>(pending_blanks_), ' ');
        pending_blanks_ = 0;
        ++since_restart_;
        switch (it->kind) {
            case ItemKind::Int:
                if (v.kind != Kind::Integer) mismatch(*layout_, "I field needs an integer");
                edit_int(*out_, v.i, it->width);
                break;
            case ItemKind::Fixed:
                if (v.kind != Kind::Real) mismatch(*layout_, "F field needs a real");
                edit_fixed(*out_, v.r, it->width, it->decimals);
                break;
            case ItemKind::Exp:
                if (v.kind != Kind::Real) mismatch(*layout_, "E field needs a real");
                edit_exp(*out_, v.r, it->width, it->decimals);
                break;
            default:
                if (v.kind != Kind::Text) mismatch(*layout_, "A field needs a text");
                if (it->width < 0) out_->append(v.t);
                else edit_text(*out_, v.t, it->width);
                break;
        }
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

}  // namespace rec
