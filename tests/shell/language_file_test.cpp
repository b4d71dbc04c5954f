#include "shell/language_file.h"
#include "shell/language_text_source.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace getkelo;

namespace {

class TempDir {
  public:
    TempDir() {
        char tmpl[] = "/tmp/getkelo_lng_XXXXXX";
        path_ = std::string(mkdtemp(tmpl)) + "/";
    }
    ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    const std::string& path() const { return path_; }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ + name, std::ios::binary) << bytes;
    }

  private:
    std::string path_;
};

std::vector<std::string> names(const std::vector<LanguageEntry>& entries) {
    std::vector<std::string> out;
    for (const auto& e : entries)
        out.push_back(e.name);
    return out;
}

} // namespace

TEST(ListLanguages, OnlyTheGermanFileGivesExactlyDeutsch) {
    TempDir dir;
    dir.write("Deutsch.lng", "[Deutsch]\r\nDateiMnu=Datei\r\n");
    dir.write("Deutsch.bmp", "BM");
    dir.write("GetKelo.ini", "[Programm]\r\n");
    const auto list = ListLanguages(dir.path());
    ASSERT_EQ(names(list), std::vector<std::string>{"Deutsch"});
    EXPECT_EQ(list[0].flagPath, dir.path() + "Deutsch.bmp");
}

TEST(ListLanguages, OnlyNamesThatLeadBackToTheirFileAreOffered) {
    TempDir dir;
    for (const char* f : {"De.utsch.lng", "Fr.old.lng", "English.lng", ".lng", "x.lng.lng",
                          "notes.txt", "old.lng.bak"})
        dir.write(f, "");
    EXPECT_EQ(names(ListLanguages(dir.path())), (std::vector<std::string>{"English"}));
}

TEST(LanguageFile, LoadErrorNamesAFileThatCannotGiveItsTexts) {
    TempDir dir;
    dir.write("Deutsch.lng", "\xEF\xBB\xBF[Deutsch]\r\nDateiMnu=Datei\r\n");
    dir.write("English.lng", "[Deutsch]\r\nDateiMnu=Datei\r\n");
    EXPECT_EQ(languageLoadError(dir.path(), "Deutsch"), "");
    EXPECT_EQ(LanguageFile(dir.path(), "Deutsch").text("DateiMnu"), "Datei");
    EXPECT_NE(languageLoadError(dir.path(), "English").find("no section [English]"),
              std::string::npos);
    EXPECT_NE(languageLoadError(dir.path(), "Fr").find("Fr.lng"), std::string::npos);
}

TEST(ListLanguages, MissingFolderGivesNoLanguages) {
    EXPECT_TRUE(ListLanguages("/nonexistent/getkelo/").empty());
}

TEST(LanguageFile, SectionThatDiffersFromTheFileNameGivesEmptyTexts) {
    TempDir dir;
    dir.write("Deutsch.lng", "[English]\r\nDateiMnu=File\r\nSetAdr=Set address\r\n");
    LanguageFile file(dir.path(), "Deutsch");
    EXPECT_EQ(file.text("DateiMnu"), "");
    LanguageTextSource source(dir.path(), "Deutsch");
    EXPECT_EQ(source.text("DateiMnu"), "");
    EXPECT_EQ(source.messages().text("SetAdr"), "");
}

TEST(LanguageFile, OnlyTheLanguagesSectionIsRead) {
    TempDir dir;
    dir.write("Deutsch.lng",
              "[Other]\r\nCheckBus=wrong\r\n[Deutsch]\r\nCheckBus=Suche kel-o\r\n"
              "NoKelo=Kein Ger\xe4t\r\n"); // Windows-1252 on disk
    LanguageTextSource source(dir.path(), "Deutsch");
    EXPECT_EQ(source.text("CheckBus"), "Suche kel-o");
    EXPECT_EQ(source.text("checkbus"), "Suche kel-o"); // names ignore case, as in any INI file
    EXPECT_EQ(source.messages().text("NoKelo"), "Kein Gerät");
    EXPECT_EQ(source.text("Missing"), "");
}

TEST(LanguageFile, MissingFileAndEmptyNameGiveEmptyTexts) {
    TempDir dir;
    dir.write("Deutsch.lng", "DateiMnu=before any section\r\n[Deutsch]\r\nDateiMnu=Datei\r\n");
    EXPECT_EQ(LanguageTextSource(dir.path(), "Francais").text("DateiMnu"), "");
    // An empty name must not read the lines above the first section.
    EXPECT_EQ(LanguageTextSource(dir.path(), "").text("DateiMnu"), "");
}

TEST(LanguageFile, ReloadReplacesEveryText) {
    TempDir dir;
    dir.write("Deutsch.lng", "[Deutsch]\r\nSetAdr=Setze Adresse\r\nInfo=Info\r\n");
    dir.write("English.lng", "[English]\r\nSetAdr=Set address\r\n");
    LanguageTextSource source(dir.path(), "Deutsch");
    source.load(dir.path(), "English");
    EXPECT_EQ(source.messages().text("SetAdr"), "Set address");
    EXPECT_EQ(source.text("Info"), ""); // not carried over from the old language
}

TEST(MessageTexts, LongFixedTextsAreKeptWholeAndReported) {
    TempDir dir;
    const std::string longText(45, 'x');
    dir.write("Deutsch.lng", "[Deutsch]\r\nNoKelo=" + longText + "\r\nAdrOK=OK\r\n");
    MessageTexts texts;
    texts.load(LanguageFile(dir.path(), "Deutsch"));
    EXPECT_EQ(texts.text("NoKelo"), longText);
    EXPECT_EQ(texts.overlongFixedKeys(), std::vector<std::string>{"NoKelo"});
}

// The shipped files: both carry every key the program reads, and no short message outgrows
// the old field size.
TEST(ShippedLanguageFiles, CarryEveryKeyInBothLanguages) {
    const std::string dir = std::string(GETKELO_DATA_DIR) + "/";
    std::vector<std::string> keys(MessageTexts::kFixedKeys.begin(), MessageTexts::kFixedKeys.end());
    for (const auto& k : MessageTexts::variableKeys())
        keys.push_back(k);
    for (const char* k : {"DateiMnu",   "CheckBus",    "SetEdit",     "AllAdr247",
                          "Connection", "Help",        "Kalibration", "Ubernehmen",
                          "Setpoint0",  "Total0",      "frmDir",      "Info",
                          "rgpModus0",  "rgpModus1",   "Address",     "SerialNo",
                          "TypeCode",   "Range",       "Unit",        "Gas",
                          "FlowEdit",   "Temp.",       "Total",       "PressureSettingsFormTitle",
                          "lblInfo",    "txtSetpoint", "btnSave",     "Alarm17Label2"})
        keys.push_back(k);
    for (int i = 0; i <= 9; ++i)
        keys.push_back("ModusBox" + std::to_string(i));
    for (int i = 0; i <= 3; ++i)
        keys.push_back("DauerBox" + std::to_string(i));
    for (const char* lang : {"Deutsch", "English"}) {
        LanguageTextSource source(dir, lang);
        for (const auto& k : keys)
            EXPECT_NE(source.text(k), "") << lang << ": " << k;
        EXPECT_TRUE(source.messages().overlongFixedKeys().empty()) << lang;
        EXPECT_EQ(access((dir + lang + ".bmp").c_str(), R_OK), 0) << lang;
        EXPECT_EQ(access((dir + lang + ".hlp").c_str(), R_OK), 0) << lang;
    }
    EXPECT_EQ(LanguageTextSource(dir, "Deutsch").text("CheckBus"), "Suche kel-o");
    EXPECT_EQ(LanguageTextSource(dir, "Deutsch").text("Total0"), "Total löschen");
}
