#include "update/forms/tupdt.h"

#include "console/text_source.h"
#include "update/update_dialog.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

namespace getkelo {
namespace {
QString q(const std::string& s) {
    return QString::fromStdString(s);
}
} // namespace

TUpdt::TUpdt(UpdateDialog& logic, const TextSource& texts, QWidget* parent)
    : QDialog(parent), logic_(logic), texts_(texts) {
    setObjectName("Updt");
    setWindowTitle("Software Update");
    resize(560, 520);
    auto* top = new QVBoxLayout(this);

    auto* modus = gbxModus_ = new QGroupBox("Modus", this);
    modus->setObjectName("rgpModus");
    auto* modusRow = new QHBoxLayout(modus);
    rdbExpress_ = new QRadioButton("Express Modus", modus);
    rdbExpert_ = new QRadioButton("Experten Modus", modus);
    modusRow->addWidget(rdbExpress_);
    modusRow->addWidget(rdbExpert_);
    modusRow->addStretch();
    auto* group = new QButtonGroup(this);
    group->addButton(rdbExpress_, 0);
    group->addButton(rdbExpert_, 1);
    connect(group, &QButtonGroup::idClicked, this, [this](int id) { rgpModusClick(id); });
    top->addWidget(modus);

    auto* device = new QFormLayout;
    lblSerial_ = new QLabel(this);
    lblAddress_ = new QLabel(this);
    lblFirmware_ = new QLabel(this);
    lblCurrent_ = new QLabel(this);
    capSerial_ = new QLabel("Seriennummer:", this);
    capAddress_ = new QLabel("Modbus Adresse:", this);
    capFirmware_ = new QLabel("Firmware Tesra:", this);
    capCurrent_ = new QLabel("Aktuelle Firmware:", this);
    device->addRow(capSerial_, lblSerial_);
    device->addRow(capAddress_, lblAddress_);
    device->addRow(capFirmware_, lblFirmware_);
    device->addRow(capCurrent_, lblCurrent_);
    top->addLayout(device);

    pages_ = new QStackedWidget(this);
    auto* express = new QWidget(pages_);
    auto* expressLayout = new QHBoxLayout(express);
    expressLayout->setContentsMargins(0, 0, 0, 0);
    btnExUpdate_ = new QPushButton("Update", express);
    btnExUpdate_->setObjectName("btnExUpdate");
    expressLayout->addWidget(btnExUpdate_);
    expressLayout->addStretch();
    auto* expert = new QWidget(pages_);
    auto* expertLayout = new QVBoxLayout(expert);
    expertLayout->setContentsMargins(0, 0, 0, 0);
    list_ = new QTreeWidget(expert);
    list_->setRootIsDecorated(false);
    list_->setColumnCount(3);
    list_->header()->setStretchLastSection(true);
    expertLayout->addWidget(list_);
    btnExpertUpdate_ = new QPushButton("Update", expert);
    btnExpertUpdate_->setObjectName("btnExpertUpdate");
    expertLayout->addWidget(btnExpertUpdate_, 0, Qt::AlignLeft);
    pages_->addWidget(express);
    pages_->addWidget(expert);
    top->addWidget(pages_);

    info_ = new QPlainTextEdit(this);
    info_->setReadOnly(true);
    info_->setMaximumHeight(130);
    top->addWidget(info_);
    capStatus_ = new QLabel("Update Status:", this);
    top->addWidget(capStatus_);
    memo_ = new QPlainTextEdit(this);
    memo_->setReadOnly(true);
    memo_->setMinimumHeight(140);
    top->addWidget(memo_, 1);
    bar_ = new QProgressBar(this);
    top->addWidget(bar_);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    btnClose_ = new QPushButton("Schliessen", this);
    btnClose_->setObjectName("btnClose");
    bottom->addWidget(btnClose_);
    top->addLayout(bottom);

    connect(btnExUpdate_, &QPushButton::clicked, this, [this] { btnExUpdateClick(); });
    connect(btnExpertUpdate_, &QPushButton::clicked, this, [this] { btnExpertUpdateClick(); });
    connect(btnClose_, &QPushButton::clicked, this, [this] { btnCloseClick(); });
    logic_.onRepaint = [this] {
        refresh();
        bar_->repaint();
        // Paint only: no click, key or timer of the console can start a second bus action.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}

void TUpdt::setSources(std::string updateFolder, const DeviceList* devices) {
    folder_ = std::move(updateFolder);
    devices_ = devices;
}

void TUpdt::applyLanguage(const TextSource& t) {
    auto set = [&t](auto* w, const char* key) {
        const std::string text = t.text(key);
        if (!text.empty()) w->setText(q(text));
    };
    if (!t.text("UpdtCaption").empty()) setWindowTitle(q(t.text("UpdtCaption")));
    if (!t.text("UpdtModus").empty()) gbxModus_->setTitle(q(t.text("UpdtModus")));
    set(rdbExpress_, "rgpModus0");
    set(rdbExpert_, "rgpModus1");
    set(capSerial_, "UpdtSerial");
    set(capAddress_, "UpdtAddress");
    set(capFirmware_, "UpdtFirmware");
    set(capCurrent_, "UpdtCurrent");
    set(capStatus_, "UpdtStatus");
    set(btnExUpdate_, "UpdtUpdate");
    set(btnExpertUpdate_, "UpdtUpdate");
    set(btnClose_, "btnClose");
    noFirmwareText_ =
        t.text("UpdtNoFirmware").empty() ? "Keine Firmware gefunden!" : t.text("UpdtNoFirmware");
    if (isVisible()) refresh();
}

void TUpdt::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormActivate();
}

void TUpdt::FormActivate() {
    logic_.FormActivate(folder_);
    rdbExpress_->setChecked(true);
    rgpModusClick(0);
    const auto& s = logic_.state();
    list_->clear();
    list_->setHeaderLabels(
        {q(texts_.text("Col1Header")), q(texts_.text("Col2Header")), q(texts_.text("Col3Header"))});
    for (size_t i = 0; i < s.table.size(); ++i)
        list_->addTopLevelItem(
            new QTreeWidgetItem({QString::number(i + 1), q(firmwareListName(s.table[i].path)),
                                 q(s.table[i].sizeText)}));
    QStringList info;
    for (int k = 1; k <= 8; ++k)
        info << q(texts_.text("infoUpdateInfo" + std::to_string(k)));
    info_->setPlainText(info.join('\n'));
    refresh();
}

void TUpdt::rgpModusClick(int mode) {
    const int shown = mode == 1 ? 1 : 0;
    // The hidden page takes no room, so Express mode gives it to the status memo.
    for (int i = 0; i < pages_->count(); ++i)
        pages_->widget(i)->setSizePolicy(i == shown ? QSizePolicy::Preferred : QSizePolicy::Ignored,
                                         i == shown ? QSizePolicy::Preferred
                                                    : QSizePolicy::Ignored);
    pages_->setCurrentIndex(shown);
    pages_->adjustSize();
}

void TUpdt::refresh() {
    const auto& s = logic_.state();
    lblSerial_->setText(q(s.serialLabel));
    lblAddress_->setText(q(s.addressLabel));
    lblFirmware_->setText(q(s.firmwareLabel));
    lblCurrent_->setText(q(s.table.empty() ? noFirmwareText_ : s.currentFirmware));
    info_->setVisible(s.infoVisible);
    btnExUpdate_->setEnabled(s.updateEnabled && !running_);
    btnExpertUpdate_->setEnabled(s.updateEnabled && !running_);
    btnClose_->setEnabled(s.closeEnabled && !running_);
    rdbExpress_->setEnabled(!running_);
    rdbExpert_->setEnabled(!running_);
    QStringList lines;
    for (const auto& l : s.memo)
        lines << q(l);
    if (memo_->toPlainText() != lines.join('\n')) memo_->setPlainText(lines.join('\n'));
    bar_->setMaximum(std::max(s.progressMax, 1));
    bar_->setValue(std::min(s.progress, std::max(s.progressMax, 1)));
}

void TUpdt::runStarted() {
    running_ = true;
    refresh();
    repaint();
}

void TUpdt::btnExUpdateClick() {
    if (running_) return;
    runStarted();
    logic_.btnExUpdateClick(devices_);
    running_ = false;
    refresh();
}

void TUpdt::btnExpertUpdateClick() {
    if (running_) return;
    QTreeWidgetItem* item = list_->currentItem();
    if (!item) return;
    runStarted();
    logic_.btnExpertUpdateClick(list_->indexOfTopLevelItem(item) + 1, devices_);
    running_ = false;
    refresh();
}

void TUpdt::closeEvent(QCloseEvent* e) {
    if (running_) return e->ignore(); // not while the device is in its bootloader
    QDialog::closeEvent(e);
}

void TUpdt::reject() {
    if (!running_) QDialog::reject();
}

} // namespace getkelo
