#include "ui/qt/help_window.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QVBoxLayout>

namespace getkelo {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("HelpWindow");
    resize(640, 560);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(true);
    layout->addWidget(browser_);
}

bool HelpWindow::openDocument(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    // The help documents carry a fixed extension of their own, so they are read as HTML
    // explicitly rather than by file type.
    const QString html = QString::fromUtf8(f.readAll());
    path_ = path;
    browser_->setSearchPaths({QFileInfo(path).absolutePath()});
    browser_->setHtml(html);
    setWindowTitle(browser_->documentTitle().isEmpty() ? QFileInfo(path).fileName()
                                                       : browser_->documentTitle());
    show();
    raise();
    activateWindow();
    return true;
}

} // namespace getkelo
