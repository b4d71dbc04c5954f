#include "base/make_folders.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace getkelo {
namespace {

TEST(MakeFolders, MakesEveryMissingFolderAndNamesTheOneItCannot) {
    auto dir = std::filesystem::temp_directory_path() / "getkelo_make_folders";
    std::filesystem::remove_all(dir);
    EXPECT_TRUE(makeFolders((dir / "a/b/c").string()));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "a/b/c"));
    EXPECT_TRUE(makeFolders((dir / "a/b").string() + "/")) << "existing folders are fine";
    std::ofstream((dir / "file").string()) << "x";
    std::string error;
    EXPECT_FALSE(makeFolders((dir / "file/d").string(), &error));
    EXPECT_NE(error.find("file"), std::string::npos);
    EXPECT_EQ(folderOfPath("a/b/c.dat"), "a/b");
    EXPECT_EQ(folderOfPath("c.dat"), "");
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace getkelo
