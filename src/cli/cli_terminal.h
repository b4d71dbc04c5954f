#pragma once
#include "ui/ui_adapter.h"

#include <string>

#include <csignal>

namespace getkelo::cli {

// The operator of a command without a window: messages go to standard error as one line
// each (prefixed with `tag`), questions get the cancel answer, nothing else is shown.
class TerminalUi final : public UiAdapter {
  public:
    explicit TerminalUi(std::string tag) : tag_(std::move(tag)) {}
    MsgAnswer messageBox(const std::string& text, const std::string&, MsgIcon, MsgButtons) override;
    std::optional<std::string> inputBox(const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    void beep() override {}
    void progressStart(const std::string&, const std::string&, int) override {}
    void progressLabel(const std::string&) override {}
    void progressPosition(int) override {}
    void progressMaximum(int) override {}
    void progressFinish(const std::string&) override {}
    std::optional<std::string> chooseFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseFile(const std::string&, const std::string&,
                                          const std::string&, bool) override {
        return std::nullopt;
    }
    bool printDocument(const std::string&, const std::string&) override { return false; }
    bool openHelp(const std::string&) override { return false; }

  private:
    std::string tag_;
};

// SIGINT and SIGTERM end a long-running command cleanly: while an instance lives they only
// set requested(); the old handlers come back with its end.
class StopSignals {
  public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    static bool requested();

  private:
    struct sigaction oldInt_ {
    }, oldTerm_{};
};

} // namespace getkelo::cli
