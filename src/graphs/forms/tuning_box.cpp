#include "graphs/forms/tuning_box.h"

#include <QGridLayout>
#include <QSignalBlocker>

namespace getkelo {

TuningBox::TuningBox(const QString& title, const std::vector<Row>& rows, QWidget* parent)
    : QGroupBox(title, parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    for (const Row& r : rows) {
        const int i = static_cast<int>(edits_.size());
        auto* label = new QLabel(r.label, this);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(r.edit);
        edit->setFixedWidth(70);
        edit->setAlignment(Qt::AlignRight);
        auto* bar = new QSlider(Qt::Horizontal, this);
        bar->setObjectName(r.bar);
        bar->setTickPosition(QSlider::TicksBelow);
        bar->setMinimumWidth(120);
        grid->addWidget(label, i, 0);
        grid->addWidget(edit, i, 1);
        grid->addWidget(bar, i, 2);
        labels_.push_back(label);
        edits_.push_back(edit);
        bars_.push_back(bar);
        setRange(i, BarRange{});
        connect(bar, &QSlider::valueChanged, this, [this, i](int v) {
            // Moves the logic made (showBarPosition) come with signals blocked.
            emit barMoved(i, v);
        });
        connect(edit, &QLineEdit::textEdited, this,
                [this, i](const QString& t) { emit editTyped(i, t); });
    }
    grid->setColumnStretch(2, 1);
}

void TuningBox::setRange(int row, BarRange range) {
    QSlider* b = bar(row);
    const QSignalBlocker block(b);
    b->setRange(range.min, range.max);
    b->setTickInterval(range.tick);
    b->setPageStep(range.tick);
}

void TuningBox::showValue(int row, const QString& editText, int position) {
    showEditText(row, editText);
    showBarPosition(row, position);
}

void TuningBox::showEditText(int row, const QString& text) {
    if (edit(row)->text() != text) edit(row)->setText(text);
}

void TuningBox::showBarPosition(int row, int position) {
    const QSignalBlocker block(bar(row));
    bar(row)->setValue(position);
}

} // namespace getkelo
