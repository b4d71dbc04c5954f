#pragma once
#include <optional>
#include <string>

namespace getkelo {

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

// Everything the logic may ask of the operator or the desktop. The desktop program
// implements it with Qt; tests use ScriptedUi, which records and answers from a queue.
class UiAdapter {
  public:
    virtual ~UiAdapter() = default;

    virtual MsgAnswer messageBox(const std::string& text, const std::string& caption,
                                 MsgIcon icon = MsgIcon::None,
                                 MsgButtons buttons = MsgButtons::Ok) = 0;
    // nullopt when the operator cancels.
    virtual std::optional<std::string> inputBox(const std::string& caption,
                                                const std::string& prompt,
                                                const std::string& defaultText) = 0;
    virtual void beep() = 0;

    // The shared progress window FBalken: one at a time.
    virtual void progressStart(const std::string& caption, const std::string& label,
                               int maximum = 43) = 0;
    virtual void progressLabel(const std::string& label) = 0;
    virtual void progressPosition(int position) = 0;
    virtual void progressMaximum(int maximum) = 0;
    // Shows lastText for 1000 ms, then closes the window.
    virtual void progressFinish(const std::string& lastText) = 0;
    // Gives the running progress a stop button with this text. The button only asks: the work
    // polls progressStopRequested() between its steps and ends itself cleanly.
    virtual void progressAllowStop(const std::string& buttonText) { (void)buttonText; }
    virtual bool progressStopRequested() { return false; }

    virtual std::optional<std::string> chooseFolder(const std::string& caption,
                                                    const std::string& start) = 0;
    virtual std::optional<std::string> chooseFile(const std::string& caption,
                                                  const std::string& start,
                                                  const std::string& filter, bool forSaving) = 0;
    // Prints a rich-text (HTML) document; false when printing failed or was cancelled.
    virtual bool printDocument(const std::string& title, const std::string& html) = 0;
    // Opens a help document in the help viewer; false when it cannot be shown.
    virtual bool openHelp(const std::string& path) = 0;
};

} // namespace getkelo
