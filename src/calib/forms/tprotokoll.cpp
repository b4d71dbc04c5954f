#include "calib/forms/tprotokoll.h"

#include "base/clock.h"
#include "base/date_time.h"
#include "base/number_format.h"
#include "calib/calib_texts.h"
#include "calib/forms/certificate_pdf.h"
#include "calib/forms/printer_box.h"
#include "calib/forms/tdatei.h"
#include "ui/ui_adapter.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextEdit>
#include <QVBoxLayout>

namespace getkelo {
namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

std::string ss(const QLineEdit* e) {
    return e->text().trimmed().toStdString();
}

QLineEdit* edit(const char* name) {
    auto* e = new QLineEdit;
    e->setObjectName(name);
    return e;
}

} // namespace

std::optional<QString> printCertificateWithDialog(const QString& html, const QString& printer,
                                                  QWidget* parent) {
    QPrinter device(QPrinterInfo::printerInfo(printer), QPrinter::HighResolution);
    device.setDocName("Calibration report");
    QPrintDialog dialog(&device, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    if (!paintCertificate(html, device) || device.printerState() == QPrinter::Error)
        return QString();
    return device.outputFormat() == QPrinter::PdfFormat ? kPdfOutput : device.printerName();
}

TProtokoll::TProtokoll(Certificate& certificate, UiAdapter& ui, const TextSource& texts,
                       Clock& clock, QWidget* parent)
    : QDialog(parent), certificate_(certificate), ui_(ui), texts_(texts), clock_(clock) {
    setObjectName("Protokoll");
    setWindowTitle("Kalibrier-Protokoll");
    printer_ = [this](const QString& html, const QString& printer) {
        return printCertificateWithDialog(html, printer, this);
    };
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;

    auto* order = new QGroupBox("Auftrag");
    auto* orderForm = new QFormLayout(order);
    ANrEdit = edit("ANrEdit");
    UserEdit = edit("UserEdit");
    KommentarEdit = edit("KommentarEdit");
    PunkteEdit = new QSpinBox;
    PunkteEdit->setObjectName("PunkteEdit");
    PunkteEdit->setRange(1, 20);
    PunkteEdit->setValue(4);
    orderForm->addRow("Nummer", ANrEdit);
    orderForm->addRow("Benutzer", UserEdit);
    orderForm->addRow("Kommentar", KommentarEdit);
    orderForm->addRow("Messpunkte (ex. 0)", PunkteEdit);
    left->addWidget(order);

    auto* device = new QGroupBox("Gerät");
    auto* deviceForm = new QFormLayout(device);
    TypEdit = edit("TypEdit");
    SNrEdit = edit("SNrEdit");
    CodeEdit = edit("CodeEdit");
    GasEdit = edit("GasEdit");
    FunktionBox = new QComboBox;
    FunktionBox->setObjectName("FunktionBox");
    FunktionBox->addItems({"Flow Meter", "Flow Controller", "Flow Regulator"});
    RangeEdit = edit("RangeEdit");
    UnitEdit = edit("UnitEdit");
    TempEdit = edit("TempEdit");
    P_Kalib = edit("P_Kalib");
    P_Kunde = edit("P_Kunde");
    DynamikEdit = edit("DynamikEdit");
    DynamikEdit->setText("50");
    deviceForm->addRow("Typ", TypEdit);
    deviceForm->addRow("Serien-Nr.", SNrEdit);
    deviceForm->addRow("Code", CodeEdit);
    deviceForm->addRow("Funktion", FunktionBox);
    deviceForm->addRow("Gas", GasEdit);
    deviceForm->addRow("Messbereich", RangeEdit);
    deviceForm->addRow("Einheit", UnitEdit);
    deviceForm->addRow("Kalibration [bar a]", P_Kalib);
    deviceForm->addRow("Kunde [bar a]", P_Kunde);
    deviceForm->addRow("Kunde [°C]", TempEdit);
    deviceForm->addRow("Dynamik", DynamikEdit);
    left->addWidget(device);

    auto* mlnGroup = new QGroupBox("Verify-DATA");
    mlnGroup->setObjectName("mlnGroup");
    auto* mlnLayout = new QHBoxLayout(mlnGroup);
    lnButton = new QRadioButton("ln/min (Standard)");
    mlnButton = new QRadioButton("mln/min");
    lnButton->setChecked(true);
    mlnLayout->addWidget(lnButton);
    mlnLayout->addWidget(mlnButton);
    left->addWidget(mlnGroup);
    Datei1 = new TDatei;
    Datei1->setObjectName("Datei1");
    Datei1->Label->setText("Überprüfungsdaten");
    left->addWidget(Datei1);

    auto* protokollGroup = new QGroupBox("Protokoll");
    protokollGroup->setObjectName("ProtokollGroup");
    auto* protokollLayout = new QGridLayout(protokollGroup);
    NeuButton = new QRadioButton("Neu erstellen");
    RestoreButton = new QRadioButton("Wiederherstellen");
    NeuButton->setChecked(true);
    Datei2 = new TDatei;
    Datei2->setObjectName("Datei2");
    Datei2->Label->setText("Gespeicherte Protokolle");
    LadenBtn = new QPushButton("Laden");
    LadenBtn->setObjectName("LadenBtn");
    protokollLayout->addWidget(NeuButton, 0, 0);
    protokollLayout->addWidget(RestoreButton, 0, 1);
    protokollLayout->addWidget(Datei2, 1, 0, 1, 2);
    protokollLayout->addWidget(LadenBtn, 2, 1);
    left->addWidget(protokollGroup);
    left->addStretch();
    layout->addLayout(left);

    auto* right = new QVBoxLayout;
    pRich = new QTextEdit;
    pRich->setObjectName("pRich");
    pRich->setReadOnly(true);
    pRich->setMinimumWidth(520);
    right->addWidget(pRich, 1);
    auto* buttons = new QHBoxLayout;
    ErzeugenBtn = new QPushButton("Protokoll");
    ErzeugenBtn->setObjectName("ErzeugenBtn");
    DruckerBox = new QComboBox;
    DruckerBox->setObjectName("DruckerBox");
    DruckerBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    DruckenBtn = new QPushButton("Drucken");
    DruckenBtn->setObjectName("DruckenBtn");
    buttons->addWidget(ErzeugenBtn);
    buttons->addStretch();
    buttons->addWidget(DruckerBox);
    buttons->addWidget(DruckenBtn);
    right->addLayout(buttons);
    layout->addLayout(right, 1);

    fillPrinters(installedPrinters(), defaultPrinter());
    connect(LadenBtn, &QPushButton::clicked, this, [this] { LadenClick(); });
    connect(ErzeugenBtn, &QPushButton::clicked, this, [this] { ErzeugenBtnClick(); });
    connect(DruckenBtn, &QPushButton::clicked, this, [this] { DruckenBtnClick(); });
    auto restoring = [this] {
        Datei2->setEnabled(RestoreButton->isChecked());
        LadenBtn->setEnabled(RestoreButton->isChecked());
    };
    connect(RestoreButton, &QRadioButton::toggled, this, restoring);
    restoring();
}

std::string TProtokoll::text(const char* key, const char* fallback, const std::string& arg) const {
    return calibText(texts_, key, fallback, {arg});
}

void TProtokoll::fillPrinters(const QStringList& printers, const QString& current) {
    std::vector<std::string> names;
    for (const QString& p : printers)
        names.push_back(p.toStdString());
    fillPrinterBox(DruckerBox, printers,
                   qs(Certificate::choosePrinter(names, current.toStdString())));
}

void TProtokoll::FormShow(const CertificateInput& defaults) {
    Datei1->setEntries(certificate_.dataSets());
    Datei2->setEntries(certificate_.storedCertificates());
    showInput(defaults);
}

void TProtokoll::showInput(const CertificateInput& in) {
    ANrEdit->setText(qs(in.orderNo));
    UserEdit->setText(qs(in.operatorName));
    KommentarEdit->setText(qs(in.comment));
    PunkteEdit->setValue(in.points);
    TypEdit->setText(qs(in.typeText));
    SNrEdit->setText(qs(in.serial));
    CodeEdit->setText(qs(in.typeCode));
    GasEdit->setText(qs(in.gas));
    FunktionBox->setCurrentText(qs(in.function));
    RangeEdit->setText(qs(formatGeneral(in.fullScale)));
    UnitEdit->setText(qs(in.flowUnit));
    TempEdit->setText(qs(in.customerTemperature));
    P_Kalib->setText(qs(in.pressureCalib));
    P_Kunde->setText(qs(in.pressureCustomer));
    DynamikEdit->setText(qs(in.turnDown));
    if (!in.dataSection.empty()) Datei1->chooseSection(in.dataSection);
}

CertificateInput TProtokoll::input() const {
    CertificateInput in;
    in.orderNo = ss(ANrEdit);
    in.operatorName = ss(UserEdit);
    in.comment = ss(KommentarEdit);
    in.points = PunkteEdit->value();
    in.mlnLists = mlnButton->isChecked();
    in.dataSection = Datei1->chosenSection();
    in.typeText = ss(TypEdit);
    in.serial = ss(SNrEdit);
    in.typeCode = ss(CodeEdit);
    in.gas = ss(GasEdit);
    in.function = FunktionBox->currentText().toStdString();
    parseNumber(ss(RangeEdit), in.fullScale);
    in.flowUnit = ss(UnitEdit);
    in.customerTemperature = ss(TempEdit);
    in.pressureCalib = ss(P_Kalib);
    in.pressureCustomer = ss(P_Kunde);
    in.turnDown = ss(DynamikEdit);
    return in;
}

void TProtokoll::LadenClick() {
    CertificateInput in = input();
    if (!certificate_.LadenClick(Datei2->chosenSection(), in)) return;
    RestoreButton->setChecked(true);
    showInput(in);
    ErzeugenBtnClick();
}

void TProtokoll::ErzeugenBtnClick() {
    const CertificateInput in = input();
    if (in.dataSection.empty()) {
        ui_.messageBox(text("infoCertNoData", "Es ist kein Überprüfungs-Datensatz gewählt."),
                       "Kalibrier-Protokoll", MsgIcon::Warning);
        return;
    }
    html_ = qs(certificate_.ErzeugenBtnClick(in, localDateTime(clock_.nowMs())));
    pRich->setHtml(html_);
}

bool TProtokoll::savePdf() {
    const std::string name = "Calibration report " + ss(SNrEdit) + ".pdf";
    const auto path = ui_.chooseFile("Drucken", name, "PDF|*.pdf", true);
    if (!path) return false;
    QString file = qs(*path);
    if (QFileInfo(file).suffix().isEmpty()) file += ".pdf";
    if (saveCertificatePdf(html_, file, "Calibration report")) return true;
    ui_.messageBox(text("infoCertPdfFailed",
                        "Die PDF-Datei \"%1\" konnte nicht geschrieben werden.",
                        file.toStdString()),
                   "Kalibrier-Protokoll", MsgIcon::Error);
    return false;
}

void TProtokoll::DruckenBtnClick() {
    // Made again from the inputs as they are: what is printed is what gets recorded.
    html_.clear();
    ErzeugenBtnClick();
    if (html_.isEmpty()) return;
    QString used = DruckerBox->currentText();
    if (used == kPdfOutput) {
        if (!savePdf()) return;
    } else {
        const std::optional<QString> printed = printer_(html_, used);
        if (!printed) return; // cancelled: nothing printed, nothing to record
        if (printed->isEmpty()) {
            ui_.messageBox(
                text("infoCertPrintFailed", "Das Protokoll konnte nicht gedruckt werden."),
                "Kalibrier-Protokoll", MsgIcon::Error);
            return;
        }
        used = *printed;
    }
    std::string error;
    const std::string section = certificate_.recordPrinted(
        used.toStdString(), RestoreButton->isChecked(), localDateTime(clock_.nowMs()), &error);
    if (section.empty() && !error.empty())
        ui_.messageBox(
            text("infoCertNotRecorded",
                 "Das Protokoll ist gedruckt, wurde aber nicht in der Datei vermerkt: %1", error),
            "Kalibrier-Protokoll", MsgIcon::Error);
    if (!section.empty()) Datei2->setEntries(certificate_.storedCertificates());
}

} // namespace getkelo
