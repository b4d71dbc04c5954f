#include "console/forms/tcomm_form.h"
#include "base/integer_parse.h"

#include "base/ini_file.h"
#include "comm/tcomm.h"
#include "console/forms/com_port_probe.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QVBoxLayout>
#include <climits>

#include <cstdio>
#include <cstdlib>

namespace getkelo {

CommFormTexts commFormTexts(const std::string& languageName) {
    const char first = languageName.empty() ? '\0' : languageName[0];
    if (first == 'D') return {"Einstellungen", "Schnittstelle", "Gerät", "Baudrate"};
    if (first == 'F') return {"Etalonge", "Liason serielle", "Device", "Baudrate"};
    return {"Change properties", "Com Port", "Device", "Baudrate"};
}

void SaveOnPopupComboBox::showPopup() {
    emit aboutToPopup();
    QComboBox::showPopup();
}

TCommForm::TCommForm(TComm& comm, QWidget* parent) : QDialog(parent), comm_(comm) {
    setObjectName("Comm");
    probe_ = [this] { return probeComPorts([this](int n) { return comm_.ComPortPath(n); }); };

    auto* layout = new QVBoxLayout(this);
    auto* top = new QFormLayout;
    deviceLabel_ = new QLabel(this);
    device_ = new SaveOnPopupComboBox(this);
    device_->setObjectName("DeviceBox");
    top->addRow(deviceLabel_, device_);
    connection_ = new QComboBox(this);
    connection_->setObjectName("ConnectionBox");
    connection_->addItems({"Lokal PC", "TCP/IP"});
    top->addRow("", connection_);
    layout->addLayout(top);

    portGroup_ = new QGroupBox(this);
    auto* portLayout = new QFormLayout(portGroup_);
    ports_ = new QListWidget(portGroup_);
    ports_->setObjectName("PortList");
    ports_->setMinimumHeight(90);
    portLayout->addRow(ports_);
    baudLabel_ = new QLabel(portGroup_);
    baud_ = new QComboBox(portGroup_);
    baud_->addItem("9600");
    baud_->setEnabled(false);
    portLayout->addRow(baudLabel_, baud_);
    layout->addWidget(portGroup_);

    auto* tcp = new QGroupBox("TCP/IP", this);
    auto* tcpLayout = new QFormLayout(tcp);
    auto* ipRow = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        octets_[i] = new QLineEdit(tcp);
        octets_[i]->setObjectName(QString("IP%1").arg(i + 1));
        octets_[i]->setMaximumWidth(48);
        ipRow->addWidget(octets_[i]);
        if (i < 3) ipRow->addWidget(new QLabel(".", tcp));
    }
    ipRow->addStretch();
    tcpLayout->addRow("IP", ipRow);
    tcpPort_ = new QLineEdit(tcp);
    tcpPort_->setObjectName("PortEdit");
    tcpPort_->setMaximumWidth(80);
    tcpLayout->addRow("Port", tcpPort_);
    layout->addWidget(tcp);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(connection_, &QComboBox::currentIndexChanged, this,
            [this] { applyConnectionChoice(); });
    connect(device_, &QComboBox::currentTextChanged, this, [this](const QString& s) {
        if (!loading_) loadSection(s);
    });
    connect(device_, &SaveOnPopupComboBox::aboutToPopup, this, [this] { save(); });
    applyTexts();
}

void TCommForm::applyTexts() {
    const CommFormTexts t = commFormTexts(comm_.LanguageName);
    setWindowTitle(QString::fromStdString(t.caption));
    portGroup_->setTitle(QString::fromStdString(t.portGroup));
    deviceLabel_->setText(QString::fromStdString(t.device));
    baudLabel_->setText(QString::fromStdString(t.baud));
}

void TCommForm::showEvent(QShowEvent* e) {
    FormActivate();
    QDialog::showEvent(e);
}

void TCommForm::FormActivate() {
    applyTexts();
    loading_ = true;
    device_->clear();
    for (const auto& s : comm_.KnownSections)
        device_->addItem(QString::fromStdString(s));
    device_->setCurrentIndex(device_->count() > 0 ? 0 : -1);
    loading_ = false;
    ports_->clear();
    for (const auto& p : probe_())
        ports_->addItem(QString::fromStdString(p.text));
    baud_->setCurrentIndex(0);
    loadSection(device_->currentText());
}

// The port number of a list entry: the text after "COM", read up to the two blanks.
static int entryNumber(const QString& text) {
    return static_cast<int>(leadingInteger(text.mid(3).toStdString(), 0, INT_MAX));
}

void TCommForm::loadSection(const QString& sectionName) {
    IniFile ini(comm_.IniPath);
    const std::string section = sectionName.toStdString();
    const int com = static_cast<int>(ini.readInteger(section, "Com", 1));
    for (int i = 0; i < ports_->count(); ++i)
        if (entryNumber(ports_->item(i)->text()) == com) ports_->setCurrentRow(i);
    connection_->setCurrentIndex(ini.readBool(section, "TcpIp", false) ? 1 : 0);
    tcpPort_->setText(QString::number(ini.readInteger(section, "Port", 0)));
    const std::string ip = ini.readString(section, "IP", "0.0.0.0");
    size_t at = 0;
    bool more = true;
    for (int i = 0; i < 4; ++i) {
        size_t end = at;
        const long long octet = more ? leadingInteger(ip, 0, 255, &end, at) : 0;
        octets_[i]->setText(QString::number(octet));
        more = more && end > at && end < ip.size() && ip[end] == '.';
        at = end + 1;
    }
    applyConnectionChoice();
}

void TCommForm::applyConnectionChoice() {
    const bool tcp = connection_->currentIndex() == 1;
    for (auto* o : octets_)
        o->setEnabled(tcp);
    tcpPort_->setEnabled(tcp);
    ports_->setEnabled(!tcp);
}

void TCommForm::save() {
    const std::string section = device_->currentText().toStdString();
    if (section.empty()) return;
    IniFile ini(comm_.IniPath);
    IniFile::Batch batch(ini);
    if (auto* item = ports_->currentItem(); item && item->isSelected())
        ini.writeInteger(section, "Com", entryNumber(item->text()));
    ini.writeBool(section, "TcpIp", connection_->currentIndex() != 0);
    ini.writeInteger(section, "Port", leadingInteger(tcpPort_->text().toStdString(), 0, 65535));
    QStringList ip;
    for (auto* o : octets_)
        ip << o->text();
    ini.writeString(section, "IP", ip.join('.').toStdString());
}

void TCommForm::accept() {
    save();
    QDialog::accept();
}

} // namespace getkelo
