#include "common/number_parse.h"

#include <charconv>
#include <string>

namespace common {
namespace {

// Splits a real token into its parts. Accepts [sign] digits [. digits]
// [(E|D) [sign] digits | sign digits]; at least one mantissa digit.
struct RealParts {
    bool neg = false;
    std::string_view int_digits, frac_digits;
    bool has_point = false;
    int64_t exp = 0;
    bool plain_exp = true;  // exponent absent or written with E/e
};

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

bool split_real(std::string_view t, RealParts& p) {
    size_t i = 0, n = t.size();
    if (i < n && (t[i] == '+' || t[i] == '-')) p.neg = (t[i++] == '-');
    size_t b = i;
    while (i < n && is_digit(t[i])) ++i;
    p.int_digits = t.substr(b, i - b);
    if (i < n && t[i] == '.') {
        p.has_point = true;
        size_t f = ++i;
        while (i < n && is_digit(t[i])) ++i;
        p.frac_digits = t.substr(f, i - f);
    }
    if (p.int_digits.empty() && p.frac_digits.empty()) return false;
    if (i == n) return true;
    char c = t[i];
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
        p.plain_exp = (c == 'E' || c == 'e');
        ++i;
    } else if (c == '+' || c == '-') {
        p.plain_exp = false;
    } else {
        return false;
    }
    bool eneg = false;
    if (i < n && (t[i] == '+' || t[i] == '-')) eneg = (t[i++] == '-');
    if (i == n) return false;
    int64_t e = 0;
    for (; i < n; ++i) {
        if (!is_digit(t[i])) return false;
        if (e < 1000000) e = e * 10 + (t[i] - '0');
    }
    p.exp = eneg ? -e : e;
    return true;
}

// Converts the parts, with `shift` decimal places taken off the mantissa.
bool convert_real(const RealParts& p, int64_t shift, float& v) {
    std::string buf;
    buf.reserve(p.int_digits.size() + p.frac_digits.size() + 16);
    if (p.neg) buf.push_back('-');
    buf.append(p.int_digits);
    if (!p.frac_digits.empty()) {
        buf.push_back('.');
        buf.append(p.frac_digits);
    }
    int64_t e = p.exp - shift;
    if (e != 0) {
        buf.push_back('e');
        buf += std::to_string(e);
    }
    float r = 0.0f;
    auto res = std::from_chars(buf.data(), buf.data() + buf.size(), r);
    if (res.ec == std::errc()) {
        v = r;
        return true;
    }
    if (res.ec != std::errc::result_out_of_range) return false;
    // Out of range: too small reads as zero, too large is an error.
    std::string digits(p.int_digits);
    digits.append(p.frac_digits);
    size_t lead = digits.find_first_not_of('0');
    if (lead == std::string::npos) {
        v = p.neg ? -0.0f : 0.0f;
        return true;
    }
    int64_t magnitude = e + static_cast<int64_t>(p.int_digits.size()) - 1 - static_cast<int64_t>(lead);
    if (magnitude < 0) {
        v = p.neg ? -0.0f : 0.0f;
        return true;
    }
    return false;
}

// Copies a fixed field without its blanks into `buf`; false if too long.
std::string_view squeeze(std::string_view field, char* buf, size_t cap, std::string& spill) {
    size_t n = 0;
    bool use_spill = false;
    for (char c : field) {
        if (c == ' ' || c == '\t') continue;
        if (!use_spill && n == cap) {
            spill.assign(buf, n);
            use_spill = true;
        }
        if (use_spill)
            spill.push_back(c);
        else
            buf[n++] = c;
    }
    return use_spill ? std::string_view(spill) : std::string_view(buf, n);
}

}  // namespace

bool parse_int_token(std::string_view tok, int32_t& v) {
    size_t i = 0;
    bool neg = false;
    if (i < tok.size() && (tok[i] == '+' || tok[i] == '-')) neg = (tok[i++] == '-');
    if (i == tok.size()) return false;
    int64_t x = 0;
    for (; i < tok.size(); ++i) {
        if (!is_digit(tok[i])) return false;
        x = x * 10 + (tok[i] - '0');
        if (x > 2147483648LL) return false;
    }
    if (neg) x = -x;
    if (x > INT32_MAX || x < INT32_MIN) return false;
    v = static_cast<int32_t>(x);
    return true;
}

bool parse_real_token(std::string_view tok, float& v) {
    RealParts p;
    if (!split_real(tok, p)) return false;
    if (p.plain_exp && tok[0] != '+') {
        // The common case needs no rewriting: convert the token in place.
        float r = 0.0f;
        auto res = std::from_chars(tok.data(), tok.data() + tok.size(), r);
        if (res.ec == std::errc() && res.ptr == tok.data() + tok.size()) {
            v = r;
            return true;
        }
    }
    return convert_real(p, 0, v);
}

bool read_int_field(std::string_view field, int32_t& v) {
    char buf[64];
    std::string spill;
    std::string_view t = squeeze(field, buf, sizeof buf, spill);
    if (t.empty()) {
        v = 0;
        return true;
    }
    return parse_int_token(t, v);
}

bool read_real_field(std::string_view field, int d, float& v) {
    char buf[64];
    std::string spill;
    std::string_view t = squeeze(field, buf, sizeof buf, spill);
    if (t.empty()) {
        v = 0.0f;
        return true;
    }
    RealParts p;
    if (!split_real(t, p)) return false;
    return convert_real(p, p.has_point ? 0 : d, v);
}

const char* scan_plain_real(const char* p, const char* end, float& v) {
    static constexpr float kPow10[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    bool neg = p < end && *p == '-';
    if (neg) ++p;
    const char* q = p;
    uint64_t m = 0;
    while (q < end && static_cast<unsigned>(*q - '0') <= 9) m = m * 10 + static_cast<unsigned>(*q++ - '0');
    auto ni = q - p;
    decltype(ni) nf = 0;
    if (q < end && *q == '.') {
        const char* f = ++q;
        while (q < end && static_cast<unsigned>(*q - '0') <= 9) m = m * 10 + static_cast<unsigned>(*q++ - '0');
        nf = q - f;
    }
    // Up to 18 digits cannot overflow m; beyond 2^24 or 10 decimals the
    // division is no longer exact in its operands.
    if (ni + nf == 0 || ni + nf > 18 || nf > 10 || m > (1u << 24)) return nullptr;
    if (q < end && (*q == 'e' || *q == 'E' || *q == 'd' || *q == 'D' || *q == '+' || *q == '-')) return nullptr;
    float r = static_cast<float>(m) / kPow10[nf];
    v = neg ? -r : r;
    return q;
}

const char* scan_plain_int(const char* p, const char* end, int32_t& v) {
    bool neg = p < end && *p == '-';
    if (neg) ++p;
    // At most 9 digits, so that the value stays within 32 bits.
    const char* stop = end - p > 9 ? p + 9 : end;
    const char* q = p;
    int32_t x = 0;
    while (q < stop && static_cast<unsigned>(*q - '0') <= 9) x = x * 10 + (*q++ - '0');
    if (q == p || (q < end && static_cast<unsigned>(*q - '0') <= 9)) return nullptr;
    v = neg ? -x : x;
    return q;
}

}  // namespace common
