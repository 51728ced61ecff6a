#pragma once

#include "render/LineEndPoints.h"

#include <QColor>
#include <QImage>
#include <QPainterPath>

// The crease and control lines drawn over a frame: crease lines 1..5 in the crease colour, and the
// path of the control area under the mouse (a crease line, or the polyline through the top or
// bottom ends) in the control colour. Needs nothing but the image it draws on.
class LineOverlay {
public:
    QColor creaseLineColor;
    QColor controlLineColor;
    bool showCreaseLine = true;
    bool showControlLine = true;

    // Draws on a frame-sized image in place; controlArea 0..8, or any other value for none.
    void draw(QImage& image, const LineEndPoints& endPt, int controlArea) const;

    // Path k: crease line k (0..6), or the polyline through the top (7) or bottom (8) ends.
    static QPainterPath path(const LineEndPoints& endPt, int k);
};
