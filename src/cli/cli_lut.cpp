#include "calib/calib_data_files.h"
#include "cli/cli_app.h"
#include "cli/cli_commands.h"
#include "cli/cli_terminal_ui.h"
#include "cli/cli_transfers.h"
#include "comm/lookup_table_slot.h"
#include "comm/register_catalogue.h"
#include "console/console_settings.h"
#include "console/text_source.h"

#include <cstdlib>
#include <iostream>

namespace getkelo::cli {

int lutRead(TTesra& tesra, UiAdapter& ui, const LutReadArgs& args, std::ostream& out) {
    std::string file = args.file;
    if (file.empty()) {
        const std::string serial = tesra.ReadValue(reg::kSerialNumber);
        file = MakeDataFilePath(args.root, args.typeText, serial);
        if (file.empty()) {
            printError("lut read: no data file for serial number \"" + serial + "\" and type \"" +
                       args.typeText + "\"");
            return kExitFailure;
        }
    }
    MapTextSource texts;
    CalibDataFiles files(tesra, ui, texts);
    const std::string section = files.ReadLutToSection(file, args.slot, 0);
    if (section.empty()) return kExitFailure;
    out << section << ' ' << file << '\n';
    return kExitOk;
}

int lutWrite(TTesra& tesra, UiAdapter& ui, int slot, const std::string& section,
             const std::string& file) {
    MapTextSource texts;
    CalibDataFiles files(tesra, ui, texts);
    switch (files.WriteSectionToDevice(file, section, slot, tesra.Address)) {
    case CalibDataFiles::SectionWrite::Written:
        return kExitOk;
    case CalibDataFiles::SectionWrite::NotApplicable:
        printError("lut write: " + section + " of " + file +
                   " is not for a device (a name with \"-1\", or a file of neither \"v02\" nor "
                   "\"t03\")");
        return kExitFailure;
    default:
        return kExitFailure; // the operation has said why
    }
}

namespace {

struct LutOptions {
    int slot = 0;
    std::string file, section, type = "tesra Typ03";
};

int runLut(CliContext& context, CLI::App* read, const LutOptions& o) {
    if (!context.open()) return kExitFailure;
    if (read->parsed()) {
        TerminalUi ui("lut read");
        ConsoleSettings settings(context.iniPath(), "",
                                 std::getenv("HOME") ? std::getenv("HOME") : "");
        settings.load();
        return lutRead(context.tesra(), ui, {o.slot, o.file, o.type, dataFileRoot(settings)},
                       std::cout);
    }
    TerminalUi ui("lut write");
    return lutWrite(context.tesra(), ui, o.slot, o.section, o.file);
}

} // namespace

void addLutCommand(CliApp& app) {
    auto o = std::make_shared<LutOptions>();
    auto readCommand = std::make_shared<CLI::App*>(nullptr);
    CLI::App* lut =
        app.addCommand("lut", "lookup tables of the generations before series 4",
                       [o, readCommand](CliContext& c) { return runLut(c, *readCommand, *o); });
    lut->require_subcommand(1);
    const std::string slotRange = "lookup-table slot (-1 counts as 0)";
    CLI::App* read = lut->add_subcommand(
        "read", "a slot's table and parameters into a new LOOKUP section; prints the section "
                "and the file");
    read->add_option("--slot", o->slot, slotRange)
        ->required()
        ->option_text("K")
        ->transform(integerIn(-1, kLutMaxSlot));
    read->add_option("--file", o->file,
                     "data file (default: the device's, from its serial number\n"
                     "and [DIR] dat of the settings file)")
        ->option_text("F");
    read->add_option("--type", o->type, "device type of the default data file (tesra Typ03)")
        ->option_text("TEXT");
    *readCommand = read;
    CLI::App* write = lut->add_subcommand("write", "a LOOKUP section of a data file into a slot");
    write->add_option("--slot", o->slot, slotRange)
        ->required()
        ->option_text("K")
        ->transform(integerIn(-1, kLutMaxSlot));
    write->add_option("--section", o->section, "section of the file (LOOKUP3)")
        ->required()
        ->option_text("S");
    write->add_option("--file", o->file, "data file; its name's tag (t03, v02) decides how")
        ->required()
        ->option_text("F");
}

} // namespace getkelo::cli
