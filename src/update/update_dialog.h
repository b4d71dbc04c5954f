#pragma once
#include "update/firmware_list.h"
#include "update/firmware_update.h"

#include <functional>
#include <string>
#include <vector>

namespace getkelo {

class DeviceList;
class UpdateLink;

// The logic of the dialog "Software Update": the firmware list of the update directory, the
// labels, the status memo and the runs of its two "Update" buttons. The form shows `state()`.
class UpdateDialog final : public UpdateView {
  public:
    struct State {
        std::vector<FirmwareEntry> table;
        std::string currentFirmware; // "Aktuelle Firmware:", or "Keine Firmware gefunden!"
        bool updateEnabled = false;
        bool infoVisible = false; // the eight info lines for a device without firmware
        std::vector<std::string> memo;
        std::string addressLabel, serialLabel, firmwareLabel;
        bool closeEnabled = true;
        int progress = 0, progressMax = 100;
    };

    UpdateDialog(FirmwareUpdate& update, UpdateLink& link, const TextSource& texts);

    bool updateAll = false; // every device of the list, one after the other
    const State& state() const { return state_; }
    // Called while the image streams, so the window repaints (it takes no input meanwhile).
    std::function<void()> onRepaint;

    // FormActivate: labels from the update unit, the firmware list of the folder.
    void FormActivate(const std::string& updateFolder);
    // Express "Update": the last listed file. Expert "Update": the file of list row `row`
    // (1-based). `devices` gives the addresses in update-all mode.
    bool btnExUpdateClick(const DeviceList* devices);
    bool btnExpertUpdateClick(int row, const DeviceList* devices);

    // UpdateView
    void addMemoLine(const std::string& line) override;
    void setProgress(int position, int maximum) override;
    void repaint() override;

  private:
    bool run(const FirmwareEntry& entry, const std::string& version, const DeviceList* devices);

    FirmwareUpdate& update_;
    UpdateLink& link_;
    const TextSource& texts_;
    State state_;
};

} // namespace getkelo
