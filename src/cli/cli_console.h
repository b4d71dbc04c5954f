#pragma once
#include <string>

namespace getkelo::cli {

class CliContext;

// read, write and poll with --console: the same output and exit codes as on the bus itself,
// but through the running console's automation socket, which holds the port.
int consoleRead(CliContext& context, const std::string& descriptor);
int consoleWrite(CliContext& context, const std::string& descriptor, const std::string& text,
                 bool broadcast, const std::string& accessCode);
int consolePoll(CliContext& context, bool all, int to, long long count, double intervalS);

} // namespace getkelo::cli
