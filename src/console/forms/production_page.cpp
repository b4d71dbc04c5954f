#include "console/forms/production_page.h"

#include "config/params/production_params.h"
#include "console/forms/component_texts.h"
#include "console/forms/page_builder.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace getkelo {

ProductionPage::ProductionPage(QWidget* parent)
    : ConsolePageWidget(ConsolePage::ProductionI, "Produktion-I", parent) {
    markComponent(this, "tbsProd");
    auto* column = new QVBoxLayout;
    auto* buttons = new QHBoxLayout;
    auto* choice = new QButtonGroup(this);
    auto speed = [&](const char* key, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        markComponent(b, key);
        b->setCheckable(true);
        choice->addButton(b);
        buttons->addWidget(b);
        return b;
    };
    btnDynamic = speed("btnDynamic", "Dynamik");
    btnController = speed("btnController", "Regeleinstellungen");
    btnAnalog = speed("btnAnalog", "Analog");
    buttons->addStretch();
    column->addLayout(buttons);
    groups = new QStackedWidget(this);
    column->addWidget(groups);

    auto* dyn = pageGroup(groups, "gbxDynamic", "Dynamik");
    auto* dg = static_cast<QGridLayout*>(dyn->layout());
    auto* lutLabel = new QLabel("Kalibrierung", dyn);
    markComponent(lutLabel, "lblDynLut");
    cboLut = new QComboBox(dyn);
    dg->addWidget(lutLabel, 0, 0);
    dg->addWidget(cboLut, 0, 1);
    txtDynamic = addField(dyn, "lblDynamic", "Dynamik", 80);
    btnSaveDyn = addButton(dyn, "btnSaveDyn", "Speichern");
    lblDynWrong = addNote(dyn, "lblDynWrong", "Ungültiger Wert für Dynamik!", true);
    closeGroup(dyn);
    groups->addWidget(dyn);

    auto* ctl = pageGroup(groups, "gbxController", "Regeleinstellungen");
    auto* cg = static_cast<QGridLayout*>(ctl->layout());
    auto* targetLabel = new QLabel("Regelparameter des aktiven Slots kopieren nach:", ctl);
    markComponent(targetLabel, "lblControllerTargets");
    cg->addWidget(targetLabel, 0, 0, 1, 2);
    clbTargets = new QListWidget(ctl);
    clbTargets->setMaximumHeight(110);
    cg->addWidget(clbTargets, 1, 0, 1, 2);
    btnSaveController = addButton(ctl, "btnSaveController", "Speichern");
    lblControllerWrong = addNote(ctl, "lblControllerWrong",
                                 "Die Regelparameter des aktiven Slots sind ungültig!", true);
    closeGroup(ctl);
    groups->addWidget(ctl);

    auto* analog = new QWidget(groups);
    auto* ag = new QVBoxLayout(analog);
    auto* sides = new QHBoxLayout;
    const char* keys[2][6] = {{"gbxAnalogIn", "chkAnalogIn", "rdbCurrentIn", "rdbVoltageIn",
                               "lblAnalogInMin", "lblAnalogInMax"},
                              {"gbxAnalogOut", "chkAnalogOut", "rdbCurrentOut", "rdbVoltageOut",
                               "lblAnalogOutMin", "lblAnalogOutMax"}};
    const char* titles[2] = {"Analog Eingang", "Analog Ausgang"};
    const char* checks[2] = {"Spezifischer Analog Eingang", "Spezifischer Analog Ausgang"};
    for (int i = 0; i < 2; ++i) {
        auto* g = pageGroup(analog, keys[i][0], titles[i]);
        chkAnalog[i] = addCheck(g, keys[i][1], checks[i]);
        auto* gl = static_cast<QGridLayout*>(g->layout());
        rdbCurrent[i] = new QRadioButton("Strom", g);
        markComponent(rdbCurrent[i], keys[i][2]);
        rdbVoltage[i] = new QRadioButton("Spannung", g);
        markComponent(rdbVoltage[i], keys[i][3]);
        rdbCurrent[i]->setChecked(true);
        gl->addWidget(rdbCurrent[i], 1, 0);
        gl->addWidget(rdbVoltage[i], 1, 1);
        txtMin[i] = addField(g, keys[i][4], "Min", 60);
        txtMax[i] = addField(g, keys[i][5], "Max", 60);
        closeGroup(g);
        sides->addWidget(g);
        connect(chkAnalog[i], &QCheckBox::toggled, this, [this, i](bool on) {
            for (QWidget* w : std::initializer_list<QWidget*>{rdbCurrent[i], rdbVoltage[i],
                                                              txtMin[i], txtMax[i]})
                w->setEnabled(on);
        });
        chkAnalog[i]->toggled(false);
    }
    ag->addLayout(sides);
    btnSaveAnalog = new QPushButton("Analoge Einstellung speichern", analog);
    markComponent(btnSaveAnalog, "btnSaveAnalog");
    ag->addWidget(btnSaveAnalog, 0, Qt::AlignRight);
    lblAnalogWrong = new QLabel("Bei den Eingaben wurde ein Fehler gemacht!", analog);
    markComponent(lblAnalogWrong, "lblAnalogWrong");
    lblAnalogWrong->setStyleSheet("color: #c00000; font-weight: bold;");
    lblAnalogWrong->hide();
    ag->addWidget(lblAnalogWrong);
    ag->addStretch();
    groups->addWidget(analog);

    auto* row = new QHBoxLayout(this);
    row->addLayout(column);
    row->addStretch();

    connect(btnDynamic, &QPushButton::clicked, this, [this] { groups->setCurrentIndex(0); });
    connect(btnController, &QPushButton::clicked, this, [this] { groups->setCurrentIndex(1); });
    connect(btnAnalog, &QPushButton::clicked, this, [this] { groups->setCurrentIndex(2); });
    btnDynamic->setChecked(true);
    connect(cboLut, &QComboBox::activated, this, [this](int) {
        if (!logic_ || cboLut->currentIndex() < 0) return;
        logic_->cboLutChange(cboLut->currentData().toInt());
        txtDynamic->setText(QString::fromStdString(logic_->state().dynamic));
    });
    auto run = [this](QPushButton* b, auto&& f) {
        connect(b, &QPushButton::clicked, this, [this, b, f] {
            if (!logic_) return;
            b->setEnabled(false);
            f();
            b->setEnabled(true);
            refresh();
        });
    };
    run(btnSaveDyn, [this] {
        logic_->btnSaveDynClick(cboLut->currentIndex() < 0 ? 0 : cboLut->currentData().toInt(),
                                txtDynamic->text().toStdString());
    });
    run(btnSaveController, [this] {
        std::vector<int> targets;
        for (int i = 0; i < clbTargets->count(); ++i)
            if (clbTargets->item(i)->checkState() == Qt::Checked)
                targets.push_back(clbTargets->item(i)->data(Qt::UserRole).toInt());
        logic_->btnSaveControllerClick(targets);
    });
    run(btnSaveAnalog, [this] { logic_->btnSaveAnalogClick(side(0), side(1)); });
}

AnalogSide ProductionPage::side(int i) const {
    return {chkAnalog[i]->isChecked(), rdbVoltage[i]->isChecked(), txtMin[i]->text().toStdString(),
            txtMax[i]->text().toStdString()};
}

void ProductionPage::showEvent(QShowEvent* event) {
    ConsolePageWidget::showEvent(event);
    if (!logic_) return;
    logic_->tbsProdShow();
    cboLut->clear();
    clbTargets->clear();
    for (int slot : logic_->state().usedSlots) {
        cboLut->addItem(QString::number(slot), slot);
        auto* item = new QListWidgetItem("Slot " + QString::number(slot), clbTargets);
        item->setData(Qt::UserRole, slot);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    if (cboLut->count() > 0) {
        logic_->cboLutChange(cboLut->currentData().toInt());
        txtDynamic->setText(QString::fromStdString(logic_->state().dynamic));
    }
    refresh();
}

void ProductionPage::refresh() {
    if (!logic_) return;
    const ProductionState& s = logic_->state();
    lblDynWrong->setVisible(s.dynamicWrong);
    lblControllerWrong->setVisible(s.controllerWrong);
    lblAnalogWrong->setVisible(s.analogWrong);
}

} // namespace getkelo
