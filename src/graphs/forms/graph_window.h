#pragma once
#include "graphs/live_graph.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace getkelo {

class LiveChartView;
class StepResponseTable;
class TextSource;
class TuningBox;
class UiAdapter;

// What the two graph windows share: the chart with its live fields below, the step-response
// table, the "Datei" menu (save, open, print, PDF, picture, close), and the 5 ms timer that
// looks for the console's tick-done flag. Handlers that talk to the device hold the timer.
class GraphWindow : public QMainWindow {
    Q_OBJECT
  public:
    GraphWindow(LiveGraph& logic, UiAdapter& ui, const QString& objectName, QWidget* parent);
    ~GraphWindow() override;

    LiveChartView* chartView() const { return chart_; }
    StepResponseTable* stepTable() const { return steps_; }
    QTimer* timer() { return &timer_; }
    QLineEdit* measuredEdit() const { return measured_; }
    QLineEdit* valveEdit() const { return valve_; }

    // One plot step (what the timer runs).
    void plotStep();
    // Prepares for the selected device and shows it (what showing the window does).
    void FormActivate();

    virtual void applyLanguage(const TextSource& texts);
    // The page the printer gets: header lines, then the chart.
    void printTo(QPrinter& printer);
    bool savePicture(const QString& path);

    QAction* SpeichernMnu = nullptr;
    QAction* OeffnenMnu = nullptr;
    QAction* DruckenMnu = nullptr;
    QAction* PdfMnu = nullptr;
    QAction* BildMnu = nullptr;
    QAction* BeendenMnu = nullptr;
    QPushButton* ClearButton = nullptr;

  protected:
    // Stops the plot timer while a handler talks to the device, restarts it after.
    class Busy {
      public:
        explicit Busy(GraphWindow& w);
        ~Busy();

      private:
        GraphWindow& w_;
        bool wasActive_;
    };

    QVBoxLayout* panel() const { return panel_; }
    QLabel* measuredLabel() const { return measuredLabel_; }
    QHBoxLayout* fields() const { return fields_; }
    TuningBox* tuning() const { return tuning_; }
    void setTuningBox(TuningBox* box);
    // After preparing: lists, ranges, choices.
    virtual void showPrepared() = 0;
    // Every plot step: the live fields.
    virtual void showLive();
    // How the step table shows a P, I or D of this window's tuning.
    virtual QString tuningText(int which, double value) const;
    void showParameters();
    void showSteps();

    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

    LiveGraph& logic_;
    UiAdapter& ui_;

  private:
    void buildMenu();
    void print(bool toPdf);
    void savePictureClick();

    LiveChartView* chart_;
    StepResponseTable* steps_;
    QVBoxLayout* panel_;
    QHBoxLayout* fields_;
    QLineEdit* measured_;
    QLineEdit* valve_;
    TuningBox* tuning_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QGroupBox* stepBox_ = nullptr;
    QLabel* measuredLabel_ = nullptr;
    QLabel* valveLabel_ = nullptr;
    QTimer timer_;
    bool inStep_ = false;
};

} // namespace getkelo
