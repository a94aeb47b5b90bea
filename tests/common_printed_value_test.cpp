// The value a number has once written into an F field and read back,
// computed without text: it must equal writing the field and reading it.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "common/field_edit.h"
#include "common/number_parse.h"
#include "common/printed_value.h"

namespace {

// What the record writer and reader make of v in an Fw.d field.
std::optional<float> through_text(float v, int w, int d) {
    std::string field;
    common::edit_fixed(field, v, w, d);
    float r = 0.0f;
    if (!common::read_real_field(field, d, r)) return std::nullopt;
    return r;
}

void expect_same(float v, int w, int d) {
    const auto text = through_text(v, w, d);
    const auto value = common::printed_fixed(v, w, d);
    ASSERT_EQ(text.has_value(), value.has_value()) << v << " F" << w << "." << d;
    if (text) {
        EXPECT_EQ(std::bit_cast<uint32_t>(*text), std::bit_cast<uint32_t>(*value)) << v << " F" << w << "." << d;
    }
}

TEST(PrintedFixed, EqualsTheFieldReadBackForTheFieldsOfTheSoilFiles) {
    // The fields the soil files hold and the next steps or callers read.
    const int fields[][2] = {{10, 3}, {10, 1}, {15, 9}, {8, 3},  {10, 2}, {5, 0},  {9, 4},  {8, 3}, {7, 2},
                             {6, 4},  {10, 0}, {10, 4}, {29, 1}, {19, 3}, {29, 2}, {20, 3}, {10, 5}};
    std::mt19937 rng(7);
    std::uniform_int_distribution<uint32_t> bits;
    std::uniform_real_distribution<float> soil(-2000.0f, 2000.0f);
    for (auto [w, d] : fields) {
        for (int i = 0; i < 4000; ++i) {
            float v = std::bit_cast<float>(bits(rng));
            if (!std::isfinite(v)) v = 0.5f;
            expect_same(v, w, d);
            expect_same(soil(rng) / static_cast<float>(1 << (i % 20)), w, d);
        }
    }
}

TEST(PrintedFixed, TiesSignsAndWhatCannotBeReadBack) {
    expect_same(0.125f, 10, 2);    // a tie: to the even digit, 0.12
    expect_same(0.375f, 10, 2);    // 0.38
    expect_same(-0.0001f, 10, 3);  // -0.000 reads back as minus zero
    EXPECT_TRUE(std::signbit(*common::printed_fixed(-0.0001f, 10, 3)));
    EXPECT_FALSE(std::signbit(*common::printed_fixed(-0.0f, 10, 3)));
    expect_same(0.5f, 6, 4);                                           // 0.5000 with its zero
    expect_same(-0.5f, 6, 4);                                          // -.5000 without it
    EXPECT_EQ(common::printed_fixed(100000.0f, 15, 9), std::nullopt);  // asterisks
    EXPECT_EQ(common::printed_fixed(std::numeric_limits<float>::quiet_NaN(), 10, 3), std::nullopt);
    EXPECT_EQ(common::printed_fixed(std::numeric_limits<float>::infinity(), 10, 3), std::nullopt);
    EXPECT_EQ(common::printed_free(1.0f / 3.0f), 1.0f / 3.0f);
    EXPECT_EQ(common::printed_free(std::numeric_limits<float>::infinity()), std::nullopt);
}

}  // namespace
