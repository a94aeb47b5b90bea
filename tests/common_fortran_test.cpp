// Randomised comparison of the record formatter with the Fortran runtime,
// which implements the same layout notation. Runs where gfortran built the
// reference program; skipped elsewhere.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "common/field_edit.h"
#include "common/layout.h"
#include "common/record_write.h"

namespace {

#ifdef COMMON_ORACLE
constexpr const char* kOracle = COMMON_ORACLE;
#else
constexpr const char* kOracle = nullptr;
#endif

struct Case {
    std::string input;     // lines for the reference program
    std::string expected;  // what the formatter gives, LF line ends
    std::string what;
};

std::string lf(std::string s) {
    std::string r;
    for (char c : s)
        if (c != '\r') r.push_back(c);
    return r;
}

// Runs the reference program on all cases; returns its output split by case.
std::vector<std::string> run_oracle(const std::vector<Case>& cases) {
    auto dir = std::filesystem::temp_directory_path() /
               ("common_oracle_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto in = dir / "in.txt", out = dir / "out.txt";
    {
        std::ofstream f(in, std::ios::binary);
        for (const auto& c : cases) f << c.input;
    }
    std::string cmd = std::string(kOracle) + " < " + in.string() + " > " + out.string();
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    std::ifstream f(out, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    std::vector<std::string> parts;
    std::string cur, line;
    std::istringstream lines(ss.str());
    while (std::getline(lines, line)) {
        if (line == "~") {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += line + "\n";
        }
    }
    std::filesystem::remove_all(dir);
    return parts;
}

void expect_same_as_oracle(const std::vector<Case>& cases) {
    auto got = run_oracle(cases);
    ASSERT_EQ(got.size(), cases.size());
    int failures = 0;
    for (size_t i = 0; i < cases.size() && failures < 20; ++i) {
        if (got[i] != cases[i].expected) {
            ++failures;
            ADD_FAILURE() << cases[i].what << "\n fortran: [" << got[i] << "]\n ours:    [" << cases[i].expected << "]";
        }
    }
}

int pick(std::mt19937& g, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(g); }

std::string digits(std::mt19937& g, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>('0' + pick(g, 0, 9));
    return s;
}

// Values that stress rounding: random bit patterns over the whole range,
// decimal ties, values just beside ties, values that overflow the field and
// small negatives that round to zero.
float random_value(std::mt19937& g, int d) {
    std::uniform_int_distribution<int> pick(0, 7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    float v = 0.0f;
    switch (pick(g)) {
        case 0: {
            uint32_t bits = std::uniform_int_distribution<uint32_t>(0, 0x7f7fffffu)(g);
            v = std::bit_cast<float>(bits);
            break;
        }
        case 1:
            v = std::ldexp(unit(g), std::uniform_int_distribution<int>(-30, 30)(g));
            break;
        case 2: {  // exact binary ties such as 0.125 or 2.5
            int k = std::uniform_int_distribution<int>(0, 4000)(g);
            v = std::ldexp(static_cast<float>(2 * k + 1), -std::uniform_int_distribution<int>(1, 4 + d)(g));
            break;
        }
        case 3: {  // decimal values that sit close to a tie
            int k = std::uniform_int_distribution<int>(0, 100000)(g);
            v = (static_cast<float>(k) + 0.5f) / std::pow(10.0f, static_cast<float>(d));
            v = std::nextafter(v, std::uniform_int_distribution<int>(0, 1)(g) ? 1e30f : 0.0f);
            break;
        }
        case 4:
            v = unit(g) * std::pow(10.0f, static_cast<float>(std::uniform_int_distribution<int>(0, 12)(g)));
            break;
        case 5:
            v = unit(g) * std::pow(10.0f, -static_cast<float>(d + 1));
            break;
        default:
            v = static_cast<float>(std::uniform_int_distribution<int>(-20000, 20000)(g)) / 100.0f;
            break;
    }
    if (std::uniform_int_distribution<int>(0, 2)(g) == 0) v = -v;
    if (v == 0.0f) v = 0.0f;  // the sign of a zero is a deliberate difference
    return v;
}

// The text of an I, F or E field of width w: digits with blanks strewn in,
// an optional sign, point and exponent, placed anywhere in the field. Never
// a sign alone: runtimes differ on it, and no file holds one.
std::string numeric_field(std::mt19937& g, int w, bool real) {
    for (;;) {
        std::string s;
        if (pick(g, 0, 3) == 0) s += (g() & 1) ? "-" : "+";
        int nd = pick(g, 1, 8);
        int point = real ? pick(g, -1, nd) : -1;
        for (int i = 0; i < nd; ++i) {
            if (i == point) s += ".";
            s += digits(g, 1);
            if (g() % 6 == 0) s += " ";
        }
        if (real && g() % 4 == 0) {
            s += "EDed"[g() % 4];
            if (g() & 1) s += (g() & 1) ? "-" : "+";
            s += std::to_string(g() % 30);
        }
        if (static_cast<int>(s.size()) > w) s = s.substr(0, static_cast<size_t>(w));
        if (s.find_first_of("0123456789") == std::string::npos) continue;
        int lead = pick(g, 0, w - static_cast<int>(s.size()));
        std::string f(static_cast<size_t>(lead), ' ');
        f += s;
        f.resize(static_cast<size_t>(w), ' ');
        return f;
    }
}

std::string bits_line(std::initializer_list<float> vs) {
    std::string s;
    for (float v : vs) s += std::to_string(std::bit_cast<int32_t>(v)) + " ";
    return s + "\n";
}

TEST(RecordsAgainstFortran, WritesMatchTheFortranRuntime) {
    if (!kOracle) GTEST_SKIP() << "gfortran not available";
    std::mt19937 g(20261207);
    std::vector<Case> cases;
    // Single fields of many widths and decimals.
    for (int n = 0; n < 6000; ++n) {
        int d = std::uniform_int_distribution<int>(0, 9)(g);
        int w = std::uniform_int_distribution<int>(1, 22)(g);
        float v = random_value(g, d);
        bool e = (n % 5 == 4) && d > 0;
        std::string layout = std::string("(") + (e ? "E" : "F") + std::to_string(w) + "." + std::to_string(d) + ")";
        common::Layout L(layout);
        cases.push_back({"W R 1 " + layout + "\n" + bits_line({v}), lf(common::format_record(L, {v})),
                         layout + " " + std::to_string(std::bit_cast<int32_t>(v))});
    }
    // Integers.
    for (int n = 0; n < 1500; ++n) {
        int w = std::uniform_int_distribution<int>(1, 12)(g);
        int32_t v = std::uniform_int_distribution<int32_t>(INT32_MIN + 1, INT32_MAX)(g) >>
                    std::uniform_int_distribution<int>(0, 31)(g);
        std::string layout = "(I" + std::to_string(w) + ")";
        common::Layout L(layout);
        cases.push_back({"W I 1 " + layout + "\n" + std::to_string(v) + "\n", lf(common::format_record(L, {v})),
                         layout + " " + std::to_string(v)});
    }
    // Whole statements through the programs' layouts: several records, reuse,
    // literals and trailing blanks.
    const char* real_layouts[] = {
        "(F10.3,10X,F10.1,5X,F15.9)", "(2F8.1)", "(3(F9.1,1X,F7.1,2X,F7.1))", "(' ',F29.2,F20.3,10X,F10.5)",
        "(4X,F7.2,6X,F6.4)",          "(F8.2,4X,E10.4)", "(F10.1,F10.3,F10.4)", "(10(F10.1,F10.2,F10.2,/))",
        "(1X,5F10.1,/,1X,4F10.1)",    "(F7.5,F12.1)"};
    for (const char* layout : real_layouts) {
        common::Layout L(layout);
        for (int n = 0; n < 40; ++n) {
            int count = std::uniform_int_distribution<int>(1, 12)(g);
            std::vector<float> vs;
            std::string in = "W R " + std::to_string(count) + " " + layout + "\n";
            std::string out;
            common::RecordWriter w(L, out);
            for (int i = 0; i < count; ++i) {
                float v = random_value(g, 3);
                in += std::to_string(std::bit_cast<int32_t>(v)) + " ";
                w.put(v);
            }
            w.finish();
            cases.push_back({in + "\n", lf(out), layout});
        }
    }
    const char* int_layouts[] = {"(I6,1X,I4,I2,1X,12(I2,I2,I4))", "(I6,1X,I4,I2,5X,28I3,/,34I3)",
                                 "(I6,1X,I4,I2,3X,14(1X,I3),/,17(1X,I3))", "(3X,I5,3X,I5)", "(2I2)"};
    for (const char* layout : int_layouts) {
        common::Layout L(layout);
        for (int n = 0; n < 40; ++n) {
            int count = std::uniform_int_distribution<int>(1, 62)(g);
            std::string in = "W I " + std::to_string(count) + " " + layout + "\n";
            std::string out;
            common::RecordWriter w(L, out);
            for (int i = 0; i < count; ++i) {
                int32_t v = std::uniform_int_distribution<int32_t>(-200, 12000)(g);
                in += std::to_string(v) + " ";
                w.put(v);
            }
            w.finish();
            cases.push_back({in + "\n", lf(out), layout});
        }
    }
    expect_same_as_oracle(cases);
}

TEST(RecordsAgainstFortran, FieldReadsMatchTheFortranRuntime) {
    if (!kOracle) GTEST_SKIP() << "gfortran not available";
    std::mt19937 g(7);
    std::vector<Case> cases;
    for (int n = 0; n < 3000; ++n) {
        bool real = n % 3 != 0;
        int w = std::uniform_int_distribution<int>(1, 16)(g);
        int d = std::uniform_int_distribution<int>(0, 5)(g);
        std::string f = numeric_field(g, w, real);
        std::string expected;
        if (real) {
            float v = 0;
            expected = common::read_real_field(f, d, v) ? std::to_string(std::bit_cast<int32_t>(v)) : "ERR";
            std::string layout = "(F" + std::to_string(w) + "." + std::to_string(d) + ")";
            cases.push_back({"R R " + layout + "\n" + f + "\n", expected + "\n", layout + " [" + f + "]"});
        } else {
            int32_t v = 0;
            expected = common::read_int_field(f, v) ? std::to_string(v) : "ERR";
            std::string layout = "(I" + std::to_string(w) + ")";
            cases.push_back({"R I " + layout + "\n" + f + "\n", expected + "\n", layout + " [" + f + "]"});
        }
    }
    expect_same_as_oracle(cases);
}

}  // namespace
