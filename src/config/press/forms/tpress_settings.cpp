#include "config/press/forms/tpress_settings.h"

#include "config/press/press_settings.h"
#include "console/forms/component_texts.h"
#include "console/forms/page_builder.h"
#include "console/text_source.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace getkelo {

TPressContSetup::TPressContSetup(PressContSetup& logic, QWidget* parent)
    : QWidget(parent), logic_(logic) {
    auto* form = new QFormLayout(this);
    txtKp = new QLineEdit(this);
    txtKi = new QLineEdit(this);
    txtKd = new QLineEdit(this);
    form->addRow("Kp", txtKp);
    form->addRow("Ki", txtKi);
    form->addRow("Kd", txtKd);
    connect(txtKp, &QLineEdit::textEdited, this,
            [this](const QString& t) { logic_.txtKpChange(t.toStdString()); });
    connect(txtKi, &QLineEdit::textEdited, this,
            [this](const QString& t) { logic_.txtKiChange(t.toStdString()); });
    connect(txtKd, &QLineEdit::textEdited, this,
            [this](const QString& t) { logic_.txtKdChange(t.toStdString()); });
}

void TPressContSetup::refresh() {
    txtKp->setText(QString::fromStdString(logic_.kp()));
    txtKi->setText(QString::fromStdString(logic_.ki()));
    txtKd->setText(QString::fromStdString(logic_.kd()));
}

TPressSettings::TPressSettings(PressSettings& logic, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), logic_(logic) {
    setObjectName("PressSettings");
    setWindowTitle("Druckregelungseinstellungen [Auf eigene Gefahr!]");
    setModal(true);
    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* range = pageGroup(this, "gbxPControlPMRange", "Messbereich");
    txtScaleZero = addField(range, "lblPControlMiScale", "Skalierung Nullpunkt", 90);
    txtScaleFull = addField(range, "lblPControlMaScale", "Skalierung Endwert", 90);
    txtUnit = addField(range, "lblPControlPUnit", "Druckeinheit", 90);
    txtUnit->setMaxLength(7);
    closeGroup(range);
    left->addWidget(range);
    auto* functions = pageGroup(this, "gbxPControlPFunctions", "Funktionen");
    chkInvert = addCheck(functions, "chkPControlFInvert", "Wirkrichtung Invertieren");
    closeGroup(functions);
    left->addWidget(functions);
    auto* mode = pageGroup(this, "gbxPControlPCMode", "Regelmodus");
    cboMode = new QComboBox(mode);
    cboMode->setMinimumWidth(180);
    static_cast<QGridLayout*>(mode->layout())->addWidget(cboMode, 0, 0, 1, 2);
    closeGroup(mode);
    left->addWidget(mode);
    top->addLayout(left);

    auto* right = new QVBoxLayout;
    auto* params = pageGroup(this, "GroupBox1", "Regelparameter");
    txtK0 = addField(params, "lblk0Pressure", "Regelparameter k0", 90);
    txtK1 = addField(params, "lblk1Pressure", "Regelparameter k1", 90);
    txtFilter = addField(params, "lblPressFilter", "Filter für Druckmesswert", 90);
    closeGroup(params);
    right->addWidget(params);
    auto* sets = pageGroup(this, "GroupBox2", "PID Sätze");
    auto* sg = static_cast<QGridLayout*>(sets->layout());
    lblActiveSetOutside = addNote(sets, "lblPressActiveSetOutside",
                                  "Der aktive PID-Satz des Geräts liegt außerhalb von 1..5; "
                                  "Satz 1 wird gezeigt.",
                                  true);
    PageControl1 = new QTabWidget(sets);
    PageControl1->setMinimumWidth(360); // all five tabs in view
    for (int i = 0; i < kPressSets; ++i) {
        frames[i] = new TPressContSetup(logic_.frame(i), PageControl1);
        PageControl1->addTab(frames[i], "Set " + QString::number(i + 1));
    }
    sg->addWidget(PageControl1, sg->rowCount(), 0, 1, 2);
    right->addWidget(sets);
    top->addLayout(right);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnSave = new QPushButton("Übernehmen", this);
    markComponent(btnSave, "btnSave");
    btnAbort = new QPushButton("Zurück", this);
    markComponent(btnAbort, "btnAbort");
    buttons->addWidget(btnSave);
    buttons->addWidget(btnAbort);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(buttons);

    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int tab) {
        logic_.PageControl1Change(tab);
        frames[tab]->refresh();
    });
    connect(btnSave, &QPushButton::clicked, this, [this] { btnSaveClick(); });
    connect(btnAbort, &QPushButton::clicked, this, [this] { reject(); });
}

void TPressSettings::applyLanguage(const TextSource& texts) {
    applyComponentTexts(this, texts);
    setWindowTitle(QString::fromStdString(
        textOr(texts, "PressSettingsCaption", "Druckregelungseinstellungen [Auf eigene Gefahr!]")));
    const QString set = QString::fromStdString(textOr(texts, "PressSetTab", "Set"));
    for (int i = 0; i < kPressSets; ++i)
        PageControl1->setTabText(i, set + " " + QString::number(i + 1));
    const auto names = logic_.modeNames();
    const int keep = cboMode->currentIndex();
    cboMode->clear();
    for (const auto& n : names)
        cboMode->addItem(QString::fromStdString(n));
    cboMode->setCurrentIndex(keep);
}

void TPressSettings::FormShow() {
    logic_.FormShow();
    refresh();
}

int TPressSettings::run() {
    FormShow();
    return exec();
}

void TPressSettings::refresh() {
    const PressSettingsState& s = logic_.state();
    {
        const QSignalBlocker block(PageControl1); // showing the tab is no tab change
        PageControl1->setCurrentIndex(s.shownTab);
    }
    for (TPressContSetup* f : frames)
        f->refresh();
    lblActiveSetOutside->setVisible(s.activeSetOutside);
    cboMode->setCurrentIndex(s.modeEntry);
    txtK0->setText(QString::fromStdString(s.k0));
    txtK1->setText(QString::fromStdString(s.k1));
    txtScaleZero->setText(QString::fromStdString(s.scaleZero));
    txtScaleFull->setText(QString::fromStdString(s.scaleFull));
    chkInvert->setChecked(s.invert);
    txtUnit->setText(QString::fromStdString(s.unit));
    txtFilter->setText(QString::fromStdString(s.filter));
}

void TPressSettings::btnSaveClick() {
    PressSettingsState& s = logic_.state();
    s.modeEntry = cboMode->currentIndex();
    s.k0 = txtK0->text().toStdString();
    s.k1 = txtK1->text().toStdString();
    s.scaleZero = txtScaleZero->text().toStdString();
    s.scaleFull = txtScaleFull->text().toStdString();
    s.invert = chkInvert->isChecked();
    s.unit = txtUnit->text().toStdString();
    s.filter = txtFilter->text().toStdString();
    btnSave->setEnabled(false);
    logic_.btnSaveClick();
    btnSave->setEnabled(true);
    accept();
}

} // namespace getkelo
