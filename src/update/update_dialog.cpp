#include "update/update_dialog.h"

#include "comm/register_descriptor.h"
#include "comm/ttesra.h"
#include "console/device_list.h"
#include "console/text_source.h"
#include "update/update_link.h"

namespace getkelo {
namespace {
constexpr RegisterDescriptor kSerialReg = 0x001E0243;
}

UpdateDialog::UpdateDialog(FirmwareUpdate& update, UpdateLink& link, const TextSource& texts)
    : update_(update), link_(link), texts_(texts) {
    update_.setView(this);
}

void UpdateDialog::FormActivate(const std::string& updateFolder) {
    state_ = State{};
    state_.firmwareLabel = update_.targetFirmware;
    state_.serialLabel = std::to_string(update_.targetSerial);
    state_.addressLabel = std::to_string(update_.targetAddress);
    state_.table = listFirmwareFiles(updateFolder);
    state_.updateEnabled = !state_.table.empty();
    if (state_.table.empty()) {
        state_.currentFirmware = "Keine Firmware gefunden!";
    } else {
        // A name too short for a version part still names a firmware: show the name then.
        const std::string& last = state_.table.back().path;
        state_.currentFirmware = firmwareVersionPart(last);
        if (state_.currentFirmware.empty()) state_.currentFirmware = firmwareListName(last);
    }
    state_.infoVisible = update_.targetAddress == 0;
    if (!state_.infoVisible) {
        if (TTesra* t = link_.connection())
            t->Address = static_cast<uint8_t>(update_.targetAddress);
    }
}

bool UpdateDialog::btnExUpdateClick(const DeviceList* devices) {
    if (state_.table.empty()) return false;
    const FirmwareEntry& entry = state_.table.back();
    return run(entry, firmwareVersionPart(entry.path), devices);
}

bool UpdateDialog::btnExpertUpdateClick(int row, const DeviceList* devices) {
    if (row < 1 || row > static_cast<int>(state_.table.size())) return false;
    const FirmwareEntry& entry = state_.table[static_cast<size_t>(row - 1)];
    return run(entry, firmwareVersionPart(firmwareListName(entry.path)), devices);
}

bool UpdateDialog::run(const FirmwareEntry& entry, const std::string& version,
                       const DeviceList* devices) {
    state_.closeEnabled = false;
    bool ok = true;
    if (updateAll && devices) {
        for (int row = 1;; ++row) {
            const int address =
                row <= devices->count() ? std::atoi(devices->cell(row, 0).c_str()) : 0;
            state_.addressLabel = std::to_string(address);
            if (address == 0) break; // the end of the list: every device is done
            addMemoLine(texts_.text("infoUpdateDevice") + ": " + std::to_string(address));
            update_.targetAddress = address;
            if (TTesra* t = link_.connection()) {
                t->Address = static_cast<uint8_t>(address);
                state_.serialLabel = t->ReadValue(kSerialReg);
            }
            if (!update_.UpdateT4(entry.path, entry.sizeText)) {
                ok = false;
                break;
            }
        }
    } else {
        state_.memo.clear();
        addMemoLine(texts_.text("infoUpdateStart") + ": " + version);
        ok = update_.UpdateT4(entry.path, entry.sizeText);
        state_.addressLabel = std::to_string(update_.targetAddress);
        // The device runs what was sent: the label must not show the replaced version.
        if (ok) state_.firmwareLabel = version.empty() ? firmwareListName(entry.path) : version;
    }
    addMemoLine(texts_.text(ok ? "infoUpdateEnd" : "infoUpdateError"));
    state_.closeEnabled = true;
    return ok;
}

void UpdateDialog::addMemoLine(const std::string& line) {
    state_.memo.push_back(line);
}

void UpdateDialog::setProgress(int position, int maximum) {
    state_.progress = position;
    state_.progressMax = maximum;
}

void UpdateDialog::repaint() {
    if (onRepaint) onRepaint();
}

} // namespace getkelo
