// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PictureReader.h"

#include "media/Failure.h"
#include "media/PdfPage.h"
#include "media/RegularFile.h"

#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include <cmath>
#include <system_error>

namespace {

QString unreadable(int error) {
    return PictureReader::tr("Unreadable (%1)")
        .arg(QString::fromStdString(std::generic_category().message(error)));
}

QString notRegular() {
    return PictureReader::tr("Not a regular file");
}

PictureReader::Result failed(const QString& reason) {
    return {QImage(), QSize(), reason, QSizeF()};
}

bool saysNothing(double perInch) {
    return perInch < 1 || std::abs(perInch - 72) < 0.5 || std::abs(perInch - 96) < 0.5;
}

// The printed size from the resolution the file gives, which Qt scales with a picture decoded
// smaller. 72 and 96 pixels an inch are what programs write when they know none, and what Qt
// gives a picture without one.
QSizeF printedPoints(QSize pixels, const QImage& picture) {
    const double decodedPerInch = picture.dotsPerMeterX() * 0.0254;
    const double perInch = decodedPerInch * pixels.width() / std::max(1, picture.width());
    if (saysNothing(decodedPerInch) || saysNothing(perInch))
        return QSizeF(pixels) * (72 / PictureReader::assumedPixelsPerInch);
    return QSizeF(pixels) * (72 / perInch);
}

// What the decoded picture would take at full size; formats the reader cannot tell count 4 bytes.
qint64 fullSizeBytes(QSize pixelSize, QImage::Format format) {
    const int depth =
        format == QImage::Format_Invalid ? 32 : QImage::toPixelFormat(format).bitsPerPixel();
    return qint64(pixelSize.width()) * pixelSize.height() * std::max(depth, 8) / 8;
}

// The size a BMP's header gives, invalid for any other file. Qt's reader gives no size for one
// past its own limit and then fails with "Unable to read image data".
QSize bmpHeaderSize(QFile& file) {
    const QByteArray header = file.peek(26);
    if (header.size() < 26 || !header.startsWith("BM"))
        return {};
    const char* info = header.constData() + 14;
    if (qFromLittleEndian<quint32>(info) == 12) // the OS/2 form: unsigned 16-bit sides
        return {qFromLittleEndian<quint16>(info + 4), qFromLittleEndian<quint16>(info + 6)};
    // A negative height marks rows stored from the top down.
    const qint64 height = qFromLittleEndian<qint32>(info + 8);
    return {qFromLittleEndian<qint32>(info + 4), int(std::min<qint64>(std::abs(height), INT_MAX))};
}

} // namespace

PictureReader::Result PictureReader::read(const QByteArray& path, QSize size) {
    return read(path, [size](QSize) { return size; });
}

PictureReader::Result PictureReader::read(const QByteArray& path, const SizeForPixels& sizeFor,
                                          const Check& check, const ArtworkPage& artwork,
                                          const ShouldStop& shouldStop) {
    QFile file;
    if (QString reason; !openRegularFile(path, file, &reason))
        return failed(reason);
    if (PdfPage::isPdf(file.peek(1024)))
        return readPdf(file, sizeFor, check, artwork, shouldStop);
    // Taken before Qt's reader moves on from the start.
    const QSize bmpSize = bmpHeaderSize(file);
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    // Qt's limit is one for the whole process; set once, safely from any thread.
    static const bool isLimitSet = [] {
        QImageReader::setAllocationLimit(allocationLimitMB);
        return true;
    }();
    Q_UNUSED(isLimitSet);
    if (!reader.canRead())
        return failed(tr("Not a picture Pleatora can read"));

    // The scaled size applies before the orientation turns the picture.
    const QSize stored = reader.size().isValid() ? reader.size() : bmpSize;
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const QSize upright = turned ? stored.transposed() : stored;
    if (upright.isValid()) {
        // Checked from the header even when decoding smaller: decoding a bomb row by row at a
        // small size still inflates all of it, for seconds or minutes.
        if (QString reason; !fitsLimit(upright, reader.imageFormat(), &reason))
            return failed(reason);
        if (QString reason; check && !check(upright, &reason))
            return failed(reason);
        const QSize wanted = sizeFor(upright).boundedTo(upright).expandedTo(QSize(1, 1));
        if (wanted != upright)
            reader.setScaledSize(turned ? wanted.transposed() : wanted);
    }
    QImage picture = reader.read();
    if (picture.isNull())
        return failed(reasonForFailedRead(reader, upright));
    const QSize pixels = upright.isValid() ? upright : picture.size();
    const QSizeF points = printedPoints(pixels, picture);
    return {std::move(picture), pixels, QString(), points};
}

PictureReader::Result PictureReader::readPdf(QFile& file, const SizeForPixels& sizeFor,
                                             const Check& check, const ArtworkPage& artwork,
                                             const ShouldStop& shouldStop) {
    const QByteArray bytes = file.readAll();
    QString reason;
    const std::optional<PdfPage> page =
        PdfPage::open(bytes, artwork.page, artwork.bleedPoints, &reason);
    if (!page)
        return failed(reason);
    const QSizeF points = page->trimPoints();
    const QSize pixels = (points * (assumedPixelsPerInch / 72)).toSize().expandedTo(QSize(1, 1));
    if (check && !check(pixels, &reason))
        return failed(reason);
    // A page is drawn at any size, as large as the limit of one picture allows.
    const QSize wanted = sizeFor(pixels).expandedTo(QSize(1, 1));
    if (!fitsLimit(wanted, QImage::Format_ARGB32, &reason))
        return failed(reason);
    QImage picture = page->render(wanted, shouldStop, &reason);
    if (picture.isNull())
        return failed(reason);
    return {std::move(picture), pixels, QString(), points, true, page->pageCount()};
}

bool PictureReader::canRead(const QByteArray& path) {
    QFile file;
    if (!openRegularFile(path, file))
        return false;
    if (PdfPage::isPdf(file.peek(1024)))
        return true;
    QImageReader reader(&file);
    return reader.canRead();
}

bool PictureReader::openRegularFile(const QByteArray& path, QFile& file, QString* failure) {
    const RegularFile::Opening opening = RegularFile::openForReading(path, file);
    if (opening.status == RegularFile::Status::Opened)
        return true;
    return Failure::fail(failure, opening.status == RegularFile::Status::NotRegular
                                      ? notRegular()
                                      : unreadable(opening.error));
}

// Qt's own limit counts the format it decodes into, often 4 bytes a pixel even where the file's
// format would take less; a picture it refuses for that is too large, not damaged.
QString PictureReader::reasonForFailedRead(const QImageReader& reader, QSize pixelSize) {
    if (reader.error() == QImageReader::UnsupportedFormatError)
        return tr("Not a picture Pleatora can read");
    if (QString reason;
        pixelSize.isValid() && !fitsLimit(pixelSize, QImage::Format_Invalid, &reason))
        return reason;
    return reader.errorString();
}

bool PictureReader::fitsLimit(QSize pixelSize, QImage::Format format, QString* failure) {
    const qint64 bytes = fullSizeBytes(pixelSize, format);
    if (bytes <= qint64(allocationLimitMB) * 1024 * 1024)
        return true;
    return Failure::fail(failure,
                         tr("Too large: %1 x %2 pixels need %3 MB, over the limit of %4 MB")
                             .arg(pixelSize.width())
                             .arg(pixelSize.height())
                             .arg(bytes / (1024 * 1024))
                             .arg(allocationLimitMB));
}
