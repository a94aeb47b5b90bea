// Escaping of text for the report pages. Every text that comes from data or
// from a file goes through here before it is written into HTML or SVG.
//
// The pages must parse both as HTML and as XML, so the result is always
// well-formed XML character data: '&', '<', '>' and '"' become entities,
// bytes that are not valid UTF-8 and characters XML does not allow (control
// characters other than tab, line feed and carriage return; the
// non-characters U+FFFE and U+FFFF) become U+FFFD, the replacement
// character, and so do DEL (0x7F) and the C1 controls, which no text here
// should hold.
// Nothing is dropped, so a damaged name stays visible as damaged.
#pragma once

#include <string>
#include <string_view>

namespace figure {

// Appends TEXT to OUT, escaped for element content and for attribute values
// written between double quotes.
void append_escaped(std::string& out, std::string_view text);

// TEXT escaped as above.
std::string escape(std::string_view text);

}  // namespace figure
