#pragma once
#include <QString>

class QPagedPaintDevice;

namespace getkelo {

// The certificate's rich text on one page of a printer or PDF writer: the page rectangle's
// width, scaled down when it is longer than the page. False when painting could not start.
bool paintCertificate(const QString& html, QPagedPaintDevice& device);

// The certificate's rich text on one A4 page as a PDF file (the document-writer way of
// printing it); false when the file could not be written.
bool saveCertificatePdf(const QString& html, const QString& path, const QString& title);

} // namespace getkelo
