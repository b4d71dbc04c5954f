#include "calib/forms/tdatei.h"

#include "calib/data_set_chooser.h"

#include <QVBoxLayout>

namespace getkelo {

TDatei::TDatei(QWidget* parent) : QFrame(parent) {
    setObjectName("Datei");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Label = new QLabel(this);
    Label->setObjectName("Label");
    ComboBox = new QComboBox(this);
    ComboBox->setObjectName("ComboBox");
    ComboBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    layout->addWidget(Label);
    layout->addWidget(ComboBox);
}

void TDatei::FillDataSetChooser(const std::vector<std::string>& query) {
    ComboBox->clear();
    for (const std::string& entry : dataSetEntries(DataSetQuery::fromList(query)))
        ComboBox->addItem(QString::fromStdString(entry));
    ComboBox->setCurrentIndex(ComboBox->count() - 1);
}

std::string TDatei::chosenSection() const {
    if (ComboBox->currentIndex() < 0) return "";
    return entrySectionName(ComboBox->currentText().toStdString());
}

} // namespace getkelo
