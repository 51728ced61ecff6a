// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/ExportWriter.h"

#include "media/Failure.h"
#include "media/PictureEncoder.h"
#include "media/PngWriter.h"

#include "media/ReplacingFile.h"

#include <QFileInfo>
#include <QImageWriter>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace {

constexpr PictureEncoder::ImageSettings lossySettings{90, -1};
constexpr PictureEncoder::ImageSettings tiffSettings{-1, 1}; // LZW
// WebP's own limit; JPEG's, 65500, lies beyond the cap every format has.
constexpr int webpLargestSide = 16383;
// Peak memory over the export's own pixels with /usr/bin/time -v: libwebp's 35 bytes a pixel
// (its ARGB and YUV copies and its analysis), Qt's PDF writer's 10.5 (the picture and its
// compressed stream).
constexpr int webpBytesPerPixel = 36;
constexpr int pdfBytesPerPixel = 11;

// A file that asks the progress before each write and fails the write when told to stop.
class StoppableFile : public ReplacingFile {
public:
    StoppableFile(const QByteArray& destination, const ExportWriter::Progress& progress)
        : ReplacingFile(destination), _progress(progress) {}

    bool stopped() const { return _stopped; }

protected:
    qint64 writeData(const char* data, qint64 length) override {
        if (!_stopped && _progress && !_progress()) {
            _stopped = true;
            failWith(ECANCELED);
        }
        return ReplacingFile::writeData(data, length);
    }

private:
    const ExportWriter::Progress& _progress;
    bool _stopped = false;
};

PictureEncoder::ImageSettings settingsFor(const ExportFormat& format) {
    if (format.name == "TIFF")
        return tiffSettings;
    return lossySettings;
}

bool encode(QImage& picture, QIODevice& file, const ExportFormat& format, QString* failure) {
    if (format.isPdf()) {
        PictureEncoder::writePdf(picture, &file);
        return true;
    }
    if (format.name == "PNG")
        return PngWriter::write(picture, &file, failure);
    // Encoders take straight alpha; converting here, in place, spares them a copy.
    if (picture.format() == QImage::Format_ARGB32_Premultiplied)
        picture.convertTo(QImage::Format_ARGB32);
    return PictureEncoder::writeImage(picture, &file, format.name.constData(), settingsFor(format),
                                      failure);
}

} // namespace

QString ExportFormat::nameFilter() const {
    return QStringLiteral("%1 (*.%2)").arg(description, suffix);
}

QString ExportFormat::foldedFileName(const QString& pictureFileName) const {
    return QStringLiteral("%1 folded.%2")
        .arg(QFileInfo(pictureFileName).completeBaseName(), suffix);
}

QList<ExportFormat> ExportWriter::formats() {
    // The plugins are fixed for the process, and asking them costs more than planning a row.
    static const QList<QByteArray> writable = QImageWriter::supportedImageFormats();
    const QList<ExportFormat> all = {
        {"PNG", QStringLiteral("png"), tr("PNG image"), true},
        {"TIFF", QStringLiteral("tiff"), tr("TIFF image"), true},
        {"JPEG", QStringLiteral("jpg"), tr("JPEG image"), false},
        {"WEBP", QStringLiteral("webp"), tr("WebP image"), true, webpLargestSide,
         webpBytesPerPixel},
        {"PDF", QStringLiteral("pdf"), tr("PDF document"), true, 16384, pdfBytesPerPixel},
    };
    QList<ExportFormat> available;
    for (const ExportFormat& format : all) {
        if (format.isPdf() || writable.contains(format.name.toLower()))
            available.append(format);
    }
    return available;
}

QList<ExportFormat> ExportWriter::modelFormats() {
    return {{"GLB", QStringLiteral("glb"), tr("3D model (GLB)"), true},
            {"GLTF", QStringLiteral("gltf"), tr("3D model (glTF)"), true}};
}

std::optional<ExportFormat> ExportWriter::formatForFileName(const QString& fileName) {
    QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("jpeg"))
        suffix = QStringLiteral("jpg");
    else if (suffix == QLatin1String("tif"))
        suffix = QStringLiteral("tiff");
    for (const ExportFormat& format : formats() + modelFormats()) {
        if (format.suffix == suffix)
            return format;
    }
    return std::nullopt;
}

// A failed write is the file's fault before the encoder's: encoders that meet one often say no
// more than that they failed, and the PDF writer says nothing at all.
bool ExportWriter::canWrite(const QByteArray& path, QSize pixels, const ExportFormat& format,
                            QString* failure) {
    if (std::max(pixels.width(), pixels.height()) > format.largestSide)
        return Failure::fail(failure,
                             tr("%1 x %2 pixels asked, over the limit of %3 pixels a side for %4")
                                 .arg(pixels.width())
                                 .arg(pixels.height())
                                 .arg(format.largestSide)
                                 .arg(format.description));
    if (format.largestPixels() && qint64(pixels.width()) * pixels.height() > format.largestPixels())
        return Failure::fail(failure,
                             tr("%1 x %2 pixels asked, over the limit of %3 megapixels that keeps "
                                "a %4 within %5 GB of memory")
                                 .arg(pixels.width())
                                 .arg(pixels.height())
                                 .arg(double(format.largestPixels()) / 1e6, 0, 'f', 1)
                                 .arg(format.description)
                                 .arg(double(ExportFormat::memoryBudget) / 1e9));
    struct stat status {};
    if (::stat(path.constData(), &status) == 0 && !S_ISREG(status.st_mode))
        return Failure::fail(failure, S_ISDIR(status.st_mode) ? tr("A folder, not a file")
                                                              : tr("Not a regular file"));
    return true;
}

ExportWriter::Outcome ExportWriter::write(QImage picture, const QByteArray& path,
                                          const ExportFormat& format, const Progress& progress,
                                          QString* failure) {
    StoppableFile file(path, progress);
    QString reason;
    const bool encoded = file.open() && encode(picture, file, format, &reason);
    if (file.stopped())
        return Outcome::Stopped;
    if (!file.failed() && encoded && file.commit())
        return Outcome::Written;
    if (failure)
        *failure = file.failed() ? file.failure() : reason;
    return Outcome::Failed;
}

ExportWriter::Outcome ExportWriter::writeData(const QByteArray& data, const QByteArray& path,
                                              QString* failure) {
    ReplacingFile file(path);
    if (file.open() && file.write(data) == data.size() && file.commit())
        return Outcome::Written;
    if (failure)
        *failure = file.failure();
    return Outcome::Failed;
}
