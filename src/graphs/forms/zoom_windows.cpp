#include "graphs/forms/zoom_windows.h"

#include "console/device_list.h"
#include "graphs/forms/tzoom.h"

namespace getkelo {

ZoomWindows::ZoomWindows(DeviceList& devices, IniFile& settings, UiAdapter& ui,
                         QWidget* windowParent, QObject* owner)
    : QObject(owner), devices_(devices), settings_(settings), ui_(ui), parent_(windowParent) {}

ZoomWindows::~ZoomWindows() {
    for (auto& [row, w] : windows_)
        if (w) delete w.data();
}

TZoom* ZoomWindows::window(int row) const {
    auto it = windows_.find(row);
    return it == windows_.end() ? nullptr : it->second.data();
}

int ZoomWindows::openCount() const {
    int n = 0;
    for (const auto& [row, w] : windows_)
        if (w) ++n;
    return n;
}

TZoom* ZoomWindows::open(int row) {
    if (row < 1 || row > devices_.count()) return nullptr;
    TZoom* z = window(row);
    if (!z) {
        z = new TZoom(settings_, ui_, parent_);
        if (texts_) z->applyLanguage(*texts_);
        windows_[row] = z;
    }
    const QString description = QString("Adr. %1   %2   %3")
                                    .arg(QString::fromStdString(devices_.cell(row, kColAddress)),
                                         QString::fromStdString(devices_.cell(row, kColSerial)),
                                         QString::fromStdString(devices_.cell(row, kColGas)));
    z->setDevice(description, devices_.record(row).unit);
    z->show();
    z->raise();
    return z;
}

void ZoomWindows::applyLanguage(const TextSource& texts) {
    texts_ = &texts;
    for (auto& [row, w] : windows_)
        if (w) w->applyLanguage(texts);
}

void ZoomWindows::showFlow(int row, const std::string& flow, const std::string& unit) {
    if (TZoom* z = window(row)) z->showFlow(flow, unit);
}

void ZoomWindows::rowRemoved(int row) {
    // The removed device's window closes; the windows of the rows below move up with them.
    std::map<int, QPointer<TZoom>> moved;
    for (auto& [r, w] : windows_) {
        if (!w) continue;
        if (r == row)
            w->close();
        else
            moved[r > row ? r - 1 : r] = w;
    }
    windows_ = std::move(moved);
}

} // namespace getkelo
