// The manifest of a weather batch: one METCONV run per line, the line
// holding METCONV's arguments as they would be typed after its name,
// separated by blanks or tabs:
//
//   # station 12345, 2019 to 2023
//   temps.dat TP DF 12345
//   daily.dat DR MM 12345 5 20
//
// Blank lines and lines whose first character other than a blank is '#'
// are left out. Lines may end CR LF. File names are relative to the
// manifest's folder, where every run of the batch runs.
#pragma once

#include <string>
#include <vector>

namespace command {

struct ManifestLine {
    int number = 0;                 // from 1
    std::vector<std::string> args;  // INFILE TYPE UNITS STA [NHR BEGHR]
};

// The runs of the manifest at PATH; false with a sentence naming the line
// when the manifest cannot be read or a line does not hold four to six
// arguments.
bool read_manifest(const std::string& path, std::vector<ManifestLine>& lines, std::string& err);

}  // namespace command
