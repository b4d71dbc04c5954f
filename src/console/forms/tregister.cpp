#include "console/forms/tregister.h"

#include "console/text_source.h"

#include <QEvent>
#include <QRadioButton>

namespace getkelo {

namespace {

// The value field moves right to make room for its "0x" while "Hex-Wert" is checked.
constexpr QRect kValueWithPrefix(30, 94, 67, 22);
constexpr QRect kValueAlone(16, 94, 81, 22);

} // namespace

TRegister::TRegister(UiAdapter& ui, std::function<TTesra*()> connection, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), tool_(ui),
      connection_(std::move(connection)) {
    setObjectName("Register");
    setWindowTitle("Register");
    setFixedSize(372, 168);

    adresseLabel = new QLabel("Adresse (Hex)", this);
    adresseLabel->setGeometry(16, 10, 120, 18);
    auto* adressePrefix = new QLabel("0x", this);
    adressePrefix->setGeometry(16, 32, 14, 22);
    AdresseEdit = new QLineEdit(this);
    AdresseEdit->setObjectName("AdresseEdit");
    AdresseEdit->setGeometry(30, 32, 67, 22);
    AdresseEdit->setMaxLength(4);

    LesenBtn = new QPushButton("> Lesen", this);
    LesenBtn->setObjectName("LesenBtn");
    LesenBtn->setGeometry(108, 31, 90, 24);
    SchreibenBtn = new QPushButton("Schreiben >", this);
    SchreibenBtn->setObjectName("SchreibenBtn");
    SchreibenBtn->setGeometry(108, 93, 90, 24);
    // The default button follows the field that has the focus, never a focused button.
    LesenBtn->setAutoDefault(false);
    SchreibenBtn->setAutoDefault(false);

    wertLabel = new QLabel("Aus-/Eingabe", this);
    wertLabel->setGeometry(16, 72, 120, 18);
    wertPrefix = new QLabel("0x", this);
    wertPrefix->setGeometry(16, 94, 14, 22);
    WertEdit = new QLineEdit(this);
    WertEdit->setObjectName("WertEdit");
    WertEdit->setGeometry(kValueAlone);
    HexCheck = new QCheckBox("Hex-Wert", this);
    HexCheck->setObjectName("HexCheck");
    HexCheck->setGeometry(16, 126, 120, 22);

    VarTyp = new QGroupBox("VarTyp", this);
    VarTyp->setObjectName("VarTyp");
    VarTyp->setGeometry(212, 8, 148, 148);
    varTypChoice = new QButtonGroup(this);
    const auto& types = RegisterTool::varTypes();
    for (int i = 0; i < static_cast<int>(types.size()); ++i) {
        auto* b =
            new QRadioButton(QString::fromUtf8(types[static_cast<size_t>(i)].caption), VarTyp);
        b->setGeometry(10, 22 + 24 * i, 134, 22);
        varTypChoice->addButton(b, i);
    }

    AdresseEdit->installEventFilter(this);
    WertEdit->installEventFilter(this);
    connect(AdresseEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        tool_.setAddressText(text.toStdString());
        const QString cleaned = QString::fromStdString(tool_.addressText());
        if (cleaned == text) return;
        const int cursor = AdresseEdit->cursorPosition();
        AdresseEdit->setText(cleaned);
        AdresseEdit->setCursorPosition(std::min(cursor, int(cleaned.size())));
    });
    connect(WertEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { tool_.setValueText(text.toStdString()); });
    connect(LesenBtn, &QPushButton::clicked, this, [this] { LesenBtnClick(); });
    connect(SchreibenBtn, &QPushButton::clicked, this, [this] { SchreibenBtnClick(); });
    connect(varTypChoice, &QButtonGroup::idClicked, this, [this](int id) { VarTypClick(id); });
    connect(HexCheck, &QCheckBox::clicked, this, [this](bool on) { HexCheckClick(on); });

    tool_.FormCreate();
    render();
}

void TRegister::applyLanguage(const TextSource& texts) {
    auto text = [&texts](const char* key, const QString& fallback) {
        const std::string t = texts.text(key);
        return t.empty() ? fallback : QString::fromStdString(t);
    };
    setWindowTitle(text("RegisterCaption", windowTitle()));
    adresseLabel->setText(text("RegisterAddress", adresseLabel->text()));
    LesenBtn->setText(text("RegisterRead", LesenBtn->text()));
    SchreibenBtn->setText(text("RegisterWrite", SchreibenBtn->text()));
    wertLabel->setText(text("RegisterValue", wertLabel->text()));
    HexCheck->setText(text("RegisterHex", HexCheck->text()));
    VarTyp->setTitle(text("RegisterType", VarTyp->title()));
}

void TRegister::render() {
    if (AdresseEdit->text().toStdString() != tool_.addressText())
        AdresseEdit->setText(QString::fromStdString(tool_.addressText()));
    if (WertEdit->text().toStdString() != tool_.valueText())
        WertEdit->setText(QString::fromStdString(tool_.valueText()));
    if (QAbstractButton* b = varTypChoice->button(tool_.typeIndex())) b->setChecked(true);
    HexCheck->setEnabled(tool_.hexEnabled());
    HexCheck->setChecked(tool_.hexChecked());
    WertEdit->setGeometry(tool_.hexChecked() ? kValueWithPrefix : kValueAlone);
    // Without "Hex-Wert" the value field lies over its "0x".
    wertPrefix->setVisible(tool_.hexChecked());
    LesenBtn->setDefault(tool_.defaultButton() == RegisterTool::Button::Lesen);
    SchreibenBtn->setDefault(tool_.defaultButton() == RegisterTool::Button::Schreiben);
}

void TRegister::selectField() {
    QLineEdit* field = nullptr;
    if (tool_.selectedField() == RegisterTool::Field::Address) field = AdresseEdit;
    if (tool_.selectedField() == RegisterTool::Field::Value) field = WertEdit;
    if (!field) return;
    field->setFocus();
    field->selectAll();
}

void TRegister::LesenBtnClick() {
    tool_.LesenBtnClick(connection_ ? connection_() : nullptr);
    render();
    selectField();
}

void TRegister::SchreibenBtnClick() {
    tool_.SchreibenBtnClick(connection_ ? connection_() : nullptr);
    render();
    selectField();
}

void TRegister::VarTypClick(int index) {
    tool_.VarTypClick(index);
    render();
}

void TRegister::HexCheckClick(bool checked) {
    tool_.HexCheckClick(checked);
    render();
}

bool TRegister::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == AdresseEdit) tool_.AdresseEditEnter();
        if (watched == WertEdit) tool_.WertEditEnter();
        if (watched == AdresseEdit || watched == WertEdit) render();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace getkelo
