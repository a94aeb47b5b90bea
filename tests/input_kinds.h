// What may stand at an input's name in the tables of bad inputs: a file
// with given bytes, a folder, a named pipe, or a link to a device.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace input_kinds {

enum class Input { File, Folder, Fifo, DeviceLink };

// Puts an input of `kind` at `path`; `bytes` are a file's content.
inline void make_input(const std::filesystem::path& path, Input kind, const std::string& bytes) {
    switch (kind) {
        case Input::File:
            std::ofstream(path, std::ios::binary) << bytes;
            break;
        case Input::Folder:
            std::filesystem::create_directory(path);
            break;
        case Input::Fifo:
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
            break;
        case Input::DeviceLink:
            std::filesystem::create_symlink("/dev/zero", path);
            break;
    }
}

}  // namespace input_kinds
