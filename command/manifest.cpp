#include "command/manifest.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace command {

bool read_manifest(const std::string& path, std::vector<ManifestLine>& lines, std::string& err) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        err = "the manifest " + path + " cannot be read: " + std::strerror(errno);
        return false;
    }
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        std::vector<std::string> args;
        size_t at = 0;
        while ((at = text.find_first_not_of(" \t", at)) != std::string::npos) {
            const size_t end = text.find_first_of(" \t", at);
            args.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
            at = end;
        }
        if (args.empty() || args.front()[0] == '#') continue;
        if (args.size() < 4 || args.size() > 6) {
            err = path + ":" + std::to_string(number) + ": METCONV takes INFILE TYPE UNITS STA [NHR BEGHR], not " +
                  std::to_string(args.size()) + (args.size() == 1 ? " argument" : " arguments");
            return false;
        }
        lines.push_back({number, std::move(args)});
    }
    if (in.bad()) {
        err = "the manifest " + path + " cannot be read: " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace command
