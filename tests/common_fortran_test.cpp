// Randomised comparison of the record formatter with the Fortran runtime,
// which implements the same layout notation. Runs where gfortran built the
// reference program; skipped elsewhere.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <utility>
#include <vector>

#include "common/free_form.h"
#include "common/layout.h"
#include "common/number_parse.h"
#include "common/record_read.h"
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
    auto dir = std::filesystem::temp_directory_path() / ("common_oracle_" + std::to_string(::getpid()));
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

int pick(std::mt19937& g, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(g);
}
bool one_in(std::mt19937& g, int n) {
    return pick(g, 1, n) == 1;
}

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
        "(F10.3,10X,F10.1,5X,F15.9)", "(2F8.1)",         "(3(F9.1,1X,F7.1,2X,F7.1))", "(' ',F29.2,F20.3,10X,F10.5)",
        "(4X,F7.2,6X,F6.4)",          "(F8.2,4X,E10.4)", "(F10.1,F10.3,F10.4)",       "(10(F10.1,F10.2,F10.2,/))",
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

// Whole read statements, compared with the Fortran runtime reading the same
// file. A case is a file and two statements that read it one after the
// other, so that where the first one leaves the file is compared as well.
struct Statement {
    std::string layout = "*";  // "*" reads in free form
    std::string kinds;         // per target: I integer, R real, A text
    std::vector<int> lengths;  // per target: the text length, 0 for numbers
    void add(char kind, int length = 0) {
        kinds += kind;
        lengths.push_back(length);
    }
};

// The most targets of a statement here; the reference program takes any
// order of kinds up to this many.
constexpr size_t kMaxTargets = 8;

template <size_t... K>
common::ReadStatus read_targets(common::Connection& c, const common::Layout* layout,
                                const std::vector<common::Target>& t, std::index_sequence<K...>) {
    return layout ? common::read_record(c, *layout, {t[K]...}) : common::read_free(c, {t[K]...});
}

// The read statements as the formatter runs them, in the reference
// program's words: D and the targets, or EOF or ERR, which ends the case.
// The targets hold distinct values beforehand, the same in both programs.
std::string read_ours(const std::string& file, const std::vector<Statement>& statements) {
    auto c = common::Connection::in_memory(10, "case", file);
    std::string out;
    for (const Statement& st : statements) {
        size_t n = st.kinds.size();
        std::vector<int32_t> iv(n);
        std::vector<float> rv(n);
        std::vector<std::string> tv(n);
        std::vector<common::Target> targets;
        for (size_t k = 0; k < n; ++k) {
            iv[k] = -777777 - static_cast<int32_t>(k + 1);
            rv[k] = -7777.25f - static_cast<float>(k + 1);
            tv[k].assign(static_cast<size_t>(st.lengths[k]), '@');
            if (st.kinds[k] == 'I')
                targets.emplace_back(iv[k]);
            else if (st.kinds[k] == 'R')
                targets.emplace_back(rv[k]);
            else
                targets.emplace_back(tv[k]);
        }
        std::optional<common::Layout> layout;
        if (st.layout != "*") layout.emplace(st.layout);
        // One statement with exactly n targets.
        common::ReadStatus status{};
        auto read_n = [&]<size_t N>(std::integral_constant<size_t, N>) {
            if (n != N) return false;
            status = read_targets(*c, layout ? &*layout : nullptr, targets, std::make_index_sequence<N>{});
            return true;
        };
        [&]<size_t... N>(std::index_sequence<N...>) {
            (read_n(std::integral_constant<size_t, N + 1>{}) || ...);
        }
        (std::make_index_sequence<kMaxTargets>{});
        if (status != common::ReadStatus::Done) {
            // A statement cut off by the end of the file is an end of file
            // to the Fortran runtime too; the formatter only says more.
            const bool eof = status == common::ReadStatus::EndOfFile || status == common::ReadStatus::CutOff;
            out += eof ? "EOF\n" : "ERR\n";
            break;
        }
        out += "D";
        for (size_t k = 0; k < n; ++k) {
            if (st.kinds[k] == 'I')
                out += " " + std::to_string(iv[k]);
            else if (st.kinds[k] == 'R')
                out += " " + std::to_string(std::bit_cast<int32_t>(rv[k]));
            else
                out += " [" + tv[k] + "]";
        }
        out += "\n";
    }
    return out;
}

Case read_case(const std::vector<std::string>& lines, const std::vector<Statement>& statements) {
    std::string in = "L ";
    in += std::to_string(lines.size()) + " " + std::to_string(statements.size()) + "\n";
    std::string what;
    for (const Statement& st : statements) {
        in += st.layout + "\n" + std::to_string(st.kinds.size());
        for (char k : st.kinds) in += k == 'I' ? " 1" : k == 'R' ? " 2" : " 3";
        for (int l : st.lengths) (in += ' ') += std::to_string(l);
        in += "\n";
        what += st.layout + " " + st.kinds + "; ";
    }
    std::string file;
    for (const std::string& l : lines) {
        in += std::to_string(l.size()) + ":" + l + "\n";
        file += l + "\n";
    }
    what += "file:";
    for (const std::string& l : lines) {
        what += "\n  |";
        for (char ch : l) what += ch == '\t' ? std::string("<tab>") : std::string(1, ch);
        what += "|";
    }
    return {in, read_ours(file, statements), what};
}

std::string int_token(std::mt19937& g) {
    const char* sign[] = {"", "", "-", "+"};
    if (one_in(g, 50)) return "-2147483648";
    int32_t v = std::uniform_int_distribution<int32_t>(0, INT32_MAX)(g) >> pick(g, 0, 31);
    return sign[pick(g, 0, 3)] + std::string(one_in(g, 10) ? "0" : "") + std::to_string(v);
}

// A real as a person types it: with or without a sign, a point (on either
// side of the digits or none), an exponent with E or D or with its sign only.
// Its size stays between 1e-30 and 1e30, so that how a runtime treats
// overflow and underflow does not come in.
std::string real_token(std::mt19937& g) {
    const char* sign[] = {"", "", "-", "+"};
    for (;;) {
        std::string s = sign[pick(g, 0, 3)];
        if (one_in(g, 2)) {  // the common 21.0 or 238
            s += digits(g, pick(g, 1, 4));
            if (!one_in(g, 3)) s += "." + digits(g, pick(g, 0, 3));
            return s;
        }
        int ni = pick(g, 0, 12), nf = pick(g, 0, 12);
        bool point = ni == 0 || !one_in(g, 4);
        if (ni + (point ? nf : 0) == 0) ni = 1;
        s += digits(g, ni);
        if (point) s += "." + digits(g, nf);
        std::string check = s;
        if (one_in(g, 2)) {
            int form = pick(g, 0, 4);
            std::string esign = form == 4 ? sign[pick(g, 2, 3)] : sign[pick(g, 0, 3)];
            std::string e = std::to_string(pick(g, 0, 40));
            s += (form == 4 ? "" : std::string(1, "EeDd"[form])) + esign + e;
            check += "e" + esign + e;
        }
        long double v = std::fabs(std::strtold(check.c_str(), nullptr));
        if (v == 0 || (v >= 1e-30L && v <= 1e30L)) return s;
    }
}

// A value that a target of the kind does not take: a real for an integer, or
// a stray letter.
std::string bad_token(std::mt19937& g, char kind) {
    if (kind == 'I' && one_in(g, 2)) return int_token(g) + (one_in(g, 2) ? "." + digits(g, pick(g, 0, 2)) : "e1");
    std::string s = kind == 'I' ? int_token(g) : real_token(g);
    s.insert(static_cast<size_t>(pick(g, 0, static_cast<int>(s.size()))), "x");
    return s;
}

// Appends a value separator to `line`: blanks or tabs, or a comma with
// blanks around it or not, and, where `breaks`, a record end after the comma
// or in place of it, sometimes with an empty record. `comma` asks for the
// comma. A record never starts with a comma after a record end: the Fortran
// runtime takes such commas as part of that record end, even when a comma
// ended the record before (1 then , then ,2 on three records reads as 1 and
// 2), where the formatter sees two commas in a row.
void separator(std::mt19937& g, bool comma, bool breaks, std::string& line, std::vector<std::string>& lines) {
    const char* blanks[] = {"", "", " ", "  ", "\t", " \t "};
    comma = comma || one_in(g, 3);
    bool record_end = breaks && one_in(g, 4);
    std::string before = blanks[pick(g, 0, 5)];
    if (!comma && !record_end && before.empty()) before = " ";
    line += before;
    if (comma) line += ",";
    if (record_end) {
        lines.push_back(line);
        line.clear();
        if (one_in(g, 6)) lines.push_back(blanks[pick(g, 0, 5)]);
    }
    line += blanks[pick(g, 0, 5)];
}

// Appends the records of one free-form statement for targets of the given
// kinds: values of every form, r*v, nulls (r* or two commas), a slash ending
// it early, values spread over records, and more values than targets on its
// last record. With `may_end` it may also stop before its targets are
// filled, for a file that ends there. Returns false when it stopped so.
//
// A repeated value never spans an integer and a real target: the Fortran
// runtime converts it once, for the first target, and refuses the other
// kind, where the formatter takes r*v as r copies of v. Nor does a statement
// start with a comma: a null value needs two commas in a row, and the
// Fortran runtime reads a leading comma as a null only on the statement's
// first record (after an empty record it is a mere separator).
bool free_statement(std::mt19937& g, const std::string& kinds, bool may_end, std::vector<std::string>& lines) {
    std::vector<std::string> tokens;  // "" is a null between two commas
    size_t n = kinds.size(), i = 0;
    auto value = [&](char kind) {
        return one_in(g, 60) ? bad_token(g, kind) : kind == 'I' ? int_token(g) : real_token(g);
    };
    while (i < n) {
        if (may_end && one_in(g, 12)) break;
        if (one_in(g, 20)) {
            tokens.push_back("/");
            break;
        }
        int form = pick(g, 0, 9);
        if (form == 0 && i > 0) {
            tokens.push_back("");
            ++i;
        } else if (form == 1) {
            int r = pick(g, 1, static_cast<int>(n - i) + 1);
            tokens.push_back(std::to_string(r) + "*");
            i += static_cast<size_t>(r);
        } else if (form == 2) {
            size_t run = 1;
            while (i + run < n && kinds[i + run] == kinds[i]) ++run;
            int r = pick(g, 1, static_cast<int>(i + run == n ? run + 2 : run));
            tokens.push_back(std::to_string(r) + "*" + value(kinds[i]));
            i += static_cast<size_t>(r);
        } else {
            tokens.push_back(value(kinds[i++]));
        }
    }
    bool filled = i >= n || (!tokens.empty() && tokens.back() == "/");
    size_t last = tokens.size();  // tokens from here on share the last record
    if (filled && one_in(g, 3)) {
        const char* junk[] = {"abc", "/", "4*", "2*7", "'x y'"};
        for (int k = pick(g, 1, 3); k > 0; --k)
            tokens.push_back(one_in(g, 2) ? junk[pick(g, 0, 4)] : value(one_in(g, 2) ? 'I' : 'R'));
    }
    if (one_in(g, 8)) lines.push_back("");
    std::string line = one_in(g, 5) ? "  " : "";
    for (size_t k = 0; k < tokens.size(); ++k) {
        line += tokens[k];
        if (k + 1 < tokens.size())
            separator(g, tokens[k].empty() || tokens[k + 1].empty(), k + 1 < last, line, lines);
        else if (tokens[k].empty())
            line += ",";
    }
    lines.push_back(line);
    return filled;
}

TEST(RecordsAgainstFortran, FreeFormReadsMatchTheFortranRuntime) {
    if (!kOracle) GTEST_SKIP() << "gfortran not available";
    std::mt19937 g(19980823);
    std::vector<Case> cases;
    for (int n = 0; n < 5000; ++n) {
        std::vector<std::string> lines;
        Statement first, second;
        for (Statement* st : {&first, &second})
            for (int k = pick(g, 1, static_cast<int>(kMaxTargets)); k > 0; --k) st->add(one_in(g, 2) ? 'I' : 'R');
        if (free_statement(g, first.kinds, one_in(g, 5), lines) && !one_in(g, 8))
            free_statement(g, second.kinds, true, lines);
        cases.push_back(read_case(lines, {first, second}));
    }
    expect_same_as_oracle(cases);
}

// Characters that no field gives a meaning to.
std::string stray(std::mt19937& g, int w) {
    const std::string chars = " abXZ09.,+-*/'\"";
    std::string s;
    for (int i = 0; i < w; ++i) s += chars[static_cast<size_t>(pick(g, 0, static_cast<int>(chars.size()) - 1))];
    return s;
}

// Appends the records of one statement read through a layout of random
// items, and sets its layout and targets: I, F and E fields holding numbers
// or blanks, A fields wider or narrower than their texts (or as wide, when
// written A), nX over stray characters, and / items. Sometimes there are
// fewer targets than fields, or more, so that the layout is used again from
// its start; sometimes the last record ends early, between two fields, and
// with `may_end` the last records may be missing. Returns false when they
// are.
//
// A record never ends within a field: the Fortran runtime narrows an A field
// that runs past the record end to the columns there are, where the rest of
// it counts as blanks here, and it reads a sign alone, which a number cut
// short may leave, as zero.
bool layout_statement(std::mt19937& g, bool may_end, Statement& st, std::vector<std::string>& lines) {
    struct Item {
        char kind;  // I, F, E, A, X or /
        int w, d, r;
    };
    std::vector<Item> items;
    int fields = 0;
    auto skip = [&] { return one_in(g, 2) ? Item{'X', pick(g, 1, 5), 0, 1} : Item{'/', 0, 0, 1}; };
    for (int m = pick(g, 1, 4); m > 0; --m) {
        if (one_in(g, 3)) items.push_back(skip());
        char kind = "IFEA"[pick(g, 0, 3)];
        Item it{kind, pick(g, 1, 12), pick(g, 0, 5), kind == 'A' ? 1 : pick(g, 1, 2)};
        if (kind == 'A' && one_in(g, 3)) it.w = 0;
        items.push_back(it);
        fields += it.r;
    }
    if (one_in(g, 4)) items.push_back(skip());
    std::string layout;
    for (const Item& it : items) {
        layout += layout.empty() ? "(" : ",";
        if (it.r > 1) layout += std::to_string(it.r);
        if (it.kind == 'X') layout += std::to_string(it.w);
        layout += it.kind;
        if (it.kind != 'X' && it.w > 0) layout += std::to_string(it.w);
        if (it.kind == 'F' || it.kind == 'E') layout += "." + std::to_string(it.d);
    }
    st.layout = layout + ")";
    const int most = static_cast<int>(kMaxTargets);
    int passes = fields < most && one_in(g, 6) ? 2 : 1;
    int targets = passes == 2    ? pick(g, fields + 1, std::min(2 * fields, most))
                  : one_in(g, 4) ? pick(g, 1, fields)
                                 : fields;
    // The records hold the fields of the targets and what the layout has
    // after the last of them up to its next field.
    size_t first_line = lines.size();
    std::string rec;
    std::vector<size_t> ends;  // where a field ends in the last record
    int t = 0;
    for (int pass = 0; pass < passes && t < targets; ++pass) {
        if (pass > 0) {
            lines.push_back(rec);
            rec.clear();
            ends.clear();
        }
        for (const Item& it : items) {
            ends.push_back(rec.size());
            if (it.kind == '/') {
                lines.push_back(rec);
                rec.clear();
                ends.clear();
            } else if (it.kind == 'X') {
                rec += stray(g, it.w);
            } else if (t == targets) {
                break;
            } else {
                for (int k = 0; k < it.r && t < targets; ++k, ++t) {
                    int len = pick(g, 1, 12), w = it.w > 0 ? it.w : len;
                    st.add(it.kind == 'A' ? 'A' : it.kind == 'I' ? 'I' : 'R', it.kind == 'A' ? len : 0);
                    if (it.kind == 'A')
                        rec += stray(g, w);
                    else
                        rec += one_in(g, 8) ? std::string(static_cast<size_t>(w), ' ')
                                            : numeric_field(g, w, it.kind != 'I');
                    ends.push_back(rec.size());
                }
            }
        }
    }
    if (one_in(g, 3)) rec += stray(g, pick(g, 1, 8));
    if (one_in(g, 6) && !ends.empty())
        rec.resize(ends[static_cast<size_t>(pick(g, 0, static_cast<int>(ends.size()) - 1))]);
    lines.push_back(rec);
    if (!may_end || !one_in(g, 4)) return true;
    lines.resize(lines.size() -
                 static_cast<size_t>(pick(g, 1, std::min(2, static_cast<int>(lines.size() - first_line)))));
    return false;
}

TEST(RecordsAgainstFortran, LayoutReadsMatchTheFortranRuntime) {
    if (!kOracle) GTEST_SKIP() << "gfortran not available";
    std::mt19937 g(1998238);
    std::vector<Case> cases;
    for (int n = 0; n < 1500; ++n) {
        std::vector<std::string> lines, more;
        Statement first, second;
        bool whole = layout_statement(g, one_in(g, 8), first, lines);
        layout_statement(g, true, second, more);
        if (whole) lines.insert(lines.end(), more.begin(), more.end());
        cases.push_back(read_case(lines, {first, second}));
    }
    expect_same_as_oracle(cases);
}

}  // namespace
