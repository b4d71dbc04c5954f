#include "shell/forms/tabout_box.h"

#include "console/text_source.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

#ifndef GETKELO_VERSION
#define GETKELO_VERSION "0.0.0"
#endif

namespace getkelo {

QString TAboutBox::versionText() {
    return QStringLiteral(GETKELO_VERSION);
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle("Info");
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel("<h2>GetKelo</h2>", this);
    text_ = new QLabel(
        "Service- und Konfigurationsprogramm<br>für kel-o Durchflussmesser und -regler", this);
    text_->setObjectName("AboutText");
    version_ = new QLabel("Version " + versionText(), this);
    version_->setObjectName("Version");
    for (QLabel* l : {title, text_, version_})
        l->setAlignment(Qt::AlignCenter);
    text_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(title);
    layout->addWidget(text_);
    layout->addWidget(version_);
    layout->addWidget(buttons);
    setMinimumWidth(340);
}

void TAboutBox::applyLanguage(const TextSource& texts) {
    setWindowTitle(QString::fromStdString(texts.text("Info")));
    text_->setText(QString::fromStdString(texts.text("AboutText")).toHtmlEscaped());
    version_->setText(QString::fromStdString(texts.text("AboutVersion")) + " " + versionText());
}

} // namespace getkelo
