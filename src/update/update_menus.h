#pragma once
#include "update/update_link.h"

#include <functional>
#include <string>

namespace getkelo {

class Console;
class UiAdapter;
class FirmwareUpdate;
class UpdateDialog;

// The update's view of the console's connection. The update channel is opened from the
// settings of section "Tesra" with the update set, unless a factory says otherwise (the
// demo's in-process bus).
class ConsoleUpdateLink final : public UpdateLink {
  public:
    using ChannelFactory = std::function<TChannel(TComm&)>;
    explicit ConsoleUpdateLink(Console& console) : console_(console) {}
    void setChannelFactory(ChannelFactory f) { factory_ = std::move(f); }

    TTesra* connection() override;
    void closeConnection() override;
    void openConnection() override;
    TChannel openUpdateChannel() override;

  private:
    Console& console_;
    ChannelFactory factory_;
};

// The three entries of the menu "Datei" that open the dialog "Software Update".
class UpdateMenus {
  public:
    struct Host {
        std::function<void(bool on)> pollingTimer;
        std::function<void()> showDialog; // modal; FormActivate runs when it shows
    };
    UpdateMenus(Console& console, UiAdapter& ui, FirmwareUpdate& update, UpdateDialog& dialog,
                Host host);

    void UpdateMnuClick();      // the selected device; the device list is rebuilt afterwards
    void UpdateAllmnuClick();   // every device of the list
    void UpdateEmptymnuClick(); // a device without firmware; it ends at address 247

  private:
    bool accessGranted();
    void run(bool all);
    void afterDialog();

    Console& console_;
    UiAdapter& ui_;
    FirmwareUpdate& update_;
    UpdateDialog& dialog_;
    Host host_;
};

} // namespace getkelo
