#pragma once
#include "calib/calib_data_files.h"
#include "console/text_source.h"
#include "sim_link.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace getkelo::sim::test {

// The demo bus on the virtual clock, a scratch folder and the file operations on the link's
// connection (no language file: the German texts).
struct CalibFiles : ::testing::Test {
    SimLink link;
    MapTextSource texts;
    CalibDataFiles files{*link.tesra, link.ui, texts};
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("getkelo_calib_" + std::to_string(::getpid()));

    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    static std::string contents(const std::string& p) {
        std::stringstream ss;
        ss << std::ifstream(p, std::ios::binary).rdbuf();
        return ss.str();
    }
    static void write(const std::string& p, const std::string& text) {
        std::ofstream(p, std::ios::binary) << text;
    }
};

} // namespace getkelo::sim::test
