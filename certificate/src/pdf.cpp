#include "qm7x/certificate/pdf.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCryptographicHash>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include "qm7x/certificate/document.h"

namespace qm7x::certificate {

namespace {

constexpr int kDotsPerInch = 300;
constexpr double kFontPoints = 9.0;

QFont BodyFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(kFontPoints);
    return font;
}

}  // namespace

RenderedPdf RenderPdf(const Certificate& certificate) {
    RenderedPdf out;
    if (QGuiApplication::instance() == nullptr) {
        out.error = "certificate PDF: no QGuiApplication to lay the text out with";
        return out;
    }
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        writer.setResolution(kDotsPerInch);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(20, 15, 15, 15), QPageLayout::Millimeter);
        writer.setTitle(QString::fromStdString("Сертификат калибровки № " + certificate.number));
        writer.setCreator(QString::fromStdString(certificate.software.program));

        QTextDocument document;
        document.documentLayout()->setPaintDevice(&writer);
        document.setDefaultFont(BodyFont());
        document.setHtml(QString::fromStdString(DocumentHtml(certificate)));

        const QSizeF area = writer.pageLayout().paintRectPixels(kDotsPerInch).size();
        QPainter painter;
        if (!painter.begin(&writer)) {
            out.error = "certificate PDF: the PDF writer could not start a page";
            return out;
        }
        painter.setFont(BodyFont());
        const double footer = QFontMetricsF(painter.font(), &writer).height() * 2.0;
        const QSizeF body(area.width(), area.height() - footer);
        document.setPageSize(body);
        const int pages = document.pageCount();
        for (int page = 0; page < pages; ++page) {
            if (page > 0) {
                writer.newPage();
            }
            painter.save();
            painter.translate(0, -page * body.height());
            document.drawContents(&painter, QRectF(QPointF(0, page * body.height()), body));
            painter.restore();
            painter.drawText(QRectF(0, body.height(), area.width(), footer),
                             Qt::AlignRight | Qt::AlignBottom,
                             QString::fromStdString(PageFooter(certificate, page + 1, pages)));
        }
        painter.end();
        out.pages = pages;
    }
    out.bytes.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    out.sha256_hex =
        QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString();
    return out;
}

}  // namespace qm7x::certificate
