#include "mixer_fakes.h"

namespace getkelo::test {
namespace {

TEST_F(MixerFixture, NewMixerTakesTheSmallestFreeSectionNumber) {
    writeIni("[Mischer0]\nName=A\n[Programm]\nSprache=Deutsch\n[Mischer2]\nName=C\n");
    EXPECT_EQ(newMixer("B"), 2);
    ASSERT_EQ(ui.inputs.size(), 1u);
    EXPECT_EQ(ui.inputs[0].prompt, "Mischer Name:");
    EXPECT_EQ(ini->readString("Mischer1", "Name"), "B");
    EXPECT_EQ(st().mixers[2].name, "B");

    // An empty or cancelled answer does nothing.
    ui.inputAnswers.push_back(std::string());
    mixer->newMixer();
    ui.inputAnswers.push_back(std::nullopt);
    mixer->newMixer();
    EXPECT_EQ(st().mixers.size(), 3u);
    EXPECT_FALSE(ini->sectionExists("Mischer3"));
}

TEST_F(MixerFixture, MixersWithTheSameNameAreKeptApart) {
    newMixer("Gas");
    newMixer("Gas");
    mixer->selectMixer(1);
    mixer->deleteMixer();
    EXPECT_TRUE(ini->sectionExists("Mischer0"));
    EXPECT_FALSE(ini->sectionExists("Mischer1"));
    ASSERT_EQ(st().mixers.size(), 1u);
    EXPECT_EQ(st().selected, -1);
}

TEST_F(MixerFixture, RowClicksBuildTheCompositionAndTheComponentAddresses) {
    int n2 = host.addDevice(4, "N2");
    int o2 = host.addDevice(9, "O2");
    int co2 = host.addDevice(2, "CO2");
    mixer->selectMixer(newMixer("Luft"));
    clickRow(n2);
    clickRow(o2);
    clickRow(co2);
    ASSERT_EQ(st().composition.size(), 3u);
    EXPECT_EQ(st().composition[0].label, "N2");
    EXPECT_EQ(st().composition[0].share, "100"); // the remainder
    EXPECT_EQ(ini->readInteger("Mischer0", "tesra_1"), 4);
    EXPECT_EQ(ini->readInteger("Mischer0", "tesra_2"), 9);
    EXPECT_EQ(ini->readInteger("Mischer0", "tesra_3"), 2);

    mixer->setShareText(1, "20");
    mixer->setShareText(2, "30");
    mixer->applyComposition();
    EXPECT_EQ(st().composition[0].share, "50");
    EXPECT_DOUBLE_EQ(ini->readFloat("Mischer0", "GasAnteil_1"), 0.5);
    EXPECT_DOUBLE_EQ(ini->readFloat("Mischer0", "GasAnteil_3"), 0.3);

    // Unmarking O2 removes its row; the addresses are rewritten in row order.
    clickRow(o2);
    ASSERT_EQ(st().composition.size(), 2u);
    EXPECT_EQ(st().composition[1].label, "CO2");
    EXPECT_EQ(st().composition[0].share, "70");
    EXPECT_EQ(ini->readInteger("Mischer0", "tesra_2"), 2);
    EXPECT_FALSE(ini->valueExists("Mischer0", "tesra_3"));
    EXPECT_FALSE(ini->valueExists("Mischer0", "GasName_3"));
}

TEST_F(MixerFixture, MixerSurvivesARestart) {
    host.addDevice(4, "N2", "ln/min", "100", 30);
    host.addDevice(9, "O2", "mln/min", "10000", 5000);
    int index = newMixer("Mix");
    mixer->selectMixer(index);
    clickRow(1);
    clickRow(2);
    mixer->setType(MixerType::MasterSlave);
    mixer->setShareText(1, "25");
    mixer->setShareUnit(ShareUnit::Ppm); // rebuilds from the file: the typed 25 % is not stored
    mixer->setShareText(1, "250000");
    mixer->applyComposition();

    IniFile reopened(path);
    FakeMixerHost host2;
    host2.addDevice(4, "N2");
    host2.addDevice(9, "O2");
    ScriptedUi ui2;
    GasMixer again(host2, reopened, ui2);
    again.reload();
    ASSERT_EQ(again.state().mixers.size(), 1u);
    EXPECT_EQ(again.state().mixers[0].name, "Mix");
    again.selectMixer(0);
    EXPECT_EQ(again.state().type, MixerType::MasterSlave);
    EXPECT_EQ(again.state().shareUnit, ShareUnit::Ppm);
    ASSERT_EQ(again.state().composition.size(), 2u);
    EXPECT_EQ(again.state().composition[0].share, "Master");
    EXPECT_EQ(again.state().composition[1].share, "250000");
    EXPECT_EQ(again.state().composition[1].address, 9);
    EXPECT_EQ(host2.list.cell(1, kColMixMark), " x");
    EXPECT_EQ(host2.list.cell(2, kColMixMark), " x");
    EXPECT_TRUE(ui2.messages.empty());
}

TEST_F(MixerFixture, MissingComponentIsReportedAndTheMixerDeactivated) {
    host.addDevice(4, "N2");
    writeIni("[Mischer0]\nName=M\ntesra_1=4\ntesra_2=12\nGasName_1=N2\nGasAnteil_1=0.5\n"
             "GasName_2=Ar\nGasAnteil_2=0.5\n");
    mixer->setActive(0, true);
    ASSERT_TRUE(st().mixers[0].active);
    mixer->selectMixer(0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Gerät 12 fehlt!");
    EXPECT_EQ(ui.messages[0].caption, "Mischer");
    EXPECT_FALSE(st().mixers[0].active);
}

TEST_F(MixerFixture, DeviceInTwoActiveMixersSwitchesTheNewOneOff) {
    host.addDevice(1, "N2");
    host.addDevice(2, "O2");
    host.addDevice(3, "Ar");
    writeIni("[Mischer0]\nName=A\ntesra_1=1\ntesra_2=2\n"
             "[Mischer1]\nName=B\ntesra_1=3\ntesra_2=2\n"
             "[Mischer2]\nName=C\ntesra_1=3\n");
    mixer->setActive(0, true);
    mixer->setActive(1, true);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Gerät 2 mehrfach verwendet!");
    EXPECT_EQ(ui.messages[0].caption, "Mischer");
    EXPECT_TRUE(st().mixers[0].active);
    EXPECT_FALSE(st().mixers[1].active);
    mixer->setActive(2, true); // no device shared with A
    EXPECT_TRUE(st().mixers[2].active);
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(MixerFixture, TotalSetpointIsLimitedToTheMixtureRange) {
    host.addDevice(1, "N2", "ln/min", "100");
    host.addDevice(2, "O2", "mln/min", "5000");
    writeIni("[Mischer0]\nName=A\ntesra_1=1\ntesra_2=2\nGasName_1=N2\nGasAnteil_1=0.6\n"
             "GasName_2=O2\nGasAnteil_2=0.4\n");
    mixer->setFlowUnit("ln/min");
    mixer->selectMixer(0);
    EXPECT_EQ(st().bereich, "12.5");
    mixer->applySetpoint("10"); // not active: not taken, and the operator is told why
    EXPECT_EQ(mixer->totalSetpoint(), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("\"A\" ist nicht aktiv"), std::string::npos);
    ui.messages.clear();
    mixer->setActive(0, true);
    mixer->applySetpoint("10,5");
    EXPECT_FLOAT_EQ(mixer->totalSetpoint(), 10.5f);
    EXPECT_TRUE(ui.messages.empty());
    mixer->applySetpoint("13");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Sollwert zu gross!");
    EXPECT_EQ(ui.messages[0].caption, "Mischer");
    EXPECT_FLOAT_EQ(mixer->totalSetpoint(), 12.5f);
    EXPECT_EQ(st().sollwert, "12.5");
}

TEST_F(MixerFixture, TotalSetpointKeepsItsAmountWhenTheUnitChanges) {
    host.addDevice(1, "N2");
    writeIni("[Mischer0]\nName=A\ntesra_1=1\nGasName_1=N2\nGasAnteil_1=1\n");
    mixer->setFlowUnit("ln/min");
    mixer->selectMixer(0);
    mixer->setActive(0, true);
    mixer->applySetpoint("10");
    mixer->setFlowUnit("mln/min");
    EXPECT_FLOAT_EQ(mixer->totalSetpoint(), 10000.f);
    EXPECT_EQ(st().bereich, "100000");
}

TEST_F(MixerFixture, MixingLocksTheScopeAndAnhaltenAsksForZeroSetpoints) {
    host.addDevice(1, "N2");
    host.addDevice(2, "O2");
    writeIni("[Mischer0]\nName=A\ntesra_1=1\n[Mischer1]\nName=B\ntesra_1=2\n");
    mixer->setActive(0, true);
    mixer->setActive(1, true);
    mixer->selectMixer(0);
    EXPECT_EQ(host.list.cell(2, kColMixMark), "");
    mixer->startMixing();
    EXPECT_TRUE(mixer->mixing());
    EXPECT_TRUE(host.pollAllLocked);
    // While mixing the marks show every device an active mixer drives.
    EXPECT_EQ(host.list.cell(1, kColMixMark), " x");
    EXPECT_EQ(host.list.cell(2, kColMixMark), " x");
    // Composition and list are locked.
    ui.inputAnswers.push_back("X");
    mixer->newMixer();
    mixer->deleteMixer();
    EXPECT_EQ(st().mixers.size(), 2u);

    ui.messageAnswers.push_back(MsgAnswer::No);
    mixer->stopMixing();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Der Mischer wird deaktiviert!\r\nAlle Sollwerte auf 0?");
    EXPECT_EQ(ui.messages[0].caption, "Mischer");
    EXPECT_EQ(ui.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(host.zeroCommands, 0);
    EXPECT_FALSE(mixer->mixing());
    EXPECT_FALSE(host.pollAllLocked);
    EXPECT_EQ(st().istwert, "");
    EXPECT_EQ(host.list.cell(2, kColMixMark), "");

    mixer->startMixing();
    ui.messageAnswers.push_back(MsgAnswer::Yes);
    mixer->stopMixing();
    EXPECT_EQ(host.zeroCommands, 1);
}

TEST_F(MixerFixture, MixingWithoutAnActiveMixerSaysSoAndDoesNotStart) {
    host.addDevice(1, "N2");
    writeIni("[Mischer0]\nName=A\ntesra_1=1\n");
    mixer->selectMixer(0);
    mixer->startMixing();
    EXPECT_FALSE(mixer->mixing());
    EXPECT_FALSE(host.pollAllLocked);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.rfind("Kein Mischer ist aktiv", 0), 0u);
}

TEST_F(MixerFixture, AnhaltenWithZeroSetpointsShowsZeroAtOnce) {
    host.addDevice(1, "N2", "ln/min", "100");
    writeIni("[Mischer0]\nName=A\ntesra_1=1\nGasName_1=N2\nGasAnteil_1=1\n");
    mixer->setActive(0, true);
    mixer->selectMixer(0);
    mixer->startMixing();
    mixer->applySetpoint("40");
    ui.messageAnswers.push_back(MsgAnswer::Yes);
    mixer->stopMixing();
    EXPECT_EQ(host.zeroCommands, 1);
    EXPECT_EQ(st().sollwert, "0");
    EXPECT_EQ(mixer->totalSetpoint(), 0);
}

TEST_F(MixerFixture, ScanStartEndsMixingWithoutAsking) {
    writeIni("[Mischer0]\nName=A\n");
    mixer->setActive(0, true);
    mixer->startMixing();
    ASSERT_TRUE(mixer->mixing());
    mixer->stop();
    EXPECT_FALSE(mixer->mixing());
    EXPECT_FALSE(host.pollAllLocked);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MixerFixture, MixtureTotalInTheChosenTotalUnit) {
    int a = host.addDevice(1, "N2");
    int b = host.addDevice(2, "O2", "mln/min");
    host.list.setCell(a, kColTotal, "1.5");
    host.list.setCell(a, kColTotalUnit, "m3n");
    host.list.setCell(b, kColTotal, "500"); // no unit column: "mln" from mln/min
    writeIni("[Mischer0]\nName=A\ntesra_1=1\ntesra_2=2\n");
    mixer->setTotalUnit("ln");
    mixer->selectMixer(0);
    EXPECT_EQ(st().gesamttotal, "1500.5");
    mixer->setTotalUnit("m3n");
    EXPECT_EQ(st().gesamttotal, "1.5005");
}

} // namespace
} // namespace getkelo::test
