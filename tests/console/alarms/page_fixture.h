#pragma once
#include "base/clock.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "console/alarms/alarm_page.h"
#include "console/alarms/signal_page.h"
#include "console/device_list.h"
#include "fake_console_view.h"
#include "register_peer.h"

#include <gtest/gtest.h>

#include <memory>

namespace getkelo::test {

// One device at address 5 behind a RegisterPeer, selected in a one-row device list.
class PageTest : public ::testing::Test {
  protected:
    PageTest() : comm(clock) {
        auto p = std::make_unique<RegisterPeer>(5);
        peer = p.get();
        tesra = std::make_unique<TTesra>(comm, comm.AttachTransport(std::move(p)));
        tesra->DelayMs = 0;
        list.appendRow();
        list.setSelectedRow(1);
    }
    void device(uint32_t functions, const std::string& software = "2.3.01") {
        skelo& r = list.record(1);
        r.address = 5;
        r.functions = functions;
        r.softwareVersion = software;
        r.unit = "ln/min";
    }

    VirtualClock clock;
    TComm comm;
    RegisterPeer* peer = nullptr;
    std::unique_ptr<TTesra> tesra;
    DeviceList list;
    FakeConsoleView view;
    AlarmPage::Connection connection = [this] { return tesra.get(); };
};

} // namespace getkelo::test
