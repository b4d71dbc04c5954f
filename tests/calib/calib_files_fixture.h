#pragma once
#include "calib/calib_data_files.h"
#include "console/text_source.h"
#include "sim_link.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace getkelo::sim::test {

// The demo bus on the virtual clock, a scratch folder for data files and the file operations
// on the link's connection (no language file: the German texts).
class CalibFiles : public ::testing::Test {
  protected:
    SimLink link;
    MapTextSource texts;
    CalibDataFiles files{*link.tesra, link.ui, texts};
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("getkelo_calib_" + std::to_string(::getpid()));

    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }
    static std::string contents(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    static void write(const std::string& p, const std::string& text) {
        std::ofstream(p, std::ios::binary) << text;
    }
    size_t busWrites() const { return link.writeRequests().size(); }
};

} // namespace getkelo::sim::test
