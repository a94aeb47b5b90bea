// A folder of its own for each test of the drainprep command, and the
// command run in it as a user runs it from a shell.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

namespace command_test {

struct Ran {
    int status = -1;
    std::string out;  // standard output and error
};

class CommandFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/drainprep-command-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        dir_ = name;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // drainprep ARGS in the test's folder.
    Ran run(const std::string& args) const {
        Ran r;
        const std::string cmd = "cd " + dir_.string() + " && " + DRAINPREP + " " + args + " 2>&1";
        FILE* p = ::popen(cmd.c_str(), "r");
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) r.out.append(buf, n);
        const int st = ::pclose(p);
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        return r;
    }

    void write(const std::string& name, const std::string& text) const {
        std::filesystem::create_directories((dir_ / name).parent_path());
        std::ofstream(dir_ / name, std::ios::binary) << text;
    }
    nlohmann::json json(const std::string& name) const {
        std::ifstream in(dir_ / name);
        return nlohmann::json::parse(in);
    }

    std::filesystem::path dir_;
};

}  // namespace command_test
