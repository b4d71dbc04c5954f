#pragma once
#include "comm/tcomm.h"
#include "update/firmware_list.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace getkelo {

class Clock;
class TTesra;
class TextSource;
class UpdateLink;

// What an update shows while it runs: the operator's status memo and progress bar. The
// defaults show nothing (the command line shows the progress only).
class UpdateView {
  public:
    virtual ~UpdateView() = default;
    virtual void addMemoLine(const std::string& line) { (void)line; }
    virtual void setProgress(int position, int maximum) {
        (void)position;
        (void)maximum;
    }
    // Repaints the window during the image (no second bus action can start meanwhile).
    virtual void repaint() {}
};

// The trace texts of an update go to a debug log that is off unless switched on.
using UpdateTrace = std::function<void(const std::string&)>;
// A trace on standard error when the environment has GETKELO_TRACE containing "update".
UpdateTrace updateTraceFromEnvironment();

// The firmware update of series-4 devices: puts the device at the target address into its
// bootloader, streams a firmware file to it, starts the new firmware, finds the device on
// the bus again and applies the settings that depend on the new software version.
class FirmwareUpdate {
  public:
    static constexpr int kPacketSize = 4096;

    FirmwareUpdate(TComm& comm, UpdateLink& link, const TextSource& texts);

    // The update unit's state, shared by the menu entries and the dialog.
    int targetAddress = 0; // 0 = a device without firmware (answers only in its bootloader)
    int targetSerial = 0;
    std::string targetFirmware;
    bool updateChannelOpen() const { return channel_.Handle > 0; }
    std::string bootloaderVersion() const { return bootloaderVersion_; }

    void setView(UpdateView* view) { view_ = view; }
    void setTrace(UpdateTrace trace) { trace_ = std::move(trace); }

    // The whole update of the device at the target address. The file is read whole before
    // the device is touched; an empty or unreadable one ends it there.
    bool UpdateT4(const std::string& path, const std::string& sizeText);
    // Streams the image to the open update channel: 1 sent, 2 failed.
    int SendUpdateT4(const uint8_t* image, int length, int packetSize);
    // Version-dependent settings after an update; false when they could not all be written.
    static bool ApplyVersionSettings(TTesra& tesra, Clock& clock);

  private:
    enum class Wait { Found, Error, Nothing };
    void trace(const std::string& text) const;
    void memo(const std::string& line) const;
    // One read of up to 20 bytes appended to the answer; waits a little when none came.
    bool poll(std::string& answer, int waitMs);
    int writeWhole(const uint8_t* data, int length);
    bool wakeBootloader();
    bool requestUpdate();
    bool awaitWord(const char* word, int polls, int waitMs);
    bool fail();
    bool restoreConsole();

    TComm& comm_;
    Clock& clock_;
    UpdateLink& link_;
    const TextSource& texts_;
    UpdateView defaultView_;
    UpdateView* view_ = &defaultView_;
    UpdateTrace trace_;
    TChannel channel_{false, 0};
    bool consoleClosed_ = false;
    std::string bootloaderVersion_;
};

} // namespace getkelo
