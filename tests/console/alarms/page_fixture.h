#pragma once
#include "console/alarms/alarm_page.h"
#include "console/alarms/signal_page.h"
#include "one_device_fixture.h"

namespace getkelo::test {

// The alarm and signal pages' device: its functions, software and unit.
class PageTest : public OneDeviceTest {
  protected:
    void device(uint32_t functions, const std::string& software = "2.3.01") {
        skelo& r = list.record(1);
        r.address = 5;
        r.functions = functions;
        r.softwareVersion = software;
        r.unit = "ln/min";
    }

    AlarmPage::Connection connection = [this] { return tesra.get(); };
};

} // namespace getkelo::test
