#include "ui/qt/fbalken.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace getkelo {

FBalken::FBalken(QWidget* parent) : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setObjectName("FBalken");
    setMinimumWidth(360);
    auto* layout = new QVBoxLayout(this);
    label_ = new QLabel(this);
    label_->setWordWrap(true);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, kDefaultMaximum);
    bar_->setTextVisible(false);
    stop_ = new QPushButton(this);
    stop_->setObjectName("FBalkenStop");
    stop_->setVisible(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(stop_);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    layout->addLayout(buttons);
    connect(stop_, &QPushButton::clicked, this, [this] {
        stopRequested_ = true;
        stop_->setEnabled(false); // pressed once is enough; the work ends at its next step
    });
    closeTimer_.setSingleShot(true);
    closeTimer_.setInterval(kFinishHoldMs);
    connect(&closeTimer_, &QTimer::timeout, this, &QWidget::hide);
}

void FBalken::start(const QString& caption, const QString& label, int maximum) {
    closeTimer_.stop(); // a new transfer takes the window over from a finishing one
    stop_->setVisible(false);
    stopRequested_ = false;
    setWindowTitle(caption);
    label_->setText(label);
    bar_->setRange(0, maximum > 0 ? maximum : kDefaultMaximum);
    bar_->setValue(0);
    if (!isVisible() && parentWidget()) {
        // Over the middle of the main window, not over its device list's first rows.
        adjustSize();
        move(parentWidget()->window()->frameGeometry().center() - rect().center());
    }
    show();
    raise();
    paintNow();
}

void FBalken::setLabel(const QString& label) {
    label_->setText(label);
    paintNow();
}

void FBalken::setPosition(int position) {
    bar_->setValue(std::min(std::max(position, 0), bar_->maximum()));
    paintNow();
}

void FBalken::setMaximum(int maximum) {
    bar_->setMaximum(maximum > 0 ? maximum : kDefaultMaximum);
    paintNow();
}

void FBalken::allowStop(const QString& buttonText) {
    stop_->setText(buttonText);
    stop_->setEnabled(true);
    stop_->setVisible(true);
    stopRequested_ = false;
}

void FBalken::finish(const QString& lastText) {
    stop_->setVisible(false);
    label_->setText(lastText);
    bar_->setValue(bar_->maximum());
    if (!isVisible()) show();
    paintNow();
    closeTimer_.start();
}

void FBalken::paintNow() {
    if (isVisible()) repaint();
}

} // namespace getkelo
