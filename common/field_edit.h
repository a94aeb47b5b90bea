// Editing of single fields: numbers and texts to fixed-width columns and back.
//
// Output: every edit appends exactly w characters to `out`. A number that
// does not fit its field is written as w asterisks. Reals are rounded from
// their exact stored binary value to the nearest d-decimal result; an exact
// tie goes to the even digit. A negative value keeps its minus sign even when
// it rounds to zero (-0.00); a zero with the sign bit set is written as zero.
//
// Input: blanks inside a numeric field are ignored and an all-blank field
// reads as zero. Reals are converted correctly rounded to single precision.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace common {

void edit_int(std::string& out, int32_t v, int w);
// Iw into a field of w blanks that the caller provides.
void edit_int_field(char* field, int32_t v, int w);
void edit_fixed(std::string& out, float v, int w, int d);
void edit_exp(std::string& out, float v, int w, int d);
// Aw (w >= 0): right-aligned when shorter, leftmost w characters when longer.
void edit_text(std::string& out, std::string_view t, int w);

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

// Free-form text of a real that parse_real_token reads back to the same float.
void free_real(std::string& out, float v);

}  // namespace common
