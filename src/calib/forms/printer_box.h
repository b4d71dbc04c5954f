#pragma once
#include <QString>
#include <QStringList>

class QComboBox;

namespace getkelo {

// The entry of a printer choice that writes a PDF file instead of printing.
inline const QString kPdfOutput = QStringLiteral("PDF");

// The installed printers and the system's default one ("" when there is none).
QStringList installedPrinters();
QString defaultPrinter();

// A printer choice: the printers, then "PDF"; `chosen` is selected, else "PDF".
void fillPrinterBox(QComboBox* box, const QStringList& printers, const QString& chosen);

} // namespace getkelo
