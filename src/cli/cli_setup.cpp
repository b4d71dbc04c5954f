#include "cli/cli_app.h"
#include "cli/cli_commands.h"
#include "cli/cli_terminal_ui.h"
#include "cli/cli_transfers.h"
#include "cli/printable_text.h"
#include "comm/register_catalogue.h"
#include "comm/value_codec.h"
#include "config/setup_diff.h"
#include "config/setup_export.h"
#include "config/setup_file_path.h"
#include "console/text_source.h"

#include <algorithm>
#include <iostream>

namespace getkelo::cli {
namespace {

// Setup files belong to series 4; the older generations keep theirs in the data file.
bool series4(TTesra& tesra, const std::string& command) {
    const std::string word = tesra.ReadValue(reg::kSoftwareVersion);
    if (word == "Fehler") {
        printError(command + ": no answer from address " + std::to_string(tesra.Address));
        return false;
    }
    const std::string version = versionText(static_cast<uint16_t>(std::stoul(word)));
    if (setupKindOf(version) == SetupKind::Series4) return true;
    printError(command + ": the device at address " + std::to_string(tesra.Address) +
               " has software " + version + ": no setup file (series 4 only)");
    return false;
}

std::string shown(const std::string& value, bool missing) {
    return missing ? "(missing)" : printableText(value);
}

} // namespace

void printSetupDifferences(const std::vector<SetupDifference>& diffs, std::ostream& out) {
    size_t keyWidth = 0, valueWidth = 0;
    for (const SetupDifference& d : diffs) {
        keyWidth = std::max(keyWidth, d.key.size());
        valueWidth = std::max(valueWidth, shown(d.before, d.missingBefore).size());
    }
    std::string section;
    for (const SetupDifference& d : diffs) {
        if (d.section != section) out << "[" << (section = d.section) << "]\n";
        const std::string before = shown(d.before, d.missingBefore);
        out << "  " << d.key << std::string(keyWidth - d.key.size() + 2, ' ') << before
            << std::string(valueWidth - before.size() + 2, ' ') << shown(d.after, d.missingAfter)
            << "\n";
    }
}

int setupExport(TTesra& tesra, UiAdapter& ui, const std::string& file) {
    if (!series4(tesra, "setup export")) return kExitFailure;
    MapTextSource texts;
    DeviceSetup setup;
    if (!SetupExport(tesra, ui, texts)
             .WriteSetupFile(file, "Reading setup...", "Setup", "", &setup))
        return kExitFailure;
    return setup.failedReads == 0 ? kExitOk : kExitFailure;
}

int setupDiffFiles(const std::string& before, const std::string& after, std::ostream& out) {
    std::vector<SetupSection> a, b;
    std::string error;
    if (!loadSetupFile(before, a, error) || !loadSetupFile(after, b, error)) {
        printError("setup diff: " + error);
        return kExitUsage;
    }
    const auto diffs = diffSetups(a, b);
    printSetupDifferences(diffs, out);
    return diffs.empty() ? kExitOk : kExitFailure;
}

int setupDiffDevice(TTesra& tesra, UiAdapter& ui, const std::string& file, std::ostream& out) {
    std::vector<SetupSection> saved;
    std::string error;
    if (!loadSetupFile(file, saved, error)) {
        printError("setup diff: " + error);
        return kExitUsage;
    }
    if (!series4(tesra, "setup diff")) return kExitUsage;
    MapTextSource texts;
    const DeviceSetup now = SetupExport(tesra, ui, texts).read("Setup", "Reading setup...");
    ui.progressFinish("");
    const auto diffs = diffSetups(saved, now.sections);
    printSetupDifferences(diffs, out);
    return diffs.empty() ? kExitOk : kExitFailure;
}

void addSetupCommand(CliApp& app) {
    auto files = std::make_shared<std::vector<std::string>>();
    auto exportCommand = std::make_shared<CLI::App*>(nullptr);
    CLI::App* setup =
        app.addCommand("setup", "series-4 setup files: export, and compare with a file or a device",
                       [files, exportCommand](CliContext& c) {
                           if ((*exportCommand)->parsed()) {
                               if (!c.open()) return kExitFailure;
                               TerminalUi ui("setup export");
                               return setupExport(c.tesra(), ui, files->front());
                           }
                           if (files->size() == 2)
                               return setupDiffFiles((*files)[0], (*files)[1], std::cout);
                           if (!c.open()) return kExitUsage;
                           TerminalUi ui("setup diff");
                           return setupDiffDevice(c.tesra(), ui, files->front(), std::cout);
                       });
    setup->require_subcommand(1);
    CLI::App* exp =
        setup->add_subcommand("export", "the device's setup into FILE (kept keys stay)");
    exp->add_option("FILE", *files, "setup file to write")
        ->required()
        ->expected(1)
        ->option_text(" ");
    *exportCommand = exp;
    CLI::App* diff = setup->add_subcommand(
        "diff", "the keys that differ, by section, old and new value (\"Date\" and \"Time\" do\n"
                "not count): FILE1 FILE2, or FILE against the device at --address;\n"
                "exit 0 when equal, 1 when different, 2 when a file cannot be read");
    diff->add_option("FILE", *files, "FILE1 [FILE2]")->required()->expected(1, 2)->option_text(" ");
}

} // namespace getkelo::cli
