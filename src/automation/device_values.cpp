#include "automation/device_values.h"

#include "base/number_format.h"
#include "comm/ttesra.h"
#include "console/console.h"
#include "console/device_list.h"
#include "console/device_probe.h"
#include "console/software_generation.h"

namespace getkelo {

namespace {

Json oneDevice(const Console& console, int row) {
    const DeviceList& list = console.devices();
    const skelo& rec = list.record(row);
    return Json{
        {"address", rec.address},
        {"serial", list.cell(row, kColSerial)},
        {"type", list.cell(row, kColTypeCode)},
        {"gas", list.cell(row, kColGas)},
        {"range", list.cell(row, kColRange)},
        {"unit", list.cell(row, kColUnit)},
        {"total_unit", list.cell(row, kColTotalUnit)},
        {"hardware", rec.hardwareVersion},
        {"software", rec.softwareVersion},
        {"generation", static_cast<int>(softwareGeneration(rec.softwareVersion))},
        {"controller", (rec.functions & kFnController) != 0},
        {"totalizer", (rec.functions & kFnTotalizer) != 0},
        {"logged", list.marked(row, kColLogMark)},
        {"selected", row == list.selectedRow()},
    };
}

Json oneValue(const DeviceList& list, const PollTimes& times, int row) {
    const skelo& rec = list.record(row);
    Json v{{"address", rec.address}};
    const PollTimes::Mark* mark = times.find(rec.address);
    // An empty flow cell: not polled since it was found, or not in the polling scope.
    if (!mark || list.cell(row, kColFlow).empty()) {
        v["time_ms"] = nullptr;
        return v;
    }
    v["time_ms"] = mark->ms;
    if (mark->result != kResultOk) {
        v["error"] = pollErrorText(mark->result);
        return v;
    }
    v["flow"] = list.cell(row, kColFlow);
    v["unit"] = list.cell(row, kColUnit);
    v["temperature"] = list.cell(row, kColTemperature);
    if (rec.functions & kFnTotalizer) v["total"] = list.cell(row, kColTotal);
    if (rec.functions & kFnController) {
        v["setpoint"] = formatGeneral(rec.setpoint, 7);
        v["valve"] = formatFixedMax(rec.valve, 2);
    }
    return v;
}

std::vector<int> rowsOf(const DeviceList& list, const std::vector<int>& addresses) {
    std::vector<int> rows;
    if (addresses.empty()) {
        for (int r = 1; r <= list.count(); ++r)
            rows.push_back(r);
    } else {
        for (int a : addresses)
            if (int r = list.findAddress(a)) rows.push_back(r);
    }
    return rows;
}

} // namespace

Json deviceListJson(const Console& console) {
    const DeviceList& list = console.devices();
    Json devices = Json::array();
    for (int r = 1; r <= list.count(); ++r)
        devices.push_back(oneDevice(console, r));
    const LogHook* logger = console.logHook();
    return Json{{"devices", std::move(devices)},
                {"scope", console.pollAll() ? "all" : "selected"},
                {"scanning", console.scanning()},
                {"logging", logger && logger->running()}};
}

Json deviceValuesJson(const DeviceList& list, const PollTimes& times,
                      const std::vector<int>& addresses) {
    Json values = Json::array();
    for (int r : rowsOf(list, addresses))
        values.push_back(oneValue(list, times, r));
    return Json{{"devices", std::move(values)}};
}

Json tickEventJson(const DeviceList& list, const PollTimes& times, int64_t nowMs,
                   const std::vector<int>& addresses) {
    Json event = deviceValuesJson(list, times, addresses);
    event["event"] = "tick";
    event["time_ms"] = nowMs;
    return event;
}

std::vector<int> addressesField(const Json& body, const DeviceList& list) {
    std::vector<int> addresses;
    if (body.contains("address")) {
        addresses.push_back(addressField(body));
    } else if (auto all = body.find("addresses"); all != body.end()) {
        if (!all->is_array())
            throw RequestError(automation_error::kBadRequest, "\"addresses\" must be a list");
        for (const Json& a : *all)
            addresses.push_back(addressField(Json{{"address", a}}));
    }
    for (int a : addresses)
        if (!list.findAddress(a))
            throw RequestError(automation_error::kUnknownDevice,
                               "the console lists no device at address " + std::to_string(a));
    return addresses;
}

} // namespace getkelo
