#include "cli/cli_terminal_ui.h"

#include "cli/cli_context.h"

#include <algorithm>
#include <unistd.h>

namespace getkelo::cli {

TerminalUi::TerminalUi(std::string command, int showProgress, std::FILE* out)
    : command_(std::move(command)),
      progress_(showProgress < 0 ? ::isatty(::fileno(out)) != 0 : showProgress != 0), out_(out) {}

MsgAnswer TerminalUi::messageBox(const std::string& text, const std::string&, MsgIcon,
                                 MsgButtons buttons) {
    endLine();
    std::string oneLine = text;
    for (char& c : oneLine)
        if (c == '\n' || c == '\r') c = ' ';
    printError(command_ + ": " + oneLine);
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgAnswer::Ok;
    case MsgButtons::OkCancel:
        return MsgAnswer::Cancel;
    default:
        return MsgAnswer::No;
    }
}

void TerminalUi::progressStart(const std::string&, const std::string& label, int maximum) {
    endLine();
    label_ = label;
    maximum_ = maximum > 0 ? maximum : 43;
    position_ = 0;
    draw(true);
}

void TerminalUi::progressLabel(const std::string& label) {
    label_ = label;
    draw(true);
}

void TerminalUi::progressPosition(int position) {
    position_ = position;
    draw(false);
}

void TerminalUi::progressMaximum(int maximum) {
    maximum_ = maximum > 0 ? maximum : 43;
    draw(false);
}

void TerminalUi::progressFinish(const std::string& lastText) {
    label_ = lastText;
    position_ = maximum_;
    draw(true);
    endLine();
}

void TerminalUi::draw(bool force) {
    if (!progress_) return;
    const int percent = std::clamp(position_ * 100 / maximum_, 0, 100);
    // A terminal line per percent, not per byte.
    if (!force && percent == shownPercent_) return;
    shownPercent_ = percent;
    std::fprintf(out_, "\r\033[K%s %3d %%", label_.c_str(), percent);
    std::fflush(out_);
    lineOpen_ = true;
}

void TerminalUi::clearLine() {
    if (!lineOpen_) return;
    std::fputs("\r\033[K", out_);
    std::fflush(out_);
    lineOpen_ = false;
    shownPercent_ = -1;
}

void TerminalUi::endLine() {
    if (!lineOpen_) return;
    std::fputc('\n', out_);
    std::fflush(out_);
    lineOpen_ = false;
}

} // namespace getkelo::cli
