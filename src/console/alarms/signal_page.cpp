#include "console/alarms/signal_page.h"

#include "base/number_format.h"
#include "comm/register_catalogue.h"
#include "comm/ttesra.h"
#include "console/control_mode.h"
#include "console/device_list.h"
#include "console/software_generation.h"

namespace getkelo {
namespace {

constexpr RegisterDescriptor kInputSignal = reg::kAnalogSignalIn;
constexpr RegisterDescriptor kOutputSignal = reg::kAnalogSignalOut;
constexpr RegisterDescriptor kPowerUpOn = reg::kPowerUp;
constexpr RegisterDescriptor kPowerUpValue = reg::kPowerUpSetpoint;
constexpr RegisterDescriptor kControlMode = reg::kControlMode;
constexpr RegisterDescriptor kCutOff = reg::kCutOff;
constexpr RegisterDescriptor kTypeText = reg::kTypeCode2;
constexpr RegisterDescriptor kOutputUnit4 = reg::kOutputScaleS4;
constexpr RegisterDescriptor kInputUnit4 = reg::kInputScaleS4;
constexpr RegisterDescriptor kSlotSelector = reg::kSlotSelector;
constexpr RegisterDescriptor kSlotSource = reg::kLutSelect;

long long asInteger(const std::string& text) {
    long long v = 0;
    return parseInteger(text, v) ? v : 0;
}

int clampEntry(int entry, const std::vector<std::string>& items) {
    return entry >= 0 && entry < static_cast<int>(items.size()) ? entry : -1;
}

// Series 4 keeps the output's scale in the first character of its text register, read the
// same way as on older devices: at most "C" current, "D".."E" 5 V, above "E" 10 V. The
// character changes only when it names another scale than the chosen entry.
char scaleCharacter(char current, int entry) {
    if (entry <= 1) return current <= 'C' ? current : 'A';
    if (entry <= 3) return current == 'D' || current == 'E' ? current : 'D';
    return current > 'E' ? current : 'F';
}

// Series 4: register 0x4139 goes to 0x5FFF before the signal registers are used.
void copySlot(TTesra& tesra) {
    std::string slot = tesra.ReadValue(kSlotSource);
    if (slot != "Fehler") tesra.WriteValue(kSlotSelector, slot, kWriteAddressed);
}

} // namespace

std::vector<std::string> series4SignalItems() {
    return {"0..20 mA", "4..20 mA", "0..5  V", "1..5 V", "0..10  V", "2..10 V"};
}

std::string fullScaleOf(const std::string& typeText) {
    const char c = typeText.empty() ? '\0' : typeText[0];
    if (c > 'E') return "10 V";
    if (c > 'C') return "5 V";
    return "20 mA";
}

std::vector<std::string> signalItemsFor(const std::string& fullScale) {
    const int value = static_cast<int>(textToDouble(fullScale));
    std::vector<std::string> items{"0.." + fullScale, std::to_string(value / 5) + ".." + fullScale};
    if (fullScale == "20 mA") items.push_back("4..20mA Namur NE43");
    return items;
}

int series4SignalEntry(int code, bool volts) {
    if (volts) {
        switch (code) {
        case 0:
            return 2;
        case 1:
            return 3;
        case 3:
            return 4;
        case 4:
            return 5;
        default:
            return -1;
        }
    }
    return code >= 0 && code < 6 ? code : -1;
}

int series4SignalCode(int entry) {
    static constexpr int kCodes[] = {0, 1, 0, 1, 3, 4};
    return entry >= 0 && entry < 6 ? kCodes[entry] : 0;
}

SignalPage::SignalPage(DeviceList& devices, ConsoleView& view, Connection connection)
    : devices_(devices), view_(view), connection_(std::move(connection)) {}

void SignalPage::notify() {
    if (changed_) changed_();
}

TTesra* SignalPage::selectDevice() {
    TTesra* tesra = connection_ ? connection_() : nullptr;
    if (!tesra || devices_.count() == 0) return nullptr;
    tesra->Address = devices_.record(devices_.selectedRow()).address;
    return tesra;
}

void SignalPage::evaluateWarning() {
    const uint32_t functions =
        devices_.count() > 0 ? devices_.record(devices_.selectedRow()).functions : 0;
    state_.warningVisible = state_.outputEntry == 0 && (functions & kFnReverseFlow);
}

void SignalPage::tbsSignaleShow() {
    view_.stopTimer();
    TTesra* tesra = selectDevice();
    if (!tesra) {
        state_ = SignalPageState{};
        notify();
        view_.startTimer();
        return;
    }
    const skelo& rec = devices_.record(devices_.selectedRow());
    const bool series4 = isSeries4(rec.softwareVersion);
    const bool controller = rec.functions & kFnController;
    bool inputVolts = false;
    if (series4) {
        copySlot(*tesra);
        outputVolts_ = asInteger(tesra->ReadValue(kOutputUnit4)) != 0;
        inputVolts = controller && asInteger(tesra->ReadValue(kInputUnit4)) != 0;
        state_.outputItems = state_.inputItems = series4SignalItems();
    } else {
        outputVolts_ = false;
        state_.outputItems = state_.inputItems =
            signalItemsFor(fullScaleOf(tesra->ReadValue(kTypeText)));
    }
    state_.inputVisible = controller;
    state_.onlyOutputAndModeWritable = series4;

    // Output code in the low byte of 0x4084, input code in the low byte of 0x4085; one
    // request for both (a meter has no setpoint input).
    uint8_t answer[kFrameBufferSize] = {};
    int outputCode = -1, inputCode = -1;
    if (tesra->ReadRegisters(answer, 0x4084, controller ? 2 : 1) == kResultOk) {
        outputCode = answer[4];
        if (controller) inputCode = answer[6];
    }
    if (series4) {
        state_.outputEntry = series4SignalEntry(outputCode, outputVolts_);
        state_.inputEntry = series4SignalEntry(inputCode, inputVolts);
    } else {
        state_.outputEntry = clampEntry(outputCode, state_.outputItems);
        state_.inputEntry = clampEntry(inputCode, state_.inputItems);
    }

    deviceMode_ = static_cast<int>(asInteger(tesra->ReadValue(kControlMode)));
    state_.modeEntry = controlModeEntry(deviceMode_);
    state_.cutOff = tesra->ReadValue(kCutOff);
    state_.unit = rec.unit;
    state_.powerUpOn = asInteger(tesra->ReadValue(kPowerUpOn)) != 0;
    state_.powerUpValue = tesra->ReadValue(kPowerUpValue);

    state_.inputChanged = state_.outputChanged = state_.powerUpOnChanged =
        state_.powerUpValueChanged = state_.modeChanged = state_.cutOffChanged = false;
    evaluateWarning();
    notify();
    view_.startTimer();
}

void SignalPage::inputChange(int entry) {
    if (state_.onlyOutputAndModeWritable) return;
    state_.inputEntry = entry;
    state_.inputChanged = true;
    notify();
}

void SignalPage::outputChange(int entry) {
    state_.outputEntry = entry;
    state_.outputChanged = true;
    evaluateWarning();
    notify();
}

void SignalPage::powerUpClick(bool on) {
    if (state_.onlyOutputAndModeWritable) return;
    state_.powerUpOn = on;
    state_.powerUpOnChanged = true;
    notify();
}

void SignalPage::powerUpValueChange(const std::string& text) {
    if (state_.onlyOutputAndModeWritable) return;
    state_.powerUpValue = text;
    state_.powerUpValueChanged = true;
    notify();
}

void SignalPage::modeChange(int entry) {
    state_.modeEntry = entry;
    state_.modeChanged = true;
    notify();
}

void SignalPage::cutOffChange(const std::string& text) {
    if (state_.onlyOutputAndModeWritable) return;
    state_.cutOff = text;
    state_.cutOffChanged = true;
    notify();
}

void SignalPage::UebernehmenClick() {
    view_.stopTimer();
    TTesra* tesra = selectDevice();
    if (tesra) {
        const skelo& rec = devices_.record(devices_.selectedRow());
        if (!isSeries4(rec.softwareVersion)) {
            if (state_.inputChanged && state_.inputEntry >= 0)
                tesra->WriteValue(kInputSignal, std::to_string(state_.inputEntry), kWriteAddressed);
            if (state_.outputChanged && state_.outputEntry >= 0)
                tesra->WriteValue(kOutputSignal, std::to_string(state_.outputEntry),
                                  kWriteAddressed);
            if (state_.powerUpValueChanged)
                tesra->WriteValue(kPowerUpValue, state_.powerUpValue, kWriteAddressed);
            if (state_.powerUpOnChanged)
                tesra->WriteValue(kPowerUpOn, state_.powerUpOn ? "1" : "0", kWriteAddressed);
            if (state_.modeChanged)
                tesra->WriteValue(kControlMode, std::to_string(controlModeCode(state_.modeEntry)),
                                  kWriteAddressed);
            if (state_.cutOffChanged) tesra->WriteValue(kCutOff, state_.cutOff, kWriteAddressed);
        } else {
            copySlot(*tesra);
            if (state_.outputChanged && state_.outputEntry >= 0) {
                tesra->WriteValue(kOutputSignal,
                                  std::to_string(series4SignalCode(state_.outputEntry)),
                                  kWriteAddressed);
                std::string text = tesra->ReadValue(kTypeText);
                if (text != "Fehler" && !text.empty()) {
                    const char c = scaleCharacter(text[0], state_.outputEntry);
                    if (c != text[0]) {
                        text[0] = c;
                        tesra->WriteValue(kTypeText, text, kWriteAddressed);
                    }
                }
            }
            // The control mode is written on series 4 too: its pressure modes (entries 8 and 9)
            // are offered only to series-4 devices and could otherwise never be applied.
            if (state_.modeChanged)
                tesra->WriteValue(kControlMode, std::to_string(controlModeCode(state_.modeEntry)),
                                  kWriteAddressed);
        }
    }
    // The page shows what the device now holds, and so does the pressure-control page.
    tbsSignaleShow();
    if (tesra && pressurePage_) pressurePage_(deviceMode_);
}

} // namespace getkelo
