#include "cli/cli_app.h"
#include "cli/cli_commands.h"
#include "cli/cli_console.h"
#include "cli/value_text.h"
#include "comm/register_catalogue.h"

namespace getkelo::cli {
namespace {

struct WriteArgs {
    std::string descriptor;
    std::string text;
    bool broadcast = false;
    std::string accessCode;
};

int runWrite(CliContext& context, const WriteArgs& args) {
    RegisterDescriptor descriptor;
    std::string error, wire;
    parseDescriptor(args.descriptor, descriptor, error);
    // Nothing is sent for a value the register's type cannot take.
    if (!checkValueText(descType(descriptor), args.text, wire, error)) {
        printError("write: " + error);
        return kExitUsage;
    }
    if (context.options.console)
        return consoleWrite(context, args.descriptor, wire, args.broadcast, args.accessCode);
    if (!context.open()) return kExitFailure;
    TTesra& tesra = context.tesra();
    int8_t mode = args.broadcast ? kWriteBroadcast : kWriteAddressed;
    // As the console's dialogs unlock a protected register: the code first.
    if (!args.accessCode.empty() &&
        tesra.WriteValue(reg::kAccessCode, args.accessCode, mode) != 0) {
        printError("unlocking address " + std::to_string(context.address()) + " on " +
                   context.linkText() + " failed");
        return kExitFailure;
    }
    if (tesra.WriteValue(descriptor, wire, mode) != 0) {
        printError("write to address " + std::to_string(context.address()) + " on " +
                   context.linkText() + ": " +
                   (tesra.LastException ? transactionFailure(kResultShort, tesra.LastException)
                                        : "no valid answer"));
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

void addWriteCommand(CliApp& app) {
    auto args = std::make_shared<WriteArgs>();
    CLI::App* write = app.addCommand("write", "write a value",
                                     [args](CliContext& c) { return runWrite(c, *args); });
    write->add_option("DESCRIPTOR", args->descriptor, "the variable (below)")
        ->required()
        ->option_text(" ")
        ->check(descriptorText());
    write->add_option("TEXT", args->text, "the value")->required()->option_text(" ");
    write->add_flag("--broadcast", args->broadcast, "to address 0, no answer awaited");
    write
        ->add_option("--access-code", args->accessCode,
                     "unlock protected registers with this code first\n"
                     "(through --console the console asks for it)")
        ->option_text("CODE");
    app.allowConsole("write");
}

} // namespace getkelo::cli
