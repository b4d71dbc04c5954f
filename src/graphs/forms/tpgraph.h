#pragma once
#include "graphs/forms/graph_window.h"
#include "graphs/pressure_graph.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>

namespace getkelo {

// The pressure graph "Diagramm": pressure, its set point and the valve drive; Kp, Ki, Kd, N of
// the parameter sets; set point, steps and the two control-mode choices; step figures.
class TPGraph : public GraphWindow {
    Q_OBJECT
  public:
    TPGraph(PressureGraph& logic, UiAdapter& ui, QWidget* parent = nullptr);

    PressureGraph& logic() { return pressure_; }
    void applyLanguage(const TextSource& texts) override;

    LiveChartView* grhPressure = nullptr;
    TuningBox* parameters = nullptr;
    QLabel* lblControlSet = nullptr;
    QComboBox* cmbControlSet = nullptr;
    QPushButton* btnSave = nullptr;
    QLabel* lblSetpoint = nullptr; // the label of txtSetpoint
    QLineEdit* txtSetpoint = nullptr;
    QPushButton* btnSaveSetpoint = nullptr;
    QListWidget* SetList = nullptr;
    QComboBox* cmbPControlMode = nullptr;
    QComboBox* cmbControlMode = nullptr;
    QPushButton* btnClearGraph = nullptr;

  protected:
    void showPrepared() override;

  private:
    PressureGraph& pressure_;
    QLabel* pModeLabel_ = nullptr;
    QLabel* modeLabel_ = nullptr;
    QGroupBox* setBox_ = nullptr;
};

} // namespace getkelo
