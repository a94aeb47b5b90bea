// File connections on real files: creation, replacement on the first write,
// reading back after a rewind, and open failures.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/connection.h"
#include "common/free_form.h"
#include "common/record_write.h"

namespace fs = std::filesystem;

namespace {

class ConnectionFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("common_conn_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all);
        fs::remove_all(dir_);
    }
    std::string path(const char* name) const { return (dir_ / name).string(); }
    static std::string slurp(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    fs::path dir_;
};

TEST_F(ConnectionFiles, OpenCreatesAndTheFirstWriteReplacesTheFile) {
    {
        std::ofstream(path("a.txt")) << "old contents that are longer\n";
    }
    common::UnitTable units;
    common::Connection* c = units.open(741, path("a.txt"));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(slurp(path("a.txt")), "old contents that are longer\n");  // untouched until written
    static const common::Layout f("(I3)");
    common::write_record(*c, f, {7});
    c->rewind();
    int32_t v = 0;
    ASSERT_EQ(common::read_free(*c, {v}), common::ReadStatus::Done);
    EXPECT_EQ(v, 7);
    EXPECT_TRUE(units.close(741));
    EXPECT_EQ(slurp(path("a.txt")), "  7\r\n");

    ASSERT_NE(units.open(11, path("new.txt")), nullptr);
    EXPECT_EQ(common::disk().type(path("new.txt")), common::FileType::Regular);
    EXPECT_EQ(common::disk().type(path("missing.txt")), common::FileType::Missing);
    EXPECT_EQ(common::disk().type(dir_.string()), common::FileType::Directory);
}

TEST_F(ConnectionFiles, OpenFailuresAreReported) {
    common::UnitTable units;
    EXPECT_EQ(units.open(1, path("no/such/dir/x.txt")), nullptr);
    EXPECT_EQ(units.open(1, dir_.string()), nullptr);
    EXPECT_EQ(units.open_existing(2, path("missing.txt")), nullptr);
    if (::geteuid() != 0) {  // root writes anywhere
        fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(units.open(3, path("readonly.txt")), nullptr);
    }
}

TEST_F(ConnectionFiles, ReadOnlyInputIsNeverCreatedOrChanged) {
    common::UnitTable units;
    EXPECT_EQ(units.open_existing(740, path("in.txt")), nullptr);
    EXPECT_FALSE(fs::exists(path("in.txt")));
    {
        std::ofstream(path("in.txt")) << "1 2\n";
    }
    common::Connection* c = units.open_existing(740, path("in.txt"));
    ASSERT_NE(c, nullptr);
    c->put_record("overwrite attempt");
    EXPECT_FALSE(units.close(740));  // the write fails and is reported
    EXPECT_EQ(slurp(path("in.txt")), "1 2\n");
}

}  // namespace
