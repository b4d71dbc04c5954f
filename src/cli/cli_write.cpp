#include "cli/cli_app.h"
#include "cli/cli_commands.h"

namespace getkelo::cli {
namespace {

struct WriteArgs {
    std::string descriptor;
    std::string text;
    bool broadcast = false;
};

int runWrite(CliContext& context, const WriteArgs& args) {
    RegisterDescriptor descriptor;
    std::string error;
    parseDescriptor(args.descriptor, descriptor, error, DescriptorUse::Write);
    if (!context.open()) return kExitFailure;
    int8_t mode = args.broadcast ? kWriteBroadcast : kWriteAddressed;
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
        ->check(descriptorText(DescriptorUse::Write));
    write->add_option("TEXT", args->text, "the value")->required()->option_text(" ");
    write->add_flag("--broadcast", args->broadcast, "to address 0, no answer awaited");
}

} // namespace getkelo::cli
