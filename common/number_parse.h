// Parsing of numbers: the tokens of free-form records and the fields of
// fixed-width records, to 32-bit integers and single-precision reals.
//
// Blanks inside a numeric field are ignored and an all-blank field reads as
// zero. Reals are converted correctly rounded to single precision. Every
// function leaves its target unchanged when it fails.
#pragma once

#include <cstdint>
#include <string_view>

namespace common {

// Reads an Iw field. False on a conversion error.
bool read_int_field(std::string_view field, int32_t& v);
// Reads an Fw.d or Ew.d field; d places the decimal point when the field
// holds none. False on a conversion error.
bool read_real_field(std::string_view field, int d, float& v);

// Converts one free-form real token: optional sign, digits with an optional
// point, optional exponent (E or D, or a bare sign, then digits). Values
// beyond single precision range are a conversion error; values too small for
// it read as zero.
bool parse_real_token(std::string_view tok, float& v);
// Converts one free-form integer token: optional sign and digits, within the
// 32-bit range.
bool parse_int_token(std::string_view tok, int32_t& v);

// Fast conversions of the plainest numbers, for the hot loops of free-form
// reading: [-]digits[.digits] with at most 8 significant digits and at most
// 10 decimals (read exactly: both the digits and the power of ten are exact
// in single precision, so one correctly rounded division gives the nearest
// float), and [-]digits within 9 digits. They return the end of the number,
// or nullptr when the text needs the general conversion.
const char* scan_plain_real(const char* p, const char* end, float& v);
const char* scan_plain_int(const char* p, const char* end, int32_t& v);

}  // namespace common
