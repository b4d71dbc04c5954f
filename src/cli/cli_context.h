#pragma once
#include "comm/bus_trace.h"
#include "comm/register_descriptor.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"

#include <memory>
#include <string>
#include <vector>

namespace getkelo::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; // the bus or the device said no
inline constexpr int kExitUsage = 2;   // the command line is wrong

// Prints "getkelo-cli: <message>" as one line on stderr.
void printError(const std::string& message);
// What a failed transaction result means, for messages ("no answer").
std::string transactionFailure(int result);

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
    bool trace = false; // decoded bus traffic on stderr
};

// The opened bus of one run.
class CliContext {
  public:
    CliOptions options;

    // Opens the channel from the options; false after printing a one-line error.
    bool open();
    TComm& comm() { return *comm_; }
    TTesra& tesra() { return *tesra_; }
    int address() const { return options.addresses.front(); }
    // The settings file the run reads ([Tesra] connection and "ComPath_<n>" keys).
    std::string iniPath() const;
    // What the options point at, for messages ("TCP 127.0.0.1:5020", "COM2", "/dev/pts/3").
    std::string linkText() const;

  private:
    // Declared first, so it outlives the connection and writes the last frames at the end.
    std::unique_ptr<BusTrace> trace_;
    std::unique_ptr<TComm> comm_;
    std::unique_ptr<TTesra> tesra_;
};

// "1,2,5" and ranges "3-7", each address in [min, max]; order kept, duplicates dropped.
bool parseAddressList(const std::string& text, std::vector<int>& out, std::string& error,
                      int min = 1, int max = 247);
// Integer in [min, max], decimal or 0x hex, nothing else in the text.
bool parseIntArg(const std::string& text, long long min, long long max, long long& out);
// "0x00060213", or REGISTER:TYPE with TYPE one of float, int16, uint16, uint32, byte,
// text8, text50 ("0x0006:float").
bool parseDescriptor(const std::string& text, RegisterDescriptor& out, std::string& error);
// "host:port" with a dotted IPv4 host (or "localhost").
bool parseHostPort(const std::string& text, std::string& host, uint16_t& port);

} // namespace getkelo::cli
