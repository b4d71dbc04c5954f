#include "calib/forms/tmulti_lookup.h"

#include "calib/forms/tdatei.h"
#include "calib/lut_slot_manager.h"
#include "ui/ui_adapter.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace getkelo {

TMultiLookup::TMultiLookup(LutSlotManager& logic, UiAdapter& ui, QWidget* parent)
    : QDialog(parent), logic_(logic), ui_(ui) {
    setObjectName("MultiLookup");
    setWindowTitle("Kalibrations Datensätze");
    auto* layout = new QVBoxLayout(this);

    SatzBox = new QGroupBox("Kalibrations-Datensätze im kel-o", this);
    SatzBox->setObjectName("SatzBox");
    auto* slotBox = new QVBoxLayout(SatzBox);
    LuTBox = new QListWidget(SatzBox);
    LuTBox->setObjectName("LuTBox");
    LuTBox->setMinimumWidth(420);
    slotBox->addWidget(LuTBox);
    auto* slotButtons = new QHBoxLayout;
    LuTBtn = new QPushButton("Aktivieren", SatzBox);
    LuTBtn->setObjectName("LuTBtn");
    LuTDeleteBtn = new QPushButton("Löschen", SatzBox);
    LuTDeleteBtn->setObjectName("LuTDeleteBtn");
    slotButtons->addWidget(LuTBtn);
    slotButtons->addWidget(LuTDeleteBtn);
    slotButtons->addStretch();
    slotBox->addLayout(slotButtons);
    layout->addWidget(SatzBox);

    auto* fileBox = new QGroupBox("Kalibrations-Datensätze in externer Datei", this);
    auto* file = new QHBoxLayout(fileBox);
    Datei3 = new TDatei(fileBox);
    Datei3->setObjectName("Datei3");
    Datei3->Label->setText("Dir");
    file->addWidget(Datei3, 1);
    BitBtn1 = new QPushButton("Verzeichnis", fileBox);
    BitBtn1->setObjectName("BitBtn1");
    file->addWidget(BitBtn1, 0, Qt::AlignBottom);
    layout->addWidget(fileBox);

    auto* buttons = new QHBoxLayout;
    BitBtn2 = new QPushButton("Laden", this);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn4 = new QPushButton("Speichern", this);
    BitBtn4->setObjectName("BitBtn4");
    BitBtn3 = new QPushButton("Beenden", this);
    BitBtn3->setObjectName("BitBtn3");
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn4);
    buttons->addStretch();
    buttons->addWidget(BitBtn3);
    layout->addLayout(buttons);

    connect(LuTBox, &QListWidget::currentRowChanged, this, [this] { LuTBoxClick(); });
    connect(LuTBtn, &QPushButton::clicked, this, [this] {
        logic_.LuTBtnClick(selectedSlot());
        FillSlotList();
    });
    connect(LuTDeleteBtn, &QPushButton::clicked, this, [this] {
        logic_.LuTDeleteBtnClick(selectedSlot());
        FillSlotList();
    });
    connect(BitBtn4, &QPushButton::clicked, this, [this] {
        if (!logic_.BitBtn4Click(selectedSlot()).empty()) fillSections();
    });
    connect(BitBtn2, &QPushButton::clicked, this, [this] {
        setEnabled(false);
        logic_.BitBtn2Click(selectedSlot(), Datei3->ComboBox->currentText().toStdString());
        setEnabled(true);
        FillSlotList();
    });
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        if (auto folder = ui_.chooseFolder("Verzeichnis", "")) {
            logic_.chooseFolder(*folder, serial_);
            fillSections();
        }
    });
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::accept);
}

void TMultiLookup::FormShow(const std::string& serial) {
    serial_ = serial;
    fillSections();
    FillSlotList();
}

int TMultiLookup::selectedSlot() const {
    return LuTBox->currentRow();
}

void TMultiLookup::fillSections() {
    Datei3->ComboBox->clear();
    for (const std::string& entry : logic_.sections())
        Datei3->ComboBox->addItem(QString::fromStdString(entry));
    Datei3->ComboBox->setCurrentIndex(Datei3->ComboBox->count() - 1);
    Datei3->Label->setText(QString::fromStdString(logic_.dataFile()));
}

void TMultiLookup::FillSlotList() {
    const int row = LuTBox->currentRow();
    LuTBox->clear();
    const auto& items = logic_.FillSlotList();
    for (size_t k = 0; k < items.size(); ++k) {
        auto* item = new QListWidgetItem(QString::fromStdString(items[k]), LuTBox);
        item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
        item->setCheckState(static_cast<int>(k) == logic_.activeSlot() ? Qt::Checked
                                                                       : Qt::Unchecked);
    }
    LuTBox->setCurrentRow(row);
    LuTBoxClick();
}

void TMultiLookup::LuTBoxClick() {
    const bool usable = logic_.slotUsable(selectedSlot());
    LuTBtn->setEnabled(usable);
    LuTDeleteBtn->setEnabled(usable);
}

} // namespace getkelo
