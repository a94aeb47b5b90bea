#include "common/field_edit.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace common {
namespace {

using u128 = unsigned __int128;

void stars(std::string& out, int w) {
    out.append(static_cast<size_t>(w), '*');
}

void pad_to(std::string& out, size_t start, int w) {
    // Right-aligns what was appended since `start` in a field of w columns.
    size_t len = out.size() - start;
    if (len < static_cast<size_t>(w)) out.insert(start, static_cast<size_t>(w) - len, ' ');
}

int bit_length(u128 v) {
    int n = 0;
    while (v) {
        v >>= 1;
        ++n;
    }
    return n;
}

u128 pow10_128(int d) {
    u128 p = 1;
    for (int i = 0; i < d; ++i) p *= 10;
    return p;
}

void u128_to_dec(u128 v, std::string& s) {
    char tmp[48];
    int n = 0;
    if (v == 0) tmp[n++] = '0';
    while (v > 0) {
        if (v <= UINT64_MAX) {
            auto x = static_cast<uint64_t>(v);
            while (x > 0) {
                tmp[n++] = static_cast<char>('0' + x % 10);
                x /= 10;
            }
            break;
        }
        tmp[n++] = static_cast<char>('0' + static_cast<int>(v % 10));
        v /= 10;
    }
    while (n > 0) s.push_back(tmp[--n]);
}

// Decimal digits of round-half-even(a * 10^d) for a finite a >= 0, computed
// exactly from the binary value of a. No leading zeros; "0" for zero.
void scaled_digits(float a, int d, std::string& s) {
    s.clear();
    uint32_t u = std::bit_cast<uint32_t>(a);
    uint32_t be = (u >> 23) & 0xffu;
    uint32_t mant = u & 0x7fffffu;
    uint64_t m = be ? (mant | 0x800000u) : mant;
    int e = be ? static_cast<int>(be) - 150 : -149;
    if (m == 0) {
        s.push_back('0');
        return;
    }
    if (d <= 30) {
        u128 p = pow10_128(d);
        int bits = 24 + bit_length(p);
        if (e >= 0 && bits + e <= 127) {
            u128 n = (static_cast<u128>(m) * p) << e;
            u128_to_dec(n, s);
            return;
        }
        if (e < 0 && bits <= 127) {
            u128 num = static_cast<u128>(m) * p;
            int sh = -e;
            u128 q = 0;
            if (sh < 128) {
                q = num >> sh;
                u128 rem = num - (q << sh);
                u128 half = static_cast<u128>(1) << (sh - 1);
                if (rem > half || (rem == half && (q & 1))) ++q;
            }
            // For sh >= 128, num < 2^127 <= half: the value rounds to zero.
            u128_to_dec(q, s);
            return;
        }
    }
    // Very large values or very many decimals: the C library converts the
    // exact binary value and rounds ties to even as well.
    std::vector<char> buf(static_cast<size_t>(d) + 64);
    std::snprintf(buf.data(), buf.size(), "%.*f", d, static_cast<double>(a));
    for (const char* c = buf.data(); *c; ++c)
        if (*c != '.') s.push_back(*c);
    size_t nz = s.find_first_not_of('0');
    s.erase(0, nz == std::string::npos ? s.size() - 1 : nz);
}

bool edit_non_finite(std::string& out, float v, int w) {
    if (std::isfinite(v)) return false;
    size_t start = out.size();
    if (std::isnan(v)) {
        if (w < 3) return stars(out, w), true;
        out += "NaN";
    } else {
        bool neg = std::signbit(v);
        int need_long = neg ? 9 : 8, need_short = neg ? 4 : 3;
        if (w >= need_long)
            out += neg ? "-Infinity" : "Infinity";
        else if (w >= need_short)
            out += neg ? "-Inf" : "Inf";
        else
            return stars(out, w), true;
    }
    pad_to(out, start, w);
    return true;
}

}  // namespace

void edit_int_field(char* field, int32_t v, int w) {
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    uint32_t u = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
    int len = 1;
    for (uint32_t limit = 10; len < 10 && u >= limit; limit *= 10) ++len;
    if (v < 0) ++len;
    if (len > w) {
        for (int i = 0; i < w; ++i) field[i] = '*';
        return;
    }
    // Digits from the right end of the field, two at a time; the sign in
    // front of them.
    char* p = field + w;
    while (u >= 100) {
        const char* pair = kPairs + 2 * (u % 100);
        u /= 100;
        *--p = pair[1];
        *--p = pair[0];
    }
    if (u >= 10) {
        *--p = kPairs[2 * u + 1];
        *--p = kPairs[2 * u];
    } else {
        *--p = static_cast<char>('0' + u);
    }
    if (v < 0) *--p = '-';
}

void edit_fixed(std::string& out, float v, int w, int d) {
    if (edit_non_finite(out, v, w)) return;
    thread_local std::string digits;
    bool neg = v < 0.0f;
    scaled_digits(std::fabs(v), d, digits);
    // Split the scaled integer into its integer part and d decimals.
    size_t n = digits.size();
    std::string_view int_part, frac = digits;
    size_t frac_zeros = 0;
    if (n > static_cast<size_t>(d)) {
        int_part = std::string_view(digits).substr(0, n - static_cast<size_t>(d));
        frac = std::string_view(digits).substr(n - static_cast<size_t>(d));
        if (int_part == "0") int_part = {};
    } else {
        frac_zeros = static_cast<size_t>(d) - n;
        if (digits == "0") {
            frac = {};
            frac_zeros = static_cast<size_t>(d);
        }
    }
    size_t need = (neg ? 1 : 0) + int_part.size() + 1 + static_cast<size_t>(d);
    // The zero before the point is written when there is room for it, and
    // it is required when it would be the only digit (F5.0 of 0.3 is "   0.").
    bool zero = false;
    if (int_part.empty() && (need + 1 <= static_cast<size_t>(w) || d == 0)) {
        zero = true;
        ++need;
    }
    if (need > static_cast<size_t>(w)) return stars(out, w);
    out.append(static_cast<size_t>(w) - need, ' ');
    if (neg) out.push_back('-');
    if (zero) out.push_back('0');
    out.append(int_part);
    out.push_back('.');
    out.append(frac_zeros, '0');
    out.append(frac);
}

void edit_exp(std::string& out, float v, int w, int d) {
    if (edit_non_finite(out, v, w)) return;
    bool neg = v < 0.0f;
    double a = std::fabs(static_cast<double>(v));
    std::string mant;
    int exp10 = 0;
    if (a != 0.0 && d > 0) {
        std::vector<char> buf(static_cast<size_t>(d) + 32);
        std::snprintf(buf.data(), buf.size(), "%.*e", d - 1, a);
        const char* c = buf.data();
        for (; *c && *c != 'e'; ++c)
            if (*c != '.') mant.push_back(*c);
        exp10 = std::atoi(c + 1) + 1;
    } else {
        mant.assign(static_cast<size_t>(d), '0');
    }
    char ebuf[16];
    int ae = exp10 < 0 ? -exp10 : exp10;
    if (ae <= 99)
        std::snprintf(ebuf, sizeof ebuf, "E%c%02d", exp10 < 0 ? '-' : '+', ae);
    else
        std::snprintf(ebuf, sizeof ebuf, "%c%03d", exp10 < 0 ? '-' : '+', ae);
    size_t need = (neg ? 1 : 0) + 1 + mant.size() + std::strlen(ebuf);
    bool zero = need + 1 <= static_cast<size_t>(w);
    if (zero) ++need;
    if (need > static_cast<size_t>(w)) return stars(out, w);
    out.append(static_cast<size_t>(w) - need, ' ');
    if (neg) out.push_back('-');
    if (zero) out.push_back('0');
    out.push_back('.');
    out += mant;
    out += ebuf;
}

void edit_text(std::string& out, std::string_view t, int w) {
    auto uw = static_cast<size_t>(w);
    if (t.size() >= uw) {
        out.append(t.substr(0, uw));
    } else {
        out.append(uw - t.size(), ' ');
        out.append(t);
    }
}

void free_real(std::string& out, float v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    bool has_mark = false;
    for (char* c = buf; c != r.ptr; ++c) {
        if (*c == 'e') *c = 'E';
        if (*c == '.' || *c == 'E' || *c == 'n' || *c == 'i') has_mark = true;
    }
    out.append(buf, static_cast<size_t>(r.ptr - buf));
    if (!has_mark) out += ".0";
}

}  // namespace common
