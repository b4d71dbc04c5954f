#include "config/forms/tdaten.h"

#include "base/ini_file.h"
#include "config/data_sets.h"
#include "ui/ui_adapter.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace getkelo {

TDaten::TDaten(Daten& logic, UiAdapter& ui, QWidget* parent)
    : QDialog(parent), logic_(logic), ui_(ui) {
    setObjectName("Daten");
    setWindowTitle("Data");
    auto* layout = new QVBoxLayout(this);
    auto* boxes = new QHBoxLayout;
    config_ = new QCheckBox("CONFIG", this);
    lookup_ = new QCheckBox("LOOKUP", this);
    pid_ = new QCheckBox("PID Sets", this);
    config_->setObjectName("chkConfig");
    lookup_->setObjectName("chkLookup");
    pid_->setObjectName("chkPid");
    for (QCheckBox* b : {config_, lookup_, pid_}) {
        boxes->addWidget(b);
        connect(b, &QCheckBox::toggled, this, [this] {
            logic_.config = config_->isChecked();
            logic_.lookup = lookup_->isChecked();
            logic_.pidSets = pid_->isChecked();
        });
    }
    boxes->addStretch();
    layout->addLayout(boxes);

    auto* fileRow = new QHBoxLayout;
    file_ = new QLineEdit(this);
    file_->setObjectName("edtFile");
    file_->setMinimumWidth(380);
    auto* suchen = new QPushButton("Suchen", this);
    fileRow->addWidget(new QLabel("Datei", this));
    fileRow->addWidget(file_, 1);
    fileRow->addWidget(suchen);
    layout->addLayout(fileRow);

    auto* lookupRow = new QHBoxLayout;
    sections_ = new QComboBox(this);
    sections_->setObjectName("Datei1");
    sections_->setMinimumWidth(180);
    lookupRow->addWidget(new QLabel("Lookup", this));
    lookupRow->addWidget(sections_, 1);
    auto* laden = new QPushButton("Laden", this);
    auto* sichern = new QPushButton("Sichern", this);
    lookupRow->addWidget(laden);
    lookupRow->addWidget(sichern);
    layout->addLayout(lookupRow);

    auto* eeprom = new QGroupBox("EEPROM (LuT)", this);
    auto* eepromRow = new QHBoxLayout(eeprom);
    auto* lesen = new QPushButton("Lesen", eeprom);
    btnSchreiben_ = new QPushButton("Schreiben", eeprom);
    eepromRow->addWidget(lesen);
    eepromRow->addWidget(btnSchreiben_);
    eepromRow->addStretch();
    layout->addWidget(eeprom);
    auto* close = new QPushButton("Schliessen", this);
    layout->addWidget(close, 0, Qt::AlignRight);

    connect(suchen, &QPushButton::clicked, this, [this] { SuchenClick(); });
    connect(laden, &QPushButton::clicked, this, [this] { LadenClick(); });
    connect(sichern, &QPushButton::clicked, this, [this] { SichernClick(); });
    connect(lesen, &QPushButton::clicked, this, [this] { LesenClick(); });
    connect(btnSchreiben_, &QPushButton::clicked, this, [this] { SchreibenClick(); });
    connect(file_, &QLineEdit::editingFinished, this, [this] { listSections(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    syncBoxes();
}

QCheckBox* TDaten::box(const char* name) const {
    const std::string n = name;
    return n == "CONFIG" ? config_ : n == "LOOKUP" ? lookup_ : pid_;
}

void TDaten::syncBoxes() {
    // Each box's signal passes all three on: take the logic's state before the first.
    const bool config = logic_.config, lookup = logic_.lookup, pidSets = logic_.pidSets;
    config_->setChecked(config);
    lookup_->setChecked(lookup);
    pid_->setChecked(pidSets);
    btnSchreiben_->setEnabled(logic_.schreibenEnabled());
}

void TDaten::setFile(const std::string& path) {
    file_->setText(QString::fromStdString(path));
    listSections();
    syncBoxes();
}

// The lookup sections of the file: the data set's own and the calibration's LOOKUPn.
void TDaten::listSections() {
    sections_->clear();
    const std::string path = file_->text().toStdString();
    if (path.empty() || !QFileInfo(file_->text()).isFile()) return;
    for (const std::string& s : IniFile(path).sectionNames())
        if (s.rfind("LOOKUP", 0) == 0 || s == "CONFIG_LOOKUP")
            sections_->addItem(QString::fromStdString(s));
    const int own = sections_->findText("CONFIG_LOOKUP");
    if (own >= 0) sections_->setCurrentIndex(own);
}

void TDaten::SuchenClick() {
    const auto chosen = ui_.chooseFile("Suchen", file_->text().toStdString(),
                                       "Daten (*.dat);;Alle Dateien (*)", false);
    if (chosen) setFile(*chosen);
}

void TDaten::LadenClick() {
    const std::string section =
        sections_->currentIndex() >= 0 ? sections_->currentText().toStdString() : "CONFIG_LOOKUP";
    if (logic_.LoadDataSet(file_->text().toStdString(), section) && changed) changed();
}

void TDaten::SichernClick() {
    if (logic_.SaveDataSet(file_->text().toStdString())) listSections();
}

void TDaten::LesenClick() {
    if (logic_.LesenClick() && changed) changed();
    syncBoxes();
}

void TDaten::SchreibenClick() {
    logic_.SchreibenClick();
    if (changed) changed();
}

} // namespace getkelo
