// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"
#include "render/LineEndPoints.h"

#include <QList>
#include <QPolygonF>

// The part of a document window that should take the mouse: the folded sheet's silhouette (the
// outline through the crease lines' top ends and back through their bottom ends), the hit areas,
// and a margin of a few points around them. The rest of the window is transparent, and clicks there
// belong to whatever lies behind it.
class SheetOutline {
public:
    // Covers the overlay lines, which are drawn two points wide about points one point to the
    // right of the creases, with room to spare for a hand that is slightly off.
    static constexpr double marginPoints = 4.0;

    // Polygons in window coordinates (points, origin top-left, y down) whose union is the area;
    // each is to be filled on its own with the winding rule, since a folded outline may cross
    // itself. endPoints are in frame coordinates (y up) of a window windowHeight points tall.
    // lineCount and axis: the layout's lines, edges included, and the way its creases run.
    static QList<QPolygonF> polygons(const LineEndPoints& endPoints, double windowHeight,
                                     int lineCount = creaseLineCount,
                                     FoldLayout::Axis axis = FoldLayout::Axis::vertical);
};
