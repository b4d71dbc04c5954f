#pragma once
#include "graphs/graph_file.h"
#include "graphs/sample_window.h"
#include "graphs/setpoint_steps.h"
#include "graphs/step_response_log.h"
#include "graphs/tuning_pair.h"

#include <optional>
#include <string>
#include <vector>

namespace getkelo {

class GraphHost;
class TTesra;
class TextSource;
class UiAdapter;
struct skelo;

// What the flow graph and the pressure graph share: they follow the device selected in the
// main window, sample when the console's tick-done flag is set, keep the sliding window and
// the step-response figures, hold the working values of their tuning pairs, and save, open
// and print graphs. The pairs' working values are changed only by the operator (bar, edit)
// and by a good read from the device.
class LiveGraph {
  public:
    struct PlotStep {
        bool sampled = false;
        bool dropped = false;      // the oldest sample went out to make room
        bool prepared = false;     // another device was selected: the window started afresh
        bool stepsChanged = false; // the step-response table changed
    };

    LiveGraph(GraphHost& host, UiAdapter& ui, const TextSource& texts, GraphKind kind);
    virtual ~LiveGraph();
    LiveGraph(const LiveGraph&) = delete;
    LiveGraph& operator=(const LiveGraph&) = delete;

    // Prepares for the selected device: ranges, lists, the active set and its parameters.
    virtual void FormActivate() = 0;
    virtual void FormClose() = 0;

    // The plot step: samples only when the tick-done flag is set, and clears it.
    PlotStep TimerTimer();
    // "Graph Löschen": clears the three series and the step figures.
    void RstGraphClick();

    // "Speichern": a file in the working directory named after the device's serial number
    // and the time; its path, or "" when it could not be written (the operator was told).
    std::string SpeichernMnuClick();
    // "Öffnen": asks for a file and loads it whole; false (nothing changed) when cancelled,
    // unreadable, damaged or not a graph file of this kind (the operator was told).
    bool OeffnenMnuClick();
    bool openGraphFile(const std::string& path);
    // The header lines of a printed graph.
    std::vector<std::string> printHeaderLines() const;

    // ---- tuning pairs
    int parameterCount() const { return static_cast<int>(pairs_.size()); }
    const TuningPair& pair(int p) const { return pairs_[p]; }
    double value(int p) const { return values_[p]; }
    std::string barMoved(int p, int position);
    int editTyped(int p, const std::string& text);
    // True once after a read or write of the parameters: the bars and edits show the values.
    bool takeParametersChanged();
    int setIndex() const { return setIndex_; }

    // ---- state shown by the window
    bool prepared() const { return prepared_; }
    const SampleWindow& samples() const { return samples_; }
    const StepResponseLog& steps() const { return steps_; }
    const std::vector<SetpointStep>& setList() const { return setList_; }
    const std::string& unit() const { return unit_; }
    double fullScale() const { return fullScale_; }
    // The measured value as text with the unit ("FlowEdit"), the valve drive ("PWMEdit").
    const std::string& measuredText() const { return measuredText_; }
    const std::string& valveText() const { return valveText_; }

  protected:
    // The selected row (0 when the list is empty) and the connection addressed to it (null
    // when there is none).
    int selectedRow() const;
    TTesra* addressed(int row);
    // A sample of the device in this row; none when its values are not numbers this time.
    virtual std::optional<Sample> takeSample(int row) = 0;
    virtual TuningInForce tuningInForce() const = 0;
    // Called by FormActivate: starts afresh when the selected device is another one.
    void beginPrepare(int row);
    std::string text(const std::string& key, const std::string& fallback) const;

    GraphHost& host_;
    UiAdapter& ui_;
    const TextSource& texts_;
    GraphKind kind_;
    std::vector<TuningPair> pairs_;
    std::vector<double> values_;
    int setIndex_ = 0;
    bool parametersChanged_ = false;
    std::vector<SetpointStep> setList_;
    std::string unit_;
    double fullScale_ = 0;
    bool prepared_ = false;
    uint8_t preparedAddress_ = 0;
    std::string preparedSerial_;
    std::string measuredText_, valveText_;
    SampleWindow samples_;
    StepResponseLog steps_;
};

} // namespace getkelo
