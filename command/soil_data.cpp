#include <cstdio>
#include <fstream>
#include <sstream>

#include "command/soil_data.h"

namespace command {

std::optional<std::string> read_text_file(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return s.str();
}

bool write_text_file(const std::string& file, const std::string& text, const char* command) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        std::fprintf(stderr, "drainprep soil %s: cannot write %s\n", command, file.c_str());
        return false;
    }
    return true;
}

void add_soil_data(CLI::App& soil, Outcome& outcome) {
    add_soil_fit(soil, outcome);
    add_soil_class(soil, outcome);
    add_soil_ptf(soil, outcome);
    add_soil_make(soil, outcome);
    add_soil_check(soil, outcome);
}

}  // namespace command
