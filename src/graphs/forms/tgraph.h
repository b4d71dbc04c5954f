#pragma once
#include "graphs/flow_graph.h"
#include "graphs/forms/graph_window.h"

#include <QComboBox>
#include <QListWidget>

namespace getkelo {

// The flow graph "Diagramm": chart, tuning box "Regler" with the parameter set, the
// step-response table, the set-point steps, valve drive, pause and control mode.
class TGraph : public GraphWindow {
    Q_OBJECT
  public:
    TGraph(FlowGraph& logic, UiAdapter& ui, QWidget* parent = nullptr);

    FlowGraph& logic() { return flow_; }
    void applyLanguage(const TextSource& texts) override;

    LiveChartView* Graph = nullptr;
    TuningBox* ReglerBox = nullptr;
    QComboBox* PIDBox = nullptr;
    QPushButton* ChangePID = nullptr;
    QListWidget* SetList = nullptr;
    QLineEdit* FlowEdit = nullptr;
    QLineEdit* PWMEdit = nullptr;
    QLineEdit* PauseEdit = nullptr;
    QLineEdit* PressureEdit = nullptr;
    QComboBox* GModusBox = nullptr;
    QPushButton* RstGraph = nullptr;

  protected:
    void showPrepared() override;
    void showLive() override;

  private:
    void fillModes(const TextSource* texts);

    FlowGraph& flow_;
    QLabel* pidLabel_ = nullptr;
    QLabel* pauseLabel_ = nullptr;
    QLabel* pressureLabel_ = nullptr;
    QLabel* modeLabel_ = nullptr;
    QGroupBox* setBox_ = nullptr;
    QStringList modeTexts_;
};

} // namespace getkelo
