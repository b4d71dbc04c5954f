#include "cli/cli_app.h"
#include "cli/cli_commands.h"
#include "cli/cli_console.h"
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
    std::string error;
    parseDescriptor(args.descriptor, descriptor, error);
    if (context.options.console)
        return consoleWrite(context, args.descriptor, args.text, args.broadcast, args.accessCode);
    if (!context.open()) return kExitFailure;
    int8_t mode = args.broadcast ? kWriteBroadcast : kWriteAddressed;
    // As the console's dialogs unlock a protected register: the code first.
    if (!args.accessCode.empty() &&
        context.tesra().WriteValue(reg::kAccessCode, args.accessCode, mode) != 0) {
        printError("unlocking address " + std::to_string(context.address()) + " failed");
        return kExitFailure;
    }
    if (context.tesra().WriteValue(descriptor, args.text, mode) != 0) {
        printError("write to address " + std::to_string(context.address()) + " failed");
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
