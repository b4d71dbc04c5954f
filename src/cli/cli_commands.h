#pragma once

namespace getkelo::cli {

class CliApp;

// One file per command; each adds its subcommand, options and run function to the app.
void addReadCommand(CliApp& app);
void addWriteCommand(CliApp& app);
void addScanCommand(CliApp& app);
void addPollCommand(CliApp& app);
void addLogCommand(CliApp& app);
void addLutCommand(CliApp& app);
void addEepromCommand(CliApp& app);
void addSetupCommand(CliApp& app);
void addServeCommand(CliApp& app);
void addFirmwareCommand(CliApp& app);

// In the order the help lists them.
inline constexpr void (*kCommands[])(CliApp&) = {
    addReadCommand, addWriteCommand,  addScanCommand,     addPollCommand,  addLogCommand,
    addLutCommand,  addEepromCommand, addFirmwareCommand, addSetupCommand, addServeCommand,
};

} // namespace getkelo::cli
