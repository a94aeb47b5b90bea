// The lines both programs give about files, each defined once: a file that
// cannot be opened or written (with the system's reason, where it gave
// one), an input that is no regular file, a name too long for its field, a
// line too long to read, a log that cannot be used. Names in a line are
// written with their control characters escaped.
#pragma once

#include <string>
#include <string_view>

#include "common/fixed_text.h"

namespace common::msg {

inline std::string with_reason(std::string text, std::string_view reason) {
    if (!reason.empty()) text += ": " + std::string(reason);
    return text;
}
inline std::string cannot_open(std::string_view file, std::string_view reason = {}) {
    return with_reason("ERROR: Cannot open file " + printable(file), reason);
}
inline std::string cannot_write(std::string_view file, std::string_view reason = {}) {
    return with_reason("ERROR: Cannot write file " + printable(file), reason);
}
// An input that is no regular file: `what` says what it is ("a folder").
inline std::string not_a_file(std::string_view file, std::string_view what) {
    return "ERROR: Input " + printable(file) + " is " + std::string(what) + ", not a file";
}
// A name that does not fit the 256 characters of a file name. The name
// comes last, so that the line says what is wrong however long it is.
inline std::string name_too_long(std::string_view name) {
    return "ERROR: A file name of this run is longer than 256 characters: " + printable(name);
}
// A line of an input longer than the 1 MiB the programs read.
inline std::string overlong_record(std::string_view file) {
    return "ERROR: A line of file " + printable(file) + " is longer than 1048576 characters";
}
// The log could not be opened or written; an earlier log at its name was
// removed so that it is not read as this run's outcome.
inline std::string log_unusable(std::string line, bool removed) {
    if (removed) line += " (the earlier log was removed)";
    return line;
}
// A file of an earlier run ("log", "output") that this run could not
// remove: it stands beside this run's files, and the user must know that it
// is not this run's.
inline std::string earlier_stands(std::string_view kind, std::string_view file, std::string_view reason) {
    return with_reason("ERROR: Earlier " + std::string(kind) + " " + printable(file) +
                           " stands, not of this run; it cannot be removed",
                       reason);
}

}  // namespace common::msg
