#include "cli/cli_app.h"
#include "cli/cli_commands.h"
#include "cli/value_text.h"

namespace getkelo::cli {
namespace {

struct WriteArgs {
    std::string descriptor;
    std::string text;
    bool broadcast = false;
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
    if (!context.open()) return kExitFailure;
    TTesra& tesra = context.tesra();
    int8_t mode = args.broadcast ? kWriteBroadcast : kWriteAddressed;
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
}

} // namespace getkelo::cli
