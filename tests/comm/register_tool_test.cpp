// The raw register tool's logic against the simulated demo bus (virtual time).
#include "base/clock.h"
#include "comm/register_catalogue.h"
#include "comm/register_tool.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "sim/device_profiles.h"
#include "sim/sim_bus.h"
#include "sim/sim_transport.h"
#include "ui/scripted_ui.h"

#include <gtest/gtest.h>

namespace getkelo {
namespace {

enum Type { kString, kFloat32, kInt16, kUInt16, kUInt32 };

class RegisterToolTest : public ::testing::Test {
  protected:
    VirtualClock clock;
    TComm comm{clock};
    sim::SimBus bus{clock};
    sim::SimTransport* transport = nullptr;
    std::unique_ptr<TTesra> tesra;
    ScriptedUi ui;
    RegisterTool tool{ui};

    void SetUp() override {
        for (const auto& c : sim::demoBus())
            bus.addDevice(c);
        auto t = std::make_unique<sim::SimTransport>(bus, clock);
        transport = t.get();
        tesra = std::make_unique<TTesra>(comm, comm.AttachTransport(std::move(t)));
        tesra->Address = 1;
        tool.FormCreate();
    }
    std::string read(const std::string& address, int type) {
        tool.setAddressText(address);
        tool.VarTypClick(type);
        tool.LesenBtnClick(tesra.get());
        return tool.valueText();
    }
    void write(const std::string& address, int type, const std::string& value) {
        tool.setAddressText(address);
        tool.VarTypClick(type);
        tool.setValueText(value);
        tool.SchreibenBtnClick(tesra.get());
    }
};

TEST_F(RegisterToolTest, AddressIsPaddedInTheFieldAndSuffixedByTheType) {
    struct Case {
        const char* typed;
        int type;
        const char* field;
        RegisterDescriptor descriptor;
    } const cases[] = {
        {"23", kFloat32, "0023", 0x00230213},  {"6042", kString, "6042", 0x60420407},
        {"ff", kInt16, "00FF", 0x00FF0121},    {"", kUInt32, "0000", 0x00000243},
        {"1g2h", kUInt16, "0012", 0x00120131}, // only hexadecimal digits get in
    };
    for (const Case& c : cases) {
        tool.setAddressText(c.typed);
        tool.VarTypClick(c.type);
        EXPECT_EQ(tool.buildDescriptor(), c.descriptor) << c.typed;
        EXPECT_EQ(tool.addressText(), c.field) << c.typed;
    }
    // 1A with "uint 16" reads register 0x001A and leaves 001A in the field.
    EXPECT_EQ(read("1A", kUInt16), "20018"); // 0x4E32, "N2" of the gas text
    const auto& request = transport->requests().back();
    EXPECT_EQ(std::vector<uint8_t>(request.begin(), request.begin() + 6),
              (std::vector<uint8_t>{1, 0x03, 0x00, 0x1A, 0x00, 1}));
    EXPECT_EQ(tool.addressText(), "001A");
    EXPECT_EQ(tool.selectedField(), RegisterTool::Field::Address);
    EXPECT_EQ(ui.beeps, 1);
}

TEST_F(RegisterToolTest, HexEntryFFFEStoresFFFEAndReadsBackSignExtended) {
    tool.VarTypClick(kInt16);
    tool.HexCheckClick(true);
    write("E", kInt16, "FFFE"); // control mode, a plain 16-bit register
    EXPECT_EQ(tool.selectedField(), RegisterTool::Field::Value);
    EXPECT_EQ(tesra->ReadValue(reg::kControlMode), "65534");
    EXPECT_EQ(read("E", kInt16), "FFFFFFFE");
    // An entry without hexadecimal digits, or beyond 32 bits, is not written at all.
    const size_t before = transport->requests().size();
    for (const char* entry : {"", "xyz", "1FFFFFFFF"})
        write("E", kUInt16, entry);
    EXPECT_EQ(transport->requests().size(), before);
    EXPECT_EQ(ui.beeps, 5); // the beep sounds all the same
}

TEST_F(RegisterToolTest, DisabledHexBoxIsUncheckedAndTheValueCleared) {
    tool.VarTypClick(kUInt32);
    tool.HexCheckClick(true);
    tool.setValueText("12");
    tool.VarTypClick(kFloat32);
    EXPECT_FALSE(tool.hexChecked());
    EXPECT_EQ(tool.valueText(), ""); // as a click on the box would have done
}

TEST_F(RegisterToolTest, TextsOfUpToSevenCharactersRoundTrip) {
    tesra->WriteValue(reg::kAccessCode, reg::kAccessCodeText, kWriteAddressed);
    for (const auto& [written, readBack] :
         {std::pair{"ABCDEFG", "ABCDEFG"}, {"ABCDEFGH", "ABCDEFG"}}) {
        write("6042", kString, written);
        EXPECT_EQ(read("6042", kString), readBack) << written;
    }
}

TEST_F(RegisterToolTest, FailedReadShowsFehlerOrZeroInHex) {
    tesra->Address = 99; // nobody there
    EXPECT_EQ(read("0", kFloat32), "Fehler");
    tool.VarTypClick(kUInt16);
    tool.HexCheckClick(true);
    EXPECT_EQ(read("0", kUInt16), "0");
}

} // namespace
} // namespace getkelo
