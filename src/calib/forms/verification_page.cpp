#include "calib/forms/verification_page.h"

#include "base/number_format.h"
#include "calib/calib_texts.h"
#include "calib/calibration_run.h"
#include "calib/forms/printer_box.h"
#include "calib/forms/tdatei.h"
#include "calib/forms/tprotokoll.h"
#include "ui/ui_adapter.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <filesystem>

namespace getkelo {
namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QLineSeries* chartWithSeries(QChartView*& view, const char* name, const QString& yTitle) {
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 4, 4));
    auto* x = new QValueAxis;
    x->setTitleText("Flow Reference");
    auto* y = new QValueAxis;
    y->setTitleText(yTitle);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    auto* series = new QLineSeries;
    series->setName(yTitle);
    series->setPointsVisible(true);
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
    view = new QChartView(chart);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(360, 150);
    return series;
}

// Axes around the points; a zero line stays in sight.
void refit(QLineSeries* series) {
    const QList<QPointF> points = series->points();
    auto* x = static_cast<QValueAxis*>(series->attachedAxes()[0]);
    auto* y = static_cast<QValueAxis*>(series->attachedAxes()[1]);
    if (points.isEmpty()) {
        x->setRange(0, 1);
        y->setRange(-1, 1);
        return;
    }
    double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    for (const QPointF& p : points) {
        x1 = std::max(x1, p.x());
        x0 = std::min(x0, p.x());
        y0 = std::min(y0, p.y());
        y1 = std::max(y1, p.y());
    }
    if (x1 - x0 < 1e-9) x1 = x0 + 1;
    const double pad = std::max((y1 - y0) * 0.1, 0.05);
    x->setRange(x0, x1);
    y->setRange(y0 - pad, y1 + pad);
    x->applyNiceNumbers();
    y->applyNiceNumbers();
}

void plot(QLineSeries* series, const std::vector<ChartPoint>& points) {
    QList<QPointF> list;
    for (const ChartPoint& p : points)
        list.append(QPointF(p.x, p.y));
    std::sort(list.begin(), list.end(),
              [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    series->replace(list);
    refit(series);
}

} // namespace

VerificationPage::VerificationPage(CalibrationRun& run, UiAdapter& ui, QWidget* parent)
    : QWidget(parent), run_(run), ui_(ui) {
    setObjectName("ProtokollSheet");
    auto* layout = new QHBoxLayout(this);
    auto* left = new QWidget;
    left->setMinimumWidth(270);
    auto* form = new QFormLayout(left);
    form->setContentsMargins(0, 0, 0, 0);
    SNrEdit2 = new QLineEdit;
    SNrEdit2->setObjectName("SNrEdit2");
    TypBox2 = new QComboBox;
    TypBox2->setObjectName("TypBox2");
    TypBox2->addItems({"tesra Typ01", "varon Typ02", "tesra Typ03"});
    TypBox2->setCurrentText("tesra Typ03");
    Datei4 = new TDatei;
    Datei4->setObjectName("Datei4");
    Datei4->Label->setText("Messdaten");
    VerifyBtn = new QPushButton("Berechnen");
    VerifyBtn->setObjectName("VerifyBtn");
    GasEdit = new QLineEdit;
    GasEdit->setObjectName("GasEdit");
    GasEdit->setReadOnly(true);
    PressEdit = new QLineEdit;
    PressEdit->setObjectName("PressEdit");
    PressEdit->setReadOnly(true);
    TempInEdit = new QLineEdit;
    TempInEdit->setObjectName("TempInEdit");
    TempInEdit->setReadOnly(true);
    TempOutEdit = new QLineEdit;
    TempOutEdit->setObjectName("TempOutEdit");
    TempOutEdit->setReadOnly(true);
    DruckerBox = new QComboBox;
    DruckerBox->setObjectName("DruckerBox");
    DruckenBtn = new QPushButton("Seite Drucken");
    DruckenBtn->setObjectName("DruckenBtn");
    ProtokollBtn = new QPushButton("Protokoll");
    ProtokollBtn->setObjectName("ProtokollBtn");
    form->addRow("Serien-Nr.", SNrEdit2);
    form->addRow("Typ", TypBox2);
    form->addRow(Datei4);
    form->addRow(VerifyBtn);
    form->addRow("Gas", GasEdit);
    form->addRow("Druck", PressEdit);
    form->addRow("Temp. IN", TempInEdit);
    form->addRow("Temp. OUT", TempOutEdit);
    form->addRow("Drucker", DruckerBox);
    form->addRow(DruckenBtn);
    form->addRow(ProtokollBtn);
    layout->addWidget(left, 0, Qt::AlignTop);
    auto* charts = new QVBoxLayout;
    deviationFS = chartWithSeries(Chart3, "Chart3", "%FS");
    deviationSP = chartWithSeries(Chart4, "Chart4", "%SP");
    sigma = chartWithSeries(Chart5, "Chart5", "Sigma");
    for (QChartView* v : {Chart3, Chart4, Chart5})
        charts->addWidget(v);
    layout->addLayout(charts, 1);
    fillPrinterBox(DruckerBox, installedPrinters(), defaultPrinter());

    connect(VerifyBtn, &QPushButton::clicked, this, [this] { VerifyBtnClick(); });
    connect(DruckenBtn, &QPushButton::clicked, this, [this] { DruckenBtnClick(); });
    connect(ProtokollBtn, &QPushButton::clicked, this, [this] { ProtokollBtnClick(); });
    connect(SNrEdit2, &QLineEdit::editingFinished, this, [this] { ProtokollSheetShow(); });
    connect(TypBox2, &QComboBox::currentTextChanged, this, [this] { ProtokollSheetShow(); });
}

VerificationPage::~VerificationPage() {
    delete protokoll_; // before the certificate it works on
}

void VerificationPage::FormShow(const DataFileRoot& root) {
    root_ = root;
    SNrEdit2->setText(qs(run_.device().serial));
    TypBox2->setCurrentText(qs(run_.device().typeText));
    ProtokollSheetShow();
}

std::string VerificationPage::dataFile() const {
    return verificationDataFile(root_, run_.dataFile(), run_.device(),
                                TypBox2->currentText().toStdString(),
                                SNrEdit2->text().trimmed().toStdString());
}

void VerificationPage::ProtokollSheetShow() {
    Datei4->FillDataSetChooser({dataFile(), "DATA", "Mode", "Flow", "Date", "Gas", "SetTemp"});
}

std::string VerificationPage::source() const {
    return std::filesystem::path(dataFile()).filename().string() + ", " +
           Datei4->ComboBox->currentText().toStdString();
}

void VerificationPage::VerifyBtnClick() {
    const std::string section = Datei4->chosenSection();
    if (section.empty()) {
        ui_.messageBox(calibText(run_.texts(), "infoVerifyNoData",
                                 "Die Datei %1 hat keinen Überprüfungs-Datensatz.", {dataFile()}),
                       "Kalibration", MsgIcon::Warning);
        return;
    }
    verification_ = readVerification(dataFile(), section);
    GasEdit->setText(qs(verification_.gas));
    PressEdit->setText(qs(verification_.pressure));
    auto span = [](double low, double high) {
        return qs(formatPattern(low, "0.##") + " .. " + formatPattern(high, "0.##") + " °C");
    };
    TempInEdit->setText(span(verification_.tempInMin, verification_.tempInMax));
    TempOutEdit->setText(span(verification_.tempOutMin, verification_.tempOutMax));
    plot(deviationFS, verification_.deviationFS);
    plot(deviationSP, verification_.deviationSP);
    plot(sigma, verification_.sigmaPoints);
}

bool VerificationPage::printTo(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRect page = painter.viewport();
    painter.setFont(QFont("Arial", 10));
    const int line = painter.fontMetrics().lineSpacing();
    const std::vector<std::string> lines =
        verificationPrintLines(verification_, TypBox2->currentText().toStdString(),
                               SNrEdit2->text().toStdString(), source());
    int y = 0;
    for (const std::string& text : lines) {
        y += line;
        painter.drawText(0, y, qs(text));
    }
    y += line;
    const int height = (page.height() - y) / 3;
    for (QChartView* view : {Chart3, Chart4, Chart5}) {
        // Drawn at the page's proportions, so the chart fills its third of the page.
        const QSize shown = view->size();
        const QSize src(shown.width(), std::max(1, shown.width() * height / page.width()));
        view->resize(src);
        const double scale = page.width() / double(src.width());
        painter.save();
        painter.translate(0, y);
        painter.scale(scale, scale);
        view->render(&painter, QRectF(0, 0, src.width(), src.height()), view->rect());
        painter.restore();
        view->resize(shown);
        y += height;
    }
    return painter.end() && printer.printerState() != QPrinter::Error;
}

void VerificationPage::DruckenBtnClick() {
    const QString chosen = DruckerBox->currentText();
    QPrinter printer(QPrinter::HighResolution);
    if (chosen == kPdfOutput) {
        const auto path = ui_.chooseFile(DruckenBtn->text().toStdString(),
                                         "Verification " + SNrEdit2->text().toStdString() + ".pdf",
                                         "PDF|*.pdf", true);
        if (!path) return;
        QString file = qs(*path);
        if (QFileInfo(file).suffix().isEmpty()) file += ".pdf";
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
    } else {
        printer.setPrinterName(chosen);
    }
    printer.setDocName("Verification " + SNrEdit2->text());
    printer.setPageOrientation(QPageLayout::Portrait);
    if (!printTo(printer))
        ui_.messageBox(calibText(run_.texts(), "infoVerifyPrintFailed",
                                 "Die Seite konnte nicht gedruckt werden."),
                       "Kalibration", MsgIcon::Error);
}

void VerificationPage::ProtokollBtnClick() {
    delete protokoll_;
    certificate_ = std::make_unique<Certificate>(dataFile(), referenceIni_);
    CertificateInput in = certificateDefaults(run_);
    in.typeText = TypBox2->currentText().toStdString();
    in.serial = SNrEdit2->text().trimmed().toStdString();
    if (!GasEdit->text().isEmpty()) in.gas = GasEdit->text().toStdString();
    in.dataSection = Datei4->chosenSection();
    protokoll_ = new TProtokoll(*certificate_, ui_, run_.texts(), run_.clock(), window());
    protokoll_->FormShow(in);
    protokoll_->show();
    protokoll_->raise();
}

} // namespace getkelo
