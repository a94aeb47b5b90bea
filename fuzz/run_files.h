// The files of one run, cut from a fuzzer's bytes: the data is split at each
// "\n=\n" and the pieces become the named files in turn, in memory; names
// past the last piece stay missing. The viewers' fuzz targets read them and
// check what every page must be.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_system.h"

namespace fuzzing {

inline void put_run_files(common::MemoryFileSystem& fs, const std::vector<std::string>& names, const uint8_t* data,
                          size_t size) {
    static constexpr std::string_view kCut = "\n=\n";
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    for (const std::string& name : names) {
        const size_t cut = rest.find(kCut);
        fs.put(name, std::string(rest.substr(0, cut)));
        if (cut == std::string_view::npos) return;
        rest.remove_prefix(cut + kCut.size());
    }
}

// A page holds no control character but the line end and the tab, whatever
// the files held: the pages escape what they show.
inline void check_page(const std::string* page) {
    if (!page) return;
    for (char ch : *page) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c < 0x20 && c != '\n' && c != '\r' && c != '\t') || c == 0x7F) std::abort();
    }
}

}  // namespace fuzzing
