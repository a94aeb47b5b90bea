// The file system on disk: outputs that appear whole or not at all, links
// at an output's name replaced and never followed, the locked log rewritten
// in place, leftovers of killed runs, and inputs that are never changed.
// The same rules on the file system in memory, and the end of a run.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/connection.h"
#include "common/free_form.h"
#include "common/record_write.h"
#include "common/run_files.h"

namespace fs = std::filesystem;

namespace {

class DiskFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("common_fs_" + std::to_string(::getpid()) + "_" +
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
    static void put(const std::string& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }
    // Names in the folder, hidden temporaries included.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir_)) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    fs::path dir_;
};

TEST_F(DiskFiles, AnOutputAppearsWholeWhenClosedAndReadsBackBefore) {
    put(path("a.txt"), "old contents\n");
    common::UnitTable units;
    common::Connection* c = units.open(741, path("a.txt"));
    ASSERT_NE(c, nullptr);
    common::write_free(*c, {int32_t{7}});
    c->rewind();
    int32_t v = 0;
    ASSERT_EQ(common::read_free(*c, {v}), common::ReadStatus::Done);
    EXPECT_EQ(v, 7);
    EXPECT_EQ(slurp(path("a.txt")), "old contents\n");  // not yet replaced
    EXPECT_TRUE(units.close(741));
    EXPECT_EQ(slurp(path("a.txt")), " 7\r\n");
    EXPECT_TRUE(units.wrote(path("a.txt")));
    EXPECT_EQ(names(), std::vector<std::string>{"a.txt"});  // no temporary left
}

TEST_F(DiskFiles, ALinkAtAnOutputsNameIsReplacedAndItsTargetUntouched) {
    put(path("target.txt"), "keep me\n");
    fs::create_symlink(path("target.txt"), path("out.txt"));
    common::UnitTable units;
    ASSERT_NE(units.open(1, path("out.txt")), nullptr);
    units.get(1)->put_record("new");
    ASSERT_TRUE(units.close(1));
    EXPECT_FALSE(fs::is_symlink(path("out.txt")));
    EXPECT_EQ(slurp(path("out.txt")), "new\r\n");
    EXPECT_EQ(slurp(path("target.txt")), "keep me\n");
}

TEST_F(DiskFiles, FailuresLeaveNothingBehind) {
    common::UnitTable units;
    EXPECT_EQ(units.open(1, path("no/such/dir/x.txt")), nullptr);
    EXPECT_EQ(units.open(1, dir_.string()), nullptr);
    EXPECT_EQ(units.last_error(), "Is a directory");
    EXPECT_EQ(units.open_existing(2, path("missing.txt")), nullptr);
    EXPECT_EQ(units.last_error(), "No such file or directory");
    // A file dropped before its close does not appear.
    std::string err;
    auto dropped = common::disk().open_write(path("dropped.txt"), err);
    ASSERT_TRUE(dropped && dropped->write("half", 4));
    dropped->discard();
    EXPECT_TRUE(names().empty());
    // An input is opened for reading only: a write to it fails and is told.
    put(path("in.txt"), "1 2\n");
    common::Connection* c = units.open_existing(740, path("in.txt"));
    ASSERT_NE(c, nullptr);
    c->put_record("overwrite attempt");
    EXPECT_FALSE(units.close(740));
    EXPECT_EQ(slurp(path("in.txt")), "1 2\n");
    if (::geteuid() != 0) {  // root writes anywhere
        fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(units.open(3, path("readonly.txt")), nullptr);
    }
}

TEST_F(DiskFiles, TheLogIsLockedRewrittenInPlaceAndNeverFollowed) {
    put(path("elsewhere.txt"), "keep me\n");
    fs::create_symlink(path("elsewhere.txt"), path("run.LOG"));
    std::string err;
    auto log = common::disk().open_log(path("run.LOG"), err);
    ASSERT_NE(log, nullptr) << err;
    EXPECT_FALSE(fs::is_symlink(path("run.LOG")));
    EXPECT_EQ(slurp(path("elsewhere.txt")), "keep me\n");
    ASSERT_TRUE(log->replace("a much longer first line\r\n"));
    ASSERT_TRUE(log->replace("short\r\n"));
    EXPECT_EQ(slurp(path("run.LOG")), "short\r\n");
    // Another open of the same log cannot take the lock while it is held.
    int fd = ::open(path("run.LOG").c_str(), O_RDONLY);
    EXPECT_NE(::flock(fd, LOCK_EX | LOCK_NB), 0);
    log.reset();
    EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ::close(fd);
}

TEST_F(DiskFiles, ALinkedLogIsReplacedByItsOwnFileAndTheCopyKeepsItsText) {
    // As `cp -al` or `rsync --link-dest` leave it: one log, two names.
    put(path("run.LOG"), " NOERROR: Program terminated normally\r\n");
    fs::create_hard_link(path("run.LOG"), path("backup.LOG"));
    std::string err;
    auto log = common::disk().open_log(path("run.LOG"), err);
    ASSERT_NE(log, nullptr) << err;
    ASSERT_TRUE(log->replace(" ERROR: stopped\r\n"));
    EXPECT_EQ(slurp(path("backup.LOG")), " NOERROR: Program terminated normally\r\n");
    EXPECT_EQ(slurp(path("run.LOG")), " ERROR: stopped\r\n");
    EXPECT_EQ(fs::hard_link_count(path("run.LOG")), 1u);
    EXPECT_EQ(names(), (std::vector<std::string>{"backup.LOG", "run.LOG"}));  // no temporary left
    // The lock moved with the name: a second run still waits.
    int fd = ::open(path("run.LOG").c_str(), O_RDONLY);
    EXPECT_NE(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ::close(fd);
}

TEST_F(DiskFiles, ReadersHoldARunStillAndSayWhenOneIsInProgress) {
    bool in_progress = true;
    EXPECT_EQ(common::disk().hold_run(path("none.LOG"), 0, in_progress), nullptr);  // no log: nothing to hold
    EXPECT_FALSE(in_progress);

    std::string err;
    auto log = common::disk().open_log(path("run.LOG"), err);
    ASSERT_NE(log, nullptr) << err;
    EXPECT_EQ(common::disk().hold_run(path("run.LOG"), 50, in_progress), nullptr);
    EXPECT_TRUE(in_progress);
    log.reset();

    auto hold = common::disk().hold_run(path("run.LOG"), 0, in_progress);
    ASSERT_NE(hold, nullptr);
    EXPECT_FALSE(in_progress);
    EXPECT_NE(common::disk().hold_run(path("run.LOG"), 0, in_progress), nullptr);  // readers share
    int fd = ::open(path("run.LOG").c_str(), O_RDONLY);
    EXPECT_NE(::flock(fd, LOCK_EX | LOCK_NB), 0);  // a run waits for the reader
    hold.reset();
    EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ::close(fd);
}

// A log that takes its first line but not the next: over the file-size
// limit, as `ulimit -f` sets it.
class SizeLimit {
  public:
    explicit SizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit r = old_;
        r.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &r);
    }
    ~SizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        ::signal(SIGXFSZ, SIG_DFL);
    }

  private:
    rlimit old_{};
};

TEST_F(DiskFiles, AnUnusableLogIsRemovedAndSaidSoOnlyWhenThereWasOne) {
    const std::string unfinished(64, 'u');
    for (bool earlier : {false, true}) {
        SCOPED_TRACE(earlier);
        fs::remove(path("run.LOG"));
        if (earlier) put(path("run.LOG"), "NOERROR\r\n");
        common::UnitTable units;
        common::RunFiles files(units);
        std::string reason;
        bool removed = !earlier;
        {
            SizeLimit limit(16);
            EXPECT_FALSE(files.open_log(path("run.LOG"), unfinished, reason, removed));
        }
        EXPECT_EQ(reason, "File too large");
        EXPECT_EQ(removed, earlier);
        EXPECT_FALSE(fs::exists(path("run.LOG")));
    }
}

TEST_F(DiskFiles, ARemovalRefusedInAStickyFolderSaysWhy) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs a second user";
    fs::permissions(dir_, fs::perms::all | fs::perms::sticky_bit);
    put(path("theirs.LOG"), "NOERROR\r\n");
    if (::fork() == 0) {  // another user, as in a group's shared folder
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        std::string err;
        const bool removed = common::disk().remove(path("theirs.LOG"), err);
        ::_exit(!removed && err.find("Operation not permitted, for the folder lets only a file's owner remove it") == 0
                    ? 0
                    : 1);
    }
    int status = 0;
    ::wait(&status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(fs::exists(path("theirs.LOG")));
}

TEST_F(DiskFiles, LeftoversOfKilledRunsAreRemovedAndNothingElse) {
    for (const char* n :
         {".soil.MQ.123-4.tmp", ".soil.MQ.9-0.tmp", ".soil.MQ.notes.tmp", ".soil.SIN.1-1.tmp", "soil.MQ"})
        put(path(n), "x");
    common::disk().remove_leftovers({path("soil.MQ")});
    EXPECT_EQ(names(), (std::vector<std::string>{".soil.MQ.notes.tmp", ".soil.SIN.1-1.tmp", "soil.MQ"}));
}

TEST(MemoryFiles, OutputsAppearWhenClosedAndTheRunEndsWithItsOwnSet) {
    common::MemoryFileSystem mem;
    mem.put("s.OUT", "old report");
    mem.put("s.SIN", "old soil input");
    mem.put("s.dat", "input");
    common::UnitTable units(mem);
    common::RunFiles files(units);
    std::string reason;
    bool removed = false;
    ASSERT_TRUE(files.open_log("PEDOPRE.LOG", "unfinished\r\n", reason, removed));
    EXPECT_EQ(*mem.get("PEDOPRE.LOG"), "unfinished\r\n");
    files.begin_outputs({"s.OUT", "s.SIN"});
    units.open(741, "s.OUT")->put_record("new report");
    EXPECT_EQ(*mem.get("s.OUT"), "old report");
    // The run stops here: its own partial report stays, the earlier soil
    // input file goes, and the log takes the last line.
    ASSERT_TRUE(files.finish("ERROR: stopped\r\n", reason));
    EXPECT_EQ(*mem.get("s.OUT"), "new report\r\n");
    EXPECT_EQ(mem.get("s.SIN"), nullptr);
    EXPECT_EQ(*mem.get("PEDOPRE.LOG"), "ERROR: stopped\r\n");
    EXPECT_EQ(*mem.get("s.dat"), "input");
}

TEST(MemoryFiles, ARunThatStopsBeforeItsOutputsTouchesNone) {
    common::MemoryFileSystem mem;
    mem.put("s.OUT", "old report");
    common::UnitTable units(mem);
    common::RunFiles files(units);
    std::string reason;
    bool removed = false;
    ASSERT_TRUE(files.open_log("PEDOPRE.LOG", "unfinished\r\n", reason, removed));
    ASSERT_TRUE(files.finish("ERROR: no input\r\n", reason));
    EXPECT_EQ(*mem.get("s.OUT"), "old report");
}

}  // namespace
