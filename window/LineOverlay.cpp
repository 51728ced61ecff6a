#include "window/LineOverlay.h"

#include "window/ControlAreas.h"
#include "window/FrameCoordinates.h"

#include <QPainter>
#include <QPen>

QPainterPath LineOverlay::path(const LineEndPoints& endPt, int k) {
    QPainterPath path;
    if (k < ControlAreas::topBand) {
        path.moveTo(endPt[k][0]);
        path.lineTo(endPt[k][1]);
        return path;
    }
    const int end = k == ControlAreas::topBand ? 0 : 1;
    path.moveTo(endPt[0][end]);
    for (int i = 1; i < creaseLineCount; ++i)
        path.lineTo(endPt[i][end]);
    return path;
}

// A later path is drawn over an earlier one; a highlighted crease line is stroked once, in the
// control colour only.
void LineOverlay::draw(QImage& image, const LineEndPoints& endPt, int controlArea) const {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setTransform(
        FrameCoordinates::toWidgetTransform(image.height() / image.devicePixelRatio()));
    QPen pen;
    pen.setWidthF(2.0);
    pen.setCapStyle(Qt::SquareCap);
    for (int k = 0; k < ControlAreas::areaCount; ++k) {
        bool stroke = false;
        if (k >= 1 && k <= 5 && showCreaseLine) {
            pen.setColor(creaseLineColor);
            stroke = true;
        }
        if (showControlLine && k == controlArea) {
            pen.setColor(controlLineColor);
            stroke = true;
        }
        if (stroke)
            painter.strokePath(path(endPt, k), pen);
    }
}
