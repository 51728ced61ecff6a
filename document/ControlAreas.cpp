// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/ControlAreas.h"

#include "fold/FoldModel.h"

#include <QPolygonF>
#include <QTransform>

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
QPainterPath band(const LineEndPoints& endPoints, int lineCount, int edgeEnd, float depth) {
    const int otherEnd = 1 - edgeEnd;
    QPolygonF corners;
    for (int i = 0; i < lineCount; ++i)
        corners << endPoints[i][edgeEnd];
    for (int i = lineCount - 1; i >= 0; --i)
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

// Swaps the frame's axes, mirrored: horizontal creases running down from the top become vertical
// ones running right from the left, their left ends the top ends. Its own inverse.
const QTransform acrossToDown(0, -1, -1, 0, 0, 0);

} // namespace

void ControlAreas::setLayout(int lineCount, FoldLayout::Axis axis) {
    _lineCount = lineCount;
    _axis = axis;
    _trackingAreaPath.assign(count(), QPainterPath());
}

// Horizontal creases get the areas of vertical ones in the swapped frame, swapped back.
void ControlAreas::updateTrackingAreaPath(const LineEndPoints& endPoints) {
    if (_axis == FoldLayout::Axis::vertical) {
        buildAcrossTheWidth(endPoints);
        return;
    }
    LineEndPoints swapped = endPoints;
    for (auto& ends : swapped)
        ends = {acrossToDown.map(ends[0]), acrossToDown.map(ends[1])};
    buildAcrossTheWidth(swapped);
    for (QPainterPath& path : _trackingAreaPath)
        path = acrossToDown.map(path);
}

void ControlAreas::buildAcrossTheWidth(const LineEndPoints& endPoints) {
    const int last = _lineCount - 1;
    _trackingAreaPath[0] = edgeStrip(endPoints[0][0], endPoints[0][1], edgeStripWidth);
    _trackingAreaPath[last] = edgeStrip(endPoints[last][0], endPoints[last][1], -edgeStripWidth);
    // y grows upward: the top band reaches down from the top ends, the bottom band up.
    _trackingAreaPath[firstBand()] = band(endPoints, _lineCount, 0, -float(bandHeight));
    _trackingAreaPath[secondBand()] = band(endPoints, _lineCount, 1, float(bandHeight));
    for (int k = 1; k < last; ++k)
        _trackingAreaPath[k] = creaseHexagon(endPoints, k);
}

int ControlAreas::controlAreaPoint(QPointF pointInFrame) const {
    for (int area = count() - 1; area >= 0; --area) {
        if (_trackingAreaPath[area].contains(pointInFrame))
            return area;
    }
    return outside();
}
