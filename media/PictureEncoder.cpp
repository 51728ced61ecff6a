// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PictureEncoder.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageWriter>
#include <QMimeData>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace PictureEncoder {

bool writeImage(const QImage& picture, QIODevice* device, const char* format,
                ImageSettings settings, QString* failure) {
    QImageWriter writer(device, format);
    writer.setQuality(settings.quality);
    writer.setCompression(settings.compression);
    if (writer.write(picture))
        return true;
    if (!failure)
        return false;
    // Plugins that refuse a picture often say no more than "Unknown error".
    if (writer.error() == QImageWriter::UnknownError)
        *failure = QCoreApplication::translate(
                       "PictureEncoder", "The %1 encoder refused a picture of %2 x %3 pixels.")
                       .arg(QString::fromLatin1(format))
                       .arg(picture.width())
                       .arg(picture.height());
    else
        *failure = writer.errorString();
    return false;
}

void writePdf(const QImage& picture, QIODevice* device) {
    const QSizeF points = picture.deviceIndependentSize();
    QPdfWriter writer(device);
    writer.setPageSize(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF());
    writer.setResolution(72);
    QPainter painter(&writer);
    painter.drawImage(QRectF(QPointF(), points), picture);
    painter.end();
}

QByteArray encodedData(const QImage& picture, const char* format) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!writeImage(picture, &buffer, format))
        return {};
    return data;
}

QByteArray pdfData(const QImage& picture) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    writePdf(picture, &buffer);
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
