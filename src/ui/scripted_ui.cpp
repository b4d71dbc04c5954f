#include "ui/scripted_ui.h"

namespace getkelo {

MsgAnswer ScriptedUi::messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                                 MsgButtons buttons) {
    messages.push_back({text, caption, icon, buttons});
    if (!messageAnswers.empty()) {
        MsgAnswer a = messageAnswers.front();
        messageAnswers.pop_front();
        return a;
    }
    return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgAnswer::Yes
                                                                              : MsgAnswer::Ok;
}

std::optional<std::string> ScriptedUi::inputBox(const std::string& caption,
                                                const std::string& prompt,
                                                const std::string& defaultText) {
    inputs.push_back({caption, prompt, defaultText});
    if (inputAnswers.empty()) return std::nullopt;
    auto a = inputAnswers.front();
    inputAnswers.pop_front();
    return a;
}

void ScriptedUi::progressStart(const std::string& caption, const std::string& label, int maximum) {
    progressEvents.push_back("start:" + caption + "|" + label + "|" + std::to_string(maximum));
}
void ScriptedUi::progressLabel(const std::string& label) {
    progressEvents.push_back("label:" + label);
}
void ScriptedUi::progressPosition(int p) {
    progressEvents.push_back("pos:" + std::to_string(p));
}
void ScriptedUi::progressMaximum(int m) {
    progressEvents.push_back("max:" + std::to_string(m));
}
void ScriptedUi::progressFinish(const std::string& t) {
    progressEvents.push_back("finish:" + t);
    stopRequested = false;
}
void ScriptedUi::progressAllowStop(const std::string& buttonText) {
    progressEvents.push_back("stoppable:" + buttonText);
}

std::optional<std::string> ScriptedUi::chooseFolder(const std::string&, const std::string&) {
    if (chooserAnswers.empty()) return std::nullopt;
    auto a = chooserAnswers.front();
    chooserAnswers.pop_front();
    return a;
}

std::optional<std::string> ScriptedUi::chooseFile(const std::string& caption,
                                                  const std::string& start, const std::string&,
                                                  bool) {
    return chooseFolder(caption, start);
}

bool ScriptedUi::printDocument(const std::string&, const std::string& html) {
    printed.push_back(html);
    return printSucceeds;
}

bool ScriptedUi::openHelp(const std::string& path) {
    helpOpened.push_back(path);
    return true;
}

std::vector<std::string> ScriptedUi::messageTexts() const {
    std::vector<std::string> out;
    for (const auto& m : messages)
        out.push_back(m.text);
    return out;
}

} // namespace getkelo
