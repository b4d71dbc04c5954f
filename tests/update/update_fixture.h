#pragma once
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "console/text_source.h"
#include "sim/bootloader.h"
#include "sim/sim_transport.h"
#include "sim_support.h"
#include "update/firmware_update.h"
#include "update/update_link.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace getkelo::test {

using sim::test::Bytes;

// The simulated line as the update sees it: every write with its time.
class RecordingLine final : public Transport {
  public:
    RecordingLine(sim::SimBus& bus, Clock& clock) : inner_(bus, clock), clock_(clock) {}
    struct Write {
        int64_t atMs;
        Bytes bytes;
    };
    std::vector<Write>* writes = nullptr;

    bool isTcp() const override { return true; }
    int send(const uint8_t* data, int length) override {
        if (writes) writes->push_back({clock_.nowMs(), Bytes(data, data + length)});
        return inner_.send(data, length);
    }
    int receive(uint8_t* data, int length) override { return inner_.receive(data, length); }
    void waitReadable(Clock& clock, int ms) override { inner_.waitReadable(clock, ms); }
    void purge() override { inner_.purge(); }

  private:
    sim::SimTransport inner_;
    Clock& clock_;
};

// The console's connection and the update channel on the in-process demo bus (virtual time).
struct SimUpdateLink final : UpdateLink {
    sim::test::DemoBus demo;
    TComm comm{demo.clock};
    std::unique_ptr<TTesra> tesra;
    std::vector<RecordingLine::Write> updateWrites;
    int opened = 0, closed = 0;

    SimUpdateLink() { openConnection(); }
    TTesra* connection() override { return tesra.get(); }
    void closeConnection() override {
        tesra.reset();
        ++closed;
    }
    void openConnection() override {
        tesra = std::make_unique<TTesra>(
            comm, comm.AttachTransport(std::make_unique<sim::SimTransport>(demo.bus, demo.clock)));
        ++opened;
    }
    TChannel openUpdateChannel() override {
        auto line = std::make_unique<RecordingLine>(demo.bus, demo.clock);
        line->writes = &updateWrites;
        return comm.AttachTransport(std::move(line));
    }
    sim::SimDevice& device(uint8_t address) { return *demo.bus.device(address); }
};

// A folder of firmware files that goes away with the test.
struct FirmwareFolder {
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("getkelo_fw_" + std::to_string(::getpid()) + "_" +
                                 std::to_string(reinterpret_cast<uintptr_t>(this)));
    FirmwareFolder() { std::filesystem::create_directories(dir); }
    ~FirmwareFolder() { std::filesystem::remove_all(dir); }
    std::string add(const std::string& name, const Bytes& bytes) {
        auto p = dir / name;
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return p.string();
    }
};

inline MapTextSource updateTexts() {
    return MapTextSource({{"infoUpdateStart", "Start"},
                          {"infoUpdateEnd", "Fertig"},
                          {"infoUpdateError", "Fehler beim Update"},
                          {"infoUpdateSend", "Sende"},
                          {"infoUpdateDevice", "Gerät"},
                          {"infoUpdateSet", "Einstellungen"}});
}

} // namespace getkelo::test
