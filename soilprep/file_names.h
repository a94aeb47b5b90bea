// The names of every file of a PEDOPRE run, formed from its INFILE before
// anything is opened: the input's directory and file name without its last
// extension (the part of the file name from its last period on; a period in
// a directory name never counts) plus .WTD, .WDV, .MIS, .MQ, .SAV, .SIN,
// .OUT and .UPQ; the log is PEDOPRE.LOG in the input's directory.
#pragma once

#include <string>
#include <string_view>

namespace soilprep {

inline constexpr std::string_view kLogName = "PEDOPRE.LOG";

struct FileNames {
    std::string infile, dir, base;
    std::string log, out, wtd, wdv, mis, mq, sav, sin, upq;
};

// Forms the names from `argument`, exactly as given, trailing blanks
// included. A name is never cut to fit its 256 characters: false, with the
// first name too long in `too_long`, when one does not fit. The log's name
// is formed whatever its length; the outputs' names are formed unless
// `argument` itself is too long.
bool form_names(const std::string& argument, FileNames& f, std::string& too_long);

}  // namespace soilprep
