// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "render/LineEndPoints.h"

#include <QPainterPath>
#include <QPointF>

#include <array>

// The nine mouse hit areas of a document window, built from the crease lines' end points:
// 0 and 6 strips along the inner side of the sheet's edges, 1..5 hexagons around the creases,
// 7 and 8 bands along the top and bottom edges. All positions are frame coordinates (origin at
// the bottom-left of the picture, y up, one unit per point).
class ControlAreas {
public:
    static constexpr int areaCount = 9;
    static constexpr int topBand = 7;
    static constexpr int bottomBand = 8;
    static constexpr int noArea = 9;
    static constexpr double edgeStripWidth = 8.0;
    static constexpr double bandHeight = 8.0;
    static constexpr double creaseHalfWidth = 4.0;

    // endPoints[i][0] is the top and endPoints[i][1] the bottom end of crease line i.
    void updateTrackingAreaPath(const LineEndPoints& endPoints);

    // The area containing the point: the bands win over the crease areas and a higher-numbered
    // crease area over a lower one; noArea when none contains it (also before the first update).
    int controlAreaPoint(QPointF pointInFrame) const;

    const QPainterPath& path(int area) const { return _trackingAreaPath.at(area); }

private:
    std::array<QPainterPath, areaCount> _trackingAreaPath;
};
