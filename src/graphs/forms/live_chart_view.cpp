#include "graphs/forms/live_chart_view.h"

#include <QDateTime>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>

namespace getkelo {

namespace {

// A round step of about a fifth of the span, so the axis ends on tidy values.
double niceStep(double span) {
    const double raw = span / 5;
    const double p = std::pow(10.0, std::floor(std::log10(raw)));
    const double m = raw / p;
    return (m <= 1 ? 1 : m <= 2 ? 2 : m <= 5 ? 5 : 10) * p;
}

} // namespace

LiveChartView::LiveChartView(QWidget* parent) : QChartView(parent) {
    auto* chart = new QChart;
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setAlignment(Qt::AlignBottom);
    const QColor colours[kSeriesCount] = {QColor(200, 30, 30), QColor(20, 120, 20), Qt::blue};
    for (int k = 0; k < kSeriesCount; ++k) {
        series_[k] = new QLineSeries(chart);
        QPen pen(colours[k]);
        pen.setWidthF(1);
        series_[k]->setPen(pen);
        chart->addSeries(series_[k]);
    }
    timeAxis_ = new QDateTimeAxis(chart);
    timeAxis_->setFormat("hh:mm:ss");
    timeAxis_->setTickCount(6);
    valueAxis_ = new QValueAxis(chart);
    valueAxis_->setLabelFormat("%g");
    valueAxis_->setTickType(QValueAxis::TicksDynamic);
    valueAxis_->setTickAnchor(0);
    valueAxis_->setTickInterval(0.2);
    valveAxis_ = new QValueAxis(chart);
    valveAxis_->setRange(0, 100);
    valveAxis_->setTickType(QValueAxis::TicksDynamic);
    valveAxis_->setTickAnchor(0);
    valveAxis_->setTickInterval(20);
    valveAxis_->setLabelFormat("%g");
    valveAxis_->setLinePenColor(Qt::blue);
    valveAxis_->setGridLineVisible(false); // the left axis draws the grid
    chart->addAxis(timeAxis_, Qt::AlignBottom);
    chart->addAxis(valueAxis_, Qt::AlignLeft);
    chart->addAxis(valveAxis_, Qt::AlignRight);
    for (int k = 0; k < kSeriesCount; ++k) {
        series_[k]->attachAxis(timeAxis_);
        series_[k]->attachAxis(k == kSeriesValve ? valveAxis_ : valueAxis_);
    }
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(now - 60000),
                        QDateTime::fromMSecsSinceEpoch(now));
    valueAxis_->setRange(low_, high_);
    setChart(chart);
    setRenderHint(QPainter::Antialiasing, false);
    setMouseTracking(false);
}

void LiveChartView::setSeriesNames(const QString& measured, const QString& setpoint,
                                   const QString& valve) {
    series_[kSeriesMeasured]->setName(measured);
    series_[kSeriesSetpoint]->setName(setpoint);
    series_[kSeriesValve]->setName(valve);
}

void LiveChartView::setAxisTitles(const QString& left, const QString& right) {
    valueAxis_->setTitleText(left);
    valveAxis_->setTitleText(right);
}

void LiveChartView::appendSample(const Sample& s, bool dropped, const SampleWindow& window) {
    for (int k = 0; k < kSeriesCount; ++k) {
        // One point out and one in; the series gets the list when the chart is drawn.
        if (dropped && !points_[k].isEmpty()) points_[k].removeFirst();
        points_[k].append(QPointF(double(s.tMs), s.y[k]));
    }
    window_ = &window;
    // At most kMinRedrawMs apart: faster samples are drawn together.
    if (drawn_.isValid() && drawn_.elapsed() < kMinRedrawMs) {
        if (!pending_) {
            pending_ = true;
            QTimer::singleShot(kMinRedrawMs - static_cast<int>(drawn_.elapsed()), this,
                               [this] { flush(); });
        }
        return;
    }
    draw();
}

void LiveChartView::flush() {
    if (pending_) draw();
}

void LiveChartView::draw() {
    pending_ = false;
    drawn_.start();
    // While following, the time axis moves and that redraws the series from their points
    // anyway: the lists go in quietly and the axis change draws them once.
    const bool quiet = !zoomed_ && window_;
    for (int k = 0; k < kSeriesCount; ++k) {
        const QSignalBlocker block(quiet ? series_[k] : nullptr);
        series_[k]->replace(points_[k]); // shares the list, no copy
    }
    if (quiet && !follow(*window_))
        for (int k = 0; k < kSeriesCount; ++k)
            emit series_[k]->pointsReplaced(); // the axes stayed: draw the new points
}

void LiveChartView::reload(const SampleWindow& window) {
    window_ = &window;
    pending_ = false;
    for (int k = 0; k < kSeriesCount; ++k) {
        points_[k].clear();
        points_[k].reserve(static_cast<qsizetype>(SampleWindow::kMaxSamples + 1));
        for (const Sample& s : window.samples())
            points_[k].append(QPointF(double(s.tMs), s.y[k]));
        series_[k]->replace(points_[k]);
    }
    zoomed_ = false;
    follow(window);
}

void LiveChartView::resetZoom(const SampleWindow& window) {
    flush();
    zoomed_ = false;
    follow(window);
}

bool LiveChartView::follow(const SampleWindow& window) {
    if (window.empty()) return false;
    qint64 first = window.front().tMs, last = window.back().tMs;
    if (last - first < 10000) last = first + 10000; // a young graph fills from the left
    const QDateTime from = QDateTime::fromMSecsSinceEpoch(first);
    const QDateTime to = QDateTime::fromMSecsSinceEpoch(last);
    const bool moved = from != timeAxis_->min() || to != timeAxis_->max();
    timeAxis_->setRange(from, to);

    // The left axis changes only when the data leave it or use less than a third of it.
    double lo = std::min(window.minOf(kSeriesMeasured), window.minOf(kSeriesSetpoint));
    double hi = std::max(window.maxOf(kSeriesMeasured), window.maxOf(kSeriesSetpoint));
    // Flows and pressures are read against zero; noise just below it does not count.
    if (lo > 0 || lo > -0.02 * std::fabs(hi)) lo = 0;
    if (hi <= lo) hi = lo + 1;
    const bool outside = lo < low_ || hi > high_;
    const bool loose = (hi - lo) < (high_ - low_) / 3;
    if (!outside && !loose) return moved;
    const double step = niceStep((hi - lo) * 1.1);
    low_ = std::floor(lo / step) * step;
    high_ = std::ceil(hi * 1.05 / step) * step;
    if (high_ <= low_) high_ = low_ + step;
    valueAxis_->setRange(low_, high_);
    valueAxis_->setTickInterval(step);
    return true;
}

void LiveChartView::wheelEvent(QWheelEvent* e) {
    const double factor = e->angleDelta().y() > 0 ? 0.8 : 1.25;
    const QRectF area = chart()->plotArea();
    const QPointF at = e->position();
    if (e->modifiers() & Qt::ControlModifier) {
        const double f = (area.bottom() - at.y()) / area.height();
        const double lo = valueAxis_->min(), hi = valueAxis_->max();
        const double pivot = lo + f * (hi - lo);
        valueAxis_->setRange(pivot - (pivot - lo) * factor, pivot + (hi - pivot) * factor);
    } else {
        const double f = (at.x() - area.left()) / area.width();
        const double lo = double(timeAxis_->min().toMSecsSinceEpoch());
        const double hi = double(timeAxis_->max().toMSecsSinceEpoch());
        const double pivot = lo + f * (hi - lo);
        timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(qint64(pivot - (pivot - lo) * factor)),
                            QDateTime::fromMSecsSinceEpoch(qint64(pivot + (hi - pivot) * factor)));
    }
    zoomed_ = true;
    e->accept();
}

void LiveChartView::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        dragging_ = true;
        lastDrag_ = e->position();
        setCursor(Qt::ClosedHandCursor);
        e->accept();
        return;
    }
    QChartView::mousePressEvent(e);
}

void LiveChartView::mouseMoveEvent(QMouseEvent* e) {
    if (!dragging_) {
        QChartView::mouseMoveEvent(e);
        return;
    }
    const QPointF d = e->position() - lastDrag_;
    lastDrag_ = e->position();
    chart()->scroll(-d.x(), d.y());
    zoomed_ = true;
    e->accept();
}

void LiveChartView::mouseReleaseEvent(QMouseEvent* e) {
    if (dragging_ && e->button() == Qt::LeftButton) {
        dragging_ = false;
        unsetCursor();
        e->accept();
        return;
    }
    QChartView::mouseReleaseEvent(e);
}

void LiveChartView::mouseDoubleClickEvent(QMouseEvent* e) {
    dragging_ = false;
    unsetCursor();
    emit resetRequested();
    e->accept();
}

} // namespace getkelo
