#include "graphs/pressure_graph.h"

#include "base/clock.h"
#include "base/number_format.h"
#include "comm/ttesra.h"
#include "console/device_list.h"
#include "graphs/graph_host.h"
#include "graphs/graph_registers.h"
#include "ui/ui_adapter.h"

#include <algorithm>
#include <cmath>

namespace getkelo {

namespace {
constexpr int kSetChangeWaitMs = 200;
constexpr int kCommandWaitMs = 50;
constexpr int kEnableWaitMs = 100;

constexpr RegisterDescriptor kParamRegisters[kPressureParams] = {
    graphreg::kPressureKp, graphreg::kPressureKi, graphreg::kPressureKd, graphreg::kPressureN};

std::string trimmedText(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0'))
        s.pop_back();
    return s;
}

int integerOf(const std::string& text) {
    return static_cast<int>(textToDouble(text));
}
} // namespace

PressureGraph::PressureGraph(GraphHost& host, UiAdapter& ui, const TextSource& texts)
    : LiveGraph(host, ui, texts, GraphKind::Pressure) {
    values_.assign(kPressureParams, 0.0);
    for (const TuningPair& p : pressureTuningPairs(""))
        pairs_.push_back(p);
}

void PressureGraph::FormActivate() {
    const int row = selectedRow();
    TTesra* t = addressed(row);
    if (!t) return;
    beginPrepare(row);
    version_ = host_.devices().record(row).softwareVersion;
    pairs_.clear();
    for (const TuningPair& p : pressureTuningPairs(version_))
        pairs_.push_back(p);
    t->DelayMs = kOpenDelayMs;

    rangeText_ = t->ReadValue(graphreg::kPressureRange);
    fullScale_ = rangeText_ == "Fehler" ? 0 : textToDouble(rangeText_);
    const std::string unit = t->ReadValue(graphreg::kPressureUnitText);
    unit_ = unit == "Fehler" ? std::string() : trimmedText(unit);
    controlMode_ = integerOf(t->ReadValue(graphreg::kControlMode));
    const std::string pmode = t->ReadValue(graphreg::kPressureMode);
    pressureMode_ = pmode == "Fehler" ? -1 : integerOf(pmode);
    setList_ = pressureSetpointSteps(fullScale_, unit_, controlMode_);
    steps_.setFullScale(fullScale_);
    const std::string set = t->ReadValue(graphreg::kPressureActiveSet);
    if (set != "Fehler") setIndex_ = std::clamp(integerOf(set), 0, 4);
    if (ReadPID())
        parametersChanged_ = true;
    else
        ui_.beep();
}

void PressureGraph::FormClose() {
    if (TTesra* t = host_.connection()) t->DelayMs = kClosedDelayMs;
    prepared_ = false;
}

std::optional<Sample> PressureGraph::takeSample(int row) {
    TTesra* t = addressed(row);
    if (!t) return std::nullopt;
    const std::string set = t->ReadValue(graphreg::kPressureSetpoint);
    const std::string pressure = t->ReadValue(graphreg::kPressure);
    measuredText_ = pressure + " " + unit_;
    double p, s;
    if (!parseNumber(set, s) || !parseNumber(pressure, p)) return std::nullopt;
    Sample sample;
    sample.tMs = host_.clock().nowMs();
    sample.y = {p, s, host_.devices().record(row).valve};
    return sample;
}

TuningInForce PressureGraph::tuningInForce() const {
    return {values_[kPressKp], values_[kPressKi], values_[kPressKd]};
}

// The parameter registers show the set written to 0x5F1F of the slot in 0x5FFF.
bool PressureGraph::selectSet(TTesra& t) {
    const std::string slot = t.ReadValue(graphreg::kLutSelect);
    if (slot == "Fehler" || t.WriteValue(graphreg::kSlotSelector, slot, kWriteAddressed) != 0)
        return false;
    const std::string set = t.ReadValue(graphreg::kPressureActiveSet);
    return set != "Fehler" &&
           t.WriteValue(graphreg::kPressureSetSelector, set, kWriteAddressed) == 0;
}

void PressureGraph::releaseSet(TTesra& t) {
    t.WriteValue(graphreg::kPressureSetSelector, "0", kWriteAddressed);
    t.WriteValue(graphreg::kSlotSelector, "0", kWriteAddressed);
}

bool PressureGraph::ReadPID() {
    TTesra* t = addressed(selectedRow());
    if (!t) return false;
    bool ok = selectSet(*t);
    std::vector<double> read = values_;
    for (int p = 0; ok && p < kPressureParams; ++p) {
        const std::string text = t->ReadValue(kParamRegisters[p]);
        if (text == "Fehler")
            ok = false;
        else if (text.find("NaN") == std::string::npos)
            read[p] = textToDouble(text);
    }
    releaseSet(*t);
    if (ok) values_ = read;
    return ok;
}

bool PressureGraph::WritePID() {
    TTesra* t = addressed(selectedRow());
    if (!t) return false;
    bool ok = selectSet(*t);
    for (int p = 0; ok && p < kPressureParams; ++p) {
        const std::string text =
            p == kPressN ? std::to_string(
                               static_cast<long>(std::clamp(std::trunc(values_[p]), 0.0, 65535.0)))
                         : formatGeneral(values_[p], 7);
        ok = t->WriteValue(kParamRegisters[p], text, kWriteAddressed) == 0;
    }
    releaseSet(*t);
    return ok;
}

void PressureGraph::btnSaveClick() {
    if (!WritePID()) ui_.beep();
    parametersChanged_ = true;
}

void PressureGraph::cmbControlSetChange(int index) {
    if (index == setIndex_ || index < 0) return;
    TTesra* t = addressed(selectedRow());
    if (!t) return;
    const std::string slot = t->ReadValue(graphreg::kLutSelect);
    if (slot != "Fehler") t->WriteValue(graphreg::kSlotSelector, slot, kWriteAddressed);
    setIndex_ = index;
    t->WriteValue(graphreg::kPressureSetSelector, std::to_string(index), kWriteAddressed);
    t->WriteValue(graphreg::kPressureActiveSet, std::to_string(index), kWriteAddressed);
    host_.clock().sleepMs(kSetChangeWaitMs);
    if (ReadPID())
        parametersChanged_ = true;
    else
        ui_.beep();
}

std::string PressureGraph::btnSaveSetpointClick(const std::string& entered) {
    TTesra* t = addressed(selectedRow());
    if (!t) return "";
    const std::string range = t->ReadValue(graphreg::kPressureRange);
    if (range == "Fehler") {
        // Without the range nothing is compared, and "Fehler" is no set point.
        ui_.beep();
        return "";
    }
    const bool above = std::trunc(TextToFloat(entered)) > std::trunc(textToDouble(range));
    t->WriteValue(graphreg::kPressureSetpoint, above ? range : entered, kWriteAddressed);
    const std::string shown = t->ReadValue(graphreg::kPressureSetpoint);
    host_.clock().sleepMs(kCommandWaitMs);
    t->WriteValue(graphreg::kCommand, "1", kWriteAddressed);
    host_.clock().sleepMs(kEnableWaitMs);
    return shown;
}

void PressureGraph::SetListClick(int index) {
    if (index < 0 || index >= static_cast<int>(setList_.size())) return;
    const std::optional<double> fraction = setList_[index].fraction;
    TTesra* t = addressed(selectedRow());
    if (!fraction || !t) return;
    if (t->WriteValue(graphreg::kPressureSetpoint, formatGeneral(*fraction * fullScale_, 7),
                      kWriteAddressed) != 0)
        ui_.beep();
}

void PressureGraph::cmbPControlModeSelect(int index) {
    TTesra* t = addressed(selectedRow());
    if (!t || index < 0) return;
    pressureMode_ = index;
    t->WriteValue(graphreg::kPressureMode, std::to_string(index), kWriteAddressed);
}

void PressureGraph::cmbControlModeSelect(int index) {
    TTesra* t = addressed(selectedRow());
    if (!t) return;
    controlMode_ = index != 0 ? 6 : 5;
    t->WriteValue(graphreg::kControlMode, std::to_string(controlMode_), kWriteAddressed);
    setList_ = pressureSetpointSteps(fullScale_, unit_, controlMode_);
}

} // namespace getkelo
