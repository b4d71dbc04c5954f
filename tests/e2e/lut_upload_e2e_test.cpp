#include "base/clock.h"
#include "base/ini_file.h"
#include "comm/register_catalogue.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "config/t4lookup/t4_lookup.h"
#include "console/text_source.h"
#include "sim_process.h"
#include "ui/scripted_ui.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace getkelo::e2e {
namespace {

// Real waits for bytes, but the upload's pacing pauses cost nothing: the simulator needs
// none of them, and 192 requests 100 ms apart would hold the suite for 20 s.
class UnpacedClock final : public Clock {
  public:
    int64_t nowMs() override { return systemClock().nowMs() + skippedMs_; }
    void sleepMs(int ms) override { skippedMs_ += ms; }
    bool waitFd(int fd, bool forWrite, int ms) override {
        return systemClock().waitFd(fd, forWrite, ms);
    }

  private:
    int64_t skippedMs_ = 0;
};

TEST(LutUploadOverSimTcp, TableFromDataFileIsActiveAndReadsBackEqual) {
    SimProcess sim({"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(sim.ready());
    UnpacedClock clock;
    TComm comm{clock};
    TConnectionSettings s;
    std::strcpy(s.Address, "127.0.0.1");
    s.Port = static_cast<uint16_t>(sim.tcpPort());
    TTesra tesra(comm, s);
    tesra.Address = 1;

    const std::string path = (std::filesystem::temp_directory_path() /
                              ("getkelo_e2e_t04_" + std::to_string(getpid()) + ".dat"))
                                 .string();
    std::vector<int> ticks[3];
    {
        IniFile f(path);
        IniFile::Batch batch(f);
        f.writeString("LOOKUP7", "Gas", "Ar");
        f.writeString("LOOKUP7", "FlowRange", "25");
        f.writeString("LOOKUP7", "FlowUnit", "ln/min");
        f.writeString("LOOKUP7", "LookupIdent", "4242");
        for (int t = 0; t < 3; ++t) {
            std::string list;
            for (int j = 0; j < 256; ++j) {
                ticks[t].push_back(j * (7 + t) - 300 * t);
                list += (j ? ";" : "") + std::to_string(ticks[t].back());
            }
            f.writeString("LOOKUP7", kTickListKeys[t], list);
        }
    }
    ScriptedUi ui;
    MapTextSource texts;
    T4Lookup dlg(tesra, ui, texts);
    dlg.FormActivate(path);
    ASSERT_EQ(dlg.slotEntries().size(), 3u);
    ASSERT_EQ(dlg.fileSections(), std::vector<std::string>{"LOOKUP7"});
    ASSERT_EQ(dlg.btnUploadClick(2, 0), 0);
    dlg.btnActivateLutClick(2);
    EXPECT_EQ(tesra.ReadValue(reg::kLutSelect), "3");
    dlg.FormActivate(path);
    EXPECT_EQ(dlg.slotEntries()[2], "3 25 ln/min Ar");

    ASSERT_EQ(tesra.WriteValue(reg::kSlotSelector, "3", kWriteAddressed), 0);
    for (int t = 0; t < 3; ++t)
        for (int j = 0; j < 256; j += 64) {
            uint8_t buf[kFrameBufferSize] = {};
            ASSERT_EQ(tesra.ReadRegisters(buf, static_cast<uint16_t>(kTickTableBase[t] + j), 64),
                      kResultOk);
            for (int k = 0; k < 64; ++k)
                EXPECT_EQ(static_cast<int16_t>(buf[3 + 2 * k] << 8 | buf[4 + 2 * k]),
                          ticks[t][j + k])
                    << t << " " << j + k;
        }
    std::filesystem::remove(path);
}

} // namespace
} // namespace getkelo::e2e
