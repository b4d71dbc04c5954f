#include "console/alarms/alarm_page.h"

#include "base/number_format.h"
#include "comm/register_catalogue.h"
#include "comm/ttesra.h"
#include "console/alarms/signal_page.h"
#include "console/device_list.h"

namespace getkelo {
namespace {

constexpr RegisterDescriptor kDetector = reg::kDetectorMode;
constexpr RegisterDescriptor kDelay = reg::kAlarmDelay;
constexpr RegisterDescriptor kLimit = reg::kReverseFlowLimit;
constexpr uint16_t kReverseWordRegister = 0x000C;
constexpr uint16_t kAlarmWordRegister = 0x000D;

uint16_t wordAt(const uint8_t* d) {
    return static_cast<uint16_t>(d[0] << 8 | d[1]);
}

} // namespace

AlarmPage::AlarmPage(DeviceList& devices, ConsoleView& view, Connection connection)
    : devices_(devices), view_(view), connection_(std::move(connection)) {}

void AlarmPage::notify() {
    if (changed_) changed_();
}

TTesra* AlarmPage::selectDevice(uint32_t& functions) {
    TTesra* tesra = connection_ ? connection_() : nullptr;
    if (!tesra || devices_.count() == 0) return nullptr;
    const skelo& rec = devices_.record(devices_.selectedRow());
    tesra->Address = rec.address;
    functions = rec.functions;
    return tesra;
}

void AlarmPage::AlarmSheetShow() {
    view_.stopTimer();
    uint32_t functions = 0;
    TTesra* tesra = selectDevice(functions);
    state_.controllerGroupsVisible = tesra && (functions & kFnController);
    state_.reverseFlowVisible = tesra && (functions & kFnReverseFlow);
    if (state_.controllerGroupsVisible) {
        long long v = 0;
        state_.detector = parseInteger(tesra->ReadValue(kDetector), v) && v != 0;
        state_.delay = tesra->ReadValue(kDelay);
    }
    if (state_.reverseFlowVisible) state_.limit = tesra->ReadValue(kLimit);
    state_.detectorChanged = state_.delayChanged = state_.limitChanged = false;
    notify();
    view_.startTimer();
}

void AlarmPage::detectorClick(bool ticked) {
    state_.detector = ticked;
    state_.detectorChanged = true;
    notify();
}

void AlarmPage::delayChange(const std::string& text) {
    state_.delay = text;
    state_.delayChanged = true;
    notify();
}

void AlarmPage::limitChange(const std::string& text) {
    state_.limit = text;
    state_.limitChanged = true;
    notify();
}

void AlarmPage::UebernehmenClick() {
    view_.stopTimer();
    uint32_t functions = 0;
    if (TTesra* tesra = selectDevice(functions)) {
        if (state_.detectorChanged)
            tesra->WriteValue(kDetector, state_.detector ? "1" : "0", kWriteAddressed);
        if (state_.limitChanged) tesra->WriteValue(kLimit, state_.limit, kWriteAddressed);
        if (state_.delayChanged) tesra->WriteValue(kDelay, state_.delay, kWriteAddressed);
    }
    AlarmSheetShow();
}

void AlarmPage::refresh(int row) {
    const ConsolePage front = view_.frontPage();
    if (front != ConsolePage::Modbus && front != ConsolePage::Alarm) return;
    TTesra* tesra = connection_ ? connection_() : nullptr;
    if (!tesra || row < 1 || row > devices_.count()) return;
    const skelo& rec = devices_.record(row);
    const uint32_t functions = rec.functions;
    tesra->Address = rec.address;
    const bool reverse = functions & kFnReverseFlow;

    uint8_t answer[kFrameBufferSize] = {};
    const uint16_t first = reverse ? kReverseWordRegister : kAlarmWordRegister;
    // A failed read says nothing about the alarms: the lamps keep what they showed.
    if (tesra->ReadRegisters(answer, first, reverse ? 2 : 1) != kResultOk) return;
    const uint8_t* data = answer + 3;
    const uint16_t alarms = wordAt(reverse ? data + 2 : data);
    const uint16_t mask = (functions & kFnController) ? kControllerAlarmMask : kSensorAlarmMask;

    const bool highlight = (alarms & mask) != 0;
    bool changed = highlight != state_.tabHighlighted;
    state_.tabHighlighted = highlight;
    if (front == ConsolePage::Alarm) {
        const uint16_t reverseWord = reverse ? wordAt(data) : 0;
        changed = changed || alarms != state_.alarmWord || reverseWord != state_.reverseWord;
        state_.alarmWord = alarms;
        state_.reverseWord = reverseWord;
    }
    if (changed) notify();
}

void AlarmPage::deviceSelected(int row, ConsolePage front) {
    if (front == ConsolePage::Alarm)
        AlarmSheetShow();
    else if (front == ConsolePage::Signals && signalPage_)
        signalPage_->tbsSignaleShow();
}

} // namespace getkelo
