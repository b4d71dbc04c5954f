#include "base/ini_file.h"
#include "comm/service_image.h"
#include "config/eeprom_image_file.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace getkelo {
namespace {

struct ImageFile : ::testing::Test {
    // One name per process: the suites of several build trees may run at once.
    std::string path = (std::filesystem::temp_directory_path() /
                        ("getkelo_image_" + std::to_string(getpid()) + ".eep"))
                           .string();
    std::vector<uint8_t> image = std::vector<uint8_t>(kServiceImageBufferSize);
    std::vector<uint8_t> back;
    std::string error;
    void SetUp() override {
        // Text bytes after a NUL, line ends, anything: every byte comes back.
        for (int i = 0; i < kServiceImageSize; ++i)
            image[i] = static_cast<uint8_t>(i * 11 + 5);
        ASSERT_TRUE(saveImageFile(path, image, {"21010005", "07.03.05", "14:07:09"}, error));
    }
    void TearDown() override { std::filesystem::remove(path); }
    void replace(const std::string& from, const std::string& to) {
        std::stringstream ss;
        ss << std::ifstream(path).rdbuf();
        std::string t = ss.str();
        ASSERT_NE(t.find(from), std::string::npos) << from;
        std::ofstream(path, std::ios::binary) << t.replace(t.find(from), from.size(), to);
    }
};

TEST_F(ImageFile, RoundTripIsExactAndAHandEditCounts) {
    ASSERT_TRUE(loadImageFile(path, back, error)) << error;
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + kServiceImageSize, back.begin()));
    replace("1100=05 10", "1100=05 11"); // a byte no named value covers
    IniFile(path).writeString("EEPROM", "Gain", "99");
    ASSERT_TRUE(loadImageFile(path, back, error)) << error;
    EXPECT_EQ(back[0x1101], 0x11);
    EXPECT_EQ(back[0x100E], 99);
}

TEST_F(ImageFile, AnythingElseIsAWrongFormat) {
    for (auto [from, to] : {std::pair{"Format=GetKelo EEPROM image 1", "Format=x"},
                            {"Bytes=4881", "Bytes=4880"},
                            {"0010=", "0011="},
                            {"0000=05 10", "0000=05"},
                            {"0000=05", "0000=G5"},
                            {"Gain=", "Gain=300\r\nX="},
                            {"FlowTicksTemp0=", "FlowTicksTemp0=1\r\nX="}}) {
        SetUp();
        replace(from, to);
        EXPECT_FALSE(loadImageFile(path, back, error)) << to;
    }
    EXPECT_FALSE(loadImageFile(std::filesystem::temp_directory_path().string(), back, error));
}

} // namespace
} // namespace getkelo
