#include "cli/cli_commands.h"
#include "comm/value_codec.h"

#include <iostream>

namespace getkelo::cli {
namespace {

const char* resultText(int result) {
    switch (result) {
    case kResultNoAnswer:
        return "no answer";
    case kResultShort:
        return "incomplete answer or refused by the device";
    case kResultBadAnswer:
        return "bad answer (CRC, slave or function)";
    default:
        return "failed";
    }
}

} // namespace

std::string readWriteUsage() {
    return "  read DESCRIPTOR               print the value of one device variable\n"
           "  write DESCRIPTOR TEXT [--broadcast]\n"
           "                                write a value (--broadcast: to address 0, no answer)\n";
}

int runRead(CliContext& context, const std::vector<std::string>& argv) {
    CommandArgs args(argv);
    RegisterDescriptor descriptor;
    std::string error;
    if (!args.finish(1, 1)) {
        printError("read: " + args.error());
        return kExitUsage;
    }
    if (!parseDescriptor(args.positional()[0], descriptor, error)) {
        printError("read: " + error);
        return kExitUsage;
    }
    if (!context.open()) return kExitFailure;
    // ReadValue's own steps, so that the reason of a failure can be told.
    uint8_t buffer[kFrameBufferSize] = {};
    int result =
        context.tesra().ReadRegisters(buffer, descRegister(descriptor), descCount(descriptor));
    if (result != kResultOk) {
        std::cout << "Fehler\n";
        printError("read from address " + std::to_string(context.address()) + ": " +
                   resultText(result));
        return kExitFailure;
    }
    std::cout << ValueToText(buffer + 3, descType(descriptor)) << '\n';
    return kExitOk;
}

int runWrite(CliContext& context, const std::vector<std::string>& argv) {
    CommandArgs args(argv);
    bool broadcast = args.flag("--broadcast");
    RegisterDescriptor descriptor;
    std::string error;
    if (!args.finish(2, 2)) {
        printError("write: " + args.error());
        return kExitUsage;
    }
    if (!parseDescriptor(args.positional()[0], descriptor, error)) {
        printError("write: " + error);
        return kExitUsage;
    }
    if (!context.open()) return kExitFailure;
    int8_t mode = broadcast ? kWriteBroadcast : kWriteAddressed;
    if (context.tesra().WriteValue(descriptor, args.positional()[1], mode) != 0) {
        printError("write to address " + std::to_string(context.address()) + " failed");
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace getkelo::cli
