#include "calib/data_file_path.h"
#include "calib/section_names.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace getkelo {
namespace {

TEST(MakeDataFilePath, FolderOfTheTypeAndNameOfSerialAndTag) {
    const DataFileRoot flat{"/data/", false}, nested{"/data", true};
    EXPECT_EQ(MakeDataFilePath(nested, "tesra Typ03", "123456"),
              "/data/tesra Typ03/123/123456t03.dat");
    EXPECT_EQ(MakeDataFilePath(flat, "varon Typ02", "42"), "/data/varon Typ02/42v02.dat");
    // A serial that could not be read, or names that would leave the folder, give no path.
    for (const char* serial : {"Fehler", "", "12/3", "-5"})
        EXPECT_EQ(MakeDataFilePath(flat, "tesra Typ03", serial), "") << serial;
    EXPECT_EQ(MakeDataFilePath(flat, "../x/tesra", "1"), "");
    EXPECT_EQ(dataFileGeneration("/v02/t03/12t01.dat"), "") << "only the file name counts";
}

TEST(NextSectionName, OneMoreThanTheHighestIndex) {
    const std::string path =
        (std::filesystem::temp_directory_path() / "getkelo_names.dat").string();
    for (auto [sections, prefix, next] :
         {std::tuple{"[DATA0]\n[DATA1]\n[DATA5]\n", "DATA", "DATA6"},
          {"", "DATA", "DATA0"},
          {"[DATA2]\n[DATAIO7]\n", "DATA", "DATA3"}, // "IO7" reads 0
          {"[DATAIO7]\n", "DATA", "DATA1"},
          {"[DATAIO7]\n[DATA9]\n", "DATAIO", "DATAIO8"},
          {"[data4]\n", "DATA", "DATA5"}, // names ignore case, as the file does
          {"[LOOKUP99999999999999999999]\n", "LOOKUP", "LOOKUP1000000001"},
          {"[DATA-1]\n[data0]\n", "DATA", "DATA1"}}) {
        std::ofstream(path) << sections;
        EXPECT_EQ(NextSectionName(path, prefix), next) << sections;
    }
    std::filesystem::remove(path);
    EXPECT_EQ(NextSectionName(path, "DATA"), "DATA0") << "no file";
}

} // namespace
} // namespace getkelo
