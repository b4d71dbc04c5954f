#include "console_fixture.h"

#include "base/number_format.h"
#include "comm/register_descriptor.h"
#include "console/mixer/console_mixer_host.h"
#include "console/mixer/gas_mixer.h"

namespace getkelo::test {
namespace {

constexpr RegisterDescriptor kSetpointReg = makeDescriptor(0x0006, 2, kTypeFloat);

// The console with its gas mixer on the built-in demo bus (devices 1 to 5), virtual time.
class MixerDemoBusTest : public ConsoleTest {
  protected:
    void startDemo(const std::string& mixerSections) {
        std::string text = "[Init]\nMulti=0\n";
        int n = 1;
        for (const sim::DeviceConfig& c : sim::demoBus()) {
            bus.addDevice(c);
            text += "tesra_" + std::to_string(n++) + "=" + std::to_string(c.address) + "\n";
        }
        writeText(ini(), text + mixerSections);
        makeConsole();
        host = std::make_unique<ConsoleMixerHost>(*console, view);
        mixer = std::make_unique<GasMixer>(*host, console->settings().file(), ui);
        console->setMixerHook(mixer.get());
        start();
        ASSERT_EQ(list().count(), 5);
        mixer->reload();
    }
    // One polling tick after the timer's 100 ms.
    void tick() {
        clock.advanceMs(100);
        console->TimerTimer();
    }
    double flowOf(int address) const {
        return textToDouble(list().cell(list().findAddress(address), kColFlow));
    }
    double deviceSetpoint(int address) {
        return textToDouble(bus.device(address)->get(kSetpointReg));
    }

    std::unique_ptr<ConsoleMixerHost> host;
    std::unique_ptr<GasMixer> mixer;
};

TEST_F(MixerDemoBusTest, SlaveFollowsHalfTheMasterFlowTickByTick) {
    startDemo("[Mischer0]\nName=Master-Slave\ntesra_1=1\ntesra_2=3\nGasName_1=N2\n"
              "GasAnteil_1=Master\nGasName_2=N2\nGasAnteil_2=0.5\nAnteil=0\n");
    mixer->setFlowUnit("ln/min");
    mixer->selectMixer(0);
    mixer->setActive(0, true);
    EXPECT_EQ(mixer->state().type, MixerType::MasterSlave);
    EXPECT_EQ(mixer->state().bereich, "40"); // device 3: 20 ln/min at half the master flow
    mixer->applySetpoint("40");
    mixer->startMixing();
    EXPECT_TRUE(console->pollAll());
    EXPECT_FALSE(view.enabled[ConsoleControl::PollingScope]);

    tick();
    EXPECT_DOUBLE_EQ(deviceSetpoint(1), 40);
    double previousSlave = -1;
    int followed = 0;
    for (int i = 0; i < 60; ++i) {
        tick();
        // The slave's setpoint is half the master flow polled in this very tick.
        double expected = std::min(0.5 * flowOf(1), 20.0);
        EXPECT_NEAR(deviceSetpoint(3), expected, 1e-4) << "tick " << i;
        if (deviceSetpoint(3) != previousSlave) ++followed;
        previousSlave = deviceSetpoint(3);
    }
    EXPECT_GT(followed, 30);
    EXPECT_NEAR(flowOf(1), 40, 1);
    EXPECT_NEAR(flowOf(3), 20, 1);
    EXPECT_NEAR(textToDouble(mixer->state().istwert), flowOf(1), 1e-4);
    EXPECT_EQ(mixer->state().sollwert, "40");
    EXPECT_DOUBLE_EQ(deviceSetpoint(1), 40);
    EXPECT_TRUE(ui.messages.empty());

    // "Anhalten" with Yes: every setpoint goes to 0 by broadcast and the mixer stops driving.
    ui.messageAnswers.push_back(MsgAnswer::Yes);
    mixer->stopMixing();
    EXPECT_DOUBLE_EQ(deviceSetpoint(1), 0);
    EXPECT_DOUBLE_EQ(deviceSetpoint(3), 0);
    tick();
    EXPECT_DOUBLE_EQ(deviceSetpoint(3), 0);
    EXPECT_TRUE(view.enabled[ConsoleControl::PollingScope]);
}

TEST_F(MixerDemoBusTest, FixedMixtureInMixedUnitsAndNoRewriteOfAReachedSetpoint) {
    // Device 1 in ln/min, device 3 in ln/min (range 20): 75 % / 25 % of 20 ln/min.
    startDemo("[Mischer0]\nName=Fix\ntesra_1=1\ntesra_2=3\nGasName_1=N2\nGasAnteil_1=0.75\n"
              "GasName_2=N2\nGasAnteil_2=0.25\nAnteil=0\n");
    mixer->setFlowUnit("mln/min");
    mixer->selectMixer(0);
    mixer->setActive(0, true);
    mixer->applySetpoint("20000");
    mixer->startMixing();
    tick();
    EXPECT_DOUBLE_EQ(deviceSetpoint(1), 15);
    EXPECT_DOUBLE_EQ(deviceSetpoint(3), 5);
    // Next tick polls the new setpoints back: nothing to write any more.
    tick();
    size_t from = mark();
    tick();
    for (const auto& frame : sentSince(from))
        EXPECT_NE(frame[1], 0x10) << "write to " << int(frame[0]);
}

TEST_F(MixerDemoBusTest, SelectingAnotherActiveMixerDoesNotHandItTheOldTotal) {
    startDemo("[Mischer0]\nName=A\ntesra_1=1\nGasName_1=N2\nGasAnteil_1=1\n"
              "[Mischer1]\nName=B\ntesra_1=3\nGasName_1=N2\nGasAnteil_1=1\n");
    mixer->setFlowUnit("ln/min");
    mixer->selectMixer(1);
    mixer->setActive(1, true);
    mixer->applySetpoint("5");
    mixer->selectMixer(0);
    mixer->setActive(0, true);
    mixer->applySetpoint("60");
    mixer->startMixing();
    tick();
    EXPECT_DOUBLE_EQ(deviceSetpoint(1), 60);
    // B's device is at 0; selecting B must not hand it A's 60 (three times its range).
    mixer->selectMixer(1);
    tick();
    tick();
    EXPECT_DOUBLE_EQ(deviceSetpoint(3), 0);
    EXPECT_DOUBLE_EQ(mixer->totalSetpoint(), 0);
    EXPECT_DOUBLE_EQ(deviceSetpoint(1), 60);
}

} // namespace
} // namespace getkelo::test
