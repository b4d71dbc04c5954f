#include "console/device_list.h"
#include "console/software_generation.h"

#include <gtest/gtest.h>

namespace getkelo {
namespace {

TEST(SoftwareGenerationTable, VersionTextsGiveTheirGeneration) {
    struct Case {
        const char* version;
        SoftwareGeneration gen;
    } cases[] = {
        {"1.2.03", SoftwareGeneration::First},  {"1.9.15", SoftwareGeneration::First},
        {"2.3.01", SoftwareGeneration::Second}, {"3.0.00", SoftwareGeneration::Second},
        {"4.0.05", SoftwareGeneration::Second}, {"4.0.00", SoftwareGeneration::Second},
        {"3.1.00", SoftwareGeneration::Third},  {"3.5.02", SoftwareGeneration::Third},
        {"4.1.00", SoftwareGeneration::Fourth}, {"4.3.15", SoftwareGeneration::Fourth},
        {"Fehler", SoftwareGeneration::First},  {"", SoftwareGeneration::First},
    };
    for (const Case& c : cases)
        EXPECT_EQ(softwareGeneration(c.version), c.gen) << c.version;
}

TEST(SoftwareGenerationTable, PressureControlNeedsTextAbove4314AndBit5) {
    EXPECT_FALSE(hasPressureControl("4.3.14", 0x20));
    EXPECT_TRUE(hasPressureControl("4.3.15", 0x20));
    EXPECT_FALSE(hasPressureControl("4.3.15", 0x01));
    EXPECT_TRUE(versionAbove("4.3.2", "4.3.14")); // text order, not number order
    EXPECT_FALSE(versionAbove("4.3.06", "4.3.14"));
}

TEST(DeviceListModel, RemovalMovesRowsAndRecordsTogether) {
    DeviceList list;
    for (int a : {10, 20, 30}) {
        int r = list.appendRow();
        list.record(r).address = static_cast<uint8_t>(a);
        list.setCell(r, kColAddress, std::to_string(a));
        list.setCell(r, kColLogMark, a == 30 ? " x" : "");
    }
    list.setSelectedRow(3);
    list.removeRow(1);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.cell(1, kColAddress), "20");
    EXPECT_EQ(list.record(1).address, 20);
    EXPECT_EQ(list.cell(2, kColAddress), "30");
    EXPECT_EQ(list.record(2).address, 30);
    EXPECT_EQ(list.cell(2, kColLogMark), " x");
    EXPECT_EQ(list.cell(2, kColDegrees), "°C");
    EXPECT_EQ(list.selectedRow(), 2); // the selection stays with its device
    EXPECT_EQ(list.cell(3, kColAddress), "");
}

} // namespace
} // namespace getkelo
