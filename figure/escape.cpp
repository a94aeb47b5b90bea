#include "figure/escape.h"

#include <cstdint>

namespace figure {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Length of the valid UTF-8 sequence at the start of S that encodes a
// character XML allows, or 0 when the leading bytes are not one.
size_t valid_sequence(std::string_view s) {
    const auto b0 = static_cast<unsigned char>(s[0]);
    if (b0 < 0x80) {
        const bool allowed = (b0 >= 0x20 && b0 != 0x7F) || b0 == '\t' || b0 == '\n' || b0 == '\r';
        return allowed ? 1 : 0;
    }
    size_t len;
    uint32_t cp;
    uint32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (s.size() < len) return 0;
    for (size_t i = 1; i < len; ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF) return 0;     // overlong or too large
    if (cp >= 0xD800 && cp <= 0xDFFF) return 0;  // surrogate
    if (cp == 0xFFFE || cp == 0xFFFF) return 0;  // not a character
    if (cp >= 0x7F && cp <= 0x9F) return 0;      // C1 controls (and DEL)
    return len;
}

}  // namespace

void append_escaped(std::string& out, std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        switch (c) {
            case '&':
                out += "&amp;";
                ++i;
                continue;
            case '<':
                out += "&lt;";
                ++i;
                continue;
            case '>':
                out += "&gt;";
                ++i;
                continue;
            case '"':
                out += "&quot;";
                ++i;
                continue;
            default:
                break;
        }
        const size_t len = valid_sequence(text.substr(i));
        if (len == 0) {
            out += kReplacement;
            ++i;
        } else {
            out.append(text.data() + i, len);
            i += len;
        }
    }
}

std::string escape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    append_escaped(out, text);
    return out;
}

}  // namespace figure
