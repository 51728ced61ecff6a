// Export of a document: the folded picture drawn afresh at any size for a file, and the picture a
// drag out of the window carries.
#include "window/DocumentController.h"

#include "render/SheetRenderer.h"
#include "window/DocumentWindow.h"
#include "window/DropShadow.h"
#include "window/ExportOptions.h"
#include "window/ExportPicture.h"
#include "window/ExportWriter.h"
#include "window/PictureEncoder.h"
#include "window/PictureReader.h"
#include "window/WindowLog.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QStandardPaths>

// The texture the window shows is enough unless the export shows the sheet larger than that and
// the file has more pixels; then the file is read again at the export's size.
QImage DocumentController::exportTexturePicture(double pixelsPerPoint) const {
    const QSize wanted =
        (QSizeF(_fold.sheetSize().width, _fold.sheetSize().height) * pixelsPerPoint)
            .toSize()
            .boundedTo(_picturePixelSize);
    const QSize shown = _renderer->textureSize();
    if (wanted.width() <= shown.width() && wanted.height() <= shown.height())
        return {};
    const PictureReader::Result read =
        PictureReader::read(QFile::encodeName(_url.toLocalFile()), wanted);
    if (read.picture.isNull())
        qCWarning(windowLog) << "Export keeps the window's texture:" << _url.toLocalFile()
                             << read.failureReason;
    return read.picture;
}

QImage DocumentController::exportPicture(const ExportOptions& options,
                                         const ExportProgress& progress) {
    const QSize windowSize = _window->size();
    const DropShadow& shown = _window->dropShadow();
    const ExportPicture::Look look{_lineColor[0], shown.opacity(), shown.blurRadius(),
                                   shown.offset()};
    return ExportPicture::render(
        *_renderer, _endPoints, windowSize, options, look,
        exportTexturePicture(ExportPicture::pixelsPerPoint(options, windowSize)), progress);
}

std::unique_ptr<QMimeData> DocumentController::pictureDragData(const QImage& picture) const {
    const QByteArray png = PictureEncoder::encodedData(picture, "PNG");
    if (png.isEmpty())
        return nullptr;
    auto mimeData = std::make_unique<QMimeData>();
    mimeData->setData(QStringLiteral("image/png"), png);
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    const ExportFormat pngFormat = ExportWriter::formats().first();
    const QString path = QDir(folder).filePath(pngFormat.foldedFileName(_url.fileName()));
    QString failure;
    if (QDir().mkpath(folder) &&
        ExportWriter::writeData(png, path, &failure) == ExportWriter::Outcome::Written)
        mimeData->setUrls({QUrl::fromLocalFile(path)});
    else
        qCWarning(windowLog) << "The dragged picture goes without its file:" << path << failure;
    return mimeData;
}
