#include "soilprep/getfilepath.h"

#include "common/fixed_text.h"

namespace soilprep {

void GETFILEPATH(std::string& dir, const std::string& infile, std::string& base) {
    std::string_view path = common::trim_right(infile);
    size_t slash = path.rfind('/');
    std::string_view directory = slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash + 1);
    std::string_view name = path.substr(directory.size());
    size_t dot = name.rfind('.');
    std::string_view stem = dot == std::string_view::npos ? name : name.substr(0, dot);
    dir = common::fixed(directory, soilcalc::kPathLength);
    base = common::fixed(std::string(directory) + std::string(stem), soilcalc::kPathLength);
}

}  // namespace soilprep
