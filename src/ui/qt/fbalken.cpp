#include "ui/qt/fbalken.h"

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
    layout->addWidget(label_);
    layout->addWidget(bar_);
    closeTimer_.setSingleShot(true);
    closeTimer_.setInterval(kFinishHoldMs);
    connect(&closeTimer_, &QTimer::timeout, this, &QWidget::hide);
}

void FBalken::start(const QString& caption, const QString& label, int maximum) {
    closeTimer_.stop(); // a new transfer takes the window over from a finishing one
    setWindowTitle(caption);
    label_->setText(label);
    bar_->setRange(0, maximum > 0 ? maximum : kDefaultMaximum);
    bar_->setValue(0);
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

void FBalken::finish(const QString& lastText) {
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
