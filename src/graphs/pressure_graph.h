#pragma once
#include "graphs/live_graph.h"
#include "graphs/pid_tuning.h"

#include <array>
#include <string>

namespace getkelo {

// The logic of the pressure graph "Diagramm" (TPGraph): plots the controlled pressure, its
// set point and the valve drive, steps the pressure set point through fractions of the
// pressure range, switches the control modes, and reads and writes Kp, Ki, Kd, N of the
// pressure controller's parameter sets. While it is open every register read of the
// connection is followed by a 75 ms pause (100 ms again after it closed).
class PressureGraph final : public LiveGraph {
  public:
    static constexpr int kOpenDelayMs = 75;
    static constexpr int kClosedDelayMs = 100;

    PressureGraph(GraphHost& host, UiAdapter& ui, const TextSource& texts);

    void FormActivate() override;
    void FormClose() override;

    // Parameters of the set selected in the device (the active one); false when the device
    // does not answer (working values unchanged).
    bool ReadPID();
    bool WritePID();
    // "Übernehmen" of the parameters.
    void btnSaveClick();
    // "cmbControlSet": another set becomes the active one and is read.
    void cmbControlSetChange(int index);
    // "Übernehmen" beside "Sollwert": a set point above the range's integer part is replaced
    // by the range. Gives the set point read back for the edit ("" when it was not written).
    std::string btnSaveSetpointClick(const std::string& entered);
    void SetListClick(int index);
    // The pressure control mode 0..2 (register 0x5F0E).
    void cmbPControlModeSelect(int index);
    // The device control mode: entry 0 gives 5, any other 6.
    void cmbControlModeSelect(int index);
    int pressureMode() const { return pressureMode_; }
    int controlMode() const { return controlMode_; }
    const std::string& rangeText() const { return rangeText_; }

  private:
    std::optional<Sample> takeSample(int row) override;
    TuningInForce tuningInForce() const override;
    bool selectSet(TTesra& t);
    void releaseSet(TTesra& t);

    std::string version_;
    int pressureMode_ = -1;
    int controlMode_ = 0;
    std::string rangeText_;
};

} // namespace getkelo
