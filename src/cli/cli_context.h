#pragma once
#include "comm/bus_trace.h"
#include "comm/descriptor_text.h"
#include "comm/register_descriptor.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace getkelo {
class Clock;
struct DeviceIdentity;
} // namespace getkelo

namespace getkelo::cli {

class StopSignals;

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; // the bus or the device said no
inline constexpr int kExitUsage = 2;   // the command line is wrong

// Prints "getkelo-cli: <message>" as one line on stderr.
void printError(const std::string& message);
// What a failed transaction means, for messages ("no answer"; an exception answer by its
// code and meaning: "refused by the device: exception 02, illegal data address").
std::string transactionFailure(int result, uint8_t exception = 0);

// Options every command shares: where the bus is and how to talk to it.
struct CliOptions {
    enum class Link { Settings, Tcp, Com, Path };
    Link link = Link::Settings; // no option: the connection the console would use
    std::string tcpHost;        // dotted IPv4
    uint16_t tcpPort = 0;
    int comNumber = 1;
    std::string portPath;
    std::string configDir;         // folder of "GetKelo.ini"; empty: the user's default
    std::vector<int> addresses{1}; // read/write use the first
    int retryLimit = 100;
    int delayMs = 100;
    bool trace = false;     // decoded bus traffic on stderr
    bool console = false;   // through a running console's automation socket
    std::string socketPath; // that socket; empty: the console's default path
};

// The opened bus of one run.
class CliContext {
  public:
    CliOptions options;

    // Opens the channel from the options; false after printing a one-line error.
    bool open();
    // The clock of the run's TComm when it is not the system clock (before open()).
    void useClock(Clock& clock);
    // Hands the opened connection over (to a console that owns it from now on).
    std::unique_ptr<TTesra> takeConnection() { return std::move(tesra_); }
    // The automation socket of --console and serve.
    std::string socketPath() const;
    TComm& comm() { return *comm_; }
    TTesra& tesra() { return *tesra_; }
    int address() const { return options.addresses.front(); }
    // The settings file the run reads ([Tesra] connection and "ComPath_<n>" keys).
    std::string iniPath() const;
    // What the run talks to, for messages ("TCP 127.0.0.1:5020", "COM2 (/dev/ttyS1)",
    // "/dev/pts/3"); without a bus option also where that came from.
    std::string linkText() const;

    // The command probes devices, which unlocks them: from here on SIGINT and SIGTERM only ask
    // it to stop (stopSignal()), and the end of the run locks every device again (relock()).
    void beginProbing();
    // 0, or the signal that asked the command to stop.
    int stopSignal() const;
    // The console's scan of from..to, ended early by a stop signal. `probing` hears of each
    // address before it is probed.
    void probeRange(int from, int to, const std::function<void(const DeviceIdentity&)>& found,
                    const std::function<void(int address)>& probing = {});
    // Waits ms on the bus clock, less when a stop signal comes.
    void sleepMs(int64_t ms);
    // After a command that probed: one broadcast of 0 to the access-code register, as the
    // console's exit does. CliApp calls it when the command returns.
    void relock();

    // The firmware update: the connection is closed while the same line talks to a
    // bootloader with the update set, then opened again as open() made it.
    void closeConnection() { tesra_.reset(); }
    bool reopenConnection();
    TChannel openUpdateChannel();
    TTesra* connection() { return tesra_.get(); }

    CliContext();
    ~CliContext();

  private:
    // Declared first, so it outlives the connection and writes the last frames at the end.
    std::unique_ptr<BusTrace> trace_;
    std::unique_ptr<TComm> comm_;
    std::unique_ptr<TTesra> tesra_;
    std::unique_ptr<StopSignals> signals_;
    std::string storedLink_; // the connection of the settings file, once read
    TConnectionSettings settings_;
};

// "1,2,5" and ranges "3-7", each address in [min, max]; order kept, duplicates dropped.
bool parseAddressList(const std::string& text, std::vector<int>& out, std::string& error,
                      int min = 1, int max = 247);
// Integer in [min, max], decimal or 0x hex, nothing else in the text.
bool parseIntArg(const std::string& text, long long min, long long max, long long& out);
// "host:port" with a dotted IPv4 host (or "localhost").
bool parseHostPort(const std::string& text, std::string& host, uint16_t& port);

} // namespace getkelo::cli
