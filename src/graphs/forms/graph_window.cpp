#include "graphs/forms/graph_window.h"

#include "graphs/forms/graph_texts.h"
#include "graphs/forms/live_chart_view.h"
#include "graphs/forms/step_response_table.h"
#include "graphs/forms/tuning_box.h"
#include "ui/ui_adapter.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSplitter>

namespace getkelo {

GraphWindow::Busy::Busy(GraphWindow& w) : w_(w), wasActive_(w.timer_.isActive()) {
    w_.timer_.stop();
}
GraphWindow::Busy::~Busy() {
    if (wasActive_ && w_.isVisible()) w_.timer_.start();
}

GraphWindow::GraphWindow(LiveGraph& logic, UiAdapter& ui, const QString& objectName,
                         QWidget* parent)
    : QMainWindow(parent, Qt::Window), logic_(logic), ui_(ui) {
    setObjectName(objectName);
    setWindowTitle("Diagramm");
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, [this] { plotStep(); });

    auto* split = new QSplitter(Qt::Horizontal, this);
    auto* left = new QWidget(split);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(4, 4, 4, 4);
    chart_ = new LiveChartView(left);
    chart_->setObjectName(objectName == "Graph" ? "GraphChart" : "grhPressure");
    chart_->setMinimumSize(320, 240);
    leftLayout->addWidget(chart_, 1);
    fields_ = new QHBoxLayout;
    measuredLabel_ = new QLabel(left);
    measured_ = new QLineEdit(left);
    measured_->setReadOnly(true);
    measured_->setMinimumWidth(130);
    valveLabel_ = new QLabel(left);
    valve_ = new QLineEdit(left);
    valve_->setMaximumWidth(90);
    fields_->addWidget(measuredLabel_);
    fields_->addWidget(measured_);
    fields_->addSpacing(8);
    fields_->addWidget(valveLabel_);
    fields_->addWidget(valve_);
    fields_->addStretch(1);
    ClearButton = new QPushButton(left);
    fields_->addWidget(ClearButton);
    leftLayout->addLayout(fields_);

    auto* right = new QWidget(split);
    panel_ = new QVBoxLayout(right);
    panel_->setContentsMargins(4, 4, 4, 4);
    stepBox_ = new QGroupBox(right);
    auto* stepLayout = new QVBoxLayout(stepBox_);
    stepLayout->setContentsMargins(4, 4, 4, 4);
    steps_ = new StepResponseTable(stepBox_);
    stepLayout->addWidget(steps_);
    panel_->addWidget(stepBox_);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    setCentralWidget(split);
    buildMenu();

    connect(chart_, &LiveChartView::resetRequested, this,
            [this] { chart_->resetZoom(logic_.samples()); });
    connect(ClearButton, &QPushButton::clicked, this, [this] {
        logic_.RstGraphClick();
        chart_->reload(logic_.samples());
        showSteps();
    });
}

GraphWindow::~GraphWindow() = default;

void GraphWindow::buildMenu() {
    fileMenu_ = menuBar()->addMenu("Datei");
    SpeichernMnu = fileMenu_->addAction("Speichern");
    SpeichernMnu->setObjectName("SpeichernMnu");
    OeffnenMnu = fileMenu_->addAction("Öffnen");
    OeffnenMnu->setObjectName("OeffnenMnu");
    fileMenu_->addSeparator();
    DruckenMnu = fileMenu_->addAction("Drucken");
    DruckenMnu->setObjectName("DruckenMnu");
    PdfMnu = fileMenu_->addAction("Als PDF speichern");
    PdfMnu->setObjectName("PdfMnu");
    BildMnu = fileMenu_->addAction("Bild speichern");
    BildMnu->setObjectName("BildMnu");
    fileMenu_->addSeparator();
    BeendenMnu = fileMenu_->addAction("Beenden");
    BeendenMnu->setObjectName("BeendenMnu");

    connect(SpeichernMnu, &QAction::triggered, this, [this] { logic_.SpeichernMnuClick(); });
    connect(OeffnenMnu, &QAction::triggered, this, [this] {
        Busy busy(*this);
        if (logic_.OeffnenMnuClick()) {
            chart_->reload(logic_.samples());
            showSteps();
        }
    });
    connect(DruckenMnu, &QAction::triggered, this, [this] { print(false); });
    connect(PdfMnu, &QAction::triggered, this, [this] { print(true); });
    connect(BildMnu, &QAction::triggered, this, [this] { savePictureClick(); });
    connect(BeendenMnu, &QAction::triggered, this, [this] { close(); });
}

void GraphWindow::applyLanguage(const TextSource& texts) {
    setWindowTitle(caption(texts, "GraphCaption", "Diagramm"));
    fileMenu_->setTitle(caption(texts, "GraphFileMnu", "Datei"));
    SpeichernMnu->setText(caption(texts, "SpeichernMnu", "Speichern"));
    OeffnenMnu->setText(caption(texts, "OeffnenMnu", "Öffnen"));
    DruckenMnu->setText(caption(texts, "DruckenMnu", "Drucken"));
    PdfMnu->setText(caption(texts, "PdfMnu", "Als PDF speichern"));
    BildMnu->setText(caption(texts, "BildMnu", "Bild speichern"));
    BeendenMnu->setText(caption(texts, "GraphBeendenMnu", "Beenden"));
    stepBox_->setTitle(caption(texts, "StepBox", "Sprungantwort"));
    valveLabel_->setText(caption(texts, "ValveLabel", "Ventil"));
    steps_->applyLanguage(texts);
    showSteps();
}

void GraphWindow::setTuningBox(TuningBox* box) {
    tuning_ = box;
    connect(box, &TuningBox::barMoved, this, [this](int row, int position) {
        tuning_->showEditText(row, QString::fromStdString(logic_.barMoved(row, position)));
    });
    connect(box, &TuningBox::editTyped, this, [this](int row, const QString& text) {
        tuning_->showBarPosition(row, logic_.editTyped(row, text.toStdString()));
    });
}

void GraphWindow::FormActivate() {
    {
        Busy busy(*this);
        logic_.FormActivate();
    }
    if (tuning_)
        for (int p = 0; p < logic_.parameterCount() && p < tuning_->rows(); ++p)
            tuning_->setRange(p, logic_.pair(p).range());
    showPrepared();
    chart_->reload(logic_.samples());
    showParameters();
    showSteps();
}

void GraphWindow::showParameters() {
    if (!logic_.takeParametersChanged() || !tuning_) return;
    for (int p = 0; p < logic_.parameterCount() && p < tuning_->rows(); ++p) {
        const TuningPair& pair = logic_.pair(p);
        tuning_->showValue(p, QString::fromStdString(pair.editText(logic_.value(p))),
                           pair.barPosition(logic_.value(p)));
    }
}

void GraphWindow::showSteps() {
    steps_->show(logic_.steps(), [this](int which, double v) { return tuningText(which, v); });
}

QString GraphWindow::tuningText(int which, double value) const {
    // P, I, D are the first three pairs of both windows.
    return which < logic_.parameterCount()
               ? QString::fromStdString(logic_.pair(which).editText(value))
               : QString::number(value);
}

void GraphWindow::showLive() {
    measured_->setText(QString::fromStdString(logic_.measuredText()));
    if (!valve_->hasFocus()) valve_->setText(QString::fromStdString(logic_.valveText()));
}

void GraphWindow::plotStep() {
    if (inStep_) return;
    inStep_ = true;
    timer_.stop();
    const LiveGraph::PlotStep step = logic_.TimerTimer();
    if (step.prepared) {
        for (int p = 0; tuning_ && p < logic_.parameterCount() && p < tuning_->rows(); ++p)
            tuning_->setRange(p, logic_.pair(p).range());
        showPrepared();
        chart_->reload(logic_.samples());
    } else if (step.sampled) {
        chart_->appendSample(logic_.samples().back(), step.dropped, logic_.samples());
    }
    if (step.sampled || step.prepared) showLive();
    if (step.stepsChanged || step.prepared) showSteps();
    showParameters();
    if (isVisible()) timer_.start();
    inStep_ = false;
}

void GraphWindow::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (e->spontaneous()) return;
    FormActivate();
    timer_.start();
}

void GraphWindow::closeEvent(QCloseEvent* e) {
    timer_.stop();
    logic_.FormClose();
    QMainWindow::closeEvent(e);
}

void GraphWindow::printTo(QPrinter& printer) {
    chart_->flush();
    QPainter painter(&printer);
    const QRect page = painter.viewport();
    QFont font("Arial", 10);
    painter.setFont(font);
    const int line = painter.fontMetrics().lineSpacing();
    int y = line;
    for (const std::string& s : logic_.printHeaderLines()) {
        painter.drawText(0, y, QString::fromStdString(s));
        y += line;
    }
    y += line;
    const QRect area(0, y, page.width(), page.height() - y);
    // Scaled from the chart's size on screen, so fonts and lines keep their proportions.
    const QSize src = chart_->size();
    const double scale =
        std::min(area.width() / double(src.width()), area.height() / double(src.height()));
    painter.translate(area.topLeft());
    painter.scale(scale, scale);
    chart_->render(&painter, QRectF(0, 0, src.width(), src.height()), chart_->rect());
}

void GraphWindow::print(bool toPdf) {
    Busy busy(*this);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(windowTitle());
    if (toPdf) {
        const auto path = ui_.chooseFile(PdfMnu->text().toStdString(), "", "PDF|*.pdf", true);
        if (!path) return;
        QString file = QString::fromStdString(*path);
        if (QFileInfo(file).suffix().isEmpty()) file += ".pdf";
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
    } else {
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() != QDialog::Accepted) return;
    }
    printTo(printer);
    if (printer.printerState() == QPrinter::Error)
        ui_.messageBox("Der Graph konnte nicht gedruckt werden.", "Drucken", MsgIcon::Error);
}

bool GraphWindow::savePicture(const QString& path) {
    chart_->flush();
    return chart_->grab().save(path, "PNG");
}

void GraphWindow::savePictureClick() {
    Busy busy(*this);
    const auto path = ui_.chooseFile(BildMnu->text().toStdString(), "", "PNG|*.png", true);
    if (!path) return;
    QString file = QString::fromStdString(*path);
    if (QFileInfo(file).suffix().isEmpty()) file += ".png";
    if (!savePicture(file))
        ui_.messageBox("Das Bild konnte nicht gespeichert werden:\n" + file.toStdString(),
                       "Bild speichern", MsgIcon::Error);
}

} // namespace getkelo
