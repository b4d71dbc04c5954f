#pragma once
#include "graphs/graph_host.h"

namespace getkelo {

class Console;

// The graphs' view of the operator console.
class ConsoleGraphHost final : public GraphHost {
  public:
    explicit ConsoleGraphHost(Console& console) : console_(console) {}

    DeviceList& devices() override;
    TTesra* connection() override;
    TickDoneFlag& tickDone() override;
    Clock& clock() override;
    std::string graphDirectory() override;
    void sendSetpoint(float value) override;

  private:
    Console& console_;
};

} // namespace getkelo
