#include "console/forms/tcomm_form.h"

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

namespace {
constexpr int kNumberRole = Qt::UserRole;
constexpr int kPathRole = Qt::UserRole + 1;
} // namespace

CommFormTexts commFormTexts(const std::string& languageName) {
    const char first = languageName.empty() ? '\0' : languageName[0];
    if (first == 'D')
        return {"Einstellungen", "Schnittstelle", "Gerät", "Baudrate", "Lokal PC", "Pfad", "Typ ?"};
    if (first == 'F')
        return {"Etalonge", "Liason serielle", "Device", "Baudrate",
                "PC local", "Chemin",          "Type ?"};
    return {"Change properties", "Com Port", "Device", "Baudrate", "Local PC", "Path", "Type ?"};
}

void SaveOnPopupComboBox::showPopup() {
    emit aboutToPopup();
    QComboBox::showPopup();
}

TCommForm::TCommForm(TComm& comm, QWidget* parent) : QDialog(parent), comm_(comm) {
    setObjectName("Comm");
    probe_ = [this] {
        return probeComPorts([this](int n) { return comm_.ComPortPath(n); }, systemSerialPorts());
    };

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
    ports_->setMinimumHeight(110);
    ports_->setMinimumWidth(380);
    portLayout->addRow(ports_);
    pathLabel_ = new QLabel(portGroup_);
    path_ = new QLineEdit(portGroup_);
    path_->setObjectName("PathEdit");
    portLayout->addRow(pathLabel_, path_);
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
    ipLabel_ = new QLabel("IP", tcp);
    tcpLayout->addRow(ipLabel_, ipRow);
    tcpPort_ = new QLineEdit(tcp);
    tcpPort_->setObjectName("PortEdit");
    tcpPort_->setMaximumWidth(80);
    portLabel_ = new QLabel("Port", tcp);
    tcpLayout->addRow(portLabel_, tcpPort_);
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
    connect(ports_, &QListWidget::currentRowChanged, this, [this] { portChosen(); });
    applyTexts();
}

void TCommForm::applyTexts() {
    const CommFormTexts t = commFormTexts(comm_.LanguageName);
    setWindowTitle(QString::fromStdString(t.caption));
    portGroup_->setTitle(QString::fromStdString(t.portGroup));
    deviceLabel_->setText(QString::fromStdString(t.device));
    baudLabel_->setText(QString::fromStdString(t.baud));
    pathLabel_->setText(QString::fromStdString(t.path));
    connection_->setItemText(0, QString::fromStdString(t.local));
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
    const std::string unknown = commFormTexts(comm_.LanguageName).unknownType;
    for (const auto& p : probe_()) {
        auto* item = new QListWidgetItem(QString::fromStdString(comPortEntryText(p, unknown)));
        item->setData(kNumberRole, p.number);
        item->setData(kPathRole, QString::fromStdString(p.path));
        item->setToolTip(QString::fromStdString(p.path));
        ports_->addItem(item);
    }
    baud_->setCurrentIndex(0);
    loadSection(device_->currentText());
}

void TCommForm::portChosen() {
    if (auto* item = ports_->currentItem()) path_->setText(item->data(kPathRole).toString());
}

int TCommForm::comNumberFor(const std::string& path, int fallback) const {
    char a[PATH_MAX], b[PATH_MAX];
    const std::string wanted = realpath(path.c_str(), a) ? std::string(a) : path;
    for (int n = 1; n <= 8; ++n) {
        const std::string p = comm_.ComPortPath(n);
        if (p == path || (realpath(p.c_str(), b) && wanted == b)) return n;
    }
    return fallback;
}

void TCommForm::loadSection(const QString& sectionName) {
    IniFile ini(comm_.IniPath);
    const std::string section = sectionName.toStdString();
    const int com = static_cast<int>(ini.readInteger(section, "Com", 1));
    const QString comPath = QString::fromStdString(comm_.ComPortPath(com));
    int row = -1;
    for (int i = 0; i < ports_->count() && row < 0; ++i)
        if (ports_->item(i)->data(kNumberRole).toInt() == com) row = i;
    for (int i = 0; i < ports_->count() && row < 0; ++i)
        if (ports_->item(i)->data(kPathRole).toString() == comPath) row = i;
    ports_->setCurrentRow(row);
    // The stored path also when its port is not there now (an adapter not plugged in).
    path_->setText(comPath);
    connection_->setCurrentIndex(ini.readBool(section, "TcpIp", false) ? 1 : 0);
    tcpPort_->setText(QString::number(ini.readInteger(section, "Port", 0)));
    int a = 0, b = 0, c = 0, d = 0;
    const std::string ip = ini.readString(section, "IP", "0.0.0.0");
    std::sscanf(ip.c_str(), "%d.%d.%d.%d", &a, &b, &c, &d);
    const int parts[4] = {a, b, c, d};
    for (int i = 0; i < 4; ++i)
        octets_[i]->setText(QString::number(parts[i]));
    applyConnectionChoice();
}

void TCommForm::applyConnectionChoice() {
    const bool tcp = connection_->currentIndex() == 1;
    for (auto* o : octets_)
        o->setEnabled(tcp);
    tcpPort_->setEnabled(tcp);
    ports_->setEnabled(!tcp);
    path_->setEnabled(!tcp);
}

void TCommForm::save() {
    const std::string section = device_->currentText().toStdString();
    if (section.empty()) return;
    IniFile ini(comm_.IniPath);
    IniFile::Batch batch(ini);
    const int stored = static_cast<int>(ini.readInteger(section, "Com", 1));
    const std::string path = path_->text().trimmed().toStdString();
    int com = 0;
    if (auto* item = ports_->currentItem(); item && item->isSelected())
        com = item->data(kNumberRole).toInt();
    // A port listed by its path, or a path typed in: stored under the COM number that names it
    // already, or else under the stored one.
    if (com == 0 && !path.empty()) com = comNumberFor(path, stored > 0 ? stored : 1);
    if (com > 0) {
        ini.writeInteger(section, "Com", com);
        if (!path.empty() && path != comm_.ComPortPath(com))
            ini.writeString(section, "ComPath_" + std::to_string(com), path);
    }
    ini.writeBool(section, "TcpIp", connection_->currentIndex() != 0);
    ini.writeInteger(section, "Port", std::atoi(tcpPort_->text().toUtf8().constData()));
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
