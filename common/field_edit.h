// Editing of single fields: numbers and texts to fixed-width columns.
//
// Every edit appends exactly w characters to `out`. A number that does not
// fit its field is written as w asterisks. Reals are rounded from their
// exact stored binary value to the nearest d-decimal result; an exact tie
// goes to the even digit. A negative value keeps its minus sign even when it
// rounds to zero (-0.00); a zero with the sign bit set is written as zero.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace common {

// Iw into a field of w blanks that the caller provides.
void edit_int_field(char* field, int32_t v, int w);
void edit_fixed(std::string& out, float v, int w, int d);
void edit_exp(std::string& out, float v, int w, int d);
// Aw (w >= 0): right-aligned when shorter, leftmost w characters when longer.
void edit_text(std::string& out, std::string_view t, int w);

// Free-form text of a real that parse_real_token reads back to the same float.
void free_real(std::string& out, float v);

}  // namespace common
