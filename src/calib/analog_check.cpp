#include "calib/analog_check.h"

#include "base/clock.h"
#include "base/number_format.h"
#include "calib/calib_data_files.h"
#include "calib/calib_registers.h"
#include "calib/calib_texts.h"
#include "calib/list_helpers.h"
#include "comm/register_catalogue.h"
#include "comm/ttesra.h"
#include "console/alarms/signal_page.h"
#include "console/software_generation.h"
#include "ui/ui_adapter.h"

namespace getkelo {
namespace {

constexpr const char* kCaption = "Kalibration";
// The output settles and the reference meter follows before the operator reads it; the input
// filter takes its time after the signal is applied.
constexpr int kOutputSettleMs = 1000;
constexpr int kInputSettleMs = 2000;
// Series 4: 1 when the output (input) is a voltage.
constexpr RegisterDescriptor kVoltageOut = makeDescriptor(0x5500, 1, kTypeUInt16);
constexpr RegisterDescriptor kVoltageIn = makeDescriptor(0x5504, 1, kTypeUInt16);

std::string cell(double v) {
    return formatFixedMax(v, 2);
}

// The coefficient registers of a side: one pair for the output, the current or the voltage
// pair for the input.
std::pair<RegisterDescriptor, RegisterDescriptor> coefficientRegisters(AnalogSide side,
                                                                       const AnalogRange& range) {
    if (side == AnalogSide::Output) return {calreg::kDacK0, calreg::kDacK1};
    if (range.signal == AnalogSignal::Current20mA)
        return {calreg::kAdcCurrentK0, calreg::kAdcCurrentK1};
    return {calreg::kAdcVoltageK0, calreg::kAdcVoltageK1};
}

} // namespace

AnalogCheck::AnalogCheck(TTesra& tesra, UiAdapter& ui, const TextSource& texts,
                         CalibDataFiles& files)
    : tesra_(tesra), ui_(ui), texts_(texts), files_(files) {}

void AnalogCheck::setOperator(const std::string& name, const std::string& remark) {
    operator_ = name;
    remark_ = remark;
}

std::string AnalogCheck::text(const char* key, const char* fallback,
                              const std::vector<std::string>& args) const {
    return calibText(texts_, key, fallback, args);
}

void AnalogCheck::tell(const std::string& message, const char* caption) {
    ui_.messageBox(message, caption, MsgIcon::Error, MsgButtons::Ok);
}

bool AnalogCheck::suits(AnalogSide side, const AnalogRange& range) {
    long long version = 0;
    if (parseInteger(tesra_.ReadValue(reg::kSoftwareVersion), version) &&
        isSeries4(FormatVersion(static_cast<int>(version)))) {
        long long volts = 0;
        if (!parseInteger(tesra_.ReadValue(side == AnalogSide::Output ? kVoltageOut : kVoltageIn),
                          volts))
            return false;
        return (volts != 0) == (range.signal != AnalogSignal::Current20mA);
    }
    const std::string typeText = tesra_.ReadValue(reg::kTypeCode2);
    return typeText != "Fehler" && fullScaleOf(typeText) == analogFullScaleText(range.signal);
}

bool AnalogCheck::readCoefficients(AnalogSide side, const AnalogRange& range) {
    const auto [k0, k1] = coefficientRegisters(side, range);
    AnalogCoefficients c;
    if (!parseInteger(tesra_.ReadValue(k0), c.k0) || !parseNumber(tesra_.ReadValue(k1), c.k1)) {
        tell(text("infoAnalogCoeffRead",
                  "Die Koeffizienten des Analog-Signals konnten nicht gelesen werden."),
             kCaption);
        return false;
    }
    coefficients_[index(side)] = c;
    return true;
}

bool AnalogCheck::prepare(AnalogSide side, const AnalogRange& range, bool keepGrid) {
    if (!suits(side, range)) {
        tell("Ungültiger Typ-Code!", kCaption);
        return false;
    }
    const bool read = readCoefficients(side, range);
    Grid& g = grids_[index(side)];
    if (!read || !keepGrid || !(g.range == range) || !(g.measuredWith == coefficients(side))) {
        g.range = range;
        g.rows.clear();
        g.measuredWith = coefficients(side);
    }
    return read;
}

bool AnalogCheck::AnalogSheetShow(const AnalogRange& output, const AnalogRange& input) {
    const bool out = prepare(AnalogSide::Output, output, true);
    const bool in = prepare(AnalogSide::Input, input, true);
    return out && in;
}

bool AnalogCheck::PruefAusBtnClick(const AnalogRange& range) {
    if (!prepare(AnalogSide::Output, range, false)) return false;
    tesra_.WriteValue(reg::kAccessCode, reg::kAccessCodeText, kWriteAddressed);
    const std::string mode = tesra_.ReadValue(reg::kControlMode);
    long long modeNumber = 0;
    if (!parseInteger(mode, modeNumber) ||
        tesra_.WriteValue(reg::kControlMode, std::to_string(calreg::kAnalogTestMode),
                          kWriteAddressed) != 0) {
        tell(text("infoAnalogTestMode",
                  "Der Prüfling konnte nicht in den Ausgangstest geschaltet werden."),
             kCaption);
        return false;
    }
    const bool done = driveOutput(analogPointValues(range));
    // The device leaves the output test however the check ended.
    if (tesra_.WriteValue(reg::kControlMode, mode, kWriteAddressed) != 0)
        tell(text("infoAnalogModeRestore",
                  "Der Regelmodus %1 konnte nicht zurückgeschrieben werden; der Prüfling ist "
                  "noch im Ausgangstest.",
                  {mode}),
             kCaption);
    return done && store(AnalogSide::Output);
}

bool AnalogCheck::driveOutput(const std::vector<double>& points) {
    Grid& g = grids_[0];
    const std::string unit = analogUnit(g.range.signal);
    const double fs = analogFullScale(g.range.signal);
    for (double v : points) {
        if (tesra_.WriteValue(calreg::kAnalogOut, formatGeneral(v), kWriteAddressed) != 0) {
            tell(text("infoAnalogDrive", "Der Ausgang konnte nicht auf %1 %2 gesetzt werden.",
                      {cell(v), unit}),
                 kCaption);
            return false;
        }
        tesra_.comm().clock().sleepMs(kOutputSettleMs);
        const std::string prompt =
            "Ausgang Prüfling: " + cell(v) + " " + unit + "\r\nMesswert Referenz [" + unit + "]";
        double reading = 0;
        for (;;) {
            const std::optional<std::string> answer = ui_.inputBox(kCaption, prompt, "");
            if (!answer) return false;
            if (parseNumber(*answer, reading)) break;
            ui_.beep();
        }
        g.rows.push_back(analogRow(v, reading, fs));
    }
    return true;
}

bool AnalogCheck::PruefEinBtnClick(const AnalogRange& range) {
    return prepare(AnalogSide::Input, range, false) && takeInput(analogPointValues(range)) &&
           store(AnalogSide::Input);
}

bool AnalogCheck::takeInput(const std::vector<double>& points) {
    Grid& g = grids_[1];
    const std::string unit = analogUnit(g.range.signal);
    const double fs = analogFullScale(g.range.signal);
    for (double s : points) {
        if (!ui_.inputBox(kCaption, "Bitte Sollwert-Signal anlegen [" + cell(s) + " " + unit + "]",
                          ""))
            return false;
        tesra_.comm().clock().sleepMs(kInputSettleMs);
        double reading = 0;
        if (!parseNumber(tesra_.ReadValue(calreg::kAnalogIn), reading)) {
            tell(text("infoAnalogInRead", "Der Sollwert-Eingang konnte nicht gelesen werden."),
                 kCaption);
            return false;
        }
        // The device's reading against the signal applied: the error is what it shows too much.
        g.rows.push_back({reading, s, (reading - s) * 100 / fs});
    }
    return true;
}

bool AnalogCheck::store(AnalogSide side) {
    const Grid& g = grids_[index(side)];
    const bool out = side == AnalogSide::Output;
    std::vector<std::string> device{"Prüfling"}, reference{"Ref."};
    for (const AnalogRow& r : g.rows) {
        device.push_back(cell(r.device));
        reference.push_back(cell(r.reference));
    }
    lastSection_ = files_.WriteAnalogSection(dataFile_, operator_, remark_,
                                             {{out ? "DeviceIN" : "DeviceOUT", JoinGridRow(device)},
                                              {out ? "RefIN" : "RefOUT", JoinGridRow(reference)}});
    return !lastSection_.empty();
}

bool AnalogCheck::correct(AnalogSide side, AnalogFit fit) {
    Grid& g = grids_[index(side)];
    const AnalogCoefficients measuredWith = g.measuredWith;
    // The device's coefficients now: a check made with others says nothing about them.
    if (!g.complete() || !readCoefficients(side, g.range) ||
        !(coefficients(side) == measuredWith)) {
        g.rows.clear();
        tell(text("infoAnalogNoCheck",
                  "Bitte zuerst die Prüfung mit den jetzigen Koeffizienten durchführen."),
             kCaption);
        return false;
    }
    const bool out = side == AnalogSide::Output;
    std::vector<double> x, y;
    for (const AnalogRow& r : g.rows) {
        // x the true signal, y what came of it.
        x.push_back(out ? r.device : r.reference);
        y.push_back(out ? r.reference : r.device);
    }
    const AnalogCorrection c =
        correctCoefficients(side, fit, x, y, measuredWith, analogFullScale(g.range.signal),
                            out ? -32768 : 0, out ? 32767 : 65535);
    if (c.outcome == AnalogCorrection::ZeroOutOfRange) {
        tell("0-Punkt hat zu grosse Abweichung -> Gerät ersetzen", "Fehler");
        return false;
    }
    if (c.outcome != AnalogCorrection::Corrected) {
        tell(text("infoAnalogUnusable",
                  "Das Signal folgt dem Sollwert nicht; die Koeffizienten bleiben unverändert."),
             kCaption);
        return false;
    }
    const auto [k0, k1] = coefficientRegisters(side, g.range);
    tesra_.WriteValue(reg::kAccessCode, reg::kAccessCodeText, kWriteAddressed);
    const bool k0Written = tesra_.WriteValue(k0, std::to_string(c.next.k0), kWriteAddressed) == 0;
    const bool k1Written = fit == AnalogFit::ZeroOnly ||
                           tesra_.WriteValue(k1, formatGeneral(c.next.k1), kWriteAddressed) == 0;
    // The grid was measured with the old coefficients: it must not correct the new ones.
    g.rows.clear();
    const bool readBack = readCoefficients(side, g.range);
    g.measuredWith = coefficients(side);
    if (!k0Written || !k1Written || !readBack) {
        tell(text("infoAnalogCoeffWrite",
                  "Die Koeffizienten wurden nicht vollständig geschrieben; das Gerät hat jetzt "
                  "k0 = %1, k1 = %2. Bitte erneut prüfen.",
                  {std::to_string(coefficients(side).k0), formatGeneral(coefficients(side).k1)}),
             kCaption);
        return false;
    }
    return true;
}

} // namespace getkelo
