#include "calib/forms/printer_box.h"

#include <QComboBox>
#include <QPrinterInfo>

namespace getkelo {

QStringList installedPrinters() {
    return QPrinterInfo::availablePrinterNames();
}

QString defaultPrinter() {
    return QPrinterInfo::defaultPrinterName();
}

void fillPrinterBox(QComboBox* box, const QStringList& printers, const QString& chosen) {
    box->clear();
    box->addItems(printers);
    box->addItem(kPdfOutput);
    const int at = chosen.isEmpty() ? -1 : box->findText(chosen);
    box->setCurrentIndex(at >= 0 ? at : box->count() - 1);
}

} // namespace getkelo
