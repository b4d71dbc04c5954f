#pragma once
#include "comm/value_codec.h"
#include "config/params/page_session.h"
#include "console/text_source.h"
#include "one_device_fixture.h"
#include "ui/scripted_ui.h"

#include <algorithm>

namespace getkelo::test {

// A series-4 device with the polling timer running.
class ParamsTest : public OneDeviceTest {
  protected:
    ParamsTest() {
        version("4.3.15");
        view.timerOn = true;
    }
    void version(const std::string& v) { list.record(1).softwareVersion = v; }
    void put(RegisterDescriptor d, const std::string& text) {
        uint8_t b[64] = {};
        TextToValue(b, descType(d), text);
        for (int i = 0; i < descCount(d); ++i)
            peer->regs[descRegister(d) + i] = static_cast<uint16_t>(b[2 * i] << 8 | b[2 * i + 1]);
    }
    std::string get(RegisterDescriptor d) {
        uint8_t b[64] = {};
        for (int i = 0; i < descCount(d); ++i) {
            b[2 * i] = static_cast<uint8_t>(peer->regs[descRegister(d) + i] >> 8);
            b[2 * i + 1] = static_cast<uint8_t>(peer->regs[descRegister(d) + i]);
        }
        return ValueToText(b, descType(d));
    }
    bool written(uint16_t reg) const {
        return std::any_of(peer->writes.begin(), peer->writes.end(),
                           [&](auto& w) { return w.first == reg; });
    }

    ScriptedUi ui;
    MapTextSource texts{{{"infoAddressSlotError", "slot error"},
                         {"infoDataIndexError", "index error"},
                         {"ModusBox8", "digital"},
                         {"ModusBox9", "analog"}}};
    PageContext context{view, list, [this] { return tesra.get(); }, ui, texts};
};

} // namespace getkelo::test
