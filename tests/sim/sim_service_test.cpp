#include "comm/crc16.h"
#include "comm/register_catalogue.h"
#include "comm/service_image.h"
#include "sim/device_profiles.h"
#include "sim/fault_commands.h"
#include "sim/service_protocol.h"
#include "sim_link.h"

#include <gtest/gtest.h>

namespace getkelo::sim::test {
namespace {

constexpr uint8_t kFirst = 5; // the demo bus's first-generation device

struct FirstGeneration : SimLink {
    FirstGeneration() { tesra->Address = kFirst; }
    std::vector<uint8_t>& image() { return device(kFirst).serviceImage(); }
    int read(Bytes& buffer) {
        buffer.assign(kServiceImageBufferSize, 0);
        return tesra->ReadServiceImage(buffer, ui);
    }
};

TEST(SimServiceProtocol, ImageReadGivesTheDevicesImageInItsLayout) {
    FirstGeneration l;
    Bytes buffer;
    ASSERT_EQ(l.read(buffer), 0);
    EXPECT_TRUE(std::equal(l.image().begin(), l.image().end(), buffer.begin()));
    const uint16_t crc = Crc16(l.image().data(), kServiceImageSize);
    EXPECT_EQ(buffer[kServiceImageSize], crc & 0xFF);
    EXPECT_EQ(buffer[kServiceImageSize + 1], crc >> 8);
    // The device layer finds the values where the device keeps them.
    auto field = [&](const char* key) {
        return imageFieldText(buffer, *findServiceImageField(key));
    };
    EXPECT_EQ(field("Gas"), "N2");
    EXPECT_EQ(field("TheorMaxFlow"), "1000") << "range 10 ln/min";
    EXPECT_EQ(field("Gain"), "12");
    EXPECT_EQ(imageFlowTicks(buffer, 7)[1], 120 + 56 - 400);
    // Modbus goes on as before on the same line.
    EXPECT_EQ(l.tesra->ReadValue(reg::kSerialNumber), "21010005");
}

TEST(SimServiceProtocol, ImageWriteReplacesTheImageAndNothingElse) {
    FirstGeneration l;
    Bytes edited(l.image().begin(), l.image().end());
    ASSERT_TRUE(setImageField(edited, *findServiceImageField("Gas"), "Ar"));
    ASSERT_TRUE(setImageField(edited, *findServiceImageField("Gain"), "40"));
    // Image bytes that happen to form a Modbus request must not reach the bus.
    const Bytes setpoint = writeValue(1, reg::kSetpoint, "77");
    std::copy(setpoint.begin(), setpoint.end(), edited.begin() + 3000);
    ASSERT_EQ(l.tesra->WriteServiceImage(edited, l.ui), 0);
    EXPECT_EQ(l.image(), edited);
    EXPECT_EQ(l.demo.read(kFirst, reg::kGasText), "Ar") << "the identity shows the new gas";
    EXPECT_EQ(l.demo.read(1, reg::kSetpoint), "0");
    Bytes back;
    ASSERT_EQ(l.read(back), 0);
    EXPECT_TRUE(std::equal(edited.begin(), edited.end(), back.begin()));
}

TEST(SimServiceProtocol, FaultsBreakTheTransferAndKeepTheImage) {
    for (const char* fault : {"stop", "wrong"}) {
        FirstGeneration l;
        EXPECT_EQ(runFaultCommand(l.demo.bus, std::string("service 5 ") + fault),
                  std::string("ok service 5 ") + fault);
        const std::vector<uint8_t> before = l.image();
        Bytes buffer;
        EXPECT_EQ(l.read(buffer), 1) << fault;
        Bytes edited = before;
        edited[100] ^= 0xFF;
        EXPECT_EQ(l.tesra->WriteServiceImage(edited, l.ui), 1) << fault;
        EXPECT_EQ(l.image(), before) << fault;
        EXPECT_EQ(l.tesra->ReadValue(reg::kSerialNumber), "21010005") << fault;
        runFaultCommand(l.demo.bus, "service 5 none");
        EXPECT_EQ(l.tesra->WriteServiceImage(edited, l.ui), 0) << fault;
    }
    DemoBus d;
    EXPECT_EQ(runFaultCommand(d.bus, "service 5 later"), "error: service: stop, wrong or none?");
}

TEST(SimServiceProtocol, WithoutFirstGenerationDeviceTheCommandsAreJustBytes) {
    SimLink l;
    l.demo.bus.setFault(kFirst, Fault::Silent);
    Bytes buffer(kServiceImageBufferSize);
    EXPECT_EQ(l.tesra->ReadServiceImage(buffer, l.ui), 1);
    l.tesra->Address = 3;
    EXPECT_EQ(l.tesra->ReadValue(reg::kSerialNumber), "23010003");
}

// Modbus frames whose bytes look like the start of a command pass at once.
TEST(SimServiceProtocol, ModbusBytesAreNeverHeldBack) {
    DemoBus d;
    ServiceLink link;
    for (const Bytes& frame : {readRequest(0x52, 0x0000, 2), withCrc({0x57, 0x45, 0x45})}) {
        Bytes modbus;
        std::vector<BusAnswer> answers;
        link.push(d.bus, frame.data(), static_cast<int>(frame.size()), modbus, answers);
        EXPECT_EQ(modbus, frame);
        EXPECT_TRUE(answers.empty());
    }
    const std::string wrongLength = "WEEPROM=0100\r\n";
    Bytes modbus;
    std::vector<BusAnswer> answers;
    link.push(d.bus, reinterpret_cast<const uint8_t*>(wrongLength.data()),
              static_cast<int>(wrongLength.size()), modbus, answers);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(std::string(answers[0].bytes.begin(), answers[0].bytes.end()), "ERROR\r\n");
    EXPECT_FALSE(link.receivingImage());
}

} // namespace
} // namespace getkelo::sim::test
