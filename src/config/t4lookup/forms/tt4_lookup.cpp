#include "config/t4lookup/forms/tt4_lookup.h"

#include "config/t4lookup/t4_lookup.h"
#include "console/forms/component_texts.h"
#include "console/forms/page_builder.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace getkelo {

TT4Lookup::TT4Lookup(T4Lookup& logic, QWidget* parent) : QDialog(parent), logic_(logic) {
    setObjectName("T4Lookup");
    setWindowTitle("Kalibrierungen");
    setModal(true);
    resize(760, 360);
    auto* device = pageGroup(this, "gbxCalibDevice", "Kalibrierungen auf dem Gerät");
    auto* dg = static_cast<QGridLayout*>(device->layout());
    clbCalib = new QListWidget(device);
    clbCalib->setMinimumWidth(300);
    dg->addWidget(clbCalib, 0, 0, 1, 2);
    btnActivateLut = new QPushButton("Aktivieren", device);
    markComponent(btnActivateLut, "btnActivateLut");
    btnDeleteLut = new QPushButton("Löschen", device);
    markComponent(btnDeleteLut, "btnDeleteLut");
    dg->addWidget(btnActivateLut, 1, 0);
    dg->addWidget(btnDeleteLut, 1, 1);
    auto* file = pageGroup(this, "gbxCalibFile", "Kalibrierungen im Dat File");
    auto* fg = static_cast<QGridLayout*>(file->layout());
    lstFile = new QListWidget(file);
    lstFile->setMinimumWidth(340);
    fg->addWidget(lstFile, 0, 0);
    btnUpload = new QPushButton("LUT übertragen", file);
    markComponent(btnUpload, "btnUpload");
    fg->addWidget(btnUpload, 1, 0, Qt::AlignRight);
    auto* row = new QHBoxLayout(this);
    row->addWidget(device);
    row->addWidget(file);

    connect(clbCalib, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (filling_) return;
        logic_.clbCalibClick(clbCalib->row(item), item->checkState() == Qt::Checked);
        refresh();
    });
    connect(btnActivateLut, &QPushButton::clicked, this, [this] {
        logic_.btnActivateLutClick(clbCalib->currentRow());
        refresh();
    });
    connect(btnDeleteLut, &QPushButton::clicked, this, [this] {
        btnDeleteLut->setEnabled(false);
        logic_.btnDeleteLutClick(clbCalib->currentRow());
        refresh();
        btnDeleteLut->setEnabled(true);
    });
    connect(btnUpload, &QPushButton::clicked, this, [this] {
        btnUpload->setEnabled(false);
        const int slot = clbCalib->currentRow();
        logic_.btnUploadClick(slot, lstFile->currentRow());
        // The slot's entry shows what it holds now.
        logic_.FormActivate(logic_.dataFilePath());
        refresh();
        clbCalib->setCurrentRow(slot);
        btnUpload->setEnabled(true);
    });
}

void TT4Lookup::applyLanguage(const TextSource& texts) {
    applyComponentTexts(this, texts);
}

void TT4Lookup::FormActivate(const std::string& dataFilePath) {
    logic_.FormActivate(dataFilePath);
    refresh();
    lstFile->setCurrentRow(logic_.selectedFileEntry());
}

int TT4Lookup::run(const std::string& dataFilePath) {
    FormActivate(dataFilePath);
    return exec();
}

void TT4Lookup::refresh() {
    filling_ = true;
    const int row = clbCalib->currentRow();
    clbCalib->clear();
    const auto& entries = logic_.slotEntries();
    for (size_t i = 0; i < entries.size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(entries[i]), clbCalib);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(int(i) == logic_.checkedSlot() ? Qt::Checked : Qt::Unchecked);
    }
    if (row >= 0 && row < clbCalib->count()) clbCalib->setCurrentRow(row);
    const int fileRow = lstFile->currentRow();
    lstFile->clear();
    for (const auto& e : logic_.fileEntries())
        lstFile->addItem(QString::fromStdString(e));
    if (fileRow >= 0 && fileRow < lstFile->count()) lstFile->setCurrentRow(fileRow);
    filling_ = false;
}

} // namespace getkelo
