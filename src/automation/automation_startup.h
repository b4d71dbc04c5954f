#pragma once
#include <string>

namespace getkelo {

class AutomationServer;
class TextSource;
class UiAdapter;

// Opens the desktop console's automation socket. When another console serves it already,
// or it cannot be opened, the operator is told and this console runs on without it.
bool startAutomationSocket(AutomationServer& server, const std::string& path, UiAdapter& ui,
                           const TextSource& texts);

} // namespace getkelo
