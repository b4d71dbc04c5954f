#include "calib/zero_point.h"

#include "base/clock.h"
#include "base/number_format.h"
#include "calib/calib_registers.h"
#include "calib/calib_texts.h"
#include "comm/ttesra.h"
#include "ui/ui_adapter.h"

namespace getkelo {

long long zeroOffset(const long long* readings, int count) {
    long long sum = 0;
    for (int i = 0; i < count; ++i)
        sum += readings[i];
    return count > 0 ? sum / count - kRawZero : 0;
}

ZeroPoint takeZeroPoint(TTesra& tesra, UiAdapter& ui, const TextSource& texts) {
    Clock& clock = tesra.comm().clock();
    ui.progressStart("Justierung", "0-Punkt Abgleich, bitte warten", kZeroReadings);
    long long readings[kZeroReadings] = {};
    auto fail = [&](const std::string& why) {
        ui.progressFinish(why);
        ui.messageBox(calibText(texts, "infoKalZeroFailed",
                                "Der Nullpunkt wurde nicht abgeglichen: %1", {why}),
                      "Justierung", MsgIcon::Error, MsgButtons::Ok);
        return ZeroPoint{};
    };
    for (int i = 0; i < kZeroReadings; ++i) {
        if (i > 0) clock.sleepMs(kZeroIntervalMs);
        if (!parseInteger(tesra.ReadValue(calreg::kFlowTicks), readings[i]))
            return fail(calibText(texts, "infoKalZeroNoReading", "Messwert %1 nicht gelesen",
                                  {std::to_string(i + 1)}));
        ui.progressPosition(i + 1);
    }
    const long long offset = zeroOffset(readings, kZeroReadings);
    if (offset < -32768 || offset > 32767)
        return fail(calibText(texts, "infoKalZeroRange", "Offset %1 außerhalb des Bereichs",
                              {std::to_string(offset)}));
    const std::string text = std::to_string(offset);
    if (tesra.WriteValue(calreg::kLutOffset, text, kWriteAddressed) != 0 ||
        tesra.WriteValue(calreg::kFlowOffset, text, kWriteAddressed) != 0)
        return fail(calibText(texts, "infoKalZeroWrite", "Offset nicht geschrieben"));
    ui.progressFinish("0-Punkt abgeglichen!");
    return ZeroPoint{true, static_cast<int>(offset)};
}

} // namespace getkelo
