// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

// The near-plane rectangle of a perspective projection, as glFrustum takes it.
struct Frustum {
    double left = 0;
    double right = 0;
    double bottom = 0;
    double top = 0;
};

// A picture larger than one framebuffer, cut into tiles that are rendered one at a time, each with
// its share of the whole picture's frustum. Tiles are in framebuffer pixels: origin at the
// bottom-left, y up.
class FrameTiles {
public:
    // The frustum gluPerspective sets up for the same field of view, aspect and near plane.
    static Frustum perspective(double fovyDegrees, double aspect, double nearPlane);

    // Rows of tiles no larger than largestTile in either direction; the last row and column
    // take what is left.
    FrameTiles(QSize pixelSize, int largestTile);

    int count() const { return _columns * _rows; }
    // The largest tile's size: the framebuffer every tile fits in.
    QSize tileSize() const;
    QRect tile(int index) const;
    // The part of whole that shows tile index.
    Frustum frustum(int index, const Frustum& whole) const;

private:
    QSize _pixelSize;
    int _edge;
    int _columns;
    int _rows;
};
