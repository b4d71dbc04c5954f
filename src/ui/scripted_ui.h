#pragma once
#include "ui/ui_adapter.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace getkelo {

// UiAdapter for tests: records everything shown, answers from queues. An empty queue gives
// the harmless answer (Ok / Yes for message boxes, cancel for inputs and choosers).
class ScriptedUi : public UiAdapter {
  public:
    struct Message {
        std::string text, caption;
        MsgIcon icon;
        MsgButtons buttons;
    };
    struct Input {
        std::string caption, prompt, defaultText;
    };

    std::vector<Message> messages;
    std::vector<Input> inputs;
    std::vector<std::string>
        progressEvents;               // "start:caption|label", "label:..", "pos:N", "finish:.."
    std::vector<std::string> printed; // html of printed documents
    std::vector<std::string> helpOpened;
    int beeps = 0;

    std::deque<MsgAnswer> messageAnswers;
    std::deque<std::optional<std::string>> inputAnswers;
    std::deque<std::optional<std::string>> chooserAnswers;
    bool printSucceeds = true;
    // The operator's stop button of the progress window (set by a test).
    bool stopRequested = false;

    MsgAnswer messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& defaultText) override;
    void beep() override { ++beeps; }
    void progressStart(const std::string& caption, const std::string& label, int maximum) override;
    void progressLabel(const std::string& label) override;
    void progressPosition(int position) override;
    void progressMaximum(int maximum) override;
    void progressFinish(const std::string& lastText) override;
    void progressAllowStop(const std::string& buttonText) override;
    bool progressStopRequested() override { return stopRequested; }
    std::optional<std::string> chooseFolder(const std::string& caption,
                                            const std::string& start) override;
    std::optional<std::string> chooseFile(const std::string& caption, const std::string& start,
                                          const std::string& filter, bool forSaving) override;
    bool printDocument(const std::string& title, const std::string& html) override;
    bool openHelp(const std::string& path) override;

    // Texts of all message boxes shown so far.
    std::vector<std::string> messageTexts() const;
};

} // namespace getkelo
