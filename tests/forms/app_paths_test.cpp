#include "app/app_paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

using namespace getkelo;

namespace {

class AppPathsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/getkelo_app_XXXXXX";
        root_ = mkdtemp(tmpl);
        oldXdg_ = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
        oldHome_ = std::getenv("HOME") ? std::getenv("HOME") : "";
    }
    void TearDown() override {
        setenv("XDG_CONFIG_HOME", oldXdg_.c_str(), 1);
        if (oldXdg_.empty()) unsetenv("XDG_CONFIG_HOME");
        setenv("HOME", oldHome_.c_str(), 1);
        std::system(("rm -rf '" + root_ + "'").c_str());
    }
    static bool isDir(const std::string& p) {
        struct stat st {};
        return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    std::string root_, oldXdg_, oldHome_;
};

} // namespace

TEST_F(AppPathsTest, SettingsFolderFollowsXdgAndIsCreated) {
    setenv("XDG_CONFIG_HOME", (root_ + "/xdg").c_str(), 1);
    EXPECT_EQ(settingsFolder("", "getkelo"), root_ + "/xdg/getkelo/");
    EXPECT_TRUE(isDir(root_ + "/xdg/getkelo"));
    // Demo mode keeps a folder of its own beside the real one.
    EXPECT_EQ(settingsFolder("", "getkelo-demo"), root_ + "/xdg/getkelo-demo/");
}

TEST_F(AppPathsTest, WithoutXdgTheHomeConfigFolderIsUsed) {
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", root_.c_str(), 1);
    EXPECT_EQ(settingsFolder("", "getkelo"), root_ + "/.config/getkelo/");
    // A relative XDG_CONFIG_HOME is not valid and is ignored.
    setenv("XDG_CONFIG_HOME", "relative/dir", 1);
    EXPECT_EQ(settingsFolder("", "getkelo"), root_ + "/.config/getkelo/");
}

TEST_F(AppPathsTest, ConfigOptionOverridesAndTrailingSlashesAreTolerated) {
    setenv("XDG_CONFIG_HOME", (root_ + "/xdg").c_str(), 1);
    EXPECT_EQ(settingsFolder(root_ + "/mine//", "getkelo"), root_ + "/mine/");
    EXPECT_TRUE(isDir(root_ + "/mine"));
    EXPECT_FALSE(isDir(root_ + "/xdg/getkelo"));
    // A folder that cannot be made (a file is in the way) gives "".
    std::ofstream(root_ + "/file") << "x";
    EXPECT_EQ(settingsFolder(root_ + "/file/sub", "getkelo"), "");
}

TEST_F(AppPathsTest, DataFolderPrefersTheInstalledShareFolder) {
    mkdir((root_ + "/bin").c_str(), 0700);
    EXPECT_EQ(dataFolder(root_ + "/bin", "/src/data"), "/src/data/");
    mkdir((root_ + "/share").c_str(), 0700);
    mkdir((root_ + "/share/getkelo").c_str(), 0700);
    std::ofstream(root_ + "/share/getkelo/Deutsch.lng") << "[Deutsch]\r\n";
    EXPECT_EQ(dataFolder(root_ + "/bin", "/src/data"), root_ + "/bin/../share/getkelo/");
}
