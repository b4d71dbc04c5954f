#include "calib/data_set_chooser.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace getkelo {
namespace {

TEST(DataSetChooser, SectionsOfThePrefixThatPassTheFilter) {
    const std::string file =
        (std::filesystem::temp_directory_path() / "getkelo_chooser.dat").string();
    std::ofstream(file) << "[DATA0]\nMode=Just\nDate=01.02.05\nGas=N2\nLutID=7\n"
                           "[DATA1]\nMode=Flow\nGas=Ar\nSetTemp=23\n[DATAIO2]\nDate=03.02.05\n"
                           "[LOOKUP0]\nGas=N2\nRange=20\nFlowUnit=ln/min\n[DATA3]\nMode=Just\n";
    auto entries = [&](std::vector<std::string> q) {
        return dataSetEntries(DataSetQuery::fromList(q));
    };
    using E = std::vector<std::string>;
    EXPECT_EQ(entries({file, "DATA", "Mode", "Just", "Date", "Gas", "LutID"}),
              (E{"DATA0   01.02.05   N2   7", "DATA3         "}));
    EXPECT_EQ(entries({file, "DATA", "Mode", "Flow", "Date", "Gas", "SetTemp"}),
              E{"DATA1      Ar   23°C"});
    EXPECT_EQ(entries({file, "LOOKUP", "NOP", "NOP", "Gas", "Range", "FlowUnit"}),
              E{"LOOKUP0   N2   20   ln/min"});
    EXPECT_EQ(entrySectionName("LOOKUP12   N2   20"), "LOOKUP12");
    std::filesystem::remove(file);
}

} // namespace
} // namespace getkelo
