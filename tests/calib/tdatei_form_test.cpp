#include "calib/forms/tdatei.h"

#include <QApplication>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace getkelo {
namespace {

TEST(TDateiForm, ListsTheDataSetsAndChoosesTheNewest) {
    auto dir = std::filesystem::temp_directory_path() / "getkelo_tdatei";
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "1t03.dat").string();
    std::ofstream(file) << "[LOOKUP0]\nGas=N2\nRange=20\nFlowUnit=ln/min\n"
                           "[LOOKUP12]\nGas=Ar\nRange=5\nFlowUnit=ln/h\n";
    TDatei chooser;
    chooser.Label->setText("Lookup");
    chooser.FillDataSetChooser({file, "LOOKUP", "NOP", "NOP", "Gas", "Range", "FlowUnit"});
    ASSERT_EQ(chooser.ComboBox->count(), 2);
    EXPECT_EQ(chooser.ComboBox->itemText(0).toStdString(), "LOOKUP0   N2   20   ln/min");
    EXPECT_EQ(chooser.chosenSection(), "LOOKUP12");
    chooser.FillDataSetChooser({(dir / "none.dat").string(), "LOOKUP", "NOP", "NOP"});
    EXPECT_EQ(chooser.ComboBox->count(), 0);
    EXPECT_EQ(chooser.chosenSection(), "");
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace getkelo

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
