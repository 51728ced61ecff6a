// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/LineOverlay.h"

#include "document/FrameCoordinates.h"

#include <QPainter>
#include <QPen>
#include <QScopeGuard>

#include <algorithm>

QPainterPath LineOverlay::path(const LineEndPoints& endPoints, int k, int lineCount) {
    QPainterPath path;
    if (k < lineCount) {
        path.moveTo(endPoints[k][0]);
        path.lineTo(endPoints[k][1]);
        return path;
    }
    const int end = k == lineCount ? 0 : 1;
    path.moveTo(endPoints[0][end]);
    for (int i = 1; i < lineCount; ++i)
        path.lineTo(endPoints[i][end]);
    return path;
}

namespace {

constexpr double lineWidth = 2.0;

// What a stroke of the path covers: half the width and the square cap beyond its points, and a
// pixel of antialiasing.
QRectF strokeBounds(const QPainterPath& path) {
    const double reach = lineWidth + 1.0;
    return path.boundingRect().adjusted(-reach, -reach, reach, reach);
}

} // namespace

// A highlighted crease line is stroked once, in the control colour only.
std::optional<QColor> LineOverlay::strokeColor(int k, int controlArea) const {
    if (showControlLine && k == controlArea)
        return controlLineColor;
    if (k >= 1 && k <= lineCount - 2 && showCreaseLine)
        return creaseLineColor;
    return std::nullopt;
}

// A later path is drawn over an earlier one.
void LineOverlay::draw(QImage& image, const LineEndPoints& endPoints, int controlArea,
                       const QRectF& clip) const {
    // QPainter leaves a pixel ratio under 1 unapplied, and an export smaller than the window has
    // one, so the ratio is applied here for every image alike.
    const qreal ratio = image.devicePixelRatio();
    image.setDevicePixelRatio(1);
    const auto restoreRatio = qScopeGuard([&image, ratio] { image.setDevicePixelRatio(ratio); });
    const QTransform toPixels = QTransform::fromScale(ratio, ratio);
    QPainter painter(&image);
    painter.setTransform(toPixels);
    if (!clip.isNull())
        painter.setClipRect(clip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setTransform(FrameCoordinates::toWidgetTransform(image.height() / ratio) * toPixels);
    QPen pen;
    pen.setWidthF(lineWidth);
    pen.setCapStyle(Qt::SquareCap);
    for (int k = 0; k < lineCount + 2; ++k) {
        if (const std::optional<QColor> color = strokeColor(k, controlArea)) {
            pen.setColor(*color);
            painter.strokePath(path(endPoints, k, lineCount), pen);
        }
    }
}

QRect LineOverlay::changeFrom(const LineOverlay& shown, const LineEndPoints& shownEndPt,
                              int shownArea, const LineEndPoints& endPoints, int controlArea,
                              double height) const {
    QRectF changed;
    const int paths = std::max(lineCount, shown.lineCount) + 2;
    for (int k = 0; k < paths; ++k) {
        const std::optional<QColor> before =
            k < shown.lineCount + 2 ? shown.strokeColor(k, shownArea) : std::nullopt;
        const std::optional<QColor> now =
            k < lineCount + 2 ? strokeColor(k, controlArea) : std::nullopt;
        const QPainterPath beforePath = path(shownEndPt, k, shown.lineCount);
        const QPainterPath nowPath = path(endPoints, k, lineCount);
        if (before == now && (!now || beforePath == nowPath))
            continue;
        if (before)
            changed |= strokeBounds(beforePath);
        if (now)
            changed |= strokeBounds(nowPath);
    }
    return FrameCoordinates::toWidgetTransform(height).mapRect(changed).toAlignedRect();
}
