// Reading through record layouts and in free form.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <random>

#include "common/connection.h"
#include "common/free_form.h"
#include "common/layout.h"
#include "common/number_parse.h"
#include "common/record_read.h"

using common::Connection;
using common::Layout;
using common::ReadStatus;

namespace {

std::unique_ptr<Connection> text(std::string s) {
    return Connection::in_memory(5, "test", std::move(s));
}

TEST(FieldRead, BlanksImpliedDecimalsAndExponents) {
    float v = -1;
    ASSERT_TRUE(common::read_real_field("          ", 3, v));
    EXPECT_EQ(v, 0.0f);
    ASSERT_TRUE(common::read_real_field("     12345", 3, v));
    EXPECT_EQ(v, 12.345f);
    ASSERT_TRUE(common::read_real_field("  1 2.5   ", 3, v));
    EXPECT_EQ(v, 12.5f);
    ASSERT_TRUE(common::read_real_field(" 1.5D+02", 3, v));
    EXPECT_EQ(v, 150.0f);
    ASSERT_TRUE(common::read_real_field(" 15E1", 1, v));  // 1.5 times 10
    EXPECT_EQ(v, 15.0f);
    ASSERT_TRUE(common::read_real_field("-.5e-1", 0, v));
    EXPECT_EQ(v, -0.05f);
    ASSERT_TRUE(common::read_real_field("1.0-3", 0, v));
    EXPECT_EQ(v, 0.001f);
    EXPECT_FALSE(common::read_real_field("  1.2.3", 0, v));
    EXPECT_FALSE(common::read_real_field("  abc", 0, v));
    EXPECT_FALSE(common::read_real_field("1e99", 0, v));
    ASSERT_TRUE(common::read_real_field("1e-99", 0, v));
    EXPECT_EQ(v, 0.0f);
    int32_t i = 7;
    ASSERT_TRUE(common::read_int_field("   ", i));
    EXPECT_EQ(i, 0);
    ASSERT_TRUE(common::read_int_field(" - 12", i));
    EXPECT_EQ(i, -12);
    EXPECT_FALSE(common::read_int_field("1.0", i));
    EXPECT_FALSE(common::read_int_field("99999999999", i));
    EXPECT_FALSE(common::read_int_field(std::string_view("1\0", 2), i));
}

TEST(RecordRead, SlashesAndTheWalkAfterTheLastTarget) {
    auto c = text("caption\n 12  1.500   30.00\ncolumns\nnext\n");
    static const Layout f("(/,I3,8X,F10.5,/)");
    int32_t n = 0;
    float d = 0;
    ASSERT_EQ(common::read_record(*c, f, {n, d}), ReadStatus::Done);
    EXPECT_EQ(n, 12);
    EXPECT_EQ(d, 30.0f);
    std::string s(4, ' ');
    static const Layout a("(A)");
    ASSERT_EQ(common::read_record(*c, a, {s}), ReadStatus::Done);
    EXPECT_EQ(s, "next");
    EXPECT_EQ(common::read_record(*c, a, {s}), ReadStatus::EndOfFile);
}

TEST(RecordRead, ASkipReadConsumesTwoRecordsAndTextRulesHold) {
    auto c = text("one\r\ntwo\nthree");
    static const Layout skip("(A,/,A)");
    std::string t(10, ' ');
    ASSERT_EQ(common::read_record(*c, skip, {t}), ReadStatus::Done);
    EXPECT_EQ(t, "one       ");
    static const Layout a3("(A3)");
    std::string longer(5, ' '), shorter(2, ' ');
    ASSERT_EQ(common::read_record(*c, a3, {longer}), ReadStatus::Done);
    EXPECT_EQ(longer, "thr  ");  // fills from the left
    c->rewind();
    static const Layout a5("(A5)");
    ASSERT_EQ(common::read_record(*c, a5, {shorter}), ReadStatus::Done);
    EXPECT_EQ(shorter, "  ");  // the rightmost characters of the padded field
    static const Layout a4("(A4)");
    ASSERT_EQ(common::read_record(*c, a4, {shorter}), ReadStatus::Done);
    EXPECT_EQ(shorter, "o ");
}

TEST(RecordRead, ReuseRuleStartsANewRecord) {
    auto c = text("1 2\n3 4\n");
    static const Layout f("(2I2)");
    int32_t a, b, x, y;
    ASSERT_EQ(common::read_record(*c, f, {a, b, x, y}), ReadStatus::Done);
    EXPECT_EQ(a + b * 10 + x * 100 + y * 1000, 4321);
}

TEST(RecordRead, ConversionErrorsAndEndOfFile) {
    auto c = text("  x1\n");
    static const Layout f("(I4)");
    int32_t v = 0;
    EXPECT_EQ(common::read_record(*c, f, {v}), ReadStatus::ConversionError);
    EXPECT_EQ(common::read_record(*c, f, {v}), ReadStatus::EndOfFile);
    static const Layout skip2("(/,1X)");
    auto one = text("only\n");
    EXPECT_EQ(common::read_record(*one, skip2, {}), ReadStatus::EndOfFile);
}

TEST(FreeRead, ValuesRunOverRecordsAndTheRestIsSkipped) {
    auto c = text("1.0 2.0\n3.0,4.0\n5\n");
    float a = 0, b = 0, d = 0;
    ASSERT_EQ(common::read_free(*c, {a, b, d}), ReadStatus::Done);
    EXPECT_EQ(a, 1.0f);
    EXPECT_EQ(b, 2.0f);
    EXPECT_EQ(d, 3.0f);
    int32_t n = 0;
    ASSERT_EQ(common::read_free(*c, {n}), ReadStatus::Done);
    EXPECT_EQ(n, 5);
    EXPECT_EQ(common::read_free(*c, {n}), ReadStatus::EndOfFile);
}

TEST(FreeRead, RepeatsNullsAndSlash) {
    auto c = text("2*7 , ,3*  9\n1 /  5\n");
    int32_t v[7] = {-1, -1, -1, -1, -1, -1, -1};
    ASSERT_EQ(common::read_free(*c, {v[0], v[1], v[2], v[3], v[4], v[5], v[6]}), ReadStatus::Done);
    EXPECT_EQ(v[0], 7);
    EXPECT_EQ(v[1], 7);
    EXPECT_EQ(v[2], -1);  // two commas in a row
    EXPECT_EQ(v[3], -1);  // 3* leaves three targets unchanged
    EXPECT_EQ(v[4], -1);
    EXPECT_EQ(v[5], -1);
    EXPECT_EQ(v[6], 9);
    int32_t a = -1, b = -1;
    ASSERT_EQ(common::read_free(*c, {a, b}), ReadStatus::Done);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, -1);  // the slash ends the statement
}

// A null value after numbers that a plain record's one-pass reading has
// already taken: the target keeps its earlier value, never the repeat count.
TEST(FreeRead, NullAfterPlainNumbersLeavesTheTargetUnchanged) {
    auto c = text("1998 238 21.0 1*\n5 2*\n0.3 1*,\n");
    int32_t year = 0, day = 0;
    float t1 = 0.0f, t2 = 2.0f;
    ASSERT_EQ(common::read_free(*c, {year, day, t1, t2}), ReadStatus::Done);
    EXPECT_EQ(year, 1998);
    EXPECT_EQ(t1, 21.0f);
    EXPECT_EQ(t2, 2.0f);
    int32_t a = -1, b = -1, d = -1;
    ASSERT_EQ(common::read_free(*c, {a, b, d}), ReadStatus::Done);
    EXPECT_EQ(a, 5);
    EXPECT_EQ(b, -1);
    EXPECT_EQ(d, -1);
    float x = 9.0f, y = 9.0f;
    ASSERT_EQ(common::read_free(*c, {x, y}), ReadStatus::Done);
    EXPECT_EQ(x, 0.3f);
    EXPECT_EQ(y, 9.0f);
}

TEST(FreeRead, TextsNumbersAndErrors) {
    auto c = text("'it''s here' plain, 1.5d2 -3e-2\n1.5\n12abc\n");
    std::string q(12, ' '), p(3, ' ');
    float x = 0, y = 0;
    ASSERT_EQ(common::read_free(*c, {q, p, x, y}), ReadStatus::Done);
    EXPECT_EQ(q, "it's here   ");
    EXPECT_EQ(p, "pla");
    EXPECT_EQ(x, 150.0f);
    EXPECT_EQ(y, -0.03f);
    int32_t i = 0;
    EXPECT_EQ(common::read_free(*c, {i}), ReadStatus::ConversionError);  // 1.5 is no integer
    EXPECT_EQ(common::read_free(*c, {x}), ReadStatus::ConversionError);
    auto bad = text("nan inf\n");
    EXPECT_EQ(common::read_free(*bad, {x}), ReadStatus::ConversionError);
}

TEST(FreeWrite, ReadsBackToTheSameValues) {
    std::string s;
    common::format_free(s, {"NOERROR: Program terminated normally"});
    EXPECT_EQ(s, " NOERROR: Program terminated normally\r\n");
    s.clear();
    common::format_free(s, {" fix theta saturated=", 0.42f});
    EXPECT_EQ(s, "  fix theta saturated= 0.42\r\n");
    for (float v : {0.1f, 100.0f, 1.0e-5f, 3.4028235e38f, -1.17549435e-38f, 1.0e-45f, 0.0f, 123456789.0f}) {
        s.clear();
        common::format_free(s, {v, 7, v});
        auto c = text(s);
        float a = 1, b = 1;
        int32_t i = 0;
        ASSERT_EQ(common::read_free(*c, {a, i, b}), ReadStatus::Done) << s;
        EXPECT_EQ(a, v) << s;
        EXPECT_EQ(b, v) << s;
        EXPECT_EQ(i, 7);
    }
}

TEST(Connection, RecordEndsBackspaceAndEndTest) {
    auto c = text("a\r\nb\n\nc");
    std::string_view r;
    ASSERT_EQ(c->next_record(r), common::RecordStatus::Ok);
    EXPECT_EQ(r, "a");
    auto m = c->mark();
    ASSERT_EQ(c->next_record(r), common::RecordStatus::Ok);
    EXPECT_EQ(r, "b");
    c->backspace();
    ASSERT_EQ(c->next_record(r), common::RecordStatus::Ok);
    EXPECT_EQ(r, "b");
    ASSERT_EQ(c->next_record(r), common::RecordStatus::Ok);
    EXPECT_EQ(r, "");
    EXPECT_FALSE(c->at_end());
    ASSERT_EQ(c->next_record(r), common::RecordStatus::Ok);
    EXPECT_EQ(r, "c");
    EXPECT_TRUE(c->at_end());
    EXPECT_EQ(c->next_record(r), common::RecordStatus::End);
    c->seek(m);
    ASSERT_EQ(c->next_record(r), common::RecordStatus::Ok);
    EXPECT_EQ(r, "b");
}

TEST(Connection, OverlongRecordsAndNulBytes) {
    std::string big(Connection::kMaxRecord + 10, 'x');
    auto c = text(big + "\n12\n");
    int32_t v = 0;
    // An overlong record ends the reading: nothing after it is read.
    EXPECT_EQ(common::read_free(*c, {v}), ReadStatus::ConversionError);
    EXPECT_TRUE(c->overlong());
    EXPECT_EQ(common::read_free(*c, {v}), ReadStatus::ConversionError);
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(c->at_end());
    auto nul = text(std::string("1\0 2\n", 5));
    EXPECT_EQ(common::read_free(*nul, {v}), ReadStatus::ConversionError);
}

TEST(Connection, WritingAfterRewindReplacesTheFile) {
    auto c = text("old one\nold two\n");
    c->put_record("new");
    c->rewind();
    std::string_view r;
    ASSERT_EQ(c->next_record(r), common::RecordStatus::Ok);
    EXPECT_EQ(r, "new");
    EXPECT_EQ(c->next_record(r), common::RecordStatus::End);
}

}  // namespace

namespace {

// The fast conversion of plain decimals must give exactly what the correctly
// rounded general conversion gives, or decline.
TEST(FieldRead, PlainDecimalsConvertExactly) {
    std::mt19937 g(42);
    int fast = 0;
    for (int n = 0; n < 200000; ++n) {
        std::string s;
        if (g() % 3 == 0) s += '-';
        int ni = static_cast<int>(g() % 9), nf = static_cast<int>(g() % 12);
        for (int i = 0; i < ni; ++i) s += static_cast<char>('0' + g() % 10);
        if (nf > 0 || g() % 2) s += '.';
        for (int i = 0; i < nf; ++i) s += static_cast<char>('0' + g() % 10);
        float a = 0, b = 0;
        const char* end = s.data() + s.size();
        const char* q = common::scan_plain_real(s.data(), end, a);
        if (!q) continue;
        ++fast;
        auto r = std::from_chars(s.data(), end, b);
        ASSERT_EQ(r.ec, std::errc()) << s;
        ASSERT_EQ(q, r.ptr) << s;
        ASSERT_EQ(std::bit_cast<uint32_t>(a), std::bit_cast<uint32_t>(b)) << s;
    }
    EXPECT_GT(fast, 50000);
    int32_t i = 0;
    std::string_view t = "-123456789 ";
    EXPECT_EQ(common::scan_plain_int(t.data(), t.data() + t.size(), i), t.data() + 10);
    EXPECT_EQ(i, -123456789);
    t = "1234567890";
    EXPECT_EQ(common::scan_plain_int(t.data(), t.data() + t.size(), i), nullptr);  // left to the general path
}

}  // namespace
