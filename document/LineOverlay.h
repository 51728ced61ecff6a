// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "render/LineEndPoints.h"

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QRect>

#include <optional>

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
    // A clip (image points, y down) limits the drawing to it, with the same pixels there.
    void draw(QImage& image, const LineEndPoints& endPoints, int controlArea,
              const QRectF& clip = QRectF()) const;

    // The colour path k is stroked in, or none.
    std::optional<QColor> strokeColor(int k, int controlArea) const;

    // Where this overlay on endPoints differs from shown on shownEndPt: the whole points (y down,
    // in an image height points high) of every path that comes, goes or changes, where it was and
    // where it is now.
    QRect changeFrom(const LineOverlay& shown, const LineEndPoints& shownEndPt, int shownArea,
                     const LineEndPoints& endPoints, int controlArea, double height) const;

    // Path k: crease line k (0..6), or the polyline through the top (7) or bottom (8) ends.
    static QPainterPath path(const LineEndPoints& endPoints, int k);
};
