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
    setEntries(dataSetEntries(DataSetQuery::fromList(query)));
}

void TDatei::setEntries(const std::vector<std::string>& entries) {
    ComboBox->clear();
    for (const std::string& entry : entries)
        ComboBox->addItem(QString::fromStdString(entry));
    ComboBox->setCurrentIndex(ComboBox->count() - 1);
    // The entry's last column (gas, temperature, table identity) tells the data sets apart:
    // a narrow page column must not cut it off.
    ComboBox->setMinimumWidth(ComboBox->sizeHint().width());
}

bool TDatei::chooseSection(const std::string& section) {
    for (int i = 0; i < ComboBox->count(); ++i)
        if (entrySectionName(ComboBox->itemText(i).toStdString()) == section) {
            ComboBox->setCurrentIndex(i);
            return true;
        }
    return false;
}

std::string TDatei::chosenSection() const {
    if (ComboBox->currentIndex() < 0) return "";
    return entrySectionName(ComboBox->currentText().toStdString());
}

} // namespace getkelo
