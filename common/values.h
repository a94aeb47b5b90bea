// Values written through a record and targets filled by a read.
//
// The record formatter knows three kinds of data: 32-bit integers, single
// precision reals and fixed-length texts. A text target is a std::string whose
// current size is the length of the text variable; reads pad or cut to it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace common {

enum class Kind : uint8_t { Integer, Real, Text };

// One value of a write statement.
struct Value {
    Kind kind;
    int32_t i = 0;
    float r = 0.0f;
    std::string_view t;

    Value(int32_t v) : kind(Kind::Integer), i(v) {}
    Value(float v) : kind(Kind::Real), r(v) {}
    Value(std::string_view v) : kind(Kind::Text), t(v) {}
    Value(const char* v) : kind(Kind::Text), t(v) {}
    Value(const std::string& v) : kind(Kind::Text), t(v) {}
    // Reals are single precision everywhere; a double here is a mistake.
    Value(double) = delete;
};

// One target of a read statement.
struct Target {
    Kind kind;
    void* p;

    Target(int32_t& v) : kind(Kind::Integer), p(&v) {}
    Target(float& v) : kind(Kind::Real), p(&v) {}
    Target(std::string& v) : kind(Kind::Text), p(&v) {}
    Target(double&) = delete;
};

// Outcome of a read statement.
enum class ReadStatus : uint8_t {
    Done,
    EndOfFile,        // the file ended before the statement's first value
    ConversionError,  // a value that does not read, or a record too long
    CutOff,           // the file ended after some of the statement's values
};

}  // namespace common
