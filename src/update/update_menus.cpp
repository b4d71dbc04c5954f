#include "update/update_menus.h"

#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "console/console.h"
#include "shell/access_prompts.h"
#include "ui/ui_adapter.h"
#include "update/firmware_update.h"
#include "update/update_dialog.h"

#include <cstdlib>
#include <vector>

namespace getkelo {

TTesra* ConsoleUpdateLink::connection() {
    return console_.connection();
}

void ConsoleUpdateLink::closeConnection() {
    console_.closeConnection();
}

void ConsoleUpdateLink::openConnection() {
    console_.reopenConnection();
}

TChannel ConsoleUpdateLink::openUpdateChannel() {
    TComm& comm = console_.comm();
    if (factory_) return factory_(comm);
    return comm.OpenUpdateChannel(comm.ReadConnectionSettings("Tesra"));
}

UpdateMenus::UpdateMenus(Console& console, UiAdapter& ui, FirmwareUpdate& update,
                         UpdateDialog& dialog, Host host)
    : console_(console), ui_(ui), update_(update), dialog_(dialog), host_(std::move(host)) {}

bool UpdateMenus::accessGranted() {
    console_.settings().reloadProductionMode();
    if (console_.settings().productionMode) return true;
    return askDailyAccessCode(ui_, console_.comm().clock());
}

void UpdateMenus::afterDialog() {
    // The dialog leaves the console without a connection when it ended with the update
    // channel open; in every case the console gets a new one with the device set.
    console_.reopenConnection();
}

void UpdateMenus::run(bool all) {
    host_.pollingTimer(false);
    if (!accessGranted()) return host_.pollingTimer(true);
    DeviceList& list = console_.devices();
    std::vector<int> addresses;
    for (int row = 1; row <= list.count(); ++row)
        addresses.push_back(std::atoi(list.cell(row, 0).c_str()));
    const int row = all ? 1 : list.selectedRow();
    const int address = row >= 1 && row <= list.count() ? addresses[row - 1] : 0;
    if (address == 0) return host_.pollingTimer(true); // no device to update
    update_.targetAddress = address;
    update_.targetSerial = std::atoi(list.cell(row, 1).c_str());
    update_.targetFirmware = list.record(row).softwareVersion;
    dialog_.updateAll = all;
    host_.showDialog();
    if (all) console_.comm().InitSettings(console_.settings().file().path());
    afterDialog();
    console_.rebuildDevices(addresses);
    host_.pollingTimer(true);
}

void UpdateMenus::UpdateMnuClick() {
    run(false);
}

void UpdateMenus::UpdateAllmnuClick() {
    run(true);
}

void UpdateMenus::UpdateEmptymnuClick() {
    host_.pollingTimer(false);
    if (accessGranted() &&
        ui_.messageBox(console_.texts().text("infoUpdateEmptyLabel"),
                       console_.texts().text("infoUpdateEmptyTitle"), MsgIcon::Question,
                       MsgButtons::OkCancel) == MsgAnswer::Ok) {
        update_.targetAddress = 0;
        update_.targetSerial = 0;
        update_.targetFirmware.clear();
        dialog_.updateAll = false;
        host_.showDialog();
        console_.comm().InitSettings(console_.settings().file().path());
        afterDialog();
    }
    host_.pollingTimer(true);
}

} // namespace getkelo
