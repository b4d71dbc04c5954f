#pragma once
#include <QDialog>
#include <QLabel>

namespace getkelo {

class TextSource;

// The about box: program name and version. Also shown without buttons as the start-up notice.
class TAboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit TAboutBox(QWidget* parent = nullptr);
    // The program's version number.
    static QString versionText();
    // Title, description and the word before the version from the language file.
    void applyLanguage(const TextSource& texts);

  private:
    QLabel* text_;
    QLabel* version_;
};

} // namespace getkelo
