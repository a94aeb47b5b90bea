// The names of the files of one PEDOPRE run, formed from its INFILE as
// PEDOPRE forms them, and the name of the page PEDOVIEW writes beside them.
//
// The outputs are the input's directory and file name without its last
// extension (the part of the file name from its last period on; a period in
// a directory name never counts) plus .MIS, .WTD, .MQ, .SAV, .WDV, .UPQ,
// .OUT and .SIN; the log is PEDOPRE.LOG in the input's directory; the page
// is named after the file it draws, the base plus .SIN.html, so that a
// soil's page and the weather pages of one site never share a name. PEDOPRE runs only on names of at most 256
// characters, so a longer one has no run to show.
#pragma once

#include <string>
#include <vector>

namespace soilview {

struct RunNames {
    std::string infile;  // as given
    std::string log;
    std::string base;  // directory and name without the extension
    std::string mis, wtd, mq, sav, wdv, upq, out, sin;
    std::string page;
    // The outputs in the order the report lists them.
    std::vector<std::string> outputs() const { return {mis, wtd, mq, sav, wdv, upq, out, sin}; }
};

// The names; false when one of the run's names would exceed 256 characters
// (`too_long` then holds it).
bool run_names(const std::string& infile, RunNames& names, std::string& too_long);

// The name of the page PEDOVIEW writes for the main input `infile`:
// INFILE without its extension plus .SIN.html ("site.dat" gives
// "site.SIN.html"). For a batch command to find it.
std::string page_name(const std::string& infile);

// The name with `suffix` after the base, e.g. base + ".characteristic.svg".
inline std::string beside(const RunNames& names, const std::string& suffix) {
    return names.base + suffix;
}

}  // namespace soilview
