#include "base/ini_file.h"
#include "comm/service_image.h"
#include "config/eeprom_image_file.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace getkelo {
namespace {

namespace fs = std::filesystem;

class ImageFile : public ::testing::Test {
  protected:
    fs::path dir = fs::temp_directory_path() / ("getkelo_image_file_" + std::to_string(getpid()));
    std::string path = (dir / "dev.eep").string();
    std::vector<uint8_t> image = std::vector<uint8_t>(kServiceImageBufferSize);

    void SetUp() override {
        fs::create_directories(dir);
        for (int i = 0; i < kServiceImageSize; ++i)
            image[i] = static_cast<uint8_t>(i * 11 + 5);
        std::string error;
        ASSERT_TRUE(saveImageFile(path, image, {"21010005", "07.03.05", "14:07:09"}, error));
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string text() const {
        std::stringstream ss;
        ss << std::ifstream(path).rdbuf();
        return ss.str();
    }
    void replace(const std::string& from, const std::string& to) {
        std::string t = text();
        size_t at = t.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        t.replace(at, from.size(), to);
        std::ofstream(path, std::ios::binary) << t;
    }
};

TEST_F(ImageFile, RoundTripIsExactAndReadable) {
    std::vector<uint8_t> back;
    std::string error;
    ImageFileHeader header;
    ASSERT_TRUE(loadImageFile(path, back, error, &header)) << error;
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + kServiceImageSize, back.begin()));
    EXPECT_EQ(header.serial, "21010005");
    const std::string t = text();
    EXPECT_NE(t.find("Format=GetKelo EEPROM image 1"), std::string::npos);
    EXPECT_NE(t.find("Gain=" + std::to_string(image[0x100E])), std::string::npos);
    EXPECT_NE(t.find("0000=05 10 1B 26"), std::string::npos);
    EXPECT_NE(t.find("1310="), std::string::npos) << "the last line holds the last byte";
}

TEST_F(ImageFile, ANamedValueEditedByHandCounts) {
    IniFile(path).writeString("EEPROM", "Gain", "99");
    std::vector<uint8_t> back;
    std::string error;
    ASSERT_TRUE(loadImageFile(path, back, error));
    EXPECT_EQ(back[0x100E], 99);
    EXPECT_EQ(back[0x100F], image[0x100F]);
}

TEST_F(ImageFile, AnythingElseIsAWrongFormat) {
    struct Case {
        const char* what;
        std::string from, to;
    };
    const Case cases[] = {
        {"format", "Format=GetKelo EEPROM image 1", "Format=something"},
        {"byte count", "Bytes=4881", "Bytes=4880"},
        {"a missing line", "0010=", "0011="},
        {"a short line", "0000=05 10", "0000=05"},
        {"not hex", "0000=05", "0000=G5"},
        {"gain out of range", "Gain=", "Gain=300\r\nX="},
        {"a short tick table", "FlowTicksTemp0=", "FlowTicksTemp0=1;2\r\nX="},
    };
    for (const auto& c : cases) {
        SetUp();
        replace(c.from, c.to);
        std::vector<uint8_t> back;
        std::string error;
        EXPECT_FALSE(loadImageFile(path, back, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
    std::ofstream(path) << "just some text\n";
    std::vector<uint8_t> back;
    std::string error;
    EXPECT_FALSE(loadImageFile(path, back, error));
    EXPECT_FALSE(loadImageFile(dir.string(), back, error)) << "a folder";
    EXPECT_FALSE(loadImageFile((dir / "none").string(), back, error));
}

TEST_F(ImageFile, SavingOverAnotherFileLeavesOnlyTheImage) {
    std::ofstream(path) << "[Other]\nkey=1\n";
    std::string error;
    ASSERT_TRUE(saveImageFile(path, image, {}, error));
    EXPECT_FALSE(IniFile(path).sectionExists("Other"));
    std::vector<uint8_t> back;
    EXPECT_TRUE(loadImageFile(path, back, error));
}

} // namespace
} // namespace getkelo
