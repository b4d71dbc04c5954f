#include "cli/cli_app.h"
#include "cli/cli_commands.h"
#include "cli/cli_console.h"
#include "comm/value_codec.h"

#include <iostream>

namespace getkelo::cli {
namespace {

int runRead(CliContext& context, const std::string& descriptorText) {
    RegisterDescriptor descriptor;
    std::string error;
    parseDescriptor(descriptorText, descriptor, error);
    if (context.options.console) return consoleRead(context, descriptorText);
    if (!context.open()) return kExitFailure;
    // ReadValue's own steps, so that the reason of a failure can be told.
    uint8_t buffer[kFrameBufferSize] = {};
    int result =
        context.tesra().ReadRegisters(buffer, descRegister(descriptor), descCount(descriptor));
    if (result != kResultOk) {
        std::cout << "Fehler\n";
        printError("read from address " + std::to_string(context.address()) + " on " +
                   context.linkText() + ": " +
                   transactionFailure(result, context.tesra().LastException));
        return kExitFailure;
    }
    std::cout << ValueToText(buffer + 3, descType(descriptor)) << '\n';
    return kExitOk;
}

} // namespace

void addReadCommand(CliApp& app) {
    auto descriptor = std::make_shared<std::string>();
    CLI::App* read =
        app.addCommand("read", "print the value of one device variable",
                       [descriptor](CliContext& c) { return runRead(c, *descriptor); });
    app.allowConsole("read");
    read->add_option("DESCRIPTOR", *descriptor, "the variable (below)")
        ->required()
        ->option_text(" ")
        ->check(descriptorText());
}

} // namespace getkelo::cli
