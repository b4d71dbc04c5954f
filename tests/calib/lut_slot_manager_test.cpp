#include "calib/lut_slot_manager.h"
#include "calib_files_fixture.h"
#include "comm/register_catalogue.h"

namespace getkelo::sim::test {
namespace {

struct SlotManager : CalibFiles {
    LutSlotManager slots{*link.tesra, link.ui, texts, files};
    void SetUp() override {
        CalibFiles::SetUp();
        link.tesra->Address = 3; // slots 0 and 1 hold tables, 0 is active
        link.tesra->DelayMs = 0;
        slots.chooseFolder(dir.string(), "23010003");
    }
    static bool startsWith(const std::string& s, const std::string& head) {
        return s.rfind(head, 0) == 0;
    }
};

TEST_F(SlotManager, ListShowsTablesEmptySlotsAndTheActiveOne) {
    EXPECT_EQ(slots.dataFile(), path("23010003t03.dat"));
    const auto& items = slots.FillSlotList();
    ASSERT_EQ(items.size(), 5u);
    EXPECT_TRUE(startsWith(items[0], "Nr.0: N2 20 ln/min      ")) << items[0];
    EXPECT_TRUE(startsWith(items[1], "Nr.1: Air 20 ln/min")) << items[1];
    EXPECT_EQ(items[2], "Nr.2: <leer>");
    EXPECT_EQ(slots.activeSlot(), 0);
    EXPECT_TRUE(slots.slotUsable(1));
    EXPECT_FALSE(slots.slotUsable(2));
    EXPECT_FALSE(slots.slotUsable(-1));
}

TEST_F(SlotManager, DeletingTheActiveSlotLeavesLutSelectAndShowsItEmpty) {
    slots.FillSlotList();
    link.ui.messageAnswers = {MsgAnswer::No};
    EXPECT_FALSE(slots.LuTDeleteBtnClick(0));
    EXPECT_TRUE(slots.slotUsable(0)) << "kept when the operator says no";
    ASSERT_TRUE(slots.LuTDeleteBtnClick(0));
    EXPECT_EQ(link.ui.messages.back().caption, "LuT löschen");
    EXPECT_EQ(link.tesra->ReadValue(reg::kLutSelect), "0");
    EXPECT_EQ(slots.items()[0], "Nr.0: <leer>");
}

TEST_F(SlotManager, ActivateSelectsAndRewritesTheConfigurationWord) {
    slots.FillSlotList();
    link.wire->sent.clear();
    ASSERT_TRUE(slots.LuTBtnClick(1));
    EXPECT_EQ(slots.activeSlot(), 1);
    EXPECT_EQ(link.ui.beeps, 1);
    bool configWritten = false;
    for (const Bytes& b : link.writeRequests())
        configWritten |= (b[2] << 8 | b[3]) == 0x4100;
    EXPECT_TRUE(configWritten);
    EXPECT_FALSE(slots.LuTBtnClick(3)) << "an empty slot is not activated";
}

TEST_F(SlotManager, StoreThenLoadIntoAnEmptySlot) {
    slots.FillSlotList();
    EXPECT_EQ(slots.BitBtn4Click(-1), "");
    EXPECT_EQ(link.ui.messages.back().text, "Zuerst Datensatz wählen!");
    ASSERT_EQ(slots.BitBtn4Click(1), "LOOKUP0");
    const auto entries = slots.sections();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_FALSE(slots.BitBtn2Click(2, ""));
    EXPECT_EQ(link.ui.messages.back().icon, MsgIcon::Error);
    ASSERT_TRUE(slots.BitBtn2Click(2, entries[0]));
    EXPECT_TRUE(startsWith(slots.items()[2], "Nr.2: Air 20 ln/min")) << slots.items()[2];
}

} // namespace
} // namespace getkelo::sim::test
