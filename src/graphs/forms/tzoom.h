#pragma once
#include "graphs/zoom_limits.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>

namespace getkelo {

class IniFile;
class TextSource;
class UiAdapter;

// The zoom window "Zoom": one device's flow in large type, green inside its limits and dark
// red outside, with the menus "Grenzwerte" ("Hoch", "Tief") and "Alarm" ("Akustisch").
class TZoom : public QMainWindow {
    Q_OBJECT
  public:
    TZoom(IniFile& settings, UiAdapter& ui, QWidget* parent = nullptr);

    // The device it shows (a line under the value) and its unit for the limit prompts.
    void setDevice(const QString& description, const std::string& unit);
    // A good poll of its device.
    void showFlow(const std::string& flow, const std::string& unit);
    void applyLanguage(const TextSource& texts);
    const ZoomLimits& limits() const { return limits_; }

    QLabel* FlowLabel = nullptr;
    QAction* Hoch = nullptr;
    QAction* Tief = nullptr;
    QAction* Akustisch = nullptr;

  protected:
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    void showLimits();
    void fitText();

    ZoomLimits limits_;
    UiAdapter& ui_;
    std::string unit_;
    QLabel* device_ = nullptr;
    QLabel* limitsLine_ = nullptr;
    QMenu* limitsMenu_ = nullptr;
    QMenu* alarmMenu_ = nullptr;
};

} // namespace getkelo
