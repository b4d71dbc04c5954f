#include "config/params/page_session.h"

#include "base/clock.h"
#include "base/number_format.h"
#include "comm/ttesra.h"
#include "console/console_view.h"
#include "console/device_list.h"
#include "console/text_source.h"
#include "ui/ui_adapter.h"

#include <cstdio>

namespace getkelo {

PageSession::PageSession(const PageContext& context) : context_(context) {
    if (context_.view.timerActive()) {
        context_.view.stopTimer();
        stoppedTimer_ = true;
    }
    TTesra* t = context_.connection ? context_.connection() : nullptr;
    const int row = context_.devices.selectedRow();
    if (t && row >= 1 && row <= context_.devices.count()) {
        tesra_ = t;
        tesra_->Address = context_.devices.record(row).address;
    }
}

PageSession::~PageSession() {
    if (stoppedTimer_) context_.view.startTimer();
}

const skelo& PageSession::record() const {
    return context_.devices.record(context_.devices.selectedRow());
}

std::string PageSession::read(RegisterDescriptor d) const {
    return tesra_->ReadValue(d);
}

long long PageSession::readInteger(RegisterDescriptor d, long long fallback) const {
    long long v = 0;
    return parseInteger(read(d), v) ? v : fallback;
}

bool PageSession::write(RegisterDescriptor d, const std::string& text, const std::string& field) {
    // A field that shows a failed read holds no value: the device keeps its own.
    if (text == "Fehler") return false;
    const bool ok = tesra_->WriteValue(d, text, kWriteAddressed) == 0;
    if (!ok) {
        char reg[8];
        std::snprintf(reg, sizeof reg, "0x%04X", descRegister(d));
        refused_.push_back(field.empty() ? std::string(reg) : field);
    }
    return ok;
}

void PageSession::sleepMs(int ms) const {
    tesra_->comm().clock().sleepMs(ms);
}

void PageSession::reportRefused(const std::string& caption) const {
    if (refused_.empty()) return;
    std::string list;
    for (const auto& f : refused_)
        list += "\n" + f;
    context_.ui.messageBox(context_.texts.text("infoParamsNotWritten") + list, caption,
                           MsgIcon::Warning, MsgButtons::Ok);
}

uint32_t withBits(uint32_t word, uint32_t mask, bool on) {
    return on ? word | mask : word & ~mask;
}

} // namespace getkelo
