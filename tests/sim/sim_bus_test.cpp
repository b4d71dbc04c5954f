#include "comm/crc16.h"
#include "comm/value_codec.h"
#include "sim/bus_file.h"
#include "sim/device_profiles.h"
#include "sim/fault_commands.h"
#include "sim/sim_registers.h"
#include "sim/sim_transport.h"
#include "sim_support.h"

#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace getkelo::sim::test {
namespace {

TEST(SimBus, DemoDevicesIdentifyThemselves) {
    DemoBus d;
    struct Row {
        uint8_t address;
        const char* serial;
        const char* software;
        const char* functions;
    } rows[] = {
        {1, "24010001", "4.3.15", "3"},     {2, "24010002", "4.3.15", "33"},
        {3, "23010003", "3.5.02", "3"},     {4, "22010004", "2.3.01", "6"},
        {5, "21010005", "1.2.03", "ex 02"}, // the first generation has no function word
    };
    for (auto& r : rows) {
        EXPECT_EQ(d.read(r.address, reg::kSerialNumber), r.serial) << int(r.address);
        std::string word = d.read(r.address, reg::kSoftwareVersion);
        EXPECT_EQ(versionText(static_cast<uint16_t>(std::stoi(word))), r.software);
        EXPECT_EQ(d.read(r.address, reg::kFunctionsSelected), r.functions) << int(r.address);
    }
    EXPECT_EQ(d.read(1, reg::kRange), "100");
    EXPECT_EQ(d.read(1, reg::kGasText), "N2");
    EXPECT_EQ(d.read(1, reg::kFlowUnitText), "ln/min");
    EXPECT_EQ(d.read(2, reg::kControlMode), "5");
    EXPECT_EQ(d.read(2, reg::kPressScaleFull), "10");
    EXPECT_EQ(d.read(4, reg::kTotalizerUnitText), "ln");
}

TEST(SimBus, ProbeAndPollReadsAreWholeBlocks) {
    // The scan reads 9 registers from 0x001E and 10 from 0x0014; polling 12 from 0.
    DemoBus d;
    for (uint8_t a = 1; a <= 5; ++a) {
        for (auto req : {readRequest(a, 0x001E, 9), readRequest(a, 0x0014, 10),
                         readRequest(a, 0x0000, 12), readRequest(a, 0x000C, 2)}) {
            auto ans = d.send(req);
            ASSERT_TRUE(ans) << int(a);
            EXPECT_EQ(ans->bytes.size(), 5u + 2 * req[5]) << int(a) << " reg " << int(req[3]);
            EXPECT_TRUE(crcMatches(ans->bytes.data(), int(ans->bytes.size())));
        }
    }
}

TEST(SimBus, ExceptionsAndSilence) {
    DemoBus d;
    struct Row {
        const char* what;
        Bytes request;
        std::optional<Bytes> answerPdu; // nullopt = silence
    } rows[] = {
        {"missing register", readRequest(1, 0x7000, 1), Bytes{1, 0x83, 0x02}},
        {"read running into a gap", readRequest(1, 0x0034, 3), Bytes{1, 0x83, 0x02}},
        {"first generation has no signal page", readRequest(5, 0x4084, 1), Bytes{5, 0x83, 0x02}},
        {"too many registers", readRequest(1, 0, 126), Bytes{1, 0x83, 0x03}},
        {"write to a measured value", writeValue(1, reg::kFlow, "5"), Bytes{1, 0x90, 0x02}},
        {"protected while locked", writeValue(1, reg::kRange, "50"), Bytes{1, 0x90, 0x04}},
        {"address out of range", writeSingle(1, 0x0013, 248), Bytes{1, 0x86, 0x03}},
        {"nobody at that address", readRequest(9, 0, 2), std::nullopt},
        {"broadcast read", readRequest(0, 0, 2), std::nullopt},
    };
    for (auto& r : rows) {
        auto ans = d.send(r.request);
        if (!r.answerPdu) {
            EXPECT_FALSE(ans) << r.what;
            continue;
        }
        ASSERT_TRUE(ans) << r.what;
        EXPECT_EQ(ans->bytes, withCrc(*r.answerPdu)) << r.what;
    }
    Bytes bad = readRequest(1, 0, 2);
    bad[6] ^= 0xFF;
    EXPECT_FALSE(d.send(bad)) << "bad CRC is not answered";
}

TEST(SimBus, ProtectedRegistersNeedTheAccessCodeUntilLockedAgain) {
    DemoBus d;
    EXPECT_EQ(d.write(1, reg::kFunctionsSelected, "7"), "ex 04");
    EXPECT_EQ(d.write(1, reg::kAccessCode, "12345"), "ok");
    EXPECT_EQ(d.write(1, reg::kFunctionsSelected, "7"), "ex 04") << "a wrong code unlocks nothing";
    d.unlock(1);
    EXPECT_EQ(d.read(1, reg::kAccessCode), "0") << "the code is not read back";
    EXPECT_EQ(d.write(1, reg::kFunctionsSelected, "7"), "ok");
    EXPECT_EQ(d.read(1, reg::kFunctionsSelected), "7");
    EXPECT_EQ(d.write(2, reg::kFunctionsSelected, "7"), "ex 04") << "only device 1 unlocked";
    EXPECT_EQ(d.write(1, reg::kAccessCode, "0"), "ok");
    EXPECT_EQ(d.write(1, reg::kFunctionsSelected, "3"), "ex 04");
    // Operator registers are never protected.
    EXPECT_EQ(d.write(1, reg::kSetpoint, "10"), "ok");
    EXPECT_EQ(d.write(1, reg::kControlMode, "1"), "ok");
    EXPECT_EQ(d.write(1, reg::kAlarmReset, "65535"), "ok");
    EXPECT_EQ(d.write(1, reg::kSlotSelector, "2"), "ok");
}

TEST(SimBus, WriteOfSeveralRegistersIsAllOrNothing) {
    DemoBus d;
    // 0x0006..0x000B: setpoint (writable) running into the analog value (read-only).
    Bytes f{1, 0x10, 0x00, 0x06, 0x00, 0x06, 12, 0x42, 0x48, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    auto ans = d.send(withCrc(f));
    ASSERT_TRUE(ans);
    EXPECT_EQ(ans->bytes, withCrc({1, 0x90, 0x02}));
    EXPECT_EQ(d.read(1, reg::kSetpoint), "0");
}

TEST(SimBus, BroadcastReachesEveryDeviceWithoutAnswer) {
    DemoBus d;
    EXPECT_FALSE(d.send(writeValue(0, reg::kSetpoint, "12.5")));
    EXPECT_EQ(d.read(1, reg::kSetpoint), "12.5");
    EXPECT_EQ(d.read(3, reg::kSetpoint), "12.5");
    EXPECT_EQ(d.read(5, reg::kSetpoint), "12.5");
    // The program's exit relocks all devices with one broadcast.
    for (uint8_t a = 1; a <= 5; ++a)
        d.unlock(a);
    EXPECT_FALSE(d.send(writeValue(0, reg::kAccessCode, "0")));
    for (uint8_t a = 1; a <= 5; ++a)
        EXPECT_FALSE(d.bus.device(a)->unlocked()) << int(a);
}

TEST(SimBus, AddressChangeAnswersFromTheNewAddress) {
    DemoBus d;
    auto ans = d.send(writeSingle(3, 0x0013, 42));
    ASSERT_TRUE(ans);
    EXPECT_EQ(ans->bytes, writeSingle(42, 0x0013, 42)) << "echo from the new address";
    EXPECT_EQ(d.read(3, reg::kSerialNumber), "silent");
    EXPECT_EQ(d.read(42, reg::kSerialNumber), "23010003");
    EXPECT_EQ(d.read(42, reg::kModbusAddress), "42");
    // Function 16 moves it too; its answer is the echo of the request.
    EXPECT_EQ(d.write(42, reg::kModbusAddress, "3"), "ok");
    EXPECT_EQ(d.read(3, reg::kSerialNumber), "23010003");
}

TEST(SimBus, AllTo247ThenTheDevicesTalkOverEachOther) {
    DemoBus d;
    EXPECT_FALSE(d.send(writeValue(0, reg::kModbusAddress, "247")));
    for (uint8_t a = 1; a <= 5; ++a)
        EXPECT_EQ(d.read(a, reg::kSerialNumber), "silent");
    EXPECT_EQ(d.read(247, reg::kSerialNumber), "bad crc");
}

TEST(SimBus, FactoryNewDeviceAnswersAt247) {
    VirtualClock clock;
    SimBus bus(clock);
    bus.addDevice(defaultConfig(Generation::Series4));
    ASSERT_NE(bus.device(247), nullptr);
    auto ans = bus.handleFrame(readRequest(247, 0, 2).data(), 8);
    ASSERT_TRUE(ans);
    EXPECT_EQ(ans->bytes.size(), 9u);
}

TEST(SimBus, SlotAndPidSelectorsChooseWhatTheWindowShows) {
    DemoBus d;
    EXPECT_EQ(d.read(1, reg::kLutCount), "3");
    EXPECT_EQ(d.read(1, reg::kLutSelect), "1");
    struct Row {
        const char* slot;
        const char* ident;
        const char* gas;
        const char* range;
    } rows[] = {{"0", "1597640705", "N2", "100"}, // 0 shows the active slot (1)
                {"1", "1597640705", "N2", "100"},
                {"2", "1597640706", "Air", "100"},
                {"3", "0", "", "NaN"}};
    for (auto& r : rows) {
        ASSERT_EQ(d.write(1, reg::kSlotSelector, r.slot), "ok");
        EXPECT_EQ(d.read(1, reg::kLookupIdent), r.ident) << "slot " << r.slot;
        EXPECT_EQ(d.read(1, reg::kSlotGas), r.gas) << "slot " << r.slot;
        EXPECT_EQ(d.read(1, reg::kSlotRange), r.range) << "slot " << r.slot;
    }
    EXPECT_EQ(d.write(1, reg::kSlotSelector, "4"), "ex 03");

    d.unlock(1);
    ASSERT_EQ(d.write(1, reg::kSlotSelector, "2"), "ok");
    ASSERT_EQ(d.write(1, reg::kPidSetSelector, "3"), "ok");
    ASSERT_EQ(d.write(1, reg::kPidKp, "7.5"), "ok");
    ASSERT_EQ(d.write(1, reg::kPidSetSelector, "2"), "ok");
    EXPECT_EQ(d.read(1, reg::kPidKp), "1000");
    ASSERT_EQ(d.write(1, reg::kSlotSelector, "1"), "ok");
    ASSERT_EQ(d.write(1, reg::kPidSetSelector, "3"), "ok");
    EXPECT_EQ(d.read(1, reg::kPidKp), "1600") << "slot 1 keeps its own sets";
    ASSERT_EQ(d.write(1, reg::kSlotSelector, "2"), "ok");
    EXPECT_EQ(d.read(1, reg::kPidKp), "7.5");

    // Making slot 2 active shows its gas in the identity block.
    ASSERT_EQ(d.write(1, reg::kLutSelect, "2"), "ok");
    EXPECT_EQ(d.read(1, reg::kGasText), "Air");
}

TEST(SimBus, OlderGenerationsKeepFiveSlotsAtFixedRegisters) {
    DemoBus d;
    auto range = [](int k) {
        return makeDescriptor(static_cast<uint16_t>(0x094F + k * 0x12A), 2, kTypeFloat);
    };
    EXPECT_EQ(d.read(3, range(0)), "20");
    EXPECT_EQ(d.read(3, range(1)), "20");
    for (int k = 2; k < 5; ++k)
        EXPECT_EQ(d.read(3, range(k)), "NaN") << k;
    EXPECT_EQ(d.read(3, makeDescriptor(0x0836 + 0x12A * 4 + 0x12A, 1, kTypeUInt16)), "ex 02");
    // The lookup-table transfer reads blocks of six registers.
    auto ans = d.send(readRequest(3, 0x0836 + 6, 6));
    ASSERT_TRUE(ans);
    // Fractions of the full scale: x (0.85 + 0.15 x) at x = 3 / 128.
    EXPECT_EQ(ValueToText(ans->bytes.data() + 3, kTypeFloat), "0.02000427");
    EXPECT_EQ(d.read(3, reg::kPidPOld), "25");
}

TEST(SimBus, FaultsShapeTheAnswer) {
    DemoBus d;
    const Bytes req = readRequest(1, 0x001E, 2);
    EXPECT_EQ(runFaultCommand(d.bus, "crc 1"), "ok crc 1");
    auto a = d.send(req);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->bytes.size(), 9u);
    EXPECT_FALSE(crcMatches(a->bytes.data(), 9));

    EXPECT_EQ(runFaultCommand(d.bus, "short 1"), "ok short 1");
    a = d.send(req);
    ASSERT_TRUE(a);
    EXPECT_LT(a->bytes.size(), 9u);

    EXPECT_EQ(runFaultCommand(d.bus, "late 1 1500"), "ok late 1 1500");
    a = d.send(req);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->delayMs, 1500);

    EXPECT_EQ(runFaultCommand(d.bus, "silent 1"), "ok silent 1");
    EXPECT_FALSE(d.send(req));
    EXPECT_FALSE(d.send(writeValue(0, reg::kSetpoint, "9")));
    EXPECT_EQ(runFaultCommand(d.bus, "none 1"), "ok none 1");
    EXPECT_EQ(d.read(1, reg::kSetpoint), "0") << "a silent device heard no broadcast";

    EXPECT_EQ(runFaultCommand(d.bus, "unplug"), "ok unplug");
    EXPECT_FALSE(d.send(req));
    EXPECT_EQ(runFaultCommand(d.bus, "plug"), "ok plug");
    EXPECT_TRUE(d.send(req));

    for (const char* bad : {"late 1", "crc", "crc 300", "silent 99", "jump 1", "gas 1 2"})
        EXPECT_EQ(runFaultCommand(d.bus, bad).rfind("error:", 0), 0u) << bad;
}

TEST(SimTransport, AnswerArrivesAfterTheDelayOnTheClock) {
    DemoBus d;
    SimTransport t(d.bus, d.clock);
    runFaultCommand(d.bus, "late 2 300");
    Bytes req = readRequest(2, 0x001E, 2);
    ASSERT_EQ(t.send(req.data(), 4), 4); // a request in two pieces
    ASSERT_EQ(t.send(req.data() + 4, 4), 4);
    uint8_t buf[64];
    EXPECT_EQ(t.receive(buf, sizeof buf), 0);
    int64_t start = d.clock.nowMs();
    t.waitReadable(d.clock, 1000);
    EXPECT_EQ(d.clock.nowMs() - start, 300);
    EXPECT_EQ(t.receive(buf, sizeof buf), 9);

    // A purge drops what arrived, not what is still on its way.
    t.send(req.data(), 8);
    t.purge();
    d.advance(300);
    EXPECT_EQ(t.receive(buf, sizeof buf), 9);

    // Nothing coming: the whole wait passes.
    Bytes none = readRequest(99, 0, 2);
    t.send(none.data(), 8);
    start = d.clock.nowMs();
    t.waitReadable(d.clock, 250);
    EXPECT_EQ(d.clock.nowMs() - start, 250);
    EXPECT_EQ(t.requests().size(), 3u);
}

TEST(BusFile, DescribesDevicesAndRefusesNonsense) {
    std::string path = ::testing::TempDir() + "sim_bus_file_test.ini";
    {
        std::ofstream f(path);
        f << "[Bus]\nDemo=0\n[Meter]\nAddress=12\nGeneration=2\nSerial=777\nRange=5\n"
             "Unit=ln/h\nFunctions=0x06\nFault=late:250\n"
             "[New]\nAddress=247\nGeneration=4\nSlots=2\nUsedSlots=1\n";
    }
    std::vector<BusFileDevice> devices;
    std::string error;
    ASSERT_TRUE(readBusFile(path, devices, error)) << error;
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].config.address, 12);
    EXPECT_EQ(devices[0].config.generation, Generation::Second);
    EXPECT_EQ(devices[0].config.serial, 777u);
    EXPECT_EQ(devices[0].config.functions, 6u);
    EXPECT_EQ(devices[0].config.unit, "ln/h");
    EXPECT_EQ(devices[0].fault, "late:250");
    EXPECT_EQ(devices[1].config.slotCount, 2);
    EXPECT_EQ(devices[1].config.usedSlots, std::vector<int>{1});

    {
        std::ofstream f(path);
        f << "[Bad]\nAddress=300\n";
    }
    EXPECT_FALSE(readBusFile(path, devices, error));
    EXPECT_NE(error.find("1..247"), std::string::npos);
    EXPECT_FALSE(readBusFile(path + ".missing", devices, error));
    {
        std::ofstream f(path);
        f << "[Bus]\nDemo=1\n";
    }
    ASSERT_TRUE(readBusFile(path, devices, error));
    EXPECT_EQ(devices.size(), 5u);
    ::unlink(path.c_str());
}

TEST(SimBus, FilterBlockSaveWithFillerIsAnswered) {
    DemoBus d;
    d.unlock(1);
    Bytes f{1, 0x10, 0x5C, 0x08, 0x00, 0x09, 0x12, 0x00, 0x02}; // FilterType 2, rest 0
    f.resize(30, 0);
    auto ans = d.send(withCrc(f));
    ASSERT_TRUE(ans);
    EXPECT_EQ(ans->bytes, withCrc({1, 0x10, 0x5C, 0x08, 0x00, 0x09}));
    EXPECT_EQ(d.read(1, reg::kFilterType), "2");
}

} // namespace
} // namespace getkelo::sim::test
