#include "soilprep/file_names.h"

#include <initializer_list>
#include <utility>

#include "common/fixed_text.h"
#include "soilcalc/run_state.h"
#include "soilprep/getfilepath.h"

namespace soilprep {

bool form_names(const std::string& argument, FileNames& f, std::string& too_long) {
    f.infile = argument;
    const size_t slash = argument.rfind('/');
    f.dir = slash == std::string::npos ? std::string() : argument.substr(0, slash + 1);
    f.log = f.dir + std::string(kLogName);
    if (argument.size() > soilcalc::kPathLength) {
        too_long = argument;
        return false;
    }
    std::string dir, base;
    GETFILEPATH(dir, common::fixed(argument, soilcalc::kPathLength), base);
    f.base = std::string(common::trim_right(base));
    const auto outputs = {std::pair{&f.wtd, ".WTD"}, {&f.wdv, ".WDV"}, {&f.mis, ".MIS"}, {&f.mq, ".MQ"},
                          {&f.sav, ".SAV"},          {&f.sin, ".SIN"}, {&f.out, ".OUT"}, {&f.upq, ".UPQ"}};
    for (auto [name, suffix] : outputs) *name = f.base + suffix;
    for (auto [name, suffix] : outputs) {
        if (name->size() > soilcalc::kPathLength) {
            too_long = *name;
            return false;
        }
    }
    if (f.log.size() > soilcalc::kPathLength) {
        too_long = f.log;
        return false;
    }
    return true;
}

}  // namespace soilprep
