// Export of a document: the folded picture drawn afresh at any size for a file, and the picture a
// drag out of the window carries.
#include "window/MyWindowController.h"

#include "render/MyGLView.h"
#include "window/DropShadow.h"
#include "window/ExportOptions.h"
#include "window/ExportWriter.h"
#include "window/LineOverlay.h"
#include "window/MyWindow.h"
#include "window/PictureEncoder.h"
#include "window/PictureReader.h"
#include "window/WindowLog.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QPainter>
#include <QStandardPaths>

// The texture the window shows is enough unless the export shows the sheet larger than that and
// the file has more pixels; then the file is read again at the export's size.
QImage MyWindowController::exportTexturePicture(double pixelsPerPoint) const {
    const QSize wanted = (QSizeF(_fold._imageSize.width, _fold._imageSize.height) * pixelsPerPoint)
                             .toSize()
                             .boundedTo(_picturePixelSize);
    const QSize shown = _myGLView->textureSize();
    if (wanted.width() <= shown.width() && wanted.height() <= shown.height())
        return {};
    const PictureReader::Result read =
        PictureReader::read(QFile::encodeName(_url.toLocalFile()), wanted);
    if (read.picture.isNull())
        qCWarning(windowLog) << "Export keeps the window's texture:" << _url.toLocalFile()
                             << read.failureReason;
    return read.picture;
}

QImage MyWindowController::exportPicture(const ExportOptions& options,
                                         const ExportProgress& progress) {
    const QSize windowSize = _window->size();
    const QSize pixelSize = options.pixelSize(windowSize);
    const double pixelsPerPoint = double(pixelSize.width()) / windowSize.width();
    QImage picture =
        _myGLView->imageWithPixelSize(pixelSize, exportTexturePicture(pixelsPerPoint), progress);
    if (picture.isNull())
        return picture;
    picture.setDevicePixelRatio(pixelsPerPoint);
    // The steps of the window's own picture, so that at the window's size the export is what
    // Copy gives.
    if (options.withShadow)
        picture.convertTo(QImage::Format_ARGB32_Premultiplied);
    if (options.withCreaseLine) {
        const LineOverlay overlay{_lineColor[0], _lineColor[1], true, false};
        overlay.draw(picture, _endPt, ControlAreas::noArea);
    }
    if (options.withShadow) {
        const DropShadow& shown = _window->dropShadow();
        DropShadow shadow;
        shadow.setOpacity(shown.opacity());
        shadow.setBlurRadius(shown.blurRadius());
        shadow.setOffset(shown.offset());
        shadow.update(picture);
        shadow.paintUnder(picture);
    }
    if (!options.transparentBackground) {
        QPainter painter(&picture);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
        painter.fillRect(QRectF(QPointF(), picture.deviceIndependentSize()),
                         options.backgroundColor);
    }
    return picture;
}

std::unique_ptr<QMimeData> MyWindowController::pictureDragData(const QImage& picture) const {
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
