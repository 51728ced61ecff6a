// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"
#include "render/LineEndPoints.h"

#include <QPainterPath>
#include <QPointF>

#include <vector>

// The mouse hit areas of a document window, built from the crease lines' end points: strips along
// the inner side of the sheet's two edges (lines 0 and n - 1), hexagons around the creases between,
// and two tilt bands along the sheet edges that run across the creases (areas n and n + 1: top and
// bottom for vertical creases, left and right for horizontal ones). The classic's seven lines give
// areas 0..8 and 9 for none. All positions are frame coordinates (origin at the bottom-left of the
// picture, y up, one unit per point).
class ControlAreas {
public:
    // The classic's numbering.
    static constexpr int areaCount = 9;
    static constexpr int topBand = 7;
    static constexpr int bottomBand = 8;
    static constexpr int noArea = 9;
    static constexpr double edgeStripWidth = 8.0;
    static constexpr double bandHeight = 8.0;
    static constexpr double creaseHalfWidth = 4.0;

    // Numbers the areas for a layout's lines; none is hit until the next update.
    void setLayout(int lineCount, FoldLayout::Axis axis);
    int lineCount() const { return _lineCount; }
    FoldLayout::Axis axis() const { return _axis; }
    // The bands along the lines' first ends (top, or left) and second ends, and the number for
    // none; the classic's are topBand, bottomBand and noArea.
    int firstBand() const { return _lineCount; }
    int secondBand() const { return _lineCount + 1; }
    int outside() const { return _lineCount + 2; }
    int count() const { return _lineCount + 2; }
    bool isLine(long area) const { return area >= 0 && area < _lineCount; }
    bool isTiltBand(long area) const { return area == firstBand() || area == secondBand(); }

    // endPoints[i][0] is the top (left) and endPoints[i][1] the bottom (right) end of line i.
    void updateTrackingAreaPath(const LineEndPoints& endPoints);

    // The area containing the point: the bands win over the line areas and a higher-numbered
    // line area over a lower one; outside() when none contains it (also before the first update).
    int controlAreaPoint(QPointF pointInFrame) const;

    const QPainterPath& path(int area) const { return _trackingAreaPath.at(area); }

private:
    void buildAcrossTheWidth(const LineEndPoints& endPoints);

    int _lineCount = creaseLineCount;
    FoldLayout::Axis _axis = FoldLayout::Axis::vertical;
    std::vector<QPainterPath> _trackingAreaPath = std::vector<QPainterPath>(areaCount);
};
