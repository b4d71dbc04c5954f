#include "base/ini_file.h"
#include "comm/lookup_table_slot.h"
#include "config/t4lookup/t4_lookup.h"
#include "console/text_source.h"
#include "sim/sim_registers.h"
#include "sim_link.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace getkelo::sim::test {
namespace {

std::string tickList(int first, int step, int count = 256) {
    std::string s;
    for (int j = 0; j < count; ++j)
        s += (j ? ";" : "") + std::to_string(first + step * j);
    return s;
}

struct T4LookupTest : ::testing::Test {
    SimLink link;
    MapTextSource texts{{{"infoNoCalib", "no calibration"},
                         {"infoWritingDone", "done"},
                         {"infoLutUploadFailed", "upload failed in slot"}}};
    T4Lookup dlg{*link.tesra, link.ui, texts};
    std::string path = (std::filesystem::temp_directory_path() /
                        ("getkelo_t4_" + std::to_string(getpid()) + ".dat"))
                           .string();

    void SetUp() override {
        link.tesra->Address = 1;
        link.demo.unlock(1); // as the console's probe leaves a device
        IniFile f(path);
        IniFile::Batch batch(f);
        f.writeString("DATA0", "Gas", "N2");
        for (const char* s : {"LOOKUP5", "LOOKUP12"}) {
            f.writeString(s, "Gas", s[6] == '5' ? "Ar" : "He");
            f.writeString(s, "FlowRange", "50");
            f.writeString(s, "FlowUnit", "ln/min");
            f.writeString(s, "LookupIdent", "1597640705");
            f.writeString(s, "GasName", "Argon 5.0");
            f.writeString(s, "FlowTicks_0x4000", tickList(10, 3));
            f.writeString(s, "FlowTicks_0xC000", tickList(-100, 2));
            f.writeString(s, "LookupTicks", tickList(5, 1, 200)); // 56 missing values
        }
    }
    void TearDown() override { std::filesystem::remove(path); }
    std::vector<Bytes> requestsTo(uint16_t first, uint16_t last) const {
        std::vector<Bytes> out;
        for (const Bytes& b : link.writeRequests()) {
            const int r = b[2] << 8 | b[3];
            if (r >= first && r <= last) out.push_back(b);
        }
        return out;
    }
};

TEST_F(T4LookupTest, ListsSlotsWithEmptyOneAndFileSections) {
    SimDevice& d = link.device(1);
    d.put(reg::kLookupIdent, "0", slotBank(2));
    d.put(reg::kLookupIdent, "77", slotBank(3));
    d.put(reg::kSlotRange, "20", slotBank(3));
    d.put(reg::kSlotFlowUnit, "ln/min", slotBank(3));
    d.put(reg::kSlotGas, "O2", slotBank(3));
    dlg.FormActivate(path);
    ASSERT_EQ(dlg.slotEntries().size(), 3u);
    EXPECT_EQ(dlg.slotEntries()[0].rfind("1 ", 0), 0u);
    EXPECT_NE(dlg.slotEntries()[0], "1 no calibration");
    EXPECT_EQ(dlg.slotEntries()[1], "2 no calibration");
    EXPECT_EQ(dlg.slotEntries()[2], "3 20 ln/min O2");
    EXPECT_EQ(dlg.checkedSlot(), 0);
    ASSERT_EQ(dlg.fileSections(), (std::vector<std::string>{"LOOKUP5", "LOOKUP12"}));
    EXPECT_EQ(dlg.fileEntries()[0], "LOOKUP5   Ar   50   ln/min");
    EXPECT_EQ(dlg.selectedFileEntry(), 1);
}

TEST_F(T4LookupTest, ActivatingTheThirdEntryWritesThree) {
    dlg.FormActivate(path);
    dlg.btnActivateLutClick(2);
    EXPECT_EQ(link.device(1).visible(reg::kLutSelect), "3");
    EXPECT_EQ(dlg.checkedSlot(), 2);
}

TEST_F(T4LookupTest, UploadSendsParametersAndTablesAndReadsBackEqual) {
    link.device(1).put(reg::kEepromMode, "0"); // stores on command
    dlg.FormActivate(path);
    link.wire->sent.clear();
    ASSERT_EQ(dlg.btnUploadClick(2, 1), 0); // LOOKUP12 into slot 3
    EXPECT_EQ(requestsTo(0x6000, 0x63FF).size(), 27u);
    const auto ticks = requestsTo(0x6400, 0x66FF);
    ASSERT_EQ(ticks.size(), 192u);
    EXPECT_TRUE(std::all_of(ticks.begin(), ticks.end(), [](auto& b) { return b.size() == 21; }));
    EXPECT_EQ(requestsTo(0x0022, 0x0022).size(), 3u); // one store per table
    EXPECT_EQ(link.ui.progressEvents.back(), "finish:done");

    dlg.btnActivateLutClick(2);
    SimDevice& d = link.device(1);
    auto tick = [&](uint16_t r) { return d.get(makeDescriptor(r, 1, kTypeInt16), slotBank(3)); };
    EXPECT_EQ(tick(0x6400), "10");
    EXPECT_EQ(tick(0x64FF), std::to_string(10 + 3 * 255));
    EXPECT_EQ(tick(0x6500), "-100");
    EXPECT_EQ(tick(0x66C7), "204");
    EXPECT_EQ(tick(0x66C8), "0"); // missing values are 0
    EXPECT_EQ(d.visible(reg::kSlotGas), "He");
    EXPECT_EQ(d.visible(reg::kSlotGasName), "Argon 5.0");
    EXPECT_EQ(d.visible(reg::kSlotSelector), "0");
}

TEST_F(T4LookupTest, DeviceStoringItselfGetsNoStoreCommand) {
    link.device(1).put(reg::kEepromMode, "1");
    dlg.FormActivate(path);
    link.wire->sent.clear();
    ASSERT_EQ(dlg.btnUploadClick(0, 0), 0);
    EXPECT_TRUE(requestsTo(0x0022, 0x0022).empty());
}

TEST_F(T4LookupTest, UploadToSilentDeviceEndsWithMessage) {
    dlg.FormActivate(path);
    int tickRequests = 0;
    link.wire->lose = [&](const Bytes& b) {
        return b.size() == 21 && b[1] == 0x10 && ++tickRequests > 5;
    };
    const int64_t start = link.demo.clock.nowMs();
    EXPECT_EQ(dlg.btnUploadClick(0, 0), 2);
    EXPECT_LT(link.demo.clock.nowMs() - start, 60'000);
    EXPECT_EQ(tickRequests, 5 + kTickRequestAttempts);
    ASSERT_EQ(link.ui.messages.size(), 1u);
    EXPECT_EQ(link.ui.messages[0].text, "upload failed in slot 1");
    EXPECT_EQ(link.ui.progressEvents.back(), "finish:Fehler beim EEPROM schreiben!");
}

TEST_F(T4LookupTest, NothingSelectedOrBadTicksWritesNothing) {
    dlg.FormActivate(path);
    link.wire->sent.clear();
    EXPECT_EQ(dlg.btnUploadClick(0, -1), 1);
    IniFile(path).writeString("LOOKUP5", "LookupTicks", "1;70000");
    EXPECT_EQ(dlg.btnUploadClick(0, 0), 1);
    EXPECT_TRUE(link.writeRequests().empty());
    EXPECT_EQ(link.ui.messages.size(), 1u);
}

TEST(Series4DataFile, PathFollowsLayout) {
    EXPECT_EQ(series4DataFilePath({"/d/", false}, "24010001"), "/d/24010001t04.dat");
    EXPECT_EQ(series4DataFilePath({"/d/", true}, "24010001"),
              "/d/tesra Typ04/24010/24010001t04.dat");
    EXPECT_EQ(series4DataFilePath({"/d/", false}, "../x"), "");
}

} // namespace
} // namespace getkelo::sim::test
