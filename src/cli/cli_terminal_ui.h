#pragma once
#include "ui/ui_adapter.h"

#include <cstdio>
#include <string>

namespace getkelo::cli {

// The ui adapter of a command without a window: messages as one line on standard error
// ("getkelo-cli: <command>: <text>"), every question answered No (nobody is there to say
// yes), and the progress window as a line on standard error that rewrites itself, shown only
// when standard error is a terminal (scripts get no progress noise).
class TerminalUi final : public UiAdapter {
  public:
    // showProgress: -1 when standard error is a terminal, else 0 or 1 as given.
    explicit TerminalUi(std::string command, int showProgress = -1, std::FILE* out = stderr);

    MsgAnswer messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<std::string> inputBox(const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    void beep() override {}
    void progressStart(const std::string& caption, const std::string& label, int maximum) override;
    void progressLabel(const std::string& label) override;
    void progressPosition(int position) override;
    void progressMaximum(int maximum) override;
    void progressFinish(const std::string& lastText) override;
    std::optional<std::string> chooseFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseFile(const std::string&, const std::string&,
                                          const std::string&, bool) override {
        return std::nullopt;
    }
    bool printDocument(const std::string&, const std::string&) override { return false; }
    bool openHelp(const std::string&) override { return false; }
    // Takes the progress line away without a line end, so that other output can use the
    // line; the next update draws it again.
    void clearLine();

  private:
    void draw(bool force);
    void endLine();

    std::string command_;
    bool progress_;
    std::FILE* out_;
    std::string label_;
    int maximum_ = 43;
    int position_ = 0;
    int shownPercent_ = -1;
    bool lineOpen_ = false;
};

} // namespace getkelo::cli
