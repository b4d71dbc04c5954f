#include "cli/cli_app.h"
#include "cli/cli_commands.h"
#include "comm/register_catalogue.h"
#include "console/text_source.h"
#include "update/firmware_update.h"
#include "update/update_link.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

namespace getkelo::cli {
namespace {

struct FirmwareOptions {
    std::string file;
    bool bootloader = false; // a device without firmware: it answers only in its bootloader
};

// The command's connection as the update closes and reopens it.
class CliUpdateLink final : public UpdateLink {
  public:
    explicit CliUpdateLink(CliContext& context) : context_(context) {}
    TTesra* connection() override { return context_.connection(); }
    void closeConnection() override { context_.closeConnection(); }
    void openConnection() override { context_.reopenConnection(); }
    TChannel openUpdateChannel() override { return context_.openUpdateChannel(); }

  private:
    CliContext& context_;
};

// The status lines and the image's progress on standard error, a line per tenth.
class StderrView final : public UpdateView {
  public:
    void addMemoLine(const std::string& line) override {
        if (!line.empty()) std::cerr << "firmware: " << line << '\n';
    }
    void setProgress(int position, int maximum) override {
        const int tenth = maximum > 0 ? static_cast<int>(int64_t(position) * 10 / maximum) : 0;
        if (position > 0 && tenth != lastTenth_)
            std::cerr << "firmware: " << position << " of " << maximum << " bytes\n";
        lastTenth_ = tenth;
    }

  private:
    int lastTenth_ = -1;
};

std::string versionText(int word) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%02d", word >> 8, (word >> 4) & 0xF, word & 0xF);
    return text;
}

int runFirmware(CliContext& context, const FirmwareOptions& o) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(o.file, ec);
    if (ec || size == 0) {
        // Nothing that could not be sent may reset a device into its bootloader.
        printError("firmware: " + o.file + (ec ? ": " + ec.message() : ": the file is empty"));
        return kExitFailure;
    }
    if (!context.open()) return kExitFailure;
    MapTextSource texts({{"infoUpdateSend", "sending the image"},
                         {"infoUpdateSet", "device found, applying the version settings"}});
    CliUpdateLink link(context);
    StderrView view;
    FirmwareUpdate update(context.comm(), link, texts);
    update.setView(&view);
    // --trace: the update's steps too.
    if (context.options.trace)
        update.setTrace(
            [](const std::string& t) { std::cerr << "firmware: trace: " << t << '\n'; });
    else
        update.setTrace(updateTraceFromEnvironment());
    update.targetAddress = o.bootloader ? 0 : context.address();
    if (!update.UpdateT4(o.file, std::to_string(size))) {
        printError("firmware: the update of " +
                   (o.bootloader ? std::string("the device in its bootloader")
                                 : "address " + std::to_string(context.address())) +
                   " on " + context.linkText() + " failed");
        return kExitFailure;
    }
    TTesra* tesra = context.connection();
    const std::string software = tesra ? tesra->ReadValue(reg::kSoftwareVersion) : "Fehler";
    if (software == "Fehler") {
        printError("firmware: address " + std::to_string(update.targetAddress) +
                   " does not tell its software version after the update");
        return kExitFailure;
    }
    std::cout << "address " << update.targetAddress << " software "
              << versionText(std::atoi(software.c_str())) << '\n';
    return kExitOk;
}

} // namespace

void addFirmwareCommand(CliApp& app) {
    auto o = std::make_shared<FirmwareOptions>();
    CLI::App* firmware = app.addCommand("firmware", "update the firmware of a series-4 device",
                                        [o](CliContext& c) { return runFirmware(c, *o); });
    firmware->add_option("FILE", o->file, "the firmware file (*.rfw), sent unchanged")->required();
    firmware->add_flag("--bootloader", o->bootloader,
                       "the device has no working firmware and answers only in its bootloader; "
                       "it ends at address 247");
}

} // namespace getkelo::cli
