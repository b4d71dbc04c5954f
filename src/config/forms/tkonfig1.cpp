#include "config/forms/tkonfig1.h"

#include "base/number_format.h"
#include "config/konfig1.h"
#include "console/forms/change_marks.h"
#include "console/text_source.h"
#include "ui/ui_adapter.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace getkelo {

TKonfig1::TKonfig1(Konfig1& logic, UiAdapter& ui, QWidget* parent)
    : QDialog(parent), logic_(logic), ui_(ui) {
    setObjectName("Konfig1");
    setWindowTitle("EEPROM Konfiguration");
    auto* layout = new QVBoxLayout(this);
    lblSource_ = new QLabel(this);
    lblSource_->setObjectName("lblK1Source");
    layout->addWidget(lblSource_);

    auto* grid = new QGridLayout;
    grid->addWidget(
        group("gbxK1Sensor", "Sensor", {{"Gain", "Verstärkung"}, {"HeatPower", "Heizleistung"}}), 0,
        0);
    grid->addWidget(
        group(
            "gbxK1Display", "Anzeige",
            {{"Std_Norm", "Std/Norm"}, {"Unit", "Einheit (Code)"}, {"Digits", "Nachkommastellen"}}),
        0, 1);
    grid->addWidget(group("gbxK1Flow", "Durchfluss",
                          {{"TheorMaxFlow", "Theor. Maximalfluss"},
                           {"PractMaxFlow", "Prakt. Maximalfluss"},
                           {"Zerocut", "Nullpunktunterdrückung"}}),
                    1, 0);
    QGroupBox* scaling =
        group("gbxK1Scaling", "Skalierung",
              {{"Factor", "Faktor"}, {"Divisor", "Divisor"}, {"Step", "Schrittweite"}});
    lblFlowScale_ = new QLabel("Flussskalierung", scaling);
    flowScale_ = new QLabel(scaling);
    flowScale_->setObjectName("FlowScale");
    static_cast<QFormLayout*>(scaling->layout())->addRow(lblFlowScale_, flowScale_);
    grid->addWidget(scaling, 1, 1);
    layout->addLayout(grid);

    auto* gas = new QHBoxLayout;
    labels_["Gas"] = new QLabel("Gas", this);
    fields_["Gas"] = new QLineEdit(this);
    fields_["Gas"]->setObjectName("Gas");
    fields_["Gas"]->setMaxLength(7); // the device keeps seven characters
    fields_["Gas"]->setFixedWidth(110);
    gas->addWidget(labels_["Gas"]);
    gas->addWidget(fields_["Gas"]);
    gas->addStretch();
    layout->addLayout(gas);

    auto* buttons = new QHBoxLayout;
    btnRead_ = new QPushButton("EEPROM lesen", this);
    btnWrite_ = new QPushButton("EEPROM schreiben", this);
    btnLoad_ = new QPushButton("Laden...", this);
    btnSave_ = new QPushButton("Speichern...", this);
    btnClose_ = new QPushButton("Schliessen", this);
    for (QPushButton* b : {btnRead_, btnWrite_, btnLoad_, btnSave_})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(btnClose_);
    layout->addLayout(buttons);

    connect(btnRead_, &QPushButton::clicked, this, [this] { LesenClick(); });
    connect(btnWrite_, &QPushButton::clicked, this, [this] { SchreibenClick(); });
    connect(btnLoad_, &QPushButton::clicked, this, [this] { LadenClick(); });
    connect(btnSave_, &QPushButton::clicked, this, [this] { SpeichernClick(); });
    connect(btnClose_, &QPushButton::clicked, this, &QDialog::reject);
    for (auto& [key, edit] : fields_) {
        const std::string k = key;
        connect(edit, &QLineEdit::editingFinished, this, [this, k] { fieldEdited(k); });
    }
    refresh();
}

QGroupBox* TKonfig1::group(const char* name, const char* caption,
                           std::initializer_list<std::pair<const char*, const char*>> fields) {
    auto* box = new QGroupBox(caption, this);
    box->setObjectName(name);
    groups_[name] = box;
    auto* form = new QFormLayout(box);
    for (const auto& [key, label] : fields) {
        labels_[key] = new QLabel(label, box);
        auto* edit = new QLineEdit(box);
        edit->setObjectName(key);
        edit->setFixedWidth(90);
        edit->setAlignment(Qt::AlignRight);
        fields_[key] = edit;
        form->addRow(labels_[key], edit);
    }
    return box;
}

void TKonfig1::applyLanguage(const TextSource& t) {
    auto set = [&t](auto* w, const std::string& key) {
        const std::string text = t.text(key);
        if (!text.empty()) w->setText(QString::fromStdString(text));
    };
    const std::string caption = t.text("Konfig1");
    if (!caption.empty()) setWindowTitle(QString::fromStdString(caption));
    for (auto& [name, box] : groups_) {
        const std::string text = t.text(name);
        if (!text.empty()) box->setTitle(QString::fromStdString(text));
    }
    for (auto& [key, label] : labels_) {
        std::string k = key;
        k.erase(std::remove(k.begin(), k.end(), '_'), k.end());
        set(label, "lblK1" + k);
    }
    set(lblFlowScale_, "lblK1FlowScale");
    set(btnRead_, "btnK1Read");
    set(btnWrite_, "btnK1Write");
    set(btnLoad_, "btnK1Load");
    set(btnSave_, "btnK1Save");
    set(btnClose_, "btnClose");
    auto q = [&t](const char* key, QString& target) {
        const std::string text = t.text(key);
        if (!text.empty()) target = QString::fromStdString(text);
    };
    q("lblK1Source", sourceCaption_);
    q("lblK1NoImage", noImage_);
    q("lblK1FromDevice", fromDevice_);
    q("infoKonfig1Files", fileFilter_);
    q("infoAllFiles", allFiles_);
    refresh();
}

int TKonfig1::open(TTesra& tesra) {
    logic_.setConnection(&tesra);
    readOnShow_ = true;
    refresh();
    return exec();
}

void TKonfig1::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!readOnShow_) return;
    readOnShow_ = false;
    // After the dialog is on screen, so the progress window stands above it.
    QTimer::singleShot(0, this, [this] { LesenClick(); });
}

QLineEdit* TKonfig1::field(const std::string& key) const {
    auto it = fields_.find(key);
    return it == fields_.end() ? nullptr : it->second;
}

void TKonfig1::fieldEdited(const std::string& key) {
    // A message box below takes the focus, which finishes the edit a second time.
    if (checking_ || !logic_.hasImage()) return;
    QLineEdit* edit = field(key);
    const std::string text = edit->text().trimmed().toStdString();
    if (text == logic_.fieldText(key)) return;
    checking_ = true;
    logic_.setField(key, text);
    checking_ = false;
    refresh();
}

void TKonfig1::LesenClick() {
    setEnabled(false); // one bus action at a time
    logic_.readFromDevice();
    setEnabled(true);
    refresh();
}

void TKonfig1::SchreibenClick() {
    setEnabled(false);
    logic_.writeToDevice();
    setEnabled(true);
    refresh();
}

void TKonfig1::LadenClick() {
    auto path = ui_.chooseFile(btnLoad_->text().toStdString(), "", filter(), false);
    if (path) logic_.loadFile(*path);
    refresh();
}

void TKonfig1::SpeichernClick() {
    auto path = ui_.chooseFile(btnSave_->text().toStdString(), logic_.origin(), filter(), true);
    if (!path) return;
    std::string file = *path;
    if (file.find('.', file.find_last_of('/') + 1) == std::string::npos) file += ".eep";
    logic_.saveFile(file);
}

std::string TKonfig1::filter() const {
    return (fileFilter_ + "|*.eep|" + allFiles_ + "|*").toStdString();
}

void TKonfig1::refresh() {
    const bool image = logic_.hasImage();
    for (auto& [key, edit] : fields_) {
        edit->setText(QString::fromStdString(logic_.fieldText(key)));
        edit->setEnabled(image);
        markEdit(edit, logic_.changed(key));
    }
    flowScale_->setText(image ? QString::fromStdString(formatGeneral(logic_.flowScale(), 7))
                              : QString());
    QString source = noImage_;
    if (image)
        source = logic_.origin().find('/') == std::string::npos
                     ? fromDevice_ + " " + QString::fromStdString(logic_.origin())
                     : QString::fromStdString(logic_.origin());
    lblSource_->setText(sourceCaption_ + " " + source);
    btnWrite_->setEnabled(image);
    btnSave_->setEnabled(image);
}

} // namespace getkelo
