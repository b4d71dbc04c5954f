#pragma once
#include <QLabel>
#include <QProgressBar>
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

    QString labelText() const { return label_->text(); }
    int position() const { return bar_->value(); }
    int maximum() const { return bar_->maximum(); }
    bool finishing() const { return closeTimer_.isActive(); }
    int finishRemainingMs() const { return closeTimer_.remainingTime(); }

  private:
    void paintNow();

    QLabel* label_;
    QProgressBar* bar_;
    QTimer closeTimer_;
};

} // namespace getkelo
