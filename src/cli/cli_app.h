#pragma once
#include "cli/cli_context.h"

#include <CLI/App.hpp>
#include <CLI/Validators.hpp>

#include <functional>
#include <map>
#include <set>
#include <string>

namespace getkelo::cli {

// getkelo-cli's command line: the options every command shares, and one subcommand per
// command file (cli_commands.h). Help, range checks and the one-line errors come from here.
class CliApp {
  public:
    using Run = std::function<int(CliContext&)>;

    CliApp();
    CliApp(const CliApp&) = delete;
    CliApp& operator=(const CliApp&) = delete;

    // A command: its options are added to the returned subcommand; after a clean parse `run`
    // gets the context and returns the exit code (kExitOk, kExitFailure, kExitUsage).
    CLI::App* addCommand(const std::string& name, const std::string& description, Run run);
    // The command may also run with --console (through a running console's socket).
    void allowConsole(const std::string& name) { consoleCommands_.insert(name); }
    // Text below the command list of the main help (descriptor syntax, exit codes).
    void addFooter(const std::string& text);

    // Parses and runs the command; the process's exit code.
    int run(int argc, const char* const* argv);

    CliContext& context() { return context_; }

  private:
    void addSharedOptions();

    CLI::App app_;
    CliContext context_;
    std::map<std::string, Run> runs_;
    std::set<std::string> consoleCommands_;
    std::string footer_;
};

// Integer option text: decimal or 0x hex in [min, max]. Turned into decimal text, so that the
// option's integer reads it as written ("010" is ten, not eight).
CLI::Validator integerIn(long long min, long long max);
// Seconds from 0 to max, "," or "." as decimal point.
CLI::Validator secondsUpTo(double max);
// Seconds text to a number (after secondsUpTo accepted it).
double secondsOf(const std::string& text);
// A register descriptor (parseDescriptor).
CLI::Validator descriptorText();

} // namespace getkelo::cli
