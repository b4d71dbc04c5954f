#include "calib/calibration_run.h"

#include "base/clock.h"
#include "base/date_time.h"
#include "base/number_format.h"
#include "calib/calib_data_files.h"
#include "calib/calib_registers.h"
#include "calib/calib_texts.h"
#include "calib/section_names.h"
#include "calib/zero_point.h"
#include "comm/register_catalogue.h"
#include "comm/ttesra.h"
#include "ui/ui_adapter.h"

namespace getkelo {
namespace {

constexpr const char* kAdjustCaption = "Justierung";
constexpr const char* kCaption = "Kalibration";
constexpr int kZeroSettleMs = 5000; // a controller closing its valve before the zero point
constexpr const char* kDutTestMode = "21";
constexpr const char* kControllerMode = "1";

std::string fileName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

CalibrationRun::CalibrationRun(TTesra& tesra, UiAdapter& ui, const TextSource& texts,
                               CalibDataFiles& files)
    : tesra_(tesra), ui_(ui), texts_(texts), files_(files) {}

Clock& CalibrationRun::clock() const {
    return tesra_.comm().clock();
}

std::string CalibrationRun::text(const char* key, const char* fallback,
                                 const std::vector<std::string>& args) const {
    return calibText(texts_, key, fallback, args);
}

bool CalibrationRun::write(int address, RegisterDescriptor d, const std::string& value) {
    tesra_.Address = static_cast<uint8_t>(address);
    const bool ok = tesra_.WriteValue(d, value, kWriteAddressed) == 0;
    tesra_.Address = static_cast<uint8_t>(device_.address);
    return ok;
}

std::string CalibrationRun::read(int address, RegisterDescriptor d) {
    tesra_.Address = static_cast<uint8_t>(address);
    std::string value = tesra_.ReadValue(d);
    tesra_.Address = static_cast<uint8_t>(device_.address);
    return value;
}

bool CalibrationRun::unlock(int address) {
    return write(address, reg::kAccessCode, reg::kAccessCodeText);
}

void CalibrationRun::FormShow(const CalibrationDevice& device, const DataFileRoot& root) {
    device_ = device;
    dataFile_ = MakeDataFilePath(root, device.typeText, device.serial);
    journal_ = RunJournal(dataFile_);
    offerJournal();
}

void CalibrationRun::setDataFolder(const std::string& folder) {
    std::string f = folder;
    if (!f.empty() && f.back() != '/') f += '/';
    dataFile_ = f + fileName(dataFile_);
    RunJournal old = journal_;
    journal_ = RunJournal(dataFile_);
    if (unsaved_ && keepJournal()) old.clear(); // the steps move along with the file
}

void CalibrationRun::offerJournal() {
    std::optional<RunJournal::Contents> kept = journal_.load();
    if (!kept) return;
    const MsgAnswer a = ui_.messageBox(
        text("infoKalJournal",
             "Vom %1 %2 gibt es %3 Messschritte, die nicht gespeichert wurden. Übernehmen?",
             {kept->date, kept->time, std::to_string(kept->rows.size())}),
        kCaption, MsgIcon::Question, MsgButtons::YesNo);
    if (a != MsgAnswer::Yes) {
        journal_.clear();
        return;
    }
    rows_ = kept->rows;
    rows_.resize(kMaxSteps);
    settings_.refUnit = kept->refUnit;
    settings_.mode = kept->mode;
    flowUnit_ = kept->deviceUnit;
    unsaved_ = true;
}

bool CalibrationRun::keepJournal() {
    if (!unsaved_ || journal_.path().empty()) return false;
    const DateTime now = localDateTime(tesra_.comm().clock().nowMs());
    RunJournal::Contents c{formatShortDate(now), formatLongTime(now),
                           settings_.refUnit,    flowUnit_,
                           settings_.mode,       rows_};
    std::string why;
    if (journal_.save(c, &why)) {
        journalWarned_ = false;
        return true;
    }
    if (!journalWarned_) {
        journalWarned_ = true; // once per failure spell, not for every cell
        ui_.messageBox(text("infoKalJournalWrite",
                            "Die Messschritte konnten nicht in \"%1\" gesichert werden (%2). "
                            "Bitte bald abspeichern.",
                            {journal_.path(), why}),
                       kCaption, MsgIcon::Warning, MsgButtons::Ok);
    }
    return false;
}

bool CalibrationRun::askDiscard() {
    return ui_.messageBox(text("infoKalDiscard",
                               "Die Messschritte im Raster sind nicht gespeichert. Verwerfen?"),
                          kCaption, MsgIcon::Warning, MsgButtons::YesNo) == MsgAnswer::Yes;
}

void CalibrationRun::clearMeans() {
    sum_ = refSum_ = 0;
    count_ = refCount_ = 0;
}

bool CalibrationRun::takeZero() {
    unlock(device_.address);
    if (!write(device_.address, calreg::kSelectTicks, "1")) return false;
    if (settings_.useController) {
        SollOKBtnClick("0");
        tesra_.comm().clock().sleepMs(kZeroSettleMs);
    } else if (ui_.messageBox("Bitte Durchfluss=0 sicherstellen, danach ok anklicken!",
                              kAdjustCaption, MsgIcon::Information,
                              MsgButtons::OkCancel) != MsgAnswer::Ok) {
        return false;
    }
    return takeZeroPoint(tesra_, ui_, texts_).done;
}

bool CalibrationRun::StartBtnClick(const RunSettings& settings) {
    if (unsaved_ && !askDiscard()) return false;
    settings_ = settings;
    rows_.assign(kMaxSteps, StepRow{});
    point_.clear();
    unsaved_ = false;
    journal_.clear();
    clearMeans();
    runType_ = !settings.useController                         ? kRunNoController
               : settings.controllerAddress == device_.address ? kRunSelfControlled
                                                               : kRunOtherController;
    double range = 0;
    fullScale_ = parseNumber(read(device_.address, reg::kRange), range) ? formatGeneral(range)
                                                                        : std::string("0");
    if (!touched_) {
        dutMode_ = read(device_.address, reg::kControlMode);
        dutTicks_ = read(device_.address, calreg::kSelectTicks);
        if (settings.useController && runType_ == kRunOtherController) {
            controllerMode_ = read(settings.controllerAddress, reg::kControlMode);
            controllerTicks_ = read(settings.controllerAddress, calreg::kSelectTicks);
        }
    }
    touched_ = true;
    if (settings.mode == 1 && !takeZero()) {
        restoreDevices();
        return false;
    }
    unlock(device_.address);
    if (runType_ != kRunOtherController) {
        write(device_.address, reg::kControlMode, kDutTestMode);
        // Flow readings again after the zero point's raw values.
        write(device_.address, calreg::kSelectTicks, "0");
    }
    if (runType_ != kRunNoController) {
        unlock(settings.controllerAddress);
        write(settings.controllerAddress, reg::kControlMode, kControllerMode);
        write(settings.controllerAddress, calreg::kSelectTicks, "0");
    }
    flowUnit_ = read(device_.address, reg::kFlowUnitText);
    running_ = true;
    return true;
}

bool CalibrationRun::SollOKBtnClick(const std::string& setpoint) {
    double v = 0;
    if (!settings_.useController || !parseNumber(setpoint, v)) return false;
    return write(settings_.controllerAddress, reg::kSetpoint, formatGeneral(v));
}

RunSample CalibrationRun::TimerTimer() {
    RunSample s;
    s.tMs = tesra_.comm().clock().nowMs();
    s.flowRead = parseNumber(read(device_.address, reg::kFlow), s.flow);
    if (s.flowRead) {
        sum_ += s.flow;
        ++count_;
    }
    if (settings_.referenceAddress > 0) {
        s.referenceRead = parseNumber(read(settings_.referenceAddress, reg::kFlow), s.reference);
        if (s.referenceRead) {
            refSum_ += s.reference;
            ++refCount_;
        }
    }
    if (settings_.useController)
        parseNumber(read(settings_.controllerAddress, reg::kValve), s.valve);
    s.count = count_;
    s.mean = count_ ? sum_ / count_ : 0;
    s.referenceMean = refCount_ ? refSum_ / refCount_ : 0;
    return s;
}

void CalibrationRun::RstGraphClick() {
    clearMeans();
}

void CalibrationRun::setCell(int row, int column, const std::string& value) {
    if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column > 2) return;
    StepRow& r = rows_[row];
    (column == 0 ? r.refNo : column == 1 ? r.refFlow : r.deviceFlow) = value;
    unsaved_ = true;
    keepJournal();
}

int CalibrationRun::MessenBtnClick(int refNo) {
    if (count_ == 0) return -1;
    for (size_t i = 0; i < rows_.size(); ++i) {
        StepRow& r = rows_[i];
        if (!r.deviceFlow.empty()) continue;
        r.deviceFlow = formatGeneral(sum_ / count_, 7);
        if (refCount_ > 0) r.refFlow = formatGeneral(refSum_ / refCount_, 7);
        if (r.refNo.empty()) r.refNo = std::to_string(refNo);
        unsaved_ = true;
        keepJournal();
        return static_cast<int>(i);
    }
    return -1;
}

std::string CalibrationRun::DataSaveBtnClick() {
    const StepParse parsed = parseSteps(rows_);
    if (parsed.badRow >= 0 || parsed.steps.empty()) {
        ui_.messageBox(parsed.badRow >= 0
                           ? text("infoKalBadRow",
                                  "Zeile %1 ist unvollständig: Referenz-Nr., Referenz und "
                                  "Prüfling brauchen je eine Zahl. Nichts wurde gespeichert.",
                                  {std::to_string(parsed.badRow + 1)})
                           : text("infoKalNoSteps", "Keine Messschritte zum Speichern."),
                       kCaption, MsgIcon::Warning, MsgButtons::Ok);
        return "";
    }
    PointConditions c;
    c.setTemp = settings_.setTemp;
    c.ambientPressure = settings_.ambientPressure;
    c.calibPressure = settings_.calibPressure;
    c.refUnit = settings_.refUnit;
    c.deviceUnit = flowUnit_;
    const std::vector<MeasuredStep> sorted = fillCalibPoint(point_, parsed.steps, c);
    std::vector<std::string> info = {NextSectionName(dataFile_, "DATA"),
                                     dataFile_,
                                     settings_.operatorName,
                                     settings_.remark,
                                     "-1",
                                     settings_.gas,
                                     "-1",
                                     settings_.mode != 0 ? "Just" : "Flow",
                                     settings_.setTemp,
                                     read(device_.address, calreg::kGain)};
    if (!files_.WritePointSection(point_, info, 0)) return ""; // the journal keeps the steps
    rows_.assign(kMaxSteps, StepRow{});
    for (size_t i = 0; i < sorted.size(); ++i)
        rows_[i] = {std::to_string(sorted[i].refNo), formatGeneral(sorted[i].refFlow, 7),
                    formatGeneral(sorted[i].deviceFlow, 7)};
    unsaved_ = false;
    journal_.clear();
    return info[0];
}

bool CalibrationRun::FormClose() {
    if (unsaved_) {
        const MsgAnswer a = ui_.messageBox(
            text("infoKalCloseUnsaved",
                 "Die Messschritte im Raster sind nicht gespeichert. Jetzt abspeichern?"),
            kCaption, MsgIcon::Question, MsgButtons::YesNoCancel);
        if (a == MsgAnswer::Cancel) return false;
        if (a == MsgAnswer::Yes && DataSaveBtnClick().empty()) return false;
        if (a == MsgAnswer::No) {
            unsaved_ = false;
            journal_.clear();
        }
    }
    restoreDevices();
    running_ = false;
    return true;
}

void CalibrationRun::restoreDevices() {
    if (!touched_) return;
    touched_ = false;
    auto or1 = [](const std::string& v, const char* fallback) {
        long long n = 0;
        return parseInteger(v, n) ? v : std::string(fallback);
    };
    if (settings_.useController) {
        write(settings_.controllerAddress, reg::kSetpoint, "0");
        if (runType_ == kRunOtherController) {
            unlock(settings_.controllerAddress);
            write(settings_.controllerAddress, reg::kControlMode, or1(controllerMode_, "1"));
            write(settings_.controllerAddress, calreg::kSelectTicks, or1(controllerTicks_, "0"));
        }
    }
    unlock(device_.address);
    write(device_.address, reg::kControlMode, or1(dutMode_, "1"));
    write(device_.address, calreg::kSelectTicks, or1(dutTicks_, "0"));
    write(device_.address, reg::kSetpoint, "0");
}

} // namespace getkelo
