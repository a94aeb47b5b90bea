// A scratch directory of its own for each fuzzing process, emptied between
// inputs, so whole runs can write their files without touching anything else.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fuzzing {

inline const std::filesystem::path& scratch_dir() {
    static const std::filesystem::path dir = [] {
        std::filesystem::path base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        auto d = base / ("soilprep_fuzz_" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

// Empties the scratch directory and writes `bytes` to `name` in it.
inline std::string fresh_input(const std::string& name, const uint8_t* data, size_t size) {
    const auto& dir = scratch_dir();
    for (const auto& e : std::filesystem::directory_iterator(dir)) std::filesystem::remove_all(e.path());
    auto path = dir / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path.string();
}

inline std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace fuzzing
