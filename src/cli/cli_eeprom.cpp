#include "base/integer_parse.h"
#include "cli/cli_app.h"
#include "cli/cli_commands.h"
#include "cli/cli_terminal_ui.h"
#include "cli/cli_transfers.h"
#include "comm/register_catalogue.h"
#include "comm/service_image.h"
#include "comm/value_codec.h"
#include "config/eeprom_image_file.h"
#include "config/konfig1.h"
#include "console/software_generation.h"
#include "console/text_source.h"

#include <climits>
#include <iostream>

namespace getkelo::cli {
namespace {

// The service protocol belongs to the first generation; others would take it for noise.
bool firstGeneration(TTesra& tesra, const std::string& command) {
    const std::string word = tesra.ReadValue(reg::kSoftwareVersion);
    if (word == "Fehler") {
        printError(command + ": no answer from address " + std::to_string(tesra.Address));
        return false;
    }
    long long w = 0;
    if (!parseIntegerIn(word, 0, 0xFFFF, w)) {
        printError(command + ": the device at address " + std::to_string(tesra.Address) +
                   " reports no software version");
        return false;
    }
    const std::string version = versionText(static_cast<uint16_t>(w));
    if (softwareMajor(version) < 2) return true;
    printError(command + ": the device at address " + std::to_string(tesra.Address) +
               " has software " + version + ": no EEPROM image (first generation only)");
    return false;
}

} // namespace

int eepromRead(TTesra& tesra, UiAdapter& ui, const std::string& file) {
    if (!firstGeneration(tesra, "eeprom read")) return kExitFailure;
    MapTextSource texts;
    Konfig1 konfig(ui, texts);
    konfig.setConnection(&tesra);
    if (!konfig.readFromDevice() || !konfig.saveFile(file)) return kExitFailure;
    return kExitOk;
}

int eepromWrite(TTesra& tesra, UiAdapter& ui, const std::string& file) {
    std::vector<uint8_t> image;
    std::string error;
    if (!loadImageFile(file, image, error)) {
        printError("eeprom write: " + file + ": Wrong file format (" + error + ")");
        return kExitFailure;
    }
    if (!firstGeneration(tesra, "eeprom write")) return kExitFailure;
    if (tesra.WriteServiceImage(image, ui) != 0) {
        ui.progressFinish("Fehler beim EEPROM schreiben!");
        printError("eeprom write: the device did not confirm the image");
        return kExitFailure;
    }
    return kExitOk;
}

void addEepromCommand(CliApp& app) {
    auto file = std::make_shared<std::string>();
    auto readCommand = std::make_shared<CLI::App*>(nullptr);
    CLI::App* eeprom = app.addCommand("eeprom", "EEPROM image of a first-generation device",
                                      [file, readCommand](CliContext& c) {
                                          if (!c.open()) return kExitFailure;
                                          if ((*readCommand)->parsed()) {
                                              TerminalUi ui("eeprom read");
                                              return eepromRead(c.tesra(), ui, *file);
                                          }
                                          TerminalUi ui("eeprom write");
                                          return eepromWrite(c.tesra(), ui, *file);
                                      });
    eeprom->require_subcommand(1);
    CLI::App* read = eeprom->add_subcommand("read", "the image into a text file (INI syntax)");
    read->add_option("FILE", *file, "image file to write")->required()->option_text(" ");
    *readCommand = read;
    CLI::App* write = eeprom->add_subcommand("write", "an image file into the device (about 10 s)");
    write->add_option("FILE", *file, "image file written by eeprom read or the OEM dialog")
        ->required()
        ->option_text(" ");
}

} // namespace getkelo::cli
