// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/ExportPicture.h"

#include "document/BackgroundPicture.h"
#include "document/ControlAreas.h"
#include "document/DropShadow.h"
#include "document/ExportOptions.h"
#include "document/LineOverlay.h"
#include "media/DocumentLog.h"
#include "media/PictureReader.h"

#include <QFile>
#include <QPainter>

double ExportPicture::pixelsPerPoint(const ExportOptions& options, QSize windowSize) {
    return double(options.pixelSize(windowSize).width()) / windowSize.width();
}

namespace {

QSize wantedPixels(FoldSize sheet, QSize pictureSize, double pixelsPerPoint) {
    const QSize wanted = (QSizeF(sheet.width, sheet.height) * pixelsPerPoint).toSize();
    return pictureSize.isEmpty() ? wanted : wanted.boundedTo(pictureSize);
}

} // namespace

bool ExportPicture::needsFinerPicture(FoldSize sheet, QSize pictureSize, QSize textureSize,
                                      double pixelsPerPoint) {
    const QSize wanted = wantedPixels(sheet, pictureSize, pixelsPerPoint);
    return wanted.width() > textureSize.width() || wanted.height() > textureSize.height();
}

QImage ExportPicture::finerPicture(const QString& path, const ArtworkPage& page, FoldSize sheet,
                                   QSize pictureSize, QSize textureSize, double pixelsPerPoint) {
    if (!needsFinerPicture(sheet, pictureSize, textureSize, pixelsPerPoint))
        return {};
    const QSize wanted = wantedPixels(sheet, pictureSize, pixelsPerPoint);
    const PictureReader::Result read = PictureReader::read(
        QFile::encodeName(path), [wanted](QSize) { return wanted; }, {}, page);
    if (read.picture.isNull())
        qCWarning(documentLog) << "Export keeps the window's texture:" << path << read.failure;
    return read.picture;
}

QImage ExportPicture::render(SheetRenderer& view, const LineEndPoints& endPoints, QSize windowSize,
                             const ExportOptions& options, const Look& look,
                             const QImage& texturePicture,
                             const SheetRenderer::TileProgress& progress) {
    QImage picture = renderFold(view, windowSize, options, texturePicture, progress);
    if (!picture.isNull())
        finish(picture, endPoints, view.lineCount(), options, look);
    return picture;
}

QImage ExportPicture::renderFold(SheetRenderer& view, QSize windowSize,
                                 const ExportOptions& options, const QImage& texturePicture,
                                 const SheetRenderer::TileProgress& progress) {
    QImage picture = view.renderAtSize(options.pixelSize(windowSize), texturePicture, progress);
    if (!picture.isNull())
        picture.setDevicePixelRatio(pixelsPerPoint(options, windowSize));
    return picture;
}

// The steps of the window's own picture, so that at the window's size the export is what Copy
// gives.
void ExportPicture::finish(QImage& picture, const LineEndPoints& endPoints, int lineCount,
                           const ExportOptions& options, const Look& look) {
    // Converted before any painter: the image keeps its first painter's engine, which would go on
    // drawing in the old format.
    if (options.withShadow || !options.backgroundPicture.isNull())
        picture.convertTo(QImage::Format_ARGB32_Premultiplied);
    // The shadow is cast by the sheet alone and the lines drawn over it, as in the window.
    if (options.withShadow) {
        DropShadow shadow;
        shadow.setOpacity(look.shadowOpacity);
        shadow.setBlurRadius(look.shadowBlur);
        shadow.setOffset(look.shadowOffset);
        shadow.update(picture);
        shadow.paintUnder(picture);
    }
    if (options.withCreaseLine) {
        const LineOverlay overlay{look.creaseLineColor, QColor(), true, false, lineCount};
        overlay.draw(picture, endPoints, ControlAreas::noArea);
    }
    if (!options.backgroundPicture.isNull())
        BackgroundPicture::paintUnder(picture, options.backgroundPicture);
    if (!options.transparentBackground) {
        QPainter painter(&picture);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
        painter.fillRect(QRectF(QPointF(), picture.deviceIndependentSize()),
                         options.backgroundColor);
    }
}
