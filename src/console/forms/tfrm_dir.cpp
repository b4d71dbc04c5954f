#include "console/forms/tfrm_dir.h"

#include "console/console_settings.h"
#include "console/text_source.h"
#include "ui/ui_adapter.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace getkelo {

TfrmDir::TfrmDir(ConsoleSettings& settings, UiAdapter& ui, QWidget* parent)
    : QDialog(parent), settings_(settings), ui_(ui) {
    setObjectName("frmDir");
    setWindowTitle("Verzeichnis wählen");
    setMinimumWidth(520);
    auto* layout = new QVBoxLayout(this);
    lblInfo_ = new QLabel("Hier können Sie  Ihre Arbeitsverzeichnisse wählen", this);
    layout->addWidget(lblInfo_);
    auto* grid = new QGridLayout;
    const char* captions[3] = {"Arbeitsverzeichnis", "Updateverzeichnis", "Dat File Verzeichnis"};
    for (int i = 0; i < 3; ++i) {
        labels_[i] = new QLabel(captions[i], this);
        fields_[i] = new QLineEdit(this);
        auto* more = new QPushButton("...", this);
        more->setFixedWidth(32);
        connect(more, &QPushButton::clicked, this, [this, i] { browse(i); });
        grid->addWidget(labels_[i], i * 2, 0, 1, 2);
        grid->addWidget(fields_[i], i * 2 + 1, 0);
        grid->addWidget(more, i * 2 + 1, 1);
    }
    layout->addLayout(grid);
    chkNewDirectoryStruct_ = new QCheckBox("Neue Datenstruktur", this);
    layout->addWidget(chkNewDirectoryStruct_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnSave_ = new QPushButton("Übernehmen", this);
    btnClose_ = new QPushButton("Schliessen", this);
    buttons->addWidget(btnSave_);
    buttons->addWidget(btnClose_);
    layout->addLayout(buttons);
    connect(btnSave_, &QPushButton::clicked, this, [this] { btnSaveClick(); });
    connect(btnClose_, &QPushButton::clicked, this, &QDialog::reject);
}

std::string* TfrmDir::valueOf(int field) {
    switch (field) {
    case 0:
        return &settings_.workDir;
    case 1:
        return &settings_.updateDir;
    default:
        return &settings_.dataDir;
    }
}

void TfrmDir::fill() {
    for (int i = 0; i < 3; ++i)
        fields_[i]->setText(QString::fromStdString(*valueOf(i)));
    chkNewDirectoryStruct_->setChecked(settings_.newDirectoryStructure);
    chkNewDirectoryStruct_->setVisible(settings_.file().sectionExists("Produktion"));
}

void TfrmDir::showEvent(QShowEvent* e) {
    fill();
    QDialog::showEvent(e);
}

void TfrmDir::browse(int field) {
    auto chosen = ui_.chooseFolder(labels_[field]->text().toStdString(),
                                   fields_[field]->text().toStdString());
    if (!chosen) return;
    // File names are appended to these folders directly, so they keep a trailing "/".
    std::string dir = *chosen;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    fields_[field]->setText(QString::fromStdString(dir));
    *valueOf(field) = dir;
}

void TfrmDir::btnSaveClick() {
    for (int i = 0; i < 3; ++i)
        *valueOf(i) = fields_[i]->text().toStdString();
    settings_.newDirectoryStructure = chkNewDirectoryStruct_->isChecked();
    IniFile& ini = settings_.file();
    IniFile::Batch batch(ini);
    ini.writeString("Programm", "Verzeichnis", settings_.workDir);
    ini.writeString("Programm", "UpdateVerzeichnis", settings_.updateDir);
    ini.writeString("Programm", "DatVerzeichnis", settings_.dataDir);
    ini.writeInteger("Init", "NewDirectoryStructure", settings_.newDirectoryStructure ? 1 : 0);
}

void TfrmDir::applyLanguage(const TextSource& t) {
    auto q = [&t](const char* key) { return QString::fromStdString(t.text(key)); };
    setWindowTitle(q("frmDir"));
    chkNewDirectoryStruct_->setText(q("chkNewDirectoryStruct"));
    btnSave_->setText(q("btnSave"));
    labels_[0]->setText(q("lblArbeitsverzeichnis"));
    labels_[1]->setText(q("lblUpdate"));
    labels_[2]->setText(q("lblDat"));
    lblInfo_->setText(q("lblInfo"));
    btnClose_->setText(q("btnClose"));
}

} // namespace getkelo
