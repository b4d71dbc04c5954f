#pragma once
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

namespace getkelo {

// The shared progress window: a caption, a message label and a bar. It is updated from
// inside long bus transfers, so every change repaints the window directly instead of
// waiting for the event loop (which would also deliver clicks and timers mid-exchange).
class FBalken : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kDefaultMaximum = 43;
    static constexpr int kFinishHoldMs = 1000;

    explicit FBalken(QWidget* parent = nullptr);

    void start(const QString& caption, const QString& label, int maximum = kDefaultMaximum);
    void setLabel(const QString& label);
    void setPosition(int position);
    void setMaximum(int maximum);
    // Shows the last text, keeps it for kFinishHoldMs, then closes.
    void finish(const QString& lastText);
    // Shows a stop button until the window closes or a new start; pressing it only records
    // the request, which the work reads with stopRequested().
    void allowStop(const QString& buttonText);
    bool stopRequested() const { return stopRequested_; }
    QPushButton* stopButton() const { return stop_; }

    QString labelText() const { return label_->text(); }
    int position() const { return bar_->value(); }
    int maximum() const { return bar_->maximum(); }
    bool finishing() const { return closeTimer_.isActive(); }
    int finishRemainingMs() const { return closeTimer_.remainingTime(); }

  private:
    void paintNow();

    QLabel* label_;
    QProgressBar* bar_;
    QPushButton* stop_;
    bool stopRequested_ = false;
    QTimer closeTimer_;
};

} // namespace getkelo
