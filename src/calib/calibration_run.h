#pragma once
#include "calib/calib_point.h"
#include "calib/data_file_path.h"
#include "calib/measured_steps.h"
#include "calib/run_journal.h"
#include "comm/register_descriptor.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace getkelo {

class CalibDataFiles;
class Clock;
class TTesra;
class TextSource;
class UiAdapter;

// The device under test as the console knows it.
struct CalibrationDevice {
    int address = 0;
    std::string serial;
    std::string typeText = "tesra Typ03"; // folder and generation tag of its data file
    std::string typeCode;                 // as the device list shows it
    std::string gas;
    uint32_t functions = 0;
    std::string range, flowUnit; // full scale and unit as the device list shows them
};

// The settings of the pages "Einstellungen" and "Durchfluss" a run starts with.
struct RunSettings {
    std::string setTemp = "23";           // "Umg. Temperatur [°C]"
    std::string refUnit = "ln/min";       // unit of the reference flows
    std::string gas;                      // "GasBox"
    std::string calibPressure = "0";      // "Kalibrierdruck [bar ü]"
    std::string ambientPressure = "1013"; // "Atm. Druck [mbar a]"
    bool useController = false;           // "kel-o tesra Regler"
    int controllerAddress = 0;            // "ControlBox"
    int mode = 0;                         // 0 "Überprüfung", 1 "Justierung"
    int referenceAddress = 0;             // a reference meter on the bus, 0 none
    std::string operatorName, remark;
};

// Run types: who produces the flow.
enum RunType {
    kRunNoController = 1,    // the flow comes from elsewhere
    kRunOtherController = 2, // a controller on the bus produces it
    kRunSelfControlled = 3,  // the device under test is the controller
};

// One measurement of the 2 s timer.
struct RunSample {
    int64_t tMs = 0;
    bool flowRead = false;
    double flow = 0;
    bool referenceRead = false;
    double reference = 0; // in the reference unit
    double valve = 0;     // of the controller, 0 without one
    double mean = 0;      // of the flows read since the last clearing
    int count = 0;
    double referenceMean = 0;
};

// The calibration run of TKalibration: starting a run (zero point for an adjustment), the
// measuring timer with its running mean, the measuring grid, storing the run as a DATA
// section, closing. The grid never loses a step: each change goes to the run journal at
// once, the journal is offered again at the next showing, and closing asks before it
// discards steps that are not stored.
class CalibrationRun {
  public:
    CalibrationRun(TTesra& tesra, UiAdapter& ui, const TextSource& texts, CalibDataFiles& files);

    // FormShow: the device, the data file from the settings' root; offers a journal.
    void FormShow(const CalibrationDevice& device, const DataFileRoot& root);
    // BitBtn1Click: the data file moves to another folder (same name).
    void setDataFolder(const std::string& folder);
    const std::string& dataFile() const { return dataFile_; }
    const CalibrationDevice& device() const { return device_; }
    // The connection's clock (dates of what the calibration windows record).
    Clock& clock() const;
    const TextSource& texts() const { return texts_; }

    // StartBtnClick: false when the run did not start (the operator kept unsaved steps, a
    // write failed, the zero point failed).
    bool StartBtnClick(const RunSettings& settings);
    bool running() const { return running_; }
    int runType() const { return runType_; }
    // Proposed window of the table correction: "0" and the full-scale text.
    const std::string& fullScaleText() const { return fullScale_; }
    // Unit of the device's flow ("Fluss [" unit "]").
    const std::string& flowUnit() const { return flowUnit_; }
    const RunSettings& settings() const { return settings_; }

    // SollOKBtnClick: the set point to the controller; false when it did not take it.
    bool SollOKBtnClick(const std::string& setpoint);
    // TimerTimer: one measurement.
    RunSample TimerTimer();
    // RstGraphClick: the mean starts again.
    void RstGraphClick();

    // The measuring grid (49 rows).
    const std::vector<StepRow>& rows() const { return rows_; }
    // An operator edit of a cell (column 0 number, 1 reference, 2 device).
    void setCell(int row, int column, const std::string& text);
    // MessenBtnClick: the mean into the device column of the first row without one, the
    // reference meter's mean (when one is read) into its reference cell, `refNo` into its
    // number cell when empty. Returns the row, or -1 (no mean yet, grid full).
    int MessenBtnClick(int refNo);

    // DataSaveBtnClick: the grid as a DATA section ("" when nothing was stored).
    std::string DataSaveBtnClick();
    // Steps in the grid that are not stored yet.
    bool unsaved() const { return unsaved_; }

    // FormClose: asks about unsaved steps (store, discard, stay); false when the window
    // stays open. Otherwise returns the devices to normal operation.
    bool FormClose();

  private:
    std::string text(const char* key, const char* fallback,
                     const std::vector<std::string>& args = {}) const;
    bool write(int address, RegisterDescriptor d, const std::string& value);
    std::string read(int address, RegisterDescriptor d);
    bool unlock(int address);
    bool takeZero();
    bool keepJournal();
    void offerJournal();
    void restoreDevices();
    void clearMeans();
    bool askDiscard();

    TTesra& tesra_;
    UiAdapter& ui_;
    const TextSource& texts_;
    CalibDataFiles& files_;
    CalibrationDevice device_;
    std::string dataFile_;
    RunJournal journal_{""};
    RunSettings settings_;
    bool running_ = false;
    bool touched_ = false; // registers of the devices were changed
    bool journalWarned_ = false;
    int runType_ = kRunNoController;
    std::string fullScale_, flowUnit_, referenceUnit_;
    std::vector<StepRow> rows_;
    bool unsaved_ = false;
    TCalibPoint point_;
    double sum_ = 0, refSum_ = 0;
    int count_ = 0, refCount_ = 0;
    // What the devices held before the run, put back at the end ("" when unread).
    std::string dutMode_, dutTicks_, controllerMode_, controllerTicks_;
};

} // namespace getkelo
