#include "window/ExportPicture.h"

#include "window/ControlAreas.h"
#include "window/DropShadow.h"
#include "window/ExportOptions.h"
#include "window/LineOverlay.h"

#include <QPainter>

double ExportPicture::pixelsPerPoint(const ExportOptions& options, QSize windowSize) {
    return double(options.pixelSize(windowSize).width()) / windowSize.width();
}

QImage ExportPicture::render(MyGLView& view, const LineEndPoints& endPt, QSize windowSize,
                             const ExportOptions& options, const Look& look,
                             const QImage& texturePicture, const MyGLView::TileProgress& progress) {
    QImage picture = renderFold(view, windowSize, options, texturePicture, progress);
    if (!picture.isNull())
        finish(picture, endPt, options, look);
    return picture;
}

QImage ExportPicture::renderFold(MyGLView& view, QSize windowSize, const ExportOptions& options,
                                 const QImage& texturePicture,
                                 const MyGLView::TileProgress& progress) {
    QImage picture =
        view.imageWithPixelSize(options.pixelSize(windowSize), texturePicture, progress);
    if (!picture.isNull())
        picture.setDevicePixelRatio(pixelsPerPoint(options, windowSize));
    return picture;
}

// The steps of the window's own picture, so that at the window's size the export is what Copy
// gives.
void ExportPicture::finish(QImage& picture, const LineEndPoints& endPt,
                           const ExportOptions& options, const Look& look) {
    // The shadow is cast by the sheet alone and the lines drawn over it, as in the window.
    if (options.withShadow) {
        picture.convertTo(QImage::Format_ARGB32_Premultiplied);
        DropShadow shadow;
        shadow.setOpacity(look.shadowOpacity);
        shadow.setBlurRadius(look.shadowBlur);
        shadow.setOffset(look.shadowOffset);
        shadow.update(picture);
        shadow.paintUnder(picture);
    }
    if (options.withCreaseLine) {
        const LineOverlay overlay{look.creaseLineColor, QColor(), true, false};
        overlay.draw(picture, endPt, ControlAreas::noArea);
    }
    if (!options.transparentBackground) {
        QPainter painter(&picture);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
        painter.fillRect(QRectF(QPointF(), picture.deviceIndependentSize()),
                         options.backgroundColor);
    }
}
