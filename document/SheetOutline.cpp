// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/SheetOutline.h"

#include "document/ControlAreas.h"
#include "document/FrameCoordinates.h"

#include <QPainterPath>
#include <QPainterPathStroker>

namespace {

QPainterPath silhouette(const LineEndPoints& endPoints, int lineCount) {
    QPolygonF corners;
    for (int i = 0; i < lineCount; ++i)
        corners << endPoints[i][0];
    for (int i = lineCount - 1; i >= 0; --i)
        corners << endPoints[i][1];
    QPainterPath path;
    path.addPolygon(corners);
    path.closeSubpath();
    return path;
}

} // namespace

QList<QPolygonF> SheetOutline::polygons(const LineEndPoints& endPoints, double windowHeight,
                                        int lineCount, FoldLayout::Axis axis) {
    QPainterPath area = silhouette(endPoints, lineCount);
    ControlAreas controlAreas;
    controlAreas.setLayout(lineCount, axis);
    controlAreas.updateTrackingAreaPath(endPoints);
    for (int k = 0; k < controlAreas.count(); ++k)
        area.addPath(controlAreas.path(k));

    // The stroke's outer contours reach the margin beyond every edge; filled on their own they
    // cover the area as well.
    QPainterPathStroker stroker;
    stroker.setWidth(2 * marginPoints);
    stroker.setJoinStyle(Qt::RoundJoin);
    stroker.setCapStyle(Qt::RoundCap);
    area.addPath(stroker.createStroke(area));

    return area.toSubpathPolygons(FrameCoordinates::toWidgetTransform(windowHeight));
}
