// Fixed-length texts, as the record files and messages use them: blank-padded
// to their length, compared and joined without their trailing blanks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace common {

// The text without its trailing blanks.
inline std::string_view trim_right(std::string_view s) {
    size_t n = s.find_last_not_of(' ');
    return n == std::string_view::npos ? std::string_view{} : s.substr(0, n + 1);
}

// The lines of a text, without their line ends (CR LF or a bare LF); the
// last line needs no line end, and a text ending with one has no empty line
// after it.
inline std::vector<std::string_view> text_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t at = 0;
    while (at < text.size()) {
        size_t nl = text.find('\n', at);
        if (nl == std::string_view::npos) nl = text.size();
        const size_t end = nl > at && text[nl - 1] == '\r' ? nl - 1 : nl;
        lines.push_back(text.substr(at, end - at));
        at = nl + 1;
    }
    return lines;
}

// The text cut or blank-padded to exactly n characters.
inline std::string fixed(std::string_view s, size_t n) {
    std::string r(s.substr(0, n));
    r.resize(n, ' ');
    return r;
}

// The text with every control character written as an escape (\n, \r,
// \t, or \xHH), so that a name or argument put into a log or console line
// can never end that line or start another.
inline std::string printable(std::string_view s) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string r;
    r.reserve(s.size());
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c != 0x7f) {
            r.push_back(ch);
            continue;
        }
        r.push_back('\\');
        if (c == '\n')
            r.push_back('n');
        else if (c == '\r')
            r.push_back('r');
        else if (c == '\t')
            r.push_back('t');
        else {
            r.push_back('x');
            r.push_back(kHex[c >> 4]);
            r.push_back(kHex[c & 15]);
        }
    }
    return r;
}

}  // namespace common
