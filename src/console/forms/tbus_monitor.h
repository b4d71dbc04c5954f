#pragma once
#include "comm/bus_monitor.h"

#include <QCheckBox>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>

#include <functional>
#include <string>

namespace getkelo {

class BusMonitorModel;
class TComm;
class TextSource;
class UiAdapter;

// The bus traffic monitor ("?" / "Busmonitor"): every frame on the wire, decoded, while the
// window is open. Not modal: the console keeps polling beside it.
class TBusMonitor : public QDialog {
    Q_OBJECT
  public:
    TBusMonitor(TComm& comm, UiAdapter& ui, std::function<std::string()> saveFolder,
                QWidget* parent = nullptr);
    ~TBusMonitor() override;

    BusMonitor& monitor() { return monitor_; }
    BusMonitorModel* model() const { return model_; }
    // Column headers and the other texts the component marks do not reach.
    void applyLanguage(const TextSource& texts);
    // Takes the frames recorded since the last refresh (the window's timer calls it).
    void refresh();

    QTableView* table = nullptr;
    QPlainTextEdit* details = nullptr; // the selected frame's whole line
    QPushButton* pauseButton = nullptr;
    QSpinBox* slaveFilter = nullptr;
    QCheckBox* failuresOnly = nullptr;
    QPushButton* saveButton = nullptr;
    QPushButton* clearButton = nullptr;

  protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

  private:
    UiAdapter& ui_;
    std::function<std::string()> saveFolder_;
    BusMonitor monitor_;
    BusMonitorModel* model_ = nullptr;
    QTimer timer_;
    std::string saveErrorText_;
};

} // namespace getkelo
