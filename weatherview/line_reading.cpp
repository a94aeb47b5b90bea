#include "weatherview/line_reading.h"

namespace weatherview {
namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}
bool ends_value(char c) {
    return is_blank(c) || c == ',' || c == '/';
}

void skip_blanks(std::string_view line, size_t& pos) {
    while (pos < line.size() && is_blank(line[pos])) ++pos;
}

// Moves POS past a quoted text that starts at the quote.
void skip_quoted(std::string_view line, size_t& pos) {
    const char q = line[pos++];
    while (pos < line.size()) {
        if (line[pos] == q && !(pos + 1 < line.size() && line[pos + 1] == q)) {
            ++pos;
            return;
        }
        pos += line[pos] == q ? 2 : 1;
    }
}

}  // namespace

LineReading read_line_values(std::string_view line, int wanted) {
    LineReading r;
    size_t pos = 0;
    bool after_comma = true;  // a comma at the start of the line is a null value
    int surplus = 0;          // 1: an r*v gives more values than the record takes
    while (r.taken < wanted) {
        skip_blanks(line, pos);
        if (pos >= line.size()) {
            r.short_line = true;
            return r;
        }
        const char c = line[pos];
        if (c == ',') {
            ++pos;
            if (after_comma) r.nulls.push_back(r.taken++);
            after_comma = true;
            continue;
        }
        if (c == '/') {
            r.slash = true;
            while (r.taken < wanted) r.nulls.push_back(r.taken++);
            return r;
        }
        after_comma = false;
        // A repeat count: digits and a star.
        size_t p = pos;
        while (p < line.size() && line[p] >= '0' && line[p] <= '9') ++p;
        if (p > pos && p < line.size() && line[p] == '*') {
            long count = 0;
            for (size_t k = pos; k < p && count < 1000000; ++k) count = count * 10 + (line[k] - '0');
            pos = p + 1;
            const bool null = pos >= line.size() || ends_value(line[pos]);
            if (!null) {
                if (line[pos] == '\'' || line[pos] == '"')
                    skip_quoted(line, pos);
                else
                    while (pos < line.size() && !ends_value(line[pos])) ++pos;
            }
            if (count > wanted - r.taken) surplus = 1;
            for (long k = 0; k < count && r.taken < wanted; ++k) {
                if (null) r.nulls.push_back(r.taken);
                ++r.taken;
            }
            continue;
        }
        if (c == '\'' || c == '"')
            skip_quoted(line, pos);
        else
            while (pos < line.size() && !ends_value(line[pos])) ++pos;
        ++r.taken;
    }
    // After the record's values: blanks and one comma separate; anything
    // more is values the record does not take.
    skip_blanks(line, pos);
    if (pos < line.size() && line[pos] == ',') {
        ++pos;
        skip_blanks(line, pos);
    }
    size_t end = line.size();
    while (end > pos && is_blank(line[end - 1])) --end;
    r.ignored = std::string(line.substr(pos, end - pos));
    if (r.ignored.empty() && surplus > 0) r.ignored = "the rest of a repeat count";
    return r;
}

}  // namespace weatherview
