// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "render/LineEndPoints.h"

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QRect>

#include <optional>

// The crease and control lines drawn over a frame: the creases between the sheet's edges (lines
// 1..5 of the classic's seven) in the crease colour, and the path of the control area under the
// mouse (a line, or the polyline through the lines' first or second ends, ControlAreas' numbering)
// in the control colour. Needs nothing but the image it draws on.
class LineOverlay {
public:
    QColor creaseLineColor;
    QColor controlLineColor;
    bool showCreaseLine = true;
    bool showControlLine = true;
    int lineCount = creaseLineCount; // edges included

    // Draws on a frame-sized image in place; controlArea 0..lineCount + 1, or any other value
    // for none.
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

    // Path k: line k (0..lineCount - 1), or the polyline through the first (lineCount) or second
    // (lineCount + 1) ends.
    static QPainterPath path(const LineEndPoints& endPoints, int k,
                             int lineCount = creaseLineCount);
};
