#pragma once
#include "graphs/sample_window.h"

#include <QChartView>
#include <QDateTimeAxis>
#include <QElapsedTimer>
#include <QLineSeries>
#include <QValueAxis>

namespace getkelo {

// The chart of a graph window: the measured value and the set point on the left axis, the
// valve drive in % on the right axis, time of day below. Appending a sample moves one point
// into each series' list (and one out when the window is full) and hands the lists over, so
// each series is updated once per drawing, at most five drawings a second; the axes follow the
// data without scanning it (SampleWindow keeps the extents).
//
// Mouse: the wheel zooms the time axis around the pointer (with Ctrl the left axis), dragging
// scrolls, a double click goes back to following the data. While zoomed or scrolled the
// axes stay where the operator put them.
class LiveChartView : public QChartView {
    Q_OBJECT
  public:
    explicit LiveChartView(QWidget* parent = nullptr);

    void setSeriesNames(const QString& measured, const QString& setpoint, const QString& valve);
    void setAxisTitles(const QString& left, const QString& right);

    // One new sample; `dropped` when the window pushed its oldest out. Drawn at once, or with
    // the next samples when the last drawing is less than kMinRedrawMs ago.
    void appendSample(const Sample& s, bool dropped, const SampleWindow& window);
    // Draws what is waiting now.
    void flush();
    static constexpr int kMinRedrawMs = 200;
    // The whole window again (after clearing or opening a file).
    void reload(const SampleWindow& window);
    // Back to following the data (the double click).
    void resetZoom(const SampleWindow& window);
    bool zoomed() const { return zoomed_; }

    QLineSeries* series(int k) const { return series_[k]; }
    QDateTimeAxis* timeAxis() const { return timeAxis_; }
    QValueAxis* valueAxis() const { return valueAxis_; }
    QValueAxis* valveAxis() const { return valveAxis_; }

  signals:
    void resetRequested();

  protected:
    void wheelEvent(QWheelEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

  private:
    // Moves the axes to the data; true when an axis changed (which redraws the series).
    bool follow(const SampleWindow& window);
    void draw();

    QLineSeries* series_[kSeriesCount];
    QList<QPointF> points_[kSeriesCount]; // what each series shows (once drawn)
    const SampleWindow* window_ = nullptr;
    QElapsedTimer drawn_;
    bool pending_ = false;
    QDateTimeAxis* timeAxis_;
    QValueAxis* valueAxis_;
    QValueAxis* valveAxis_;
    bool zoomed_ = false;
    bool dragging_ = false;
    QPointF lastDrag_;
    double low_ = 0, high_ = 1; // left axis while following
};

} // namespace getkelo
