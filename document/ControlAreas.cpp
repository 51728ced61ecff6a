// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/ControlAreas.h"

#include "fold/FoldModel.h"

#include <QPolygonF>

namespace {

// The point on the line through a and b whose x (dX) or y (dY) is d away from a's.
QPointF dX(float d, QPointF a, QPointF b) {
    const FoldPoint p = FoldModel::pointMoveDeltaX(d, {a.x(), a.y()}, {b.x(), b.y()});
    return {p.x, p.y};
}

QPointF dY(float d, QPointF a, QPointF b) {
    const FoldPoint p = FoldModel::pointMoveDeltaY(d, {a.x(), a.y()}, {b.x(), b.y()});
    return {p.x, p.y};
}

QPainterPath closedPolygon(const QPolygonF& corners) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addPolygon(corners);
    path.closeSubpath();
    return path;
}

// The edge itself and the same segment moved inward by the strip's width.
QPainterPath edgeStrip(QPointF top, QPointF bottom, double inward) {
    const QPointF shift(inward, 0.0);
    return closedPolygon({top + shift, top, bottom, bottom + shift});
}

// The outline through every line's end point on one edge, back along the points moved
// `depth` along each line toward its other end.
QPainterPath band(const LineEndPoints& endPoints, int edgeEnd, float depth) {
    const int otherEnd = 1 - edgeEnd;
    QPolygonF corners;
    for (int i = 0; i <= 6; ++i)
        corners << endPoints[i][edgeEnd];
    for (int i = 6; i >= 0; --i)
        corners << dY(depth, endPoints[i][edgeEnd], endPoints[i][otherEnd]);
    return closedPolygon(corners);
}

QPainterPath creaseHexagon(const LineEndPoints& endPoints, int k) {
    const float half = float(ControlAreas::creaseHalfWidth);
    const QPointF top = endPoints[k][0];
    const QPointF bottom = endPoints[k][1];
    return closedPolygon({dX(-half, top, endPoints[k - 1][0]), top,
                          dX(half, top, endPoints[k + 1][0]), dX(half, bottom, endPoints[k + 1][1]),
                          bottom, dX(-half, bottom, endPoints[k - 1][1])});
}

} // namespace

void ControlAreas::updateTrackingAreaPath(const LineEndPoints& endPoints) {
    _trackingAreaPath[0] = edgeStrip(endPoints[0][0], endPoints[0][1], edgeStripWidth);
    _trackingAreaPath[6] = edgeStrip(endPoints[6][0], endPoints[6][1], -edgeStripWidth);
    // y grows upward: the top band reaches down from the top ends, the bottom band up.
    _trackingAreaPath[topBand] = band(endPoints, 0, -float(bandHeight));
    _trackingAreaPath[bottomBand] = band(endPoints, 1, float(bandHeight));
    for (int k = 1; k <= 5; ++k)
        _trackingAreaPath[k] = creaseHexagon(endPoints, k);
}

int ControlAreas::controlAreaPoint(QPointF pointInFrame) const {
    for (int area = areaCount - 1; area >= 0; --area) {
        if (_trackingAreaPath[area].contains(pointInFrame))
            return area;
    }
    return noArea;
}
