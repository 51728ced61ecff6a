// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>
#include <QVector3D>

#include <QPointF>

#include <array>
#include <optional>
#include <span>

// The pixel rectangle of a viewport that holds the given world points once drawn with the given
// OpenGL matrices (column-major, as glGetDoublev gives them), so that a pass can clear, draw and
// read back only there. Framebuffer rows: y counts up from the bottom.
class ProjectedBox {
public:
    using Matrix = std::array<double, 16>;

    // margin: pixels added on each side for rasterisation and lines drawn beside the points.
    // A point at or behind the eye has no place on screen: the whole viewport is given then.
    static QRect of(std::span<const QVector3D> points, const Matrix& modelView,
                    const Matrix& projection, QSize viewport, int margin);
    // Where one world point lands in the viewport, in pixels from its bottom-left corner; none
    // for a point at or behind the eye.
    static std::optional<QPointF> inViewport(QVector3D point, const Matrix& modelView,
                                             const Matrix& projection, QSize viewport);
};
