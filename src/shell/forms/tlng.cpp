#include "shell/forms/tlng.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QPixmap>
#include <QVBoxLayout>

namespace getkelo {

TLng::TLng(QWidget* parent) : QDialog(parent) {
    setObjectName("Lng");
    auto* layout = new QVBoxLayout(this);
    label_ = new QLabel(this);
    box_ = new QComboBox(this);
    box_->setObjectName("LngBox");
    box_->setIconSize(QSize(24, 16));
    box_->setMinimumWidth(200);
    ok_ = new QPushButton("OK", this);
    cancel_ = new QPushButton(this);
    ok_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addWidget(label_);
    layout->addWidget(box_);
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TLng::fill(const std::string& programDir, const std::string& current) {
    box_->clear();
    for (const auto& e : ListLanguages(programDir)) {
        // A language without a flag image is listed with an empty icon.
        const QString flag = QString::fromStdString(e.flagPath);
        QIcon icon = QFileInfo::exists(flag) ? QIcon(QPixmap(flag)) : QIcon();
        box_->addItem(icon, QString::fromStdString(e.name));
    }
    int i = box_->findText(QString::fromStdString(current));
    box_->setCurrentIndex(i >= 0 ? i : (box_->count() > 0 ? 0 : -1));
}

void TLng::setTexts(const QString& language, const QString& exitText) {
    setWindowTitle(language);
    label_->setText(language);
    cancel_->setText(exitText.isEmpty() ? tr("Cancel") : exitText);
}

std::string TLng::selectedName() const {
    return box_->currentIndex() >= 0 ? box_->currentText().toStdString() : std::string();
}

std::string TLng::ChooseLanguage(const std::string& programDir, const std::string& current) {
    fill(programDir, current);
    if (exec() != QDialog::Accepted) return current;
    // An empty list has nothing to choose; keep the current language then.
    std::string chosen = selectedName();
    return chosen.empty() ? current : chosen;
}

} // namespace getkelo
