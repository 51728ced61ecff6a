#include "document/ExportWriter.h"

#include "document/PictureEncoder.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

namespace {

// Qt's PNG writer maps compression 0..100 onto zlib's levels 0..9; 11 is level 1. The export
// benchmark found zlib's default level between two and three times slower, for files 12% smaller.
constexpr PictureEncoder::ImageSettings pngSettings{-1, 11};
constexpr PictureEncoder::ImageSettings lossySettings{90, -1};
constexpr PictureEncoder::ImageSettings tiffSettings{-1, 1}; // LZW

// A save file that asks the progress before each write and fails the write when told to stop.
class StoppableSaveFile : public QSaveFile {
public:
    StoppableSaveFile(const QString& name, const ExportWriter::Progress& progress)
        : QSaveFile(name), _progress(progress) {}

    bool stopped() const { return _stopped; }

protected:
    qint64 writeData(const char* data, qint64 length) override {
        if (_stopped || (_progress && !_progress())) {
            _stopped = true;
            return -1;
        }
        return QSaveFile::writeData(data, length);
    }

private:
    const ExportWriter::Progress& _progress;
    bool _stopped = false;
};

PictureEncoder::ImageSettings settingsFor(const ExportFormat& format) {
    if (format.name == "PNG")
        return pngSettings;
    if (format.name == "TIFF")
        return tiffSettings;
    return lossySettings;
}

QString encode(QImage& picture, QSaveFile& file, const ExportFormat& format) {
    if (format.isPdf()) {
        PictureEncoder::writePdf(picture, &file);
        return {};
    }
    // Encoders take straight alpha; converting here, in place, spares them a copy.
    if (picture.format() == QImage::Format_ARGB32_Premultiplied)
        picture.convertTo(QImage::Format_ARGB32);
    return PictureEncoder::writeImage(picture, &file, format.name.constData(), settingsFor(format));
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
    const QList<QByteArray> writable = QImageWriter::supportedImageFormats();
    const QList<ExportFormat> all = {
        {"PNG", QStringLiteral("png"), tr("PNG image"), true},
        {"TIFF", QStringLiteral("tiff"), tr("TIFF image"), true},
        {"JPEG", QStringLiteral("jpg"), tr("JPEG image"), false},
        {"WEBP", QStringLiteral("webp"), tr("WebP image"), true},
        {"PDF", QStringLiteral("pdf"), tr("PDF document"), true},
    };
    QList<ExportFormat> available;
    for (const ExportFormat& format : all) {
        if (format.isPdf() || writable.contains(format.name.toLower()))
            available.append(format);
    }
    return available;
}

std::optional<ExportFormat> ExportWriter::formatForFileName(const QString& fileName) {
    QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("jpeg"))
        suffix = QStringLiteral("jpg");
    else if (suffix == QLatin1String("tif"))
        suffix = QStringLiteral("tiff");
    for (const ExportFormat& format : formats()) {
        if (format.suffix == suffix)
            return format;
    }
    return std::nullopt;
}

ExportWriter::Outcome ExportWriter::write(QImage picture, const QString& fileName,
                                          const ExportFormat& format, const Progress& progress,
                                          QString* failure) {
    StoppableSaveFile file(fileName, progress);
    QString reason;
    if (!file.open(QIODevice::WriteOnly))
        reason = file.errorString();
    else
        reason = encode(picture, file, format);
    if (file.stopped())
        return Outcome::Stopped;
    if (reason.isEmpty() && file.commit())
        return Outcome::Written;
    if (failure)
        *failure = reason.isEmpty() ? file.errorString() : reason;
    return Outcome::Failed;
}

ExportWriter::Outcome ExportWriter::writeData(const QByteArray& data, const QString& fileName,
                                              QString* failure) {
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return Outcome::Written;
    if (failure)
        *failure = file.errorString();
    return Outcome::Failed;
}
