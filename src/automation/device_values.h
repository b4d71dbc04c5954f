#pragma once
#include "automation/automation_protocol.h"

#include <cstdint>
#include <map>
#include <vector>

namespace getkelo {

class Console;
class DeviceList;

// When each device was last polled and how it went, by address (rows move, addresses stay).
class PollTimes {
  public:
    void polled(int address, int64_t ms, int result) { marks_[address] = {ms, result}; }
    struct Mark {
        int64_t ms = 0;
        int result = 0;
    };
    const Mark* find(int address) const {
        auto it = marks_.find(address);
        return it == marks_.end() ? nullptr : &it->second;
    }

  private:
    std::map<int, Mark> marks_;
};

// What the console knows of its devices, as the answers and pushed lines show it.
// `list`: one object per device with its identity; `values`: the last polled values with the
// time they were read. Addresses empty means all devices.
Json deviceListJson(const Console& console);
Json deviceValuesJson(const DeviceList& list, const PollTimes& times,
                      const std::vector<int>& addresses = {});
// The "tick" event of a subscribed client.
Json tickEventJson(const DeviceList& list, const PollTimes& times, int64_t nowMs,
                   const std::vector<int>& addresses);

// "address" (one device) or "addresses" (several) of a request; empty = all. Throws
// RequestError(unknown_device) for an address the list does not hold.
std::vector<int> addressesField(const Json& body, const DeviceList& list);

} // namespace getkelo
