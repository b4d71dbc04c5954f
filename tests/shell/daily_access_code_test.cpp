#include "base/clock.h"
#include "base/date_time.h"
#include "base/ini_file.h"
#include "shell/access_prompts.h"
#include "shell/contact_file.h"
#include "shell/daily_access_code.h"
#include "ui/scripted_ui.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using namespace getkelo;

namespace {
DateTime date(int y, int m, int d, int h = 12) {
    DateTime t;
    t.year = y;
    t.month = m;
    t.day = d;
    t.hour = h;
    return t;
}
} // namespace

// The examples of docs/access_code.md: service staff work from that table.
TEST(DailyAccessCode, KnownDates) {
    struct Case {
        DateTime date;
        const char* code;
    } cases[] = {
        {date(2025, 1, 1), "D5LC7"},  {date(2026, 12, 24), "U6WK7"}, {date(2030, 3, 31), "P0NI8"},
        {date(2029, 2, 28), "G9ME7"}, {date(2099, 9, 9), "B9TS6"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dailyAccessCode(c.date), c.code);
}

TEST(DailyAccessCode, EveryDayOfAYearGivesFivePrintableCharacters) {
    for (int m = 1; m <= 12; ++m)
        for (int d = 1; d <= 31; ++d) {
            const std::string code = dailyAccessCode(date(2026, m, d));
            ASSERT_EQ(code.size(), 5u);
            for (char c : code)
                EXPECT_TRUE(c >= '0' && c <= 'Z') << code;
        }
}

TEST(DailyAccessCode, ChangesWithDayMonthAndYear) {
    const std::string base = dailyAccessCode(date(2026, 5, 10));
    EXPECT_NE(base, dailyAccessCode(date(2026, 5, 11)));
    EXPECT_NE(base, dailyAccessCode(date(2026, 6, 10)));
    EXPECT_NE(base, dailyAccessCode(date(2027, 5, 10)));
    EXPECT_EQ(base, dailyAccessCode(date(2026, 5, 10, 23))); // the hour does not count
}

TEST(DailyAccessCode, OnlyAnExactMatchIsAccepted) {
    const DateTime d = date(2026, 12, 24);
    EXPECT_TRUE(checkDailyAccessCode("U6WK7", d));
    for (const char* wrong : {"", "u6wk7", "U6WK", "U6WK7 ", " U6WK7", "U6WK77", "U6WK8"})
        EXPECT_FALSE(checkDailyAccessCode(wrong, d)) << '"' << wrong << '"';
    EXPECT_FALSE(checkDailyAccessCode("U6WK7", date(2026, 12, 25)));
}

TEST(AccessPrompt, AsksWithTheFixedTextsAndChecksTodaysCode) {
    VirtualClock clock(toEpochMs(date(2026, 12, 24, 9)));
    ScriptedUi ui;
    ui.inputAnswers = {std::string("U6WK7"), std::string("XXXXX"), std::nullopt};
    EXPECT_TRUE(askDailyAccessCode(ui, clock));
    EXPECT_FALSE(askDailyAccessCode(ui, clock));
    EXPECT_FALSE(askDailyAccessCode(ui, clock)); // cancelled
    ASSERT_EQ(ui.inputs.size(), 3u);
    EXPECT_EQ(ui.inputs[0].caption, "Passwort");
    EXPECT_EQ(ui.inputs[0].prompt, "Bitte Passwort eingeben:");
    EXPECT_EQ(ui.inputs[0].defaultText, "");
}

class ShellFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/getkelo_shell_XXXXXX";
        dir_ = std::string(mkdtemp(tmpl)) + "/";
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
    std::string dir_;
};

TEST_F(ShellFiles, ServiceCodeDialogShowsTheStoredValueAndWritesTheAnswer) {
    IniFile ini(dir_ + "GetKelo.ini");
    ini.writeString("Programm", "ServicePasswort", "R2K-old");
    ScriptedUi ui;
    ui.inputAnswers = {std::string("R2Kxyz")};
    EXPECT_TRUE(editServicePassword(ui, ini));
    ASSERT_EQ(ui.inputs.size(), 1u);
    EXPECT_EQ(ui.inputs[0].caption, "Service Passwort");
    EXPECT_EQ(ui.inputs[0].prompt, "Code:");
    EXPECT_EQ(ui.inputs[0].defaultText, "R2K-old");
    EXPECT_EQ(IniFile(dir_ + "GetKelo.ini").readString("Programm", "ServicePasswort"), "R2Kxyz");
}

TEST_F(ShellFiles, CancelledServiceCodeLeavesTheStoredValue) {
    IniFile ini(dir_ + "GetKelo.ini");
    ini.writeString("Programm", "ServicePasswort", "R2K");
    ScriptedUi ui; // no answer queued: cancel
    EXPECT_FALSE(editServicePassword(ui, ini));
    EXPECT_EQ(ini.readString("Programm", "ServicePasswort"), "R2K");
}

TEST_F(ShellFiles, ContactFileIsReadFromTheProgramDirectory) {
    std::ofstream(dir_ + "Kontakt.txt", std::ios::binary)
        << "[Kontakt]\r\nName=GetKelo Service\r\nStrasse=Musterweg 1\r\nTelefon=123\r\n"
           "URL=https://getkelo.example\r\n";
    const ContactData c = readContactFile(dir_);
    EXPECT_EQ(c.name, "GetKelo Service");
    EXPECT_EQ(c.street, "Musterweg 1");
    EXPECT_EQ(c.phone, "123");
    EXPECT_EQ(c.url, "https://getkelo.example");
    EXPECT_EQ(c.fax, "");
    EXPECT_EQ(readContactFile(dir_ + "missing/").name, "");
}
