#include "ui/qt/qt_ui.h"

#include "ui/qt/fbalken.h"
#include "ui/qt/help_window.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

namespace getkelo {

// Wide enough that the window manager shows the whole title beside its buttons.
static int widthForTitle(const QWidget& w, const QString& title) {
    return QFontMetrics(w.font()).horizontalAdvance(title) * 5 / 4 + 140;
}

QtUi::QtUi(QWidget* parent) : parent_(parent) {}

QtUi::~QtUi() {
    delete balken_;
    delete help_;
}

MsgAnswer QtUi::messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                           MsgButtons buttons) {
    QMessageBox box(parent_);
    box.setWindowTitle(qs(caption));
    box.setText(qs(text));
    // A message box sizes itself to its text; a spacer keeps a short text from clipping the
    // title.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(widthForTitle(box, qs(caption)), 0, QSizePolicy::Minimum,
                                      QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    default:
        // Closing the box with the window button counts as its "no" answer.
        return buttons == MsgButtons::Ok      ? MsgAnswer::Ok
               : buttons == MsgButtons::YesNo ? MsgAnswer::No
                                              : MsgAnswer::Cancel;
    }
}

std::optional<std::string> QtUi::inputBox(const std::string& caption, const std::string& prompt,
                                          const std::string& defaultText) {
    QInputDialog dialog(parent_);
    dialog.setWindowTitle(qs(caption));
    dialog.setLabelText(qs(prompt));
    dialog.setTextValue(qs(defaultText));
    dialog.setMinimumWidth(std::max(300, widthForTitle(dialog, qs(caption))));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return ss(dialog.textValue());
}

void QtUi::beep() {
    QApplication::beep();
}

FBalken* QtUi::progressWindow() {
    if (!balken_) balken_ = new FBalken(parent_);
    return balken_;
}

void QtUi::progressStart(const std::string& caption, const std::string& label, int maximum) {
    progressWindow()->start(qs(caption), qs(label), maximum);
}
void QtUi::progressLabel(const std::string& label) {
    progressWindow()->setLabel(qs(label));
}
void QtUi::progressPosition(int position) {
    progressWindow()->setPosition(position);
}
void QtUi::progressMaximum(int maximum) {
    progressWindow()->setMaximum(maximum);
}
void QtUi::progressFinish(const std::string& lastText) {
    progressWindow()->finish(qs(lastText));
}
void QtUi::progressAllowStop(const std::string& buttonText) {
    progressWindow()->allowStop(qs(buttonText));
}
bool QtUi::progressStopRequested() {
    return balken_ && balken_->stopRequested();
}

std::optional<std::string> QtUi::chooseFolder(const std::string& caption,
                                              const std::string& start) {
    QString dir = QFileDialog::getExistingDirectory(parent_, qs(caption), qs(start));
    if (dir.isEmpty()) return std::nullopt;
    return ss(dir);
}

QString QtUi::qtFilter(const std::string& filter) {
    QString f = qs(filter);
    if (!f.contains('|')) return f;
    const QStringList parts = f.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        out << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return out.join(";;");
}

std::optional<std::string> QtUi::chooseFile(const std::string& caption, const std::string& start,
                                            const std::string& filter, bool forSaving) {
    const QString f = qtFilter(filter);
    QString path = forSaving ? QFileDialog::getSaveFileName(parent_, qs(caption), qs(start), f)
                             : QFileDialog::getOpenFileName(parent_, qs(caption), qs(start), f);
    if (path.isEmpty()) return std::nullopt;
    return ss(path);
}

bool QtUi::printDocument(const std::string& title, const std::string& html) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(qs(title));
    QPrintDialog dialog(&printer, parent_);
    dialog.setWindowTitle(qs(title));
    if (dialog.exec() != QDialog::Accepted) return false;
    QTextDocument doc;
    doc.setHtml(qs(html));
    doc.print(&printer);
    return printer.printerState() != QPrinter::Error;
}

HelpWindow* QtUi::helpWindow() {
    if (!help_) help_ = new HelpWindow(nullptr);
    return help_;
}

bool QtUi::openHelp(const std::string& path) {
    return helpWindow()->openDocument(qs(path));
}

} // namespace getkelo
