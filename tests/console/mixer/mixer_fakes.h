#pragma once
#include "base/ini_file.h"
#include "console/device_list.h"
#include "console/mixer/gas_mixer.h"
#include "console/mixer/mixer_host.h"
#include "ui/scripted_ui.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace getkelo::test {

// A console without a bus: a device list and counters of what the mixer asked for.
class FakeMixerHost final : public MixerHost {
  public:
    DeviceList list;
    bool pollAllLocked = false;
    int zeroCommands = 0;
    int timerStops = 0, timerStarts = 0;

    DeviceList& devices() override { return list; }
    TTesra* connection() override { return nullptr; }
    void stopTimer() override { ++timerStops; }
    void startTimer() override { ++timerStarts; }
    void lockPollAll(bool locked) override { pollAllLocked = locked; }
    void allSetpointsZero() override { ++zeroCommands; }

    int addDevice(int address, const std::string& gas, const std::string& unit = "ln/min",
                  const std::string& range = "100", float setpoint = 0) {
        int row = list.appendRow();
        list.setCell(row, kColAddress, std::to_string(address));
        list.setCell(row, kColGas, gas);
        list.setCell(row, kColRange, range);
        list.setCell(row, kColUnit, unit);
        skelo& r = list.record(row);
        r.address = static_cast<uint8_t>(address);
        r.functions = kFnController | kFnTotalizer;
        r.unit = unit;
        r.setpoint = setpoint;
        return row;
    }
};

class MixerFixture : public ::testing::Test {
  protected:
    MixerFixture() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "getkelo-mixer-XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
        path = dir_ + "/GetKelo.ini";
        ini = std::make_unique<IniFile>(path);
        mixer = std::make_unique<GasMixer>(host, *ini, ui);
    }
    ~MixerFixture() override { std::filesystem::remove_all(dir_); }

    void writeIni(const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
        mixer->reload();
    }
    // Creates a mixer through "Neuer Mischer"; returns its list index.
    int newMixer(const std::string& name) {
        ui.inputAnswers.push_back(name);
        mixer->newMixer();
        return static_cast<int>(mixer->state().mixers.size()) - 1;
    }
    // The operator clicks a row on the mixer page: the console toggles the mark and tells us.
    void clickRow(int row) {
        host.list.setCell(row, kColMixMark, host.list.marked(row, kColMixMark) ? "" : " x");
        mixer->marksChanged(row);
    }
    const MixerPageState& st() const { return mixer->state(); }

    std::string dir_;
    std::string path;
    FakeMixerHost host;
    ScriptedUi ui;
    std::unique_ptr<IniFile> ini;
    std::unique_ptr<GasMixer> mixer;
};

} // namespace getkelo::test
