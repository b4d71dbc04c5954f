#pragma once
#include <QString>

namespace getkelo {

// The certificate's rich text on one A4 page as a PDF file (the document-writer way of
// printing it); false when the file could not be written.
bool saveCertificatePdf(const QString& html, const QString& path, const QString& title);

} // namespace getkelo
