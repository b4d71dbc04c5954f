#include "calib/forms/certificate_pdf.h"

#include <algorithm>

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace getkelo {

bool paintCertificate(const QString& html, QPagedPaintDevice& device) {
    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&device); // font sizes at the device's resolution
    doc.setDefaultFont(QFont("Arial", 10));
    doc.setHtml(html);
    QPainter painter;
    if (!painter.begin(&device)) return false;
    // The whole certificate on one page: scaled down when it is longer.
    const QRectF page = device.pageLayout().paintRectPixels(device.logicalDpiY());
    doc.setTextWidth(page.width());
    const double scale = std::min(1.0, page.height() / doc.size().height());
    painter.scale(scale, scale);
    doc.drawContents(&painter);
    return painter.end();
}

bool saveCertificatePdf(const QString& html, const QString& path, const QString& title) {
    // Written beside the target and moved over it, so a failed write keeps an older file.
    const QString partial = path + ".part";
    bool painted = false;
    {
        QPdfWriter writer(partial);
        writer.setTitle(title);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        writer.setResolution(300);
        painted = paintCertificate(html, writer);
    }
    if (!painted) {
        QFile::remove(partial);
        return false;
    }
    QFile::remove(path);
    return QFile::rename(partial, path);
}

} // namespace getkelo
