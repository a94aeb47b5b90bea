// Every record layout written in the programs' sources parses. Layouts are
// constants of the code, so one that does not parse is a programming error;
// this finds it before a run reaches the statement that uses it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/layout.h"

namespace {

// The string literals (adjacent ones joined) that follow each
// `Layout name(` in a source text.
std::vector<std::string> layouts_in(const std::string& src) {
    std::vector<std::string> found;
    size_t at = 0;
    while ((at = src.find("Layout ", at)) != std::string::npos) {
        at += 7;
        size_t p = at;
        while (p < src.size() && (std::isalnum(static_cast<unsigned char>(src[p])) || src[p] == '_')) ++p;
        if (p == at || p >= src.size() || src[p] != '(') continue;
        ++p;
        std::string text;
        bool any = false;
        for (;;) {
            while (p < src.size() && std::isspace(static_cast<unsigned char>(src[p]))) ++p;
            if (p >= src.size() || src[p] != '"') break;
            any = true;
            for (++p; p < src.size() && src[p] != '"'; ++p) {
                if (src[p] == '\\' && p + 1 < src.size()) ++p;
                text.push_back(src[p]);
            }
            ++p;
        }
        if (any) found.push_back(text);
    }
    return found;
}

TEST(RecordLayouts, EveryLayoutInTheProgramsParses) {
    namespace fs = std::filesystem;
    int count = 0;
    for (const char* dir : {"common", "soilprep", "soilcalc", "weather"}) {
        fs::path root = fs::path(SOURCE_ROOT) / dir;
        if (!fs::exists(root)) continue;
        for (const auto& e : fs::directory_iterator(root)) {
            if (e.path().extension() != ".cpp" && e.path().extension() != ".h") continue;
            std::ifstream in(e.path());
            std::stringstream ss;
            ss << in.rdbuf();
            for (const auto& text : layouts_in(ss.str())) {
                ++count;
                EXPECT_NO_THROW(common::Layout{text}) << e.path().filename() << ": " << text;
            }
        }
    }
    EXPECT_GT(count, 0);
}

}  // namespace
