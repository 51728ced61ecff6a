// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/ProjectedBox.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

std::array<double, 4> transformed(const ProjectedBox::Matrix& m, const std::array<double, 4>& v) {
    std::array<double, 4> result{};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            result[row] += m[column * 4 + row] * v[column];
    return result;
}

} // namespace

std::optional<QPointF> ProjectedBox::inViewport(QVector3D point, const Matrix& modelView,
                                                const Matrix& projection, QSize viewport) {
    const auto clip =
        transformed(projection, transformed(modelView, {point.x(), point.y(), point.z(), 1.0}));
    if (!(clip[3] > 0.0))
        return std::nullopt;
    return QPointF((clip[0] / clip[3] + 1.0) * 0.5 * viewport.width(),
                   (clip[1] / clip[3] + 1.0) * 0.5 * viewport.height());
}

QRect ProjectedBox::of(std::span<const QVector3D> points, const Matrix& modelView,
                       const Matrix& projection, QSize viewport, int margin) {
    const QRect whole(QPoint(0, 0), viewport);
    double left = std::numeric_limits<double>::max();
    double bottom = left;
    double right = std::numeric_limits<double>::lowest();
    double top = right;
    for (const QVector3D& point : points) {
        const std::optional<QPointF> place = inViewport(point, modelView, projection, viewport);
        if (!place)
            return whole;
        const double x = place->x();
        const double y = place->y();
        left = std::min(left, x);
        right = std::max(right, x);
        bottom = std::min(bottom, y);
        top = std::max(top, y);
    }
    if (left > right)
        return {};
    // Clamped before converting, so that points far outside cannot overflow an int.
    const auto pixel = [](double value, double highest) {
        return int(std::clamp(value, -1.0, highest + 1.0));
    };
    const QRect box(QPoint(pixel(std::floor(left), viewport.width()) - margin,
                           pixel(std::floor(bottom), viewport.height()) - margin),
                    QPoint(pixel(std::ceil(right), viewport.width()) + margin,
                           pixel(std::ceil(top), viewport.height()) + margin));
    return box & whole;
}
