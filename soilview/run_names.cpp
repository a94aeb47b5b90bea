#include "soilview/run_names.h"

#include "soilcalc/run_state.h"
#include "soilprep/file_names.h"

namespace soilview {
namespace {

constexpr const char* kPageSuffix = ".SIN.html";

}  // namespace

bool run_names(const std::string& infile, RunNames& names, std::string& too_long) {
    soilprep::FileNames f;
    const bool formed = soilprep::form_names(infile, f, too_long);
    names.infile = infile;
    names.log = f.log;
    if (infile.size() > soilcalc::kPathLength) return false;
    names.base = f.base;
    names.mis = f.mis;
    names.wtd = f.wtd;
    names.mq = f.mq;
    names.sav = f.sav;
    names.wdv = f.wdv;
    names.upq = f.upq;
    names.out = f.out;
    names.sin = f.sin;
    if (!formed) {
        // The first name too long in the order the report lists them.
        std::vector<std::string> listed = names.outputs();
        listed.push_back(names.log);
        for (const std::string& name : listed) {
            if (name.size() > soilcalc::kPathLength) {
                too_long = name;
                break;
            }
        }
        return false;
    }
    names.page = names.base + kPageSuffix;
    return true;
}

std::string page_name(const std::string& infile) {
    RunNames names;
    std::string too_long;
    if (run_names(infile, names, too_long)) return names.page;
    // A name PEDOPRE does not run on: the same rule, without its limit.
    const size_t slash = infile.rfind('/');
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = infile.rfind('.');
    return (dot != std::string::npos && dot >= start ? infile.substr(0, dot) : infile) + kPageSuffix;
}

}  // namespace soilview
