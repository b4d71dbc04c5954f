// What may stand at a settings path besides a well-behaved file, and two objects on one file.
#include "base/ini_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace getkelo;
namespace fs = std::filesystem;

namespace {

class IniSafetyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("getkelo_inisafe_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "GetKelo.ini").string();
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::vector<std::string> entries() const {
        std::vector<std::string> out;
        for (auto& e : fs::directory_iterator(dir_))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    fs::path dir_;
    std::string path_;
};

TEST_F(IniSafetyTest, TwoObjectsSeeEachOthersSameSizeRewritesWithinOneTick) {
    // The console keeps one object open beside short-lived ones; a same-size rewrite within
    // the file system's time granularity once went unseen and the stale object wrote the old
    // value back.
    // Every write is stamped with one modification time: all of them fall into one tick.
    const timespec tick[2] = {{1700000000, 0}, {1700000000, 0}};
    IniFile console(path_), dialog(path_);
    for (int i = 0; i < 30; ++i) {
        ASSERT_TRUE(console.writeInteger("Init", "a", i % 10));
        ASSERT_EQ(utimensat(AT_FDCWD, path_.c_str(), tick, 0), 0);
        ASSERT_TRUE(dialog.writeInteger("Init", "b", i % 10));
        ASSERT_EQ(utimensat(AT_FDCWD, path_.c_str(), tick, 0), 0);
        ASSERT_EQ(dialog.readInteger("Init", "a", -1), i % 10) << i;
        ASSERT_EQ(console.readInteger("Init", "b", -1), i % 10) << i;
        ASSERT_EQ(IniFile(path_).readInteger("Init", "a", -1), i % 10) << i;
    }
}

TEST_F(IniSafetyTest, BatchAppliesItsChangesToWhatIsOnDiskWhenItEnds) {
    IniFile console(path_), dialog(path_);
    console.writeInteger("Init", "kept", 1);
    {
        IniFile::Batch batch(console);
        console.writeInteger("Init", "mine", 2);
        dialog.writeInteger("Init", "theirs", 3); // lands while the batch is open
        EXPECT_EQ(console.readInteger("Init", "mine"), 2);
        EXPECT_EQ(console.readInteger("Init", "theirs"), 3);
    }
    IniFile fresh(path_);
    EXPECT_EQ(fresh.readInteger("Init", "kept"), 1);
    EXPECT_EQ(fresh.readInteger("Init", "mine"), 2);
    EXPECT_EQ(fresh.readInteger("Init", "theirs"), 3);
}

TEST_F(IniSafetyTest, TemporaryOfAKilledSaveIsRemovedAtOpenALiveOneKept) {
    std::ofstream(path_) << "[Init]\r\nx=1\r\n";
    // A save killed after creating and filling its temporary file.
    pid_t killed = fork();
    if (killed == 0) {
        std::string name = path_ + ".tmpXXXXXX";
        int fd = mkstemp(name.data());
        (void)!write(fd, "[Init]\r\n", 8);
        raise(SIGKILL);
    }
    int status = 0;
    waitpid(killed, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    // A live save that holds its temporary file, and names that are not ours.
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    pid_t live = fork();
    if (live == 0) {
        std::string name = path_ + ".tmpLIVE00";
        int fd = open(name.c_str(), O_CREAT | O_RDWR, 0600);
        flock(fd, LOCK_EX);
        (void)!write(ready[1], "r", 1);
        char c;
        (void)!read(release[0], &c, 1);
        _exit(0);
    }
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    std::ofstream(path_ + ".tmpfoo") << "not ours";
    std::ofstream((dir_ / "Other.ini.tmpABCDEF").string()) << "not ours";
    ASSERT_EQ(entries().size(), 5u);

    IniFile f(path_);
    EXPECT_EQ(f.readInteger("Init", "x"), 1);
    (void)!write(release[1], "x", 1);
    waitpid(live, &status, 0);
    const std::vector<std::string> want = {"GetKelo.ini", "GetKelo.ini.tmpLIVE00",
                                           "GetKelo.ini.tmpfoo", "Other.ini.tmpABCDEF"};
    EXPECT_EQ(entries(), want);
}

TEST_F(IniSafetyTest, OnlyRegularFilesAreReadAndNothingElseIsWrittenOver) {
    struct Case {
        const char* what;
        std::function<void(const std::string&)> make;
        const char* reason;
    };
    const Case cases[] = {
        {"fifo", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }, "pipe"},
        {"link to /dev/zero", [](const std::string& p) { fs::create_symlink("/dev/zero", p); },
         "device"},
        {"folder", [](const std::string& p) { fs::create_directory(p); }, "folder"},
        {"oversized",
         [](const std::string& p) {
             std::ofstream out(p, std::ios::binary);
             out << "[Init]\r\nx=1\r\n";
             out << std::string(kMaxSettingsFileBytes, ';');
         },
         "larger"},
    };
    for (const Case& c : cases) {
        fs::remove_all(path_);
        c.make(path_);
        const auto before = fs::status(path_).type();
        const auto size = before == fs::file_type::regular ? fs::file_size(path_) : 0;
        IniFile f(path_);
        EXPECT_EQ(f.readInteger("Init", "x", 7), 7) << c.what;
        EXPECT_NE(f.loadError().find(c.reason), std::string::npos) << c.what << f.loadError();
        EXPECT_FALSE(f.writeInteger("Init", "x", 2)) << c.what;
        EXPECT_FALSE(f.lastError().empty()) << c.what;
        EXPECT_EQ(fs::status(path_).type(), before) << c.what;
        if (before == fs::file_type::regular) {
            EXPECT_EQ(fs::file_size(path_), size) << c.what;
        }
    }
}

TEST_F(IniSafetyTest, SymbolicLinkIsFollowedAndItsTargetReplaced) {
    fs::create_directory(dir_ / "real");
    const std::string target = (dir_ / "real" / "GetKelo.ini").string();
    std::ofstream(target) << "[Init]\r\nx=1\r\n";
    fs::create_symlink("real/GetKelo.ini", path_);
    IniFile f(path_);
    EXPECT_EQ(f.readInteger("Init", "x"), 1);
    ASSERT_TRUE(f.writeInteger("Init", "x", 2));
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_EQ(IniFile(target).readInteger("Init", "x"), 2);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "real"), fs::directory_iterator()), 1);

    // A link whose target does not exist yet gets it.
    const std::string dangling = (dir_ / "Dangling.ini").string();
    fs::create_symlink("real/New.ini", dangling);
    ASSERT_TRUE(IniFile(dangling).writeInteger("Init", "y", 3));
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(IniFile((dir_ / "real" / "New.ini").string()).readInteger("Init", "y"), 3);
}

} // namespace
