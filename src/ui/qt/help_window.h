#pragma once
#include <QTextBrowser>
#include <QWidget>

namespace getkelo {

// The help viewer: one window that shows an HTML help document and follows its links.
class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // False when the document cannot be read.
    bool openDocument(const QString& path);
    QString documentPath() const { return path_; }
    QTextBrowser* browser() const { return browser_; }

  private:
    QTextBrowser* browser_;
    QString path_;
};

} // namespace getkelo
