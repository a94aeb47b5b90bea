// A scratch folder of its own for each fuzzing process, emptied between
// inputs, so whole runs can write their files without touching anything
// else. It is made under the temporary folder (TMPDIR) and removed, with
// everything in it, when the process ends.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fuzzing {

inline const std::filesystem::path& scratch_dir() {
    // Never destroyed, so that it is still there for the removal at exit.
    static const std::filesystem::path* const dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "drainprep_fuzz_XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        auto* made = new std::filesystem::path(pattern);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(*dir, ignored);
        });
        return made;
    }();
    return *dir;
}

// Empties the scratch directory and writes `bytes` to `name` in it.
inline std::string fresh_input(const std::string& name, const uint8_t* data, size_t size) {
    const auto& dir = scratch_dir();
    for (const auto& e : std::filesystem::directory_iterator(dir)) std::filesystem::remove_all(e.path());
    auto path = dir / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path.string();
}

inline std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs `work` with the scratch folder as the current folder, and returns to
// the folder the fuzzer was started in: its corpus and finds may be named
// relative to it.
template <class Work>
void in_scratch(Work&& work) {
    const int back = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (back < 0 || ::chdir(scratch_dir().c_str()) != 0) std::abort();
    work();
    if (::fchdir(back) != 0) std::abort();
    ::close(back);
}

}  // namespace fuzzing
