#include "common/file_system.h"

#include <filesystem>

namespace common {

std::string_view type_words(FileType t) {
    switch (t) {
        case FileType::Missing:
            return "missing";
        case FileType::Regular:
            return "a file";
        case FileType::Directory:
            return "a folder";
        case FileType::Fifo:
            return "a named pipe";
        case FileType::Device:
            return "a device";
        case FileType::Socket:
            return "a socket";
    }
    return "not a file";
}

std::string normal_name(const std::string& path) {
    std::string k = std::filesystem::path(path).lexically_normal().string();
    while (k.size() > 1 && k.back() == '/') k.pop_back();
    return k;
}

}  // namespace common
