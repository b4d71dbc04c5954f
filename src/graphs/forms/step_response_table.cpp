#include "graphs/forms/step_response_table.h"

#include "base/number_format.h"
#include "graphs/forms/graph_texts.h"

#include <QHeaderView>

namespace getkelo {

namespace {
QString seconds(const std::optional<double>& s) {
    return s ? QString::fromStdString(formatFixedMax(*s, 2)) : QString("-");
}
} // namespace

StepResponseTable::StepResponseTable(QWidget* parent) : QTableWidget(parent) {
    setObjectName("StepTable");
    setColumnCount(7);
    setRowCount(static_cast<int>(StepResponseLog::kKept));
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            setItem(r, c, item);
        }
}

void StepResponseTable::applyLanguage(const TextSource& texts) {
    // "\n" in a language text breaks a header into two lines.
    auto header = [&](const char* key, const char* german) {
        return caption(texts, key, german).replace("\\n", "\n");
    };
    setHorizontalHeaderLabels({header("StepColStep", "Sprung"), "P", "I", "D",
                               header("StepColRise", "Anstieg\\n[s]"),
                               header("StepColOvershoot", "Überschw.\\n[%]"),
                               header("StepColSettling", "Einschw.\\n[s]")});
    horizontalHeaderItem(4)->setToolTip(caption(texts, "StepTipRise", "10 % bis 90 % des Sprungs"));
    horizontalHeaderItem(6)->setToolTip(
        caption(texts, "StepTipSettling", "bis der Wert im Band von ±2 % des Sprungs bleibt"));
    never_ = caption(texts, "StepNeverSettles", "nie");
    // Wide enough for the longest thing a column shows, so nothing is cut or scrolled.
    const QFontMetrics fm(font());
    const QFontMetrics hm(horizontalHeader()->font());
    const QString widest[] = {"100 → 100", "10000", "10000",     "10000",
                              "10.25",     "100.5", never_ + "."};
    int total = 2 * frameWidth();
    for (int c = 0; c < columnCount(); ++c) {
        int head = 0;
        for (const QString& line : horizontalHeaderItem(c)->text().split('\n'))
            head = std::max(head, hm.horizontalAdvance(line));
        const int w = std::max(fm.horizontalAdvance(widest[c]), head) + 12;
        setColumnWidth(c, w);
        total += w;
    }
    setMinimumWidth(total);
    setFixedHeight(horizontalHeader()->sizeHint().height() + rowCount() * 20 + 2 * frameWidth());
}

void StepResponseTable::show(const StepResponseLog& log,
                             const std::function<QString(int, double)>& tuningText) {
    const auto& steps = log.steps();
    for (int r = 0; r < rowCount(); ++r) {
        QStringList cells(columnCount());
        if (r < static_cast<int>(steps.size())) {
            const StepRecord& s = steps[static_cast<size_t>(r)];
            cells[0] =
                QString::fromStdString(formatGeneral(s.from, 4) + " → " + formatGeneral(s.to, 4));
            cells[1] = tuningText(0, s.tuning.P);
            cells[2] = tuningText(1, s.tuning.I);
            cells[3] = tuningText(2, s.tuning.D);
            cells[4] = seconds(s.figures.riseS);
            cells[5] = QString::fromStdString(formatFixedMax(s.figures.overshootPct, 1));
            cells[6] = s.figures.settlingS ? seconds(s.figures.settlingS) : s.final ? never_ : "…";
        }
        for (int c = 0; c < columnCount(); ++c)
            if (item(r, c)->text() != cells[c]) item(r, c)->setText(cells[c]);
    }
}

} // namespace getkelo
