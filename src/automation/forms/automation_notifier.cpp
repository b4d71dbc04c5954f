#include "automation/forms/automation_notifier.h"

#include "automation/automation_server.h"

namespace getkelo {

AutomationNotifier::AutomationNotifier(AutomationServer& server, std::function<bool()> busFree,
                                       QObject* parent)
    : QObject(parent), server_(server), busFree_(std::move(busFree)),
      notifier_(server.pollFd(), QSocketNotifier::Read) {
    connect(&notifier_, &QSocketNotifier::activated, this, [this] { serve(); });
    housekeeping_.setInterval(1000);
    connect(&housekeeping_, &QTimer::timeout, this, [this] { serve(); });
    housekeeping_.start();
}

void AutomationNotifier::serve() {
    // Also reached from a message box's event loop inside a tick: the timer is off there.
    if (busFree_())
        server_.serveIdle();
    else
        server_.pump();
}

} // namespace getkelo
