#pragma once
#include "graphs/tuning_pair.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QStringList>
#include <vector>

namespace getkelo {

// The edit-and-track-bar rows of a tuning box. It reports what the operator does with a row
// and shows what the logic gives it; showing never counts as the operator's change.
class TuningBox : public QGroupBox {
    Q_OBJECT
  public:
    struct Row {
        QString label, edit, bar; // caption and object names ("P", "PEdit", "PBar")
    };
    TuningBox(const QString& title, const std::vector<Row>& rows, QWidget* parent = nullptr);

    int rows() const { return static_cast<int>(edits_.size()); }
    QLineEdit* edit(int row) const { return edits_[static_cast<size_t>(row)]; }
    QSlider* bar(int row) const { return bars_[static_cast<size_t>(row)]; }
    QLabel* label(int row) const { return labels_[static_cast<size_t>(row)]; }

    void setRange(int row, BarRange range);
    void showValue(int row, const QString& editText, int position);
    void showEditText(int row, const QString& text);
    void showBarPosition(int row, int position);

  signals:
    void barMoved(int row, int position);
    void editTyped(int row, const QString& text);

  private:
    std::vector<QLabel*> labels_;
    std::vector<QLineEdit*> edits_;
    std::vector<QSlider*> bars_;
};

} // namespace getkelo
