#pragma once
#include <string>

namespace getkelo {

// Where the console's automation socket lives: $XDG_RUNTIME_DIR/<name>/console.sock, or
// <settingsDir>/console.sock when there is no runtime folder. <name> is the program's folder
// name ("getkelo", "getkelo-demo" for the demo bus).
std::string automationSocketPath(const std::string& settingsDir,
                                 const std::string& name = "getkelo");

// Makes the socket's folder when missing and leaves it 0700; false with a reason when the
// folder cannot be made or belongs to another user.
bool prepareSocketFolder(const std::string& socketPath, std::string& error);

} // namespace getkelo
