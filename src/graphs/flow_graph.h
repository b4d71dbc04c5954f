#pragma once
#include "graphs/live_graph.h"
#include "graphs/pid_access.h"

#include <string>

namespace getkelo {

// The logic of the flow graph "Diagramm" (TGraph): plots the flow, set point and valve drive
// of the selected device, steps its set point through fractions of full scale, and reads,
// edits and writes its controller parameter sets.
class FlowGraph final : public LiveGraph {
  public:
    FlowGraph(GraphHost& host, UiAdapter& ui, const TextSource& texts);

    void FormActivate() override;
    // Gives the connection its pause back.
    void FormClose() override;

    PidGeneration generation() const { return generation_; }
    const std::string& version() const { return version_; }
    PidValues pidValues() const;

    // "PIDBox": another set becomes the active one and its parameters are read; the set
    // that is already active costs no exchange.
    void PIDBoxChange(int index);
    // "Übernehmen": writes the working values into the active set.
    void ChangePIDClick();
    // "SetList": sends the step's set point.
    void SetListChange(int index);
    // "PWMEdit" left or Enter: the valve drive, 0..100 %.
    void PWMEditExit(const std::string& text);
    // "PauseEdit": the pause after every register read (0..255 ms).
    void PauseEditChange(const std::string& text);
    int pause() const { return pause_; }
    // "GModusBox": entries 0..8 give the control modes 0, 1, 2, 10, 20, 21, 22, 23, 30.
    void GModusBoxSelect(int index);
    int modeIndex() const { return modeIndex_; }
    // "PressureEdit": the device's pressure with its unit ("" when it has none).
    const std::string& pressureText() const { return pressureText_; }

  private:
    std::optional<Sample> takeSample(int row) override;
    TuningInForce tuningInForce() const override;
    bool setpointIsPressure(TTesra& t) const;
    void readPressure(TTesra& t);

    PidGeneration generation_ = PidGeneration::None;
    std::string version_;
    int pause_ = 100;
    int savedDelay_ = -1; // the connection's pause before the window opened
    int modeIndex_ = -1;
    bool hasPressure_ = false;
    std::string pressureText_;
    int sampleCount_ = 0;
};

} // namespace getkelo
