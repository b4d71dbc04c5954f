#pragma once
#include "base/clock.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "console/console.h"
#include "fake_console_view.h"
#include "sim/device_profiles.h"
#include "sim/sim_bus.h"
#include "sim/sim_transport.h"
#include "ui/scripted_ui.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace getkelo::test {

// A scratch folder removed with the test.
class TempDir {
  public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "getkelo-console-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

inline void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline MapTextSource germanTexts() {
    MapTextSource t;
    for (const char* k : {"SetAdr", "NewAdr", "AdrExist", "AdrOK", "EepromError", "NewKelo",
                          "NoKelo", "NewSetPoint", "SetPointError", "InfoNoLogDevice", "Address",
                          "SerialNo", "TypeCode", "Range", "Unit", "Gas", "FlowEdit"})
        t.set(k, std::string("<") + k + ">");
    for (int i = 0; i <= 9; ++i)
        t.set("ModusBox" + std::to_string(i), "Modus " + std::to_string(i));
    return t;
}

inline sim::DeviceConfig simDevice(sim::Generation g, int address, uint32_t serial) {
    sim::DeviceConfig c = sim::defaultConfig(g);
    c.address = static_cast<uint8_t>(address);
    c.serial = serial;
    c.seed = static_cast<uint32_t>(address);
    return c;
}

// Forwards to the simulator and keeps every frame sent in a list the test owns, so frames can
// be counted also after the console closed its connection (exit).
class WireLog final : public Transport {
  public:
    WireLog(std::unique_ptr<Transport> inner, std::vector<std::vector<uint8_t>>& sent)
        : inner_(std::move(inner)), sent_(sent) {}
    bool isTcp() const override { return inner_->isTcp(); }
    int send(const uint8_t* data, int length) override {
        sent_.emplace_back(data, data + length);
        return inner_->send(data, length);
    }
    int receive(uint8_t* data, int length) override { return inner_->receive(data, length); }
    void waitReadable(Clock& clock, int ms) override { inner_->waitReadable(clock, ms); }
    void purge() override { inner_->purge(); }

  private:
    std::unique_ptr<Transport> inner_;
    std::vector<std::vector<uint8_t>>& sent_;
};

// The console on a simulated bus, all on virtual time.
class ConsoleTest : public ::testing::Test {
  protected:
    ConsoleTest() : comm(clock), bus(clock), texts(germanTexts()) {}

    // Builds the console; the settings file may be written before.
    void makeConsole() {
        console = std::make_unique<Console>(
            comm, view, ui, texts, ConsolePaths{ini(), dir.path() + "/prog", dir.path() + "/home"});
        console->setConnectionFactory([this](TComm& c) {
            auto t =
                std::make_unique<WireLog>(std::make_unique<sim::SimTransport>(bus, clock), wire);
            return std::make_unique<TTesra>(c, c.AttachTransport(std::move(t)));
        });
    }
    void start() {
        if (!console) makeConsole();
        console->FormShow();
    }
    // Runs ticks until the scan is over (each tick probes one address).
    void finishScan() {
        for (int i = 0; i < 300 && console->scanning(); ++i)
            console->TimerTimer();
    }
    std::string ini() const { return dir.file("GetKelo.ini"); }
    const DeviceList& list() const { return console->devices(); }
    // Request frames sent since the mark.
    size_t mark() const { return wire.size(); }
    std::vector<std::vector<uint8_t>> sentSince(size_t from) const {
        return {wire.begin() + static_cast<long>(from), wire.end()};
    }

    TempDir dir;
    VirtualClock clock;
    TComm comm;
    sim::SimBus bus;
    FakeConsoleView view;
    ScriptedUi ui;
    MapTextSource texts;
    std::vector<std::vector<uint8_t>> wire; // every frame sent, in order
    std::unique_ptr<Console> console;
};

} // namespace getkelo::test
