#pragma once
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

namespace getkelo {

class AutomationServer;

// Serves the automation socket from the desktop program's event loop: the server's poll
// descriptor wakes a socket notifier between ticks, and a slow timer lets requests that no
// tick took (a dialog stopped the polling) get their "busy" answer.
class AutomationNotifier : public QObject {
    Q_OBJECT
  public:
    explicit AutomationNotifier(AutomationServer& server, QObject* parent = nullptr);

  private:
    AutomationServer& server_;
    QSocketNotifier notifier_;
    QTimer housekeeping_;
};

} // namespace getkelo
