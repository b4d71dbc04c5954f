#pragma once
#include "console/console_settings.h"
#include "console/forms/console_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <array>

namespace getkelo {

class DataLogger;

// "Daten-Logger": the data logger's settings, its record buttons and the working directory
// button. The page edits the settings of the DataLogger it is attached to and shows its
// state; while logging runs the settings are locked.
class LoggerPage : public ConsolePageWidget {
    Q_OBJECT
  public:
    explicit LoggerPage(QWidget* parent = nullptr);

    // The logger this page drives (the page keeps its settings in step with it).
    void attach(DataLogger* logger);

    void setSettings(const LoggerSettings& s);
    LoggerSettings settings() const;
    // Start and stop fields: day, month, year, hour, minute of the time given.
    void setStartStop(const DateTime& t);
    void applyLanguage(const TextSource& texts) override;
    // Shows the logger's state: record button, "Start"/"Stop" boxes, locked controls.
    void refresh();
    // While recording: the files, the lines written and the time since the start (every tick).
    void showRecording();

    QCheckBox* SollCheck;
    QCheckBox* TotalCheck;
    QCheckBox* TempCheck;
    QCheckBox* VentilCheck;
    QLineEdit* dZeitEdit;
    std::array<QRadioButton*, 3> LogGroup{};
    QLineEdit* ZeilenEdit;
    QComboBox* DauerBox;
    QCheckBox* StartCheck;
    QCheckBox* StopCheck;
    QPushButton* LogBtn;          // "Aufzeichnen"
    QPushButton* StopBtn;         // "Anhalten"
    QPushButton* directoryButton; // "Arbeitsverzeichnis"
    QLabel* recordingInfo;        // files, lines and time while recording
    std::array<QLineEdit*, 5> startFields{};
    std::array<QLineEdit*, 5> stopFields{};

  signals:
    // Logging started or stopped (the main window locks the scope choice and the grid).
    void runningChanged(bool running);

  private:
    // Copies the controls into the logger's settings.
    void pull();
    QList<QWidget*> settingControls() const;

    DataLogger* logger_ = nullptr;
    bool wasRunning_ = false;
    QString fileText_ = "Datei:", linesText_ = "Zeilen:", timeText_ = "Laufzeit:";
};

} // namespace getkelo
