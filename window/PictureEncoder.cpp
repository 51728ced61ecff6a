#include "window/PictureEncoder.h"

#include <QBuffer>
#include <QMimeData>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace PictureEncoder {

QByteArray encodedData(const QImage& picture, const char* format) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, format))
        return {};
    return data;
}

QByteArray pdfData(const QImage& picture) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    const QSizeF points = picture.deviceIndependentSize();
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF());
    writer.setResolution(72);
    QPainter painter(&writer);
    painter.drawImage(QRectF(QPointF(), points), picture);
    painter.end();
    return data;
}

namespace {

// A format whose image plugin is missing is left out rather than offered empty.
void offerEncoded(QMimeData& mimeData, const QImage& picture, const char* format,
                  const QString& mimeType) {
    const QByteArray data = encodedData(picture, format);
    if (!data.isEmpty())
        mimeData.setData(mimeType, data);
}

} // namespace

std::unique_ptr<QMimeData> mimeDataWithFormat(const QImage& picture, const QString& format) {
    auto mimeData = std::make_unique<QMimeData>();
    if (format == QLatin1String("PDF")) {
        mimeData->setData(QStringLiteral("application/pdf"), pdfData(picture));
        return mimeData;
    }
    mimeData->setImageData(picture);
    offerEncoded(*mimeData, picture, "PNG", QStringLiteral("image/png"));
    offerEncoded(*mimeData, picture, "TIFF", QStringLiteral("image/tiff"));
    return mimeData;
}

} // namespace PictureEncoder
