#include "shell/forms/tabout_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#ifndef GETKELO_VERSION
#define GETKELO_VERSION "0.0.0"
#endif

namespace getkelo {

QString TAboutBox::versionText() {
    return QStringLiteral("Version " GETKELO_VERSION);
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle("Info");
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel("<h2>GetKelo</h2>", this);
    auto* text = new QLabel(
        "Service- und Konfigurationsprogramm<br>für kel-o Durchflussmesser und -regler", this);
    auto* version = new QLabel(versionText(), this);
    version->setObjectName("Version");
    for (QLabel* l : {title, text, version})
        l->setAlignment(Qt::AlignCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(title);
    layout->addWidget(text);
    layout->addWidget(version);
    layout->addWidget(buttons);
    setMinimumWidth(320);
}

} // namespace getkelo
