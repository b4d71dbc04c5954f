#pragma once
#include "cli/cli_context.h"

#include <string>
#include <vector>

namespace getkelo::cli {

// One command group per file. A run function gets the arguments after the command name
// (global options already taken out), opens the bus through the context when it needs it,
// and returns the exit code (kExitOk, kExitFailure, kExitUsage). A usage function returns
// its help lines, each "  name ARGS   what it does".

int runRead(CliContext& context, const std::vector<std::string>& args);
int runWrite(CliContext& context, const std::vector<std::string>& args);
std::string readWriteUsage();

int runScan(CliContext& context, const std::vector<std::string>& args);
std::string scanUsage();

int runPoll(CliContext& context, const std::vector<std::string>& args);
std::string pollUsage();

int runLog(CliContext& context, const std::vector<std::string>& args);
std::string logUsage();

} // namespace getkelo::cli
