#pragma once
#include "base/clock.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "console/device_list.h"
#include "fake_console_view.h"
#include "register_peer.h"

#include <gtest/gtest.h>

#include <memory>

namespace getkelo::test {

// One device at address 5 behind a RegisterPeer, selected in a one-row device list.
class OneDeviceTest : public ::testing::Test {
  protected:
    OneDeviceTest() : comm(clock) {
        auto p = std::make_unique<RegisterPeer>(5);
        peer = p.get();
        tesra = std::make_unique<TTesra>(comm, comm.AttachTransport(std::move(p)));
        tesra->DelayMs = 0;
        list.appendRow();
        list.setSelectedRow(1);
        list.record(1).address = 5;
    }

    VirtualClock clock;
    TComm comm;
    RegisterPeer* peer = nullptr;
    std::unique_ptr<TTesra> tesra;
    DeviceList list;
    FakeConsoleView view;
};

} // namespace getkelo::test
