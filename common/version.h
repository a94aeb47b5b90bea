// The tool set's name and version, as --version prints them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace common {

inline constexpr std::string_view kSuite = "drainprep";
inline constexpr std::string_view kVersion = DRAINPREP_VERSION;

// "<PROGRAM> (drainprep) <version>".
inline std::string version_line(std::string_view program) {
    std::string line(program);
    line += " (";
    line += kSuite;
    line += ") ";
    line += kVersion;
    return line;
}

// True when the arguments are exactly one of the two that ask about the
// program itself, which then runs nothing and touches no file.
inline bool asks_help(const std::vector<std::string>& args) {
    return args.size() == 1 && args[0] == "--help";
}
inline bool asks_version(const std::vector<std::string>& args) {
    return args.size() == 1 && args[0] == "--version";
}

}  // namespace common
