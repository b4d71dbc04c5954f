#include "calib/forms/certificate_pdf.h"

#include <algorithm>

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace getkelo {

bool saveCertificatePdf(const QString& html, const QString& path, const QString& title) {
    // Written beside the target and moved over it, so a failed write keeps an older file.
    const QString partial = path + ".part";
    {
        QPdfWriter writer(partial);
        writer.setTitle(title);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        writer.setResolution(300);
        QTextDocument doc;
        doc.documentLayout()->setPaintDevice(&writer); // font sizes at the writer's resolution
        doc.setDefaultFont(QFont("Arial", 10));
        doc.setHtml(html);
        QPainter painter;
        if (!painter.begin(&writer)) return false;
        // The whole certificate on one page: scaled down when it is longer.
        const QRectF page = writer.pageLayout().paintRectPixels(writer.resolution());
        doc.setTextWidth(page.width());
        const double scale = std::min(1.0, page.height() / doc.size().height());
        painter.scale(scale, scale);
        doc.drawContents(&painter);
        painter.end();
    }
    QFile::remove(path);
    return QFile::rename(partial, path);
}

} // namespace getkelo
