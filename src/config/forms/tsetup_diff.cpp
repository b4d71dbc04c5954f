#include "config/forms/tsetup_diff.h"

#include "config/setup_diff.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace getkelo {

TSetupDiff::TSetupDiff(QWidget* parent) : QDialog(parent) {
    setObjectName("SetupDiff");
    setWindowTitle("Vergleichen");
    resize(640, 420);
    auto* layout = new QVBoxLayout(this);
    heading_ = new QLabel(this);
    heading_->setObjectName("lblDiffFile");
    heading_->setWordWrap(true);
    layout->addWidget(heading_);
    table_ = new QTableWidget(0, 4, this);
    table_->setObjectName("DiffTable");
    table_->setHorizontalHeaderLabels({"Abschnitt", "Schlüssel", "Datei", "Gerät"});
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setVisible(false);
    table_->verticalHeader()->setDefaultSectionSize(22);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    layout->addWidget(table_);
    auto* close = new QPushButton("Schliessen", this);
    layout->addWidget(close, 0, Qt::AlignRight);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void TSetupDiff::setDifferences(const std::vector<SetupDifference>& diffs, const std::string& file,
                                const std::string& equalText) {
    heading_->setText(QString::fromStdString(diffs.empty() ? equalText : file));
    table_->setRowCount(static_cast<int>(diffs.size()));
    const QString missing = "—";
    for (int r = 0; r < static_cast<int>(diffs.size()); ++r) {
        const SetupDifference& d = diffs[r];
        const QString cells[4] = {QString::fromStdString(d.section), QString::fromStdString(d.key),
                                  d.missingBefore ? missing : QString::fromStdString(d.before),
                                  d.missingAfter ? missing : QString::fromStdString(d.after)};
        for (int c = 0; c < 4; ++c)
            table_->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    table_->resizeColumnsToContents();
    for (int c : {2, 3}) // old and new value side by side, equally wide
        table_->setColumnWidth(c, std::max(table_->columnWidth(c), 160));
}

} // namespace getkelo
