#include "automation/forms/automation_notifier.h"

#include "automation/automation_server.h"

namespace getkelo {

AutomationNotifier::AutomationNotifier(AutomationServer& server, QObject* parent)
    : QObject(parent), server_(server), notifier_(server.pollFd(), QSocketNotifier::Read) {
    connect(&notifier_, &QSocketNotifier::activated, this, [this] { server_.pump(); });
    housekeeping_.setInterval(1000);
    connect(&housekeeping_, &QTimer::timeout, this, [this] { server_.pump(); });
    housekeeping_.start();
}

} // namespace getkelo
