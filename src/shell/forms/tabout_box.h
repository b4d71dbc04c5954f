#pragma once
#include <QDialog>

namespace getkelo {

// The about box: program name and version. Also shown without buttons as the start-up notice.
class TAboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit TAboutBox(QWidget* parent = nullptr);
    static QString versionText();
};

} // namespace getkelo
