#include "calib/data_set_chooser.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace getkelo {
namespace {

TEST(DataSetChooser, SectionsOfThePrefixThatPassTheFilter) {
    auto dir = std::filesystem::temp_directory_path() / "getkelo_chooser";
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "1t03.dat").string();
    std::ofstream(file) << "[DATA0]\nMode=Just\nDate=01.02.05\nGas=N2\nLutID=7\n"
                           "[DATA1]\nMode=Flow\nDate=02.02.05\nGas=Ar\nSetTemp=23\n"
                           "[DATAIO2]\nDate=03.02.05\n"
                           "[LOOKUP0]\nGas=N2\nRange=20\nFlowUnit=ln/min\n"
                           "[DATA3]\nMode=Just\nGas=He\n";
    auto entries = [&](std::vector<std::string> q) {
        return dataSetEntries(DataSetQuery::fromList(q));
    };
    EXPECT_EQ(entries({file, "DATA", "Mode", "Just", "Date", "Gas", "LutID"}),
              (std::vector<std::string>{"DATA0   01.02.05   N2   7", "DATA3      He   "}));
    EXPECT_EQ(entries({file, "DATA", "Mode", "Flow", "Date", "Gas", "SetTemp"}),
              (std::vector<std::string>{"DATA1   02.02.05   Ar   23°C"}));
    EXPECT_EQ(entries({file, "LOOKUP", "NOP", "NOP", "Gas", "Range", "FlowUnit"}),
              (std::vector<std::string>{"LOOKUP0   N2   20   ln/min"}));
    EXPECT_TRUE(entries({(dir / "missing.dat").string(), "DATA", "NOP", "NOP"}).empty());
    EXPECT_TRUE(entries({}).empty());
    EXPECT_EQ(entrySectionName("LOOKUP12   N2   20"), "LOOKUP12");
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace getkelo
