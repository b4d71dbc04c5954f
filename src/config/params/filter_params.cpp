#include "config/params/filter_params.h"

#include "base/number_format.h"
#include "comm/ttesra.h"
#include "comm/value_codec.h"
#include "config/params/series4_page_registers.h"
#include "console/text_source.h"
#include "ui/ui_adapter.h"

#include <cmath>

namespace getkelo {

const std::array<FilterField, kFilterFields> kFilterFieldTable = {{
    {"FilterType", "Filter Typ", 0, kTypeUInt16},
    {"FilterFactor", "Filter Faktor", 1, kTypeUInt16},
    {"TickFilter", "Tick Filter", 2, kTypeUInt16},
    {"MeasureFilter", "Messwert Filter", 3, kTypeUInt16},
    {"FilterSamplesFirst", "Filter Samples First", 4, kTypeUInt16},
    {"FilterBand", "Filter Band", 5, kTypeFloat},
    {"FilterSamplesNext", "Filter Samples Next", 7, kTypeUInt16},
    {"FilterChange", "Filter Änderung", 8, kTypeUInt16},
}};

namespace {

constexpr int kFilterAttempts = 10;
constexpr int kFilterRequestLength = 30; // the device takes filler bytes before the CRC

bool fits(const FilterField& f, const std::string& text) {
    if (f.type == kTypeFloat) {
        double v = 0;
        return parseNumber(text, v) && std::isfinite(v);
    }
    long long v = 0;
    return parseInteger(text, v) && v >= 0 && v <= 0xFFFF;
}

} // namespace

void FilterParams::tbsFilterT4Show() {
    PageSession s(context_);
    if (!s) return;
    uint8_t buffer[kFrameBufferSize] = {};
    const bool ok = s.tesra().ReadRegisters(buffer, reg::kFilterBlockStart,
                                            reg::kFilterBlockRegisters) == kResultOk;
    for (int i = 0; i < kFilterFields; ++i) {
        const FilterField& f = kFilterFieldTable[i];
        values_[i] = ok ? ValueToText(buffer + 3 + 2 * f.offset, f.type) : "Fehler";
    }
}

void FilterParams::btnSaveFilterClick(const FilterValues& fields) {
    {
        PageSession s(context_);
        if (!s) return;
        for (int i = 0; i < kFilterFields; ++i) {
            if (fits(kFilterFieldTable[i], fields[i])) continue;
            context_.ui.messageBox(context_.texts.text("infoFilterValueError") + "\n" +
                                       kFilterFieldTable[i].caption + ": " + fields[i],
                                   "GetKelo", MsgIcon::Warning, MsgButtons::Ok);
            return;
        }
        bool written = false;
        for (int attempt = 0; attempt < kFilterAttempts && !written; ++attempt) {
            uint8_t frame[kFrameBufferSize] = {};
            frame[0] = s.tesra().Address;
            frame[1] = 0x10;
            frame[2] = reg::kFilterBlockStart >> 8;
            frame[3] = reg::kFilterBlockStart & 0xFF;
            frame[4] = 0x00;
            frame[5] = reg::kFilterBlockRegisters;
            frame[6] = 2 * reg::kFilterBlockRegisters;
            for (int i = 0; i < kFilterFields; ++i) {
                const FilterField& f = kFilterFieldTable[i];
                // Operator text may carry a decimal comma; the codec takes ".".
                std::string text = fields[i];
                if (f.type == kTypeFloat) text = formatGeneral(textToDouble(text));
                TextToValue(frame + 7 + 2 * f.offset, f.type, text);
            }
            s.sleepMs(100);
            written = s.tesra().Transact(frame, kFilterRequestLength, 8) == kResultOk;
        }
    }
    // What the device holds now, whether the write went through or not.
    tbsFilterT4Show();
}

} // namespace getkelo
