#pragma once
#include "console/tick_hooks.h"

#include <QObject>
#include <QPointer>
#include <map>

class QWidget;

namespace getkelo {

class DeviceList;
class IniFile;
class TextSource;
class TZoom;
class UiAdapter;

// The zoom windows, one per device-list row at most, fed by the polling tick.
class ZoomWindows : public QObject, public ZoomHook {
    Q_OBJECT
  public:
    // The windows stay above windowParent; the object belongs to owner.
    ZoomWindows(DeviceList& devices, IniFile& settings, UiAdapter& ui, QWidget* windowParent,
                QObject* owner);
    ~ZoomWindows() override;

    // Shows the row's window (a new one, or the open one raised).
    TZoom* open(int row);
    TZoom* window(int row) const;
    int openCount() const;
    void applyLanguage(const TextSource& texts);

    // ZoomHook
    void showFlow(int row, const std::string& flow, const std::string& unit) override;
    void rowRemoved(int row) override;

  private:
    DeviceList& devices_;
    IniFile& settings_;
    UiAdapter& ui_;
    QWidget* parent_;
    const TextSource* texts_ = nullptr;
    std::map<int, QPointer<TZoom>> windows_;
};

} // namespace getkelo
