#include "comm/register_catalogue.h"
#include "console/device_list.h"
#include "sim/bootloader.h"
#include "update/firmware_list.h"
#include "update/update_dialog.h"
#include "update_fixture.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace getkelo::test {
namespace {

constexpr RegisterDescriptor kFilterType = 0x5C080131;
RegisterDescriptor scale(int k) {
    return 0x5D000213u + (static_cast<uint32_t>(2 * k) << 16);
}

struct Update : ::testing::Test {
    SimUpdateLink link;
    MapTextSource texts = updateTexts();
    FirmwareUpdate update{link.comm, link, texts};
    UpdateDialog dialog{update, link, texts};
    FirmwareFolder folder;
    std::vector<std::string> traced;

    void SetUp() override {
        update.setTrace([this](const std::string& t) { traced.push_back(t); });
        update.targetAddress = 1;
    }
    bool traces(const std::string& text) const {
        return std::find(traced.begin(), traced.end(), text) != traced.end();
    }
    // The writes of an image of `length` bytes: those after the last "UPDATE".
    std::vector<size_t> imageWrites(size_t length) const {
        std::vector<size_t> sizes;
        size_t total = 0;
        for (const auto& w : link.updateWrites) {
            if (w.bytes == Bytes{'U', 'P', 'D', 'A', 'T', 'E', '\n'}) {
                sizes.clear();
                total = 0;
            } else if (total < length) {
                sizes.push_back(w.bytes.size());
                total += w.bytes.size();
            }
        }
        return sizes;
    }
    std::string software(uint8_t address) { return link.demo.read(address, reg::kSoftwareVersion); }
    // The console's connection answers again (at another device, too).
    void expectConsoleWorks() {
        ASSERT_NE(link.connection(), nullptr);
        link.connection()->Address = 2;
        EXPECT_NE(link.connection()->ReadValue(reg::kModbusAddress), "Fehler");
    }
};

TEST_F(Update, ImageOfOnePacketGoesInOneWriteAndTheDeviceRunsTheNewVersion) {
    const std::string path = folder.add("Tesra_4.3.07.rfw", sim::makeTestFirmware(0x0437, 4096));
    ASSERT_TRUE(update.UpdateT4(path, "4096"));
    EXPECT_EQ(imageWrites(4096), std::vector<size_t>{4096});
    EXPECT_TRUE(traces("Firmware wird auf einmal übertragen."));
    EXPECT_EQ(software(1), std::to_string(0x0437));
    EXPECT_EQ(update.bootloaderVersion(), sim::BootloaderLink::kVersion);
    EXPECT_FALSE(update.updateChannelOpen());
    expectConsoleWorks();
}

TEST_F(Update, DialogShowsTheVersionTheDeviceRunsAfterTheUpdate) {
    folder.add("Tesra_4.3.07.rfw", sim::makeTestFirmware(0x0437, 2000));
    update.targetFirmware = "4.3.05";
    dialog.FormActivate(folder.dir.string());
    ASSERT_TRUE(dialog.btnExUpdateClick(nullptr));
    EXPECT_EQ(dialog.state().firmwareLabel, "4.3.07");
}

TEST_F(Update, OneByteMoreGoesAsAFullPacketAndTheLastByte) {
    const std::string path = folder.add("Tesra_4.3.07.rfw", sim::makeTestFirmware(0x0437, 4097));
    ASSERT_TRUE(update.UpdateT4(path, "4097"));
    EXPECT_EQ(imageWrites(4097), (std::vector<size_t>{4096, 1}));
    EXPECT_TRUE(traces("Letzte Bytes werden gesendet: 1 bytes."));
    EXPECT_EQ(software(1), std::to_string(0x0437));
}

TEST_F(Update, ErrorToUpdateIsAnsweredWithTheRequestAgainAfter200ms) {
    link.device(1).setBootFault(sim::BootFault::ErrorTwice);
    const std::string path = folder.add("Tesra_4.3.07.rfw", sim::makeTestFirmware(0x0437, 9000));
    ASSERT_TRUE(update.UpdateT4(path, "9000"));
    std::vector<int64_t> requests;
    for (const auto& w : link.updateWrites)
        if (w.bytes == Bytes{'U', 'P', 'D', 'A', 'T', 'E', '\n'}) requests.push_back(w.atMs);
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_GE(requests[1] - requests[0], 200);
    EXPECT_GE(requests[2] - requests[1], 200);
    // The answer text was cleared: each "Error:" led to exactly one repetition.
    EXPECT_EQ(
        std::count(traced.begin(), traced.end(), "'Error' erhalten, 'Update' nochmal senden."), 2);
}

TEST_F(Update, BootloaderThatStopsHalfwayFailsAndASecondTrySucceeds) {
    link.device(1).setBootFault(sim::BootFault::StopHalfway);
    const std::string path = folder.add("Tesra_4.3.07.rfw", sim::makeTestFirmware(0x0437, 20000));
    dialog.FormActivate(folder.dir.string());
    EXPECT_FALSE(dialog.btnExUpdateClick(nullptr));
    EXPECT_EQ(dialog.state().memo.back(), "Fehler beim Update");
    EXPECT_TRUE(dialog.state().closeEnabled);
    EXPECT_FALSE(update.updateChannelOpen());
    expectConsoleWorks();
    // Still in its bootloader: no Modbus answer, but it wakes again.
    EXPECT_EQ(link.demo.read(1, reg::kModbusAddress), "silent");
    EXPECT_TRUE(link.device(1).bootSession());
    ASSERT_TRUE(update.UpdateT4(path, "20000"));
    EXPECT_EQ(software(1), std::to_string(0x0437));
}

TEST_F(Update, NoAnswerToUpdateFailsAndGivesTheConsoleItsConnectionBack) {
    link.device(1).setBootFault(sim::BootFault::NoAnswer);
    const std::string path = folder.add("Tesra_4.3.07.rfw", sim::makeTestFirmware(0x0437, 100));
    EXPECT_FALSE(update.UpdateT4(path, "100"));
    EXPECT_TRUE(traces("Ein Fehler trat auf."));
    EXPECT_FALSE(update.updateChannelOpen());
    EXPECT_EQ(link.opened, link.closed + 1);
    expectConsoleWorks();
}

TEST_F(Update, EmptyOrUnreadableFileNeverResetsTheDevice) {
    const std::string empty = folder.add("Tesra_4.3.07.rfw", {});
    for (const std::string& path : {empty, (folder.dir / "missing.rfw").string()}) {
        EXPECT_FALSE(update.UpdateT4(path, "0"));
        EXPECT_TRUE(link.updateWrites.empty());
        EXPECT_EQ(link.closed, 0) << path;
        EXPECT_EQ(link.demo.read(1, reg::kModbusAddress), "1") << path;
    }
}

TEST_F(Update, DeviceWithoutFirmwareEndsAtAddress247) {
    link.device(1).setFirmwareMissing(true);
    // Alone on the line: the address goes out as a broadcast.
    for (uint8_t a = 2; a <= 5; ++a)
        link.device(a).setFault(sim::Fault::Silent);
    update.targetAddress = 0;
    const std::string path = folder.add("Tesra_4.3.07.rfw", sim::makeTestFirmware(0x0437, 5000));
    ASSERT_TRUE(update.UpdateT4(path, "5000"));
    EXPECT_EQ(update.targetAddress, 247);
    EXPECT_TRUE(traces("Adresse des Tesra wird auf 247 gestellt."));
    EXPECT_EQ(link.demo.read(247, reg::kSoftwareVersion), std::to_string(0x0437));
}

TEST_F(Update, UpdateAllStopsWithSuccessAtTheFirstRowWithoutAddress) {
    folder.add("Tesra_4.3.08.rfw", sim::makeTestFirmware(0x0438, 3000));
    DeviceList devices;
    for (const char* a : {"1", "2"})
        devices.setCell(devices.appendRow(), 0, a);
    devices.setCell(devices.appendRow(), 0, "0");
    devices.setCell(devices.appendRow(), 0, "3"); // after the end: not touched
    dialog.updateAll = true;
    dialog.FormActivate(folder.dir.string());
    ASSERT_TRUE(dialog.btnExUpdateClick(&devices));
    EXPECT_EQ(software(1), std::to_string(0x0438));
    EXPECT_EQ(software(2), std::to_string(0x0438));
    EXPECT_NE(software(3), std::to_string(0x0438));
    EXPECT_EQ(dialog.state().addressLabel, "0");
    EXPECT_EQ(dialog.state().memo.back(), "Fertig");
}

TEST(UpdateDialogList, FolderWithoutFirmwareDisablesUpdate) {
    SimUpdateLink link;
    MapTextSource texts;
    FirmwareUpdate update(link.comm, link, texts);
    UpdateDialog dialog(update, link, texts);
    FirmwareFolder folder;
    folder.add("readme.txt", {'x'});
    std::filesystem::create_directories(folder.dir / "old.rfw");
    dialog.FormActivate(folder.dir.string());
    EXPECT_FALSE(dialog.state().updateEnabled);
    EXPECT_EQ(dialog.state().currentFirmware, "Keine Firmware gefunden!");
    EXPECT_FALSE(dialog.btnExUpdateClick(nullptr));
    EXPECT_TRUE(link.updateWrites.empty());
}

TEST(UpdateDialogList, ListIsInNameOrderKeepsTheLast100AndShortNamesStillCount) {
    FirmwareFolder folder;
    for (int i = 0; i < 103; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Tesra_4.%03d.rfw", i);
        folder.add(name, {1, 2, 3});
    }
    size_t skipped = 0;
    auto list = listFirmwareFiles(folder.dir.string(), &skipped);
    ASSERT_EQ(list.size(), 100u);
    EXPECT_EQ(skipped, 3u);
    EXPECT_EQ(firmwareVersionPart(list.back().path), "4.102.");
    EXPECT_EQ(list.back().sizeText, "3");
    EXPECT_EQ(firmwareVersionPart("a.rfw"), "");
    EXPECT_EQ(firmwareVersionPart("/x/Tesra_4.3"), "4.3");
}

// The settings after an update follow the new software version.
struct VersionCase {
    uint16_t software;
    const char* k1[4]; // Tv, Kp, Tn, N
    const char* filterType;
};

class VersionSettings : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionSettings, ScaleFactorsAndFilterType) {
    SimUpdateLink link;
    const VersionCase& c = GetParam();
    link.device(1).put(reg::kSoftwareVersion, std::to_string(c.software));
    link.device(1).put(kFilterType, "7");
    link.tesra->Address = 1;
    EXPECT_TRUE(FirmwareUpdate::ApplyVersionSettings(*link.tesra, link.demo.clock));
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(link.device(1).get(scale(2 * k)), "0") << k;
        EXPECT_EQ(link.device(1).get(scale(2 * k + 1)), c.k1[k]) << k;
    }
    EXPECT_EQ(link.device(1).get(kFilterType), c.filterType);
    EXPECT_FALSE(link.device(1).unlocked());
}

INSTANTIATE_TEST_SUITE_P(
    Versions, VersionSettings,
    ::testing::Values(VersionCase{0x0436, {"1", "1", "1", "1"}, "0"},
                      VersionCase{0x043F, {"1", "1", "1", "1"}, "0"},
                      VersionCase{0x0401, {"19.6", "19.53", "2000", "23.53"}, "1"},
                      VersionCase{0x0435, {"19.6", "19.53", "2000", "23.53"}, "1"}),
    [](const ::testing::TestParamInfo<VersionCase>& info) {
        char name[16];
        std::snprintf(name, sizeof name, "Software%04X", info.param.software);
        return std::string(name);
    });

TEST(VersionSettingsHardware, NewSoftwareSetsAHardwareVersionOutsideItsRangeTo1024) {
    SimUpdateLink link;
    link.device(1).put(reg::kSoftwareVersion, std::to_string(0x0439));
    link.device(1).put(reg::kHardwareVersion, std::to_string(0x0500));
    link.tesra->Address = 1;
    FirmwareUpdate::ApplyVersionSettings(*link.tesra, link.demo.clock);
    EXPECT_EQ(link.device(1).get(reg::kHardwareVersion), "1024");
}

} // namespace
} // namespace getkelo::test
