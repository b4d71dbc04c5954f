#pragma once
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <functional>

namespace getkelo {

class AutomationServer;

// Serves the automation socket from the desktop program's event loop: the server's poll
// descriptor wakes a socket notifier between ticks, where requests for the bus run at once
// while the polling timer runs (no dialog holds the bus); a slow timer lets requests that
// waited too long for a dialog get their "busy" answer.
class AutomationNotifier : public QObject {
    Q_OBJECT
  public:
    // busFree: true while the console's polling timer runs.
    AutomationNotifier(AutomationServer& server, std::function<bool()> busFree,
                       QObject* parent = nullptr);

  private:
    void serve();

    AutomationServer& server_;
    std::function<bool()> busFree_;
    QSocketNotifier notifier_;
    QTimer housekeeping_;
};

} // namespace getkelo
