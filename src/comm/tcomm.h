#pragma once
#include "comm/bus_observer.h"
#include "comm/transport.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace getkelo {

class Clock;
class UiAdapter;

// Where a channel is opened from. Address "COM" (anywhere in the text) means a serial port
// numbered Port; any other text is a dotted IPv4 address of a TCP gateway on Port.
struct TConnectionSettings {
    char Address[16] = "COM";
    uint16_t Port = 1;
};

// A channel as callers keep it: Handle -1 when opening failed, 0 after closing.
struct TChannel {
    bool IsTcp = false;
    int Handle = 0;
};

// What a channel's link is doing: open; dropped and tried again at the next exchange (at
// most once a second); or closed (the open failed, or the channel was closed).
enum class ChannelState { Open, Reconnecting, Closed };

// Early end of an answer wait: called with the bytes so far; true ends the wait (used for
// Modbus exception answers, which are shorter than every expected answer).
using AnswerComplete = std::function<bool(const uint8_t* data, int length)>;

// The channel primitives and the settings they share. One instance for the whole run.
class TComm {
  public:
    explicit TComm(Clock& clock, UiAdapter* ui = nullptr);
    ~TComm();
    TComm(const TComm&) = delete;
    TComm& operator=(const TComm&) = delete;

    int RetryLimit = 100;
    std::string IniPath;
    std::string LanguageName = "Deutsch";
    std::vector<std::string> KnownSections;
    // Why the last open failed, for programs without message boxes (empty after success).
    std::string LastOpenError;
    // The open-error boxes in the program's language: called with a language key and the
    // German text. Unset, the German text is shown.
    std::function<std::string(const std::string& key, const std::string& german)> MessageText;

    void InitSettings(const std::string& iniPath);
    void SaveLanguage();
    TConnectionSettings ReadConnectionSettings(const std::string& section);

    TChannel OpenChannel(const TConnectionSettings& settings);
    TChannel OpenUpdateChannel(const TConnectionSettings& settings);
    void CloseChannel(TChannel& channel);

    // One piece of a byte stream.
    int SendBytes(const uint8_t* buffer, int length, bool isTcp, int handle);
    // One whole request: the traffic monitor ties the answer and result to it.
    int SendFrame(const uint8_t* buffer, int length, bool isTcp, int handle);
    int ReceiveBytes(uint8_t* buffer, int length, bool isTcp, int handle);
    // Discards pending input; true when there was any.
    bool PurgeInput(bool isTcp, int handle);
    int ReadBytes(uint8_t* buffer, int count, bool isTcp, int handle,
                  const AnswerComplete& complete = {});
    // Reads until the text contains terminator: 0 found, 1 gave up. The buffer holds
    // `capacity` bytes and is always NUL-terminated; reaching capacity - 1 bytes without the
    // terminator gives up with 1.
    int ReadUntil(char* buffer, int capacity, const std::string& terminator, bool isTcp,
                  int handle);
    // 0 complete (or nothing awaited), 1 nothing came / channel not open, 2 incomplete.
    // Pending input is discarded before the request goes out, so every exchange starts clean.
    int SendReceive(uint8_t* buffer, int requestLength, int responseLength, bool isTcp, int handle,
                    const AnswerComplete& complete = {});

    static uint32_t ParseIPv4(const std::string& text);

    // COM n to a device path: the settings key [Tesra] "ComPath_<n>" when set, else
    // /dev/ttyS<n-1>. SetComPortPath overrides both for this run (command line).
    std::string ComPortPath(int comNumber) const;
    void SetComPortPath(int comNumber, const std::string& path);

    // Makes any transport a channel (the in-process simulator, test peers).
    TChannel AttachTransport(std::unique_ptr<Transport> transport);
    Transport* transportOf(int handle) const;
    ChannelState channelState(int handle) const;

    Clock& clock() const { return clock_; }
    UiAdapter* ui() const { return ui_; }
    void setUi(UiAdapter* ui) { ui_ = ui; }

    // Sees every frame sent and received (the traffic monitor, --trace); nullptr: none.
    void setBusObserver(BusObserver* observer) { observer_ = observer; }
    BusObserver* busObserver() const { return observer_; }

  private:
    TChannel openSerial(const TConnectionSettings& s, bool updateSet);
    TChannel openTcp(const TConnectionSettings& s);
    void showOpenError(const std::string& key, const std::string& text, const std::string& title);
    // Hands a frame to the observer, if there is one.
    void report(FrameDirection direction, FrameUnit unit, const void* data, int length);

    Clock& clock_;
    UiAdapter* ui_;
    BusObserver* observer_ = nullptr;
    std::map<int, std::unique_ptr<Transport>> transports_;
    std::map<int, std::string> comPathOverrides_;
    int nextHandle_ = 3;
};

} // namespace getkelo
