#include "calib/data_file_path.h"
#include "calib/section_names.h"
#include "console/console_settings.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace getkelo {
namespace {

namespace fs = std::filesystem;

TEST(MakeDataFilePath, FolderOfTheTypeAndNameOfSerialAndTag) {
    const DataFileRoot flat{"/data/", false}, nested{"/data", true};
    EXPECT_EQ(MakeDataFilePath(nested, "tesra Typ03", "123456"),
              "/data/tesra Typ03/123/123456t03.dat");
    EXPECT_EQ(MakeDataFilePath(flat, "tesra Typ03", "123456"), "/data/tesra Typ03/123456t03.dat");
    EXPECT_EQ(MakeDataFilePath(flat, "varon Typ02", "42"), "/data/varon Typ02/42v02.dat");
    EXPECT_EQ(MakeDataFilePath(nested, "varon Typ02", "42"), "/data/varon Typ02/0/42v02.dat");
    EXPECT_EQ(generationTag("tesra Typ01"), "t01");
    // A serial that could not be read, or names that would leave the folder, give no path.
    for (const char* serial : {"Fehler", "", "12/3", "-5", "1.5"})
        EXPECT_EQ(MakeDataFilePath(flat, "tesra Typ03", serial), "") << serial;
    for (const char* type : {"t3", "../x/tesra", "a\\b03"})
        EXPECT_EQ(MakeDataFilePath(flat, type, "1"), "") << type;
}

TEST(MakeDataFilePath, RootFromTheSettingsFile) {
    fs::path dir = fs::temp_directory_path() / "getkelo_data_root";
    fs::create_directories(dir);
    std::ofstream((dir / "GetKelo.ini").string()) << "[DIR]\r\ndat=N:\\Device Data\\\r\n";
    ConsoleSettings settings((dir / "GetKelo.ini").string(), "/prog", "/home/op");
    settings.newDirectoryStructure = true;
    DataFileRoot root = dataFileRoot(settings);
    EXPECT_EQ(root.baseDir, "/home/op/Device Data/");
    EXPECT_TRUE(root.newStructure);
    std::ofstream((dir / "GetKelo.ini").string()) << "[DIR]\r\ndat=/srv/cal\r\n";
    EXPECT_EQ(dataFileRoot(settings).baseDir, "/srv/cal/");
    fs::remove_all(dir);
}

TEST(DataFileGeneration, OnlyTheFileNameCounts) {
    EXPECT_EQ(dataFileGeneration("/d/varon Typ02/12v02.dat"), "v02");
    EXPECT_EQ(dataFileGeneration("/d/tesra Typ03/12t03.dat"), "t03");
    EXPECT_EQ(dataFileGeneration("/v02/t03/12t01.dat"), "");
}

class SectionNames : public ::testing::Test {
  protected:
    fs::path dir = fs::temp_directory_path() / "getkelo_section_names";
    std::string path = (dir / "x.dat").string();
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    void file(const std::string& text) { std::ofstream(path) << text; }
};

TEST_F(SectionNames, OneMoreThanTheHighestIndex) {
    struct Case {
        const char* sections;
        const char* prefix;
        const char* next;
    };
    const Case cases[] = {
        {"[DATA0]\n[DATA1]\n[DATA5]\n", "DATA", "DATA6"},
        {"", "DATA", "DATA0"},
        {"[CERTIFICATE]\n", "LOOKUP", "LOOKUP0"},
        {"[DATA2]\n[DATAIO7]\n", "DATA", "DATA3"},     // "IO7" reads 0
        {"[DATAIO7]\n[DATA9]\n", "DATAIO", "DATAIO8"}, // DATA9 does not contain DATAIO
        {"[DATAIO7]\n", "DATA", "DATA1"},
        {"[data4]\n", "DATA", "DATA5"}, // names ignore case, as the file does
        {"[LOOKUP99999999999999999999]\n", "LOOKUP", "LOOKUP1000000001"},
        {"[DATA-3]\n[DATA-2]\n", "DATA", "DATA0"},
    };
    for (const auto& c : cases) {
        file(c.sections);
        EXPECT_EQ(NextSectionName(path, c.prefix), c.next) << c.sections;
    }
    EXPECT_EQ(NextSectionName((dir / "missing.dat").string(), "DATA"), "DATA0");
}

TEST_F(SectionNames, NeverNamesASectionTheFileHas) {
    file("[DATA-1]\n[DATA0]\n[DATA0x]\n");
    EXPECT_EQ(NextSectionName(path, "DATA"), "DATA1");
    file("[DATA-1]\n[data0]\n");
    EXPECT_EQ(NextSectionName(path, "DATA"), "DATA1");
}

} // namespace
} // namespace getkelo
