#include "console_fixture.h"

#include "base/ini_file.h"
#include "graphs/zoom_limits.h"

namespace getkelo::test {
namespace {

TEST(ZoomLimits, AsksWithItsPromptsAndKeepsTheLimitsInTheSettingsFile) {
    TempDir dir;
    IniFile ini(dir.file("GetKelo.ini"));
    ScriptedUi ui;
    ZoomLimits z(ini);
    EXPECT_EQ(z.high(), "");

    ui.inputAnswers = {std::string("80"), std::string(" 5,5 ")};
    EXPECT_TRUE(z.askHigh(ui, "ln/min"));
    EXPECT_TRUE(z.askLow(ui, "ln/min"));
    ASSERT_EQ(ui.inputs.size(), 2u);
    EXPECT_EQ(ui.inputs[0].caption, "Grenzwerte");
    EXPECT_EQ(ui.inputs[0].prompt, "Oberer Grenzwert [ln/min]:\n(leer = inaktiv):");
    EXPECT_EQ(ui.inputs[1].prompt, "Unterer Grenzwert [ln/min]:\n(leer = inaktiv)");
    z.setAlarm(true);
    EXPECT_EQ(ini.readString("Zoomen", "Hoch"), "80");
    EXPECT_EQ(ini.readString("Zoomen", "Tief"), "5,5");
    EXPECT_TRUE(ini.readBool("Zoomen", "Alarm"));

    ZoomLimits again(ini); // the next window starts from what is stored
    EXPECT_EQ(again.high(), "80");
    EXPECT_TRUE(again.alarm());

    ui.inputAnswers = {std::nullopt, std::string("viel")};
    EXPECT_FALSE(z.askHigh(ui, "ln/min")) << "Cancel keeps it";
    EXPECT_FALSE(z.askHigh(ui, "ln/min")) << "not a number";
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(z.high(), "80");
    ui.inputAnswers = {std::string("")};
    EXPECT_TRUE(z.askHigh(ui, "ln/min"));
    EXPECT_EQ(ini.readString("Zoomen", "Hoch", "?"), "");
}

TEST(ZoomLimits, ReadingIsRedOutsideTheLimitsAndBeepsWithTheAlarm) {
    TempDir dir;
    IniFile ini(dir.file("GetKelo.ini"));
    ini.writeString("Zoomen", "Hoch", "80");
    ini.writeString("Zoomen", "Tief", "20");
    ZoomLimits z(ini);
    struct Row {
        const char* flow;
        bool outside;
    } rows[] = {{"50", false}, {"80", false}, {"80.01", true}, {"19.9", true}, {"20", false}};
    for (const Row& r : rows) {
        ZoomReading shown = z.reading(r.flow, "ln/min");
        EXPECT_EQ(shown.text, std::string(r.flow) + " ln/min");
        EXPECT_EQ(shown.outside, r.outside) << r.flow;
        EXPECT_FALSE(shown.beep);
    }
    z.setAlarm(true);
    EXPECT_TRUE(z.reading("90", "ln/min").beep);
    EXPECT_FALSE(z.reading("50", "ln/min").beep);

    int w, h;
    z.windowSize(w, h);
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 150);
    z.saveWindowSize(420, 200);
    z.windowSize(w, h);
    EXPECT_EQ(w, 420);
    EXPECT_EQ(ini.readInteger("Zoomen", "Zoom_H"), 200);
}

} // namespace
} // namespace getkelo::test
