#include "graphs/forms/tzoom.h"

#include "graphs/forms/graph_texts.h"
#include "ui/ui_adapter.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QVBoxLayout>

namespace getkelo {

namespace {
const QColor kInside(0, 140, 0);
const QColor kOutside(139, 0, 0);
} // namespace

TZoom::TZoom(IniFile& settings, UiAdapter& ui, QWidget* parent)
    : QMainWindow(parent, Qt::Window), limits_(settings), ui_(ui) {
    setObjectName("Zoom");
    setWindowTitle("Zoom");
    setAttribute(Qt::WA_DeleteOnClose);
    limitsMenu_ = menuBar()->addMenu("Grenzwerte");
    Hoch = limitsMenu_->addAction("Hoch");
    Tief = limitsMenu_->addAction("Tief");
    alarmMenu_ = menuBar()->addMenu("Alarm");
    Akustisch = alarmMenu_->addAction("Akustisch");
    Akustisch->setCheckable(true);
    Akustisch->setChecked(limits_.alarm());

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 2, 6, 4);
    layout->setSpacing(0);
    FlowLabel = new QLabel("-", central);
    FlowLabel->setObjectName("FlowLabel");
    FlowLabel->setAlignment(Qt::AlignCenter);
    device_ = new QLabel(central);
    device_->setAlignment(Qt::AlignCenter);
    limitsLine_ = new QLabel(central);
    limitsLine_->setAlignment(Qt::AlignCenter);
    layout->addWidget(FlowLabel, 1);
    layout->addWidget(device_);
    layout->addWidget(limitsLine_);
    setCentralWidget(central);

    int w, h;
    limits_.windowSize(w, h);
    resize(w, h);
    showLimits();

    connect(Hoch, &QAction::triggered, this, [this] {
        limits_.askHigh(ui_, unit_);
        showLimits();
    });
    connect(Tief, &QAction::triggered, this, [this] {
        limits_.askLow(ui_, unit_);
        showLimits();
    });
    connect(Akustisch, &QAction::toggled, this, [this](bool on) { limits_.setAlarm(on); });
}

void TZoom::setDevice(const QString& description, const std::string& unit) {
    device_->setText(description);
    unit_ = unit;
    showLimits();
}

void TZoom::showFlow(const std::string& flow, const std::string& unit) {
    unit_ = unit;
    const ZoomReading r = limits_.reading(flow, unit);
    FlowLabel->setText(QString::fromStdString(r.text));
    QPalette p = FlowLabel->palette();
    p.setColor(QPalette::WindowText, r.outside ? kOutside : kInside);
    FlowLabel->setPalette(p);
    fitText();
    if (r.beep) ui_.beep();
}

void TZoom::showLimits() {
    QStringList parts;
    if (!limits_.high().empty())
        parts << QString("▲ %1").arg(QString::fromStdString(limits_.high()));
    if (!limits_.low().empty()) parts << QString("▼ %1").arg(QString::fromStdString(limits_.low()));
    limitsLine_->setText(parts.join("   "));
    limitsLine_->setVisible(!parts.isEmpty());
}

void TZoom::applyLanguage(const TextSource& texts) {
    limitsMenu_->setTitle(caption(texts, "ZoomGrenzwerte", "Grenzwerte"));
    Hoch->setText(caption(texts, "ZoomHoch", "Hoch"));
    Tief->setText(caption(texts, "ZoomTief", "Tief"));
    alarmMenu_->setTitle(caption(texts, "ZoomAlarm", "Alarm"));
    Akustisch->setText(caption(texts, "ZoomAkustisch", "Akustisch"));
}

void TZoom::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    fitText();
}

void TZoom::fitText() {
    // Large type that fills the window and still shows the whole value.
    QFont f = FlowLabel->font();
    f.setBold(true);
    int size = std::max(12, FlowLabel->height() * 6 / 10);
    f.setPixelSize(size);
    const QString text = FlowLabel->text();
    const int room = FlowLabel->width() - 8;
    const int wide = QFontMetrics(f).horizontalAdvance(text);
    if (wide > room && wide > 0) size = std::max(12, size * room / wide);
    f.setPixelSize(size);
    FlowLabel->setFont(f);
}

void TZoom::closeEvent(QCloseEvent* e) {
    limits_.saveWindowSize(width(), height());
    QMainWindow::closeEvent(e);
}

} // namespace getkelo
