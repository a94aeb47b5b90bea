// Fixed-length texts, as the record files and messages use them: blank-padded
// to their length, compared and joined without their trailing blanks.
#pragma once

#include <string>
#include <string_view>

namespace common {

// The text without its trailing blanks.
inline std::string_view trim_right(std::string_view s) {
    size_t n = s.find_last_not_of(' ');
    return n == std::string_view::npos ? std::string_view{} : s.substr(0, n + 1);
}

// The text cut or blank-padded to exactly n characters.
inline std::string fixed(std::string_view s, size_t n) {
    std::string r(s.substr(0, n));
    r.resize(n, ' ');
    return r;
}

}  // namespace common
