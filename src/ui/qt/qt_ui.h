#pragma once
#include "ui/ui_adapter.h"

#include "ui/qt/fbalken.h"
#include <QPointer>
#include <QWidget>

namespace getkelo {

class FBalken;
class HelpWindow;

// The desktop side of UiAdapter: Qt message boxes, input boxes, file choosers, printing, the
// progress window and the help viewer. Dialogs are modal to the parent window given.
class QtUi : public UiAdapter {
  public:
    explicit QtUi(QWidget* parent = nullptr);
    ~QtUi() override;

    void setParent(QWidget* parent) { parent_ = parent; }

    MsgAnswer messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& defaultText) override;
    void beep() override;
    void progressStart(const std::string& caption, const std::string& label, int maximum) override;
    void progressLabel(const std::string& label) override;
    void progressPosition(int position) override;
    void progressMaximum(int maximum) override;
    void progressFinish(const std::string& lastText) override;
    void progressAllowStop(const std::string& buttonText) override;
    bool progressStopRequested() override;
    std::optional<std::string> chooseFolder(const std::string& caption,
                                            const std::string& start) override;
    std::optional<std::string> chooseFile(const std::string& caption, const std::string& start,
                                          const std::string& filter, bool forSaving) override;
    bool printDocument(const std::string& title, const std::string& html) override;
    bool openHelp(const std::string& path) override;

    FBalken* progressWindow();
    HelpWindow* helpWindow();

    // "Text files|*.txt|All|*" (the older form) or a Qt filter; gives the Qt form.
    static QString qtFilter(const std::string& filter);

  private:
    QPointer<QWidget> parent_;
    QPointer<FBalken> balken_;
    HelpWindow* help_ = nullptr;
};

inline QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
inline std::string ss(const QString& s) {
    return s.toStdString();
}

} // namespace getkelo
