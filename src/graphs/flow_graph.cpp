#include "graphs/flow_graph.h"

#include "base/clock.h"
#include "base/number_format.h"
#include "comm/ttesra.h"
#include "console/control_mode.h"
#include "console/device_list.h"
#include "console/software_generation.h"
#include "graphs/graph_host.h"
#include "graphs/graph_registers.h"
#include "graphs/pid_tuning.h"
#include "ui/ui_adapter.h"

#include <algorithm>

namespace getkelo {

namespace {
constexpr int kSetChangeWaitMs = 200;
constexpr int kPressureEvery = 10; // samples between two pressure reads

std::string trimmedText(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0'))
        s.pop_back();
    return s;
}
} // namespace

FlowGraph::FlowGraph(GraphHost& host, UiAdapter& ui, const TextSource& texts)
    : LiveGraph(host, ui, texts, GraphKind::Flow) {
    values_.assign(kPidParams, 0.0);
    for (const TuningPair& p : flowTuningPairs(""))
        pairs_.push_back(p);
}

PidValues FlowGraph::pidValues() const {
    PidValues v{};
    std::copy(values_.begin(), values_.end(), v.begin());
    return v;
}

void FlowGraph::FormActivate() {
    const int row = selectedRow();
    TTesra* t = addressed(row);
    if (!t) return;
    beginPrepare(row);
    const DeviceList& list = host_.devices();
    const skelo& rec = list.record(row);
    version_ = rec.softwareVersion;
    generation_ = pidGeneration(version_);
    pairs_.clear();
    for (const TuningPair& p : flowTuningPairs(version_))
        pairs_.push_back(p);

    if (savedDelay_ < 0) savedDelay_ = t->DelayMs;
    t->DelayMs = static_cast<uint8_t>(pause_);

    const std::string range = t->ReadValue(reg::kRange);
    double fs;
    fullScale_ =
        range != "Fehler" && parseNumber(range, fs) ? fs : textToDouble(list.cell(row, kColRange));
    unit_ = rec.unit.empty() ? list.cell(row, kColUnit) : rec.unit;
    setList_ = flowSetpointSteps(fullScale_, unit_);
    steps_.setFullScale(fullScale_);

    const std::string mode = t->ReadValue(reg::kControlMode);
    modeIndex_ = -1;
    if (mode != "Fehler")
        for (int i = 0; i < kGraphModeEntries; ++i)
            if (graphModeCode(i) == static_cast<int>(textToDouble(mode))) modeIndex_ = i;

    hasPressure_ = hasPressureControl(version_, rec.functions);
    pressureText_.clear();
    if (hasPressure_) readPressure(*t);

    if (generation_ == PidGeneration::None) return; // neither below nor above "4.0.0"
    if (auto set = readActiveSet(*t, version_)) setIndex_ = std::clamp(*set, 0, 4);
    PidValues v = pidValues();
    if (ReadPID(*t, version_, v)) {
        std::copy(v.begin(), v.end(), values_.begin());
        parametersChanged_ = true;
    } else {
        ui_.beep();
    }
}

void FlowGraph::FormClose() {
    if (TTesra* t = host_.connection(); t && savedDelay_ >= 0)
        t->DelayMs = static_cast<uint8_t>(savedDelay_);
    savedDelay_ = -1;
    prepared_ = false;
}

void FlowGraph::readPressure(TTesra& t) {
    const std::string p = t.ReadValue(reg::kPressure);
    if (p == "Fehler") return;
    pressureText_ = p + " " + trimmedText(t.ReadValue(reg::kPressureUnitText));
}

std::optional<Sample> FlowGraph::takeSample(int row) {
    const DeviceList& list = host_.devices();
    const skelo& rec = list.record(row);
    const std::string& cell = list.cell(row, kColFlow);
    measuredText_ = cell + " " + unit_;
    if (hasPressure_ && ++sampleCount_ % kPressureEvery == 0)
        if (TTesra* t = addressed(row)) readPressure(*t);
    double flow;
    // A failed poll leaves an error text in the cell: no sample rather than a false zero.
    if (!parseNumber(cell, flow)) return std::nullopt;
    Sample s;
    s.tMs = host_.clock().nowMs();
    s.y = {flow, rec.setpoint, rec.valve};
    return s;
}

TuningInForce FlowGraph::tuningInForce() const {
    return {values_[kPidP], values_[kPidI], values_[kPidD]};
}

void FlowGraph::PIDBoxChange(int index) {
    if (generation_ == PidGeneration::None || index == setIndex_ || index < 0) return;
    TTesra* t = addressed(selectedRow());
    if (!t) return;
    if (generation_ == PidGeneration::Third) {
        const std::string slot = t->ReadValue(reg::kLutSelect);
        if (slot != "Fehler") t->WriteValue(reg::kSlotSelector, slot, kWriteAddressed);
    }
    setIndex_ = index;
    t->WriteValue(activeSetRegister(generation_), std::to_string(index), kWriteAddressed);
    host_.clock().sleepMs(kSetChangeWaitMs);
    PidValues v = pidValues();
    if (!ReadPID(*t, version_, v)) {
        ui_.beep();
        return;
    }
    std::copy(v.begin(), v.end(), values_.begin());
    parametersChanged_ = true;
}

void FlowGraph::ChangePIDClick() {
    TTesra* t = addressed(selectedRow());
    if (!t || generation_ == PidGeneration::None) return;
    if (!WritePID(*t, version_, pidValues())) ui_.beep();
    parametersChanged_ = true;
}

bool FlowGraph::setpointIsPressure(TTesra& t) const {
    auto nonZero = [&t](RegisterDescriptor d) { return textToDouble(t.ReadValue(d)) != 0; };
    return (version_ >= "2.2.0" && version_ < "4.0.0" && nonZero(reg::kConfigKeep)) ||
           (version_ > "3.9.9" && nonZero(reg::kSlotDynamic));
}

void FlowGraph::SetListChange(int index) {
    if (index < 0 || index >= static_cast<int>(setList_.size())) return;
    const std::optional<double> fraction = setList_[index].fraction;
    TTesra* t = addressed(selectedRow());
    if (!fraction || !t) return;
    double value = *fraction * fullScale_;
    if (setpointIsPressure(*t)) {
        // The fraction applies to 0.8333333 of the pressure range, related back to full scale.
        double range;
        const std::string text = t->ReadValue(graphreg::kSlotFlowRange);
        if (text == "Fehler" || !parseNumber(text, range) || range <= 0) {
            ui_.beep();
            return;
        }
        const double pressure = *fraction * kPressureSetpointShare * range;
        value = pressure / range * fullScale_;
    }
    host_.sendSetpoint(static_cast<float>(value));
}

void FlowGraph::PWMEditExit(const std::string& text) {
    TTesra* t = addressed(selectedRow());
    if (!t) return;
    const double v = std::clamp(static_cast<double>(TextToFloat(text)), 0.0, 100.0);
    if (t->WriteValue(reg::kValve, formatGeneral(v, 7), kWriteAddressed) != 0) ui_.beep();
}

void FlowGraph::PauseEditChange(const std::string& text) {
    long long n;
    if (!parseInteger(text, n)) return;
    pause_ = static_cast<int>(std::clamp(n, 0LL, 255LL));
    if (TTesra* t = host_.connection(); t && savedDelay_ >= 0)
        t->DelayMs = static_cast<uint8_t>(pause_);
}

void FlowGraph::GModusBoxSelect(int index) {
    TTesra* t = addressed(selectedRow());
    if (!t || index < 0 || index >= kGraphModeEntries) return;
    modeIndex_ = index;
    if (t->WriteValue(reg::kControlMode, std::to_string(graphModeCode(index)), kWriteAddressed) !=
        0)
        ui_.beep();
    FormActivate();
}

} // namespace getkelo
