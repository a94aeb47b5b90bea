#include "soilview/run_names.h"

#include "common/fixed_text.h"
#include "soilcalc/run_state.h"
#include "soilprep/getfilepath.h"

namespace soilview {
namespace {

constexpr const char* kPageSuffix = ".SIN.html";

}  // namespace

bool run_names(const std::string& infile, RunNames& names, std::string& too_long) {
    names.infile = infile;
    const size_t slash = infile.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : infile.substr(0, slash + 1);
    names.log = dir + "PEDOPRE.LOG";
    if (infile.size() > soilcalc::kPathLength) {
        too_long = infile;
        return false;
    }
    std::string unused, base;
    soilprep::GETFILEPATH(unused, common::fixed(infile, soilcalc::kPathLength), base);
    names.base = std::string(common::trim_right(base));
    for (auto [name, suffix] : {std::pair{&names.mis, ".MIS"}, {&names.wtd, ".WTD"}, {&names.mq, ".MQ"},
                                {&names.sav, ".SAV"}, {&names.wdv, ".WDV"}, {&names.upq, ".UPQ"},
                                {&names.out, ".OUT"}, {&names.sin, ".SIN"}}) {
        *name = names.base + suffix;
        if (name->size() > soilcalc::kPathLength) {
            too_long = *name;
            return false;
        }
    }
    if (names.log.size() > soilcalc::kPathLength) {
        too_long = names.log;
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
