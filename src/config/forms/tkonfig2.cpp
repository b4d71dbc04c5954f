#include "config/forms/tkonfig2.h"

#include "comm/ttesra.h"
#include "config/konfig2.h"
#include "console/device_list.h"
#include "console/forms/change_marks.h"
#include "ui/ui_adapter.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

namespace getkelo {
namespace {

const char* kInvalid = "background: #ffc0c0;";

void setChoiceText(QComboBox* box, const std::string& text) {
    const QString t = QString::fromStdString(text);
    int i = box->findText(t);
    if (i < 0 && !t.isEmpty()) {
        box->addItem(t); // a device value outside the list stays visible
        i = box->count() - 1;
    }
    box->setCurrentIndex(i);
}

} // namespace

TKonfig2::TKonfig2(Konfig2& logic, UiAdapter& ui, QWidget* parent)
    : QDialog(parent), logic_(logic), ui_(ui) {
    setObjectName("Konfig2");
    setWindowTitle("Konfiguration");
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->addWidget(group("Durchfluss", {{"Range", "Bereich"},
                                         {"FUnit", "Einheit"},
                                         {"GasBox", "Gas"},
                                         {"kn_sccm", "kn sccm"},
                                         {"VSTFlow", "VST Flow"},
                                         {"Dynamic", "Dynamik"}}),
                    0, 0);
    QGroupBox* tot = group("Totalisator", {{"TUnit", "Einheit"},
                                           {"TotFactor", "Faktor"},
                                           {"TInterval", "Intervall"},
                                           {"TResolution", "Auflösung"}});
    auto* totForm = static_cast<QFormLayout*>(tot->layout());
    korrektur_ = new QLineEdit(tot);
    korrektur_->setObjectName("KorrekturEdit");
    mess_ = new QLineEdit(tot);
    mess_->setObjectName("MessEdit");
    totForm->addRow("Korrektur", korrektur_);
    totForm->addRow("Messwert", mess_);
    auto* totButtons = new QHBoxLayout;
    auto* just = new QPushButton("Justieren", tot);
    auto* loeschen = new QPushButton("Löschen", tot);
    totButtons->addWidget(just);
    totButtons->addWidget(loeschen);
    totForm->addRow(totButtons);
    grid->addWidget(tot, 1, 0);
    grid->addWidget(group("Analog", {{"AnalogSource", "Sollwertquelle"},
                                     {"k0_mA_Output", "k0 mA Ausgang"},
                                     {"k1_mA_Output", "k1 mA Ausgang"},
                                     {"k0_mA_Input", "k0 mA Eingang"},
                                     {"k1_mA_Input", "k1 mA Eingang"},
                                     {"k0_V_Input", "k0 V Eingang"},
                                     {"k1_V_Input", "k1 V Eingang"}}),
                    2, 0);
    grid->addWidget(group("Sensor", {{"k1_Flow", "k1 Flow"},
                                     {"k0_Flow", "k0 Flow"},
                                     {"kFFTT", "kFFTT"},
                                     {"kFFT", "kFFT"},
                                     {"kFTT", "kFTT"},
                                     {"kFT", "kFT"},
                                     {"k0_Temp", "k0 Temp"},
                                     {"k1_Temp", "k1 Temp"},
                                     {"Theta", "Theta"}}),
                    0, 1, 2, 1);
    grid->addWidget(group("Ventil und Filter", {{"PWMLin", "PWM Lin"},
                                                {"ValveAHI", "Ventil AHI"},
                                                {"FilterLimit", "Filter Grenze"},
                                                {"FilterAvrge", "Filter Mittel"}}),
                    2, 1);
    QGroupBox* type = group("Typ", {{"SNo", "Seriennummer"},
                                    {"TypeCode0", "Typcode 1"},
                                    {"TypeCode2", "Typcode 2"},
                                    {"HWVer", "Hardware"},
                                    {"SWVer", "Software"},
                                    {"Temperatur", "Temperatur"},
                                    {"TempUnit", "Temp. Einheit"},
                                    {"PressUnit", "Druckeinheit"},
                                    {"Reg1012", "Register 0x1012"}});
    fields_["SWVer"]->setReadOnly(true);
    fields_["Reg1012"]->setReadOnly(true);
    auto* typeForm = static_cast<QFormLayout*>(type->layout());
    for (auto [bit, name, caption] : {std::tuple{kFnController, "ControllBox", "Regler"},
                                      {kFnTotalizer, "TotalizeBox", "Totalisator"},
                                      {kFnReverseFlow, "ReverseFlowBox", "Rückfluss"}}) {
        auto* box = new QCheckBox(caption, type);
        box->setObjectName(name);
        switches_[bit] = box;
        typeForm->addRow(box);
        connect(box, &QCheckBox::toggled, this, [this, bit](bool on) {
            if (showing_) return;
            logic_.setFunctionBit(bit, on);
            refresh();
        });
    }
    grid->addWidget(type, 0, 2, 2, 1);

    auto* lut = new QGroupBox("Lookup-Tabelle", this);
    auto* lutLayout = new QHBoxLayout(lut);
    auto* lutForm = new QFormLayout;
    lutBox_ = new QComboBox(lut);
    lutBox_->setObjectName("LuTBox");
    for (int i = 0; i < 5; ++i)
        lutBox_->addItem(QString("LuT %1").arg(i));
    lutBox_->setCurrentIndex(-1);
    lutForm->addRow("Satz", lutBox_);
    for (const char* name : {"LuTNrEdit", "LuTInfoEdit"}) {
        fields_[name] = new QLineEdit(lut);
        fields_[name]->setObjectName(name);
        fields_[name]->setMinimumWidth(90);
        lutForm->addRow(name == std::string("LuTNrEdit") ? "Ident" : "Info", fields_[name]);
        connect(fields_[name], &QLineEdit::editingFinished, this,
                [this, n = std::string(name)] { edited(n); });
    }
    auto* slotForm = new QFormLayout;
    int row = 0;
    for (const std::string& key : konfig2SlotKeys()) {
        auto* e = new QLineEdit(lut);
        e->setObjectName(QString::fromStdString("LuT_" + key));
        e->setMinimumWidth(90);
        slotFields_[key] = e;
        // The slot's keys as in the data file; the range under its German caption.
        (row++ < 4 ? lutForm : slotForm)
            ->addRow(key == "Range" ? QString("Bereich") : QString::fromStdString(key), e);
        connect(e, &QLineEdit::editingFinished, this, [this, key, e] {
            if (showing_) return;
            logic_.setSlotValue(key, e->text().toStdString());
            refresh();
        });
    }
    auto* satz = new QPushButton("Satz löschen", lut);
    satz->setObjectName("LuTDeleteBtn");
    lutForm->addRow(satz);
    table_ = new QTableWidget(kLutValueCount, 1, lut);
    table_->setObjectName("LutTbl");
    table_->setHorizontalHeaderLabels({"Fluss"});
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setDefaultSectionSize(20);
    table_->setMinimumWidth(150);
    lutLayout->addLayout(lutForm);
    lutLayout->addLayout(slotForm);
    lutLayout->addWidget(table_);
    grid->addWidget(lut, 2, 2);
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    btnOk_ = new QPushButton("&OK", this);
    auto* apply = new QPushButton("&Übernehmen", this);
    auto* data = new QPushButton("Data", this);
    data->setObjectName("DataBtn");
    auto* cancel = new QPushButton("&Abbrechen", this);
    buttons->addWidget(data);
    buttons->addStretch();
    for (QPushButton* b : {btnOk_, apply, cancel})
        buttons->addWidget(b);
    layout->addLayout(buttons);

    connect(lutBox_, &QComboBox::activated, this, [this](int i) { LuTBoxSelect(i); });
    connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (showing_) return;
        logic_.setTableText(item->row(), item->text().toStdString()); // LutTblExit
        refresh();
    });
    connect(just, &QPushButton::clicked, this, [this] {
        logic_.TotJustBtnNewClick(korrektur_->text().toStdString(), mess_->text().toStdString());
        refresh();
    });
    connect(loeschen, &QPushButton::clicked, this, [this] { logic_.BitBtn2Click(); });
    connect(satz, &QPushButton::clicked, this, [this] {
        logic_.LuTDeleteBtnClick();
        refresh();
    });
    connect(btnOk_, &QPushButton::clicked, this, [this] {
        OKBtnClick();
        if (logic_.invalidNames().empty()) accept();
    });
    connect(apply, &QPushButton::clicked, this, [this] { OKBtnClick(); });
    connect(data, &QPushButton::clicked, this, [this] {
        if (onData) onData();
        refresh();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QWidget* TKonfig2::editorFor(const std::string& name, QWidget* parent) {
    const std::vector<std::string>* items = name == "FUnit"     ? &flowUnitChoices()
                                            : name == "TUnit"   ? &totalUnitChoices()
                                            : name == "VSTFlow" ? &vstFlowChoices()
                                                                : nullptr;
    if (items || name == "AnalogSource") {
        auto* box = new QComboBox(parent);
        box->setObjectName(QString::fromStdString(name));
        if (items)
            for (const std::string& i : *items)
                box->addItem(QString::fromStdString(i));
        else
            box->addItems({"mA", "V"});
        choices_[name] = box;
        connect(box, &QComboBox::activated, this, [this, name, box](int i) {
            const std::string t = box->itemText(i).toStdString();
            if (name == "FUnit")
                logic_.RUnitChange(t); // RUnitChange: the range follows the unit
            else if (name == "TUnit")
                logic_.TUnitChange(t);
            else
                logic_.setValue(name, name == "AnalogSource" ? std::to_string(i) : t);
            refresh();
        });
        return box;
    }
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromStdString(name));
    e->setMinimumWidth(90); // a float's nine digits stay readable
    fields_[name] = e;
    connect(e, &QLineEdit::editingFinished, this, [this, name] { edited(name); });
    return e;
}

QGroupBox* TKonfig2::group(const char* caption,
                           std::initializer_list<std::pair<const char*, const char*>> fields) {
    auto* box = new QGroupBox(caption, this);
    auto* form = new QFormLayout(box);
    for (auto [name, label] : fields)
        form->addRow(label, editorFor(name, box));
    return box;
}

void TKonfig2::edited(const std::string& name) {
    if (showing_) return;
    // ZahlExit, TextExit, TypeCodeExit, RangeExit: the logic checks, the field shows the mark.
    logic_.setValue(name, fields_.at(name)->text().toStdString());
    refresh();
}

QLineEdit* TKonfig2::field(const std::string& name) const {
    auto it = fields_.find(name);
    if (it != fields_.end()) return it->second;
    auto s = slotFields_.find(name);
    return s == slotFields_.end() ? nullptr : s->second;
}

QComboBox* TKonfig2::choice(const std::string& name) const {
    auto it = choices_.find(name);
    return it == choices_.end() ? nullptr : it->second;
}

int TKonfig2::open(TTesra& tesra) {
    logic_.setConnection(&tesra);
    FormActivate();
    return exec();
}

void TKonfig2::FormActivate() {
    logic_.FormActivate();
    if (logic_.lutChoice() >= 0) logic_.LuTBoxSelect(logic_.lutChoice());
    refresh();
}

void TKonfig2::LuTBoxSelect(int index) {
    logic_.LuTBoxSelect(index);
    refresh();
}

void TKonfig2::OKBtnClick() {
    logic_.OKBtnClick();
    refresh();
}

void TKonfig2::refresh() {
    showing_ = true;
    for (auto& [name, e] : fields_) {
        e->setText(QString::fromStdString(logic_.value(name)));
        if (logic_.invalid(name))
            e->setStyleSheet(kInvalid);
        else
            markEdit(e, logic_.hasValues() && logic_.changed(name));
    }
    for (auto& [name, box] : choices_) {
        const std::string v = logic_.value(name);
        if (name == "AnalogSource")
            box->setCurrentIndex(v == "0" ? 0 : v == "1" ? 1 : -1);
        else
            setChoiceText(box, v);
        markChoice(box, logic_.hasValues() && logic_.changed(name));
    }
    for (auto& [bit, box] : switches_)
        box->setChecked(logic_.functionBit(bit));
    lutBox_->setCurrentIndex(logic_.lutChoice());
    for (auto& [key, e] : slotFields_) {
        e->setText(QString::fromStdString(logic_.slotValue(key)));
        if (logic_.slotInvalid(key))
            e->setStyleSheet(kInvalid);
        else
            markEdit(e, logic_.hasSlotValue(key) && logic_.slotChanged(key));
    }
    const auto& values = logic_.table();
    for (int i = 0; i < kLutValueCount; ++i) {
        auto* item = new QTableWidgetItem(
            i < static_cast<int>(values.size()) ? QString::fromStdString(values[i]) : QString());
        if (logic_.tableInvalid(i)) item->setBackground(QColor(0xff, 0xc0, 0xc0));
        table_->setItem(i, 0, item);
    }
    showing_ = false;
}

} // namespace getkelo
