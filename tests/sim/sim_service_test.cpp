#include "comm/crc16.h"
#include "comm/register_catalogue.h"
#include "comm/service_image.h"
#include "sim/fault_commands.h"
#include "sim/service_protocol.h"
#include "sim_link.h"

#include <gtest/gtest.h>

namespace getkelo::sim::test {
namespace {

constexpr uint8_t kFirst = 5; // the demo bus's first-generation device

TEST(SimServiceProtocol, ImageInItsLayoutAndAWriteThatChangesOnlyIt) {
    SimLink l;
    l.tesra->Address = kFirst;
    std::vector<uint8_t>& image = l.device(kFirst).serviceImage();
    Bytes buffer(kServiceImageBufferSize);
    ASSERT_EQ(l.tesra->ReadServiceImage(buffer, l.ui), 0);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), buffer.begin()));
    const uint16_t crc = Crc16(image.data(), kServiceImageSize);
    EXPECT_EQ(buffer[kServiceImageSize] | buffer[kServiceImageSize + 1] << 8, crc);
    EXPECT_EQ(imageFieldText(buffer, *findServiceImageField("Gas")), "N2");
    EXPECT_EQ(imageFieldText(buffer, *findServiceImageField("TheorMaxFlow")), "1000");

    Bytes edited(image.begin(), image.end());
    ASSERT_TRUE(setImageField(edited, *findServiceImageField("Gas"), "Ar"));
    // Image bytes that happen to form a Modbus request must not reach the bus.
    const Bytes setpoint = writeValue(1, reg::kSetpoint, "77");
    std::copy(setpoint.begin(), setpoint.end(), edited.begin() + 3000);
    ASSERT_EQ(l.tesra->WriteServiceImage(edited, l.ui), 0);
    EXPECT_EQ(image, edited);
    EXPECT_EQ(l.tesra->ReadValue(reg::kGasText), "Ar") << "Modbus goes on; the identity follows";
    EXPECT_EQ(l.demo.read(1, reg::kSetpoint), "0");
}

TEST(SimServiceProtocol, FaultsBreakTheTransferAndKeepTheImage) {
    for (const char* fault : {"stop", "wrong"}) {
        SimLink l;
        EXPECT_EQ(runFaultCommand(l.demo.bus, std::string("service 5 ") + fault),
                  std::string("ok service 5 ") + fault);
        const std::vector<uint8_t> before = l.device(kFirst).serviceImage();
        Bytes buffer(kServiceImageBufferSize);
        EXPECT_EQ(l.tesra->ReadServiceImage(buffer, l.ui), 1) << fault;
        Bytes edited = before;
        edited[100] ^= 0xFF;
        EXPECT_EQ(l.tesra->WriteServiceImage(edited, l.ui), 1) << fault;
        EXPECT_EQ(l.device(kFirst).serviceImage(), before) << fault;
    }
}

// The last byte of a Modbus frame can look like the start of a command ("R", "W"): it must
// reach the framer at once, not wait for the next request.
TEST(SimServiceProtocol, ModbusBytesAreNeverHeldBack) {
    DemoBus d;
    ServiceLink link;
    for (const Bytes& frame : {readRequest(0x52, 0x0000, 2), withCrc({3, 3, 8, 0x57})}) {
        Bytes modbus;
        std::vector<BusAnswer> answers;
        link.push(d.bus, frame.data(), static_cast<int>(frame.size()), modbus, answers);
        EXPECT_EQ(modbus, frame);
        EXPECT_TRUE(answers.empty());
    }
}

} // namespace
} // namespace getkelo::sim::test
