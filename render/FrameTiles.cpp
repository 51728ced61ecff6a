// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/FrameTiles.h"

#include <algorithm>
#include <cmath>
#include <numbers>

Frustum FrameTiles::perspective(double fovyDegrees, double aspect, double nearPlane) {
    const double top = nearPlane * std::tan(fovyDegrees / 2 * std::numbers::pi / 180);
    return {-top * aspect, top * aspect, -top, top};
}

FrameTiles::FrameTiles(QSize pixelSize, int largestTile)
    : _pixelSize(pixelSize), _edge(std::max(1, largestTile)),
      _columns((std::max(0, pixelSize.width()) + _edge - 1) / _edge),
      _rows((std::max(0, pixelSize.height()) + _edge - 1) / _edge) {}

QSize FrameTiles::tileSize() const {
    return QSize(std::min(_edge, _pixelSize.width()), std::min(_edge, _pixelSize.height()));
}

QRect FrameTiles::tile(int index) const {
    const int x = (index % _columns) * _edge;
    const int y = (index / _columns) * _edge;
    return QRect(x, y, std::min(_edge, _pixelSize.width() - x),
                 std::min(_edge, _pixelSize.height() - y));
}

// Pixel edges map linearly onto the near plane, so a tile's frustum is the same share of the
// whole one as its pixels are of the picture.
Frustum FrameTiles::frustum(int index, const Frustum& whole) const {
    const QRect pixels = tile(index);
    const double width = whole.right - whole.left;
    const double height = whole.top - whole.bottom;
    const auto across = [&](int x) { return whole.left + width * x / _pixelSize.width(); };
    const auto up = [&](int y) { return whole.bottom + height * y / _pixelSize.height(); };
    return {across(pixels.x()), across(pixels.x() + pixels.width()), up(pixels.y()),
            up(pixels.y() + pixels.height())};
}
