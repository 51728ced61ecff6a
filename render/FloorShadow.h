// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "render/ProjectedBox.h"

#include <QImage>
#include <QRectF>
#include <QVector3D>

#include <array>
#include <span>
#include <vector>

class SheetGeometry;

// The sheet's shadow on the floor it stands on, made on the CPU: a soft shadow, the facets
// projected along the light onto the floor and blurred, and a darker contact shadow, the paper
// near the floor projected straight down and blurred a little. All in the frame the sheet stands
// in, where the floor is the plane y = floorLevel() (the picture's top is -Y, so the floor is the
// sheet's largest y).
class FloorShadow {
public:
    using Facet = std::array<QVector3D, 4>;

    // The sheet's facets as the model-view matrix (column-major) places them.
    static std::vector<Facet> facetsOf(const SheetGeometry& geometry,
                                       const ProjectedBox::Matrix& modelView);

    // light: the unit direction toward the light, above the floor (negative y).
    FloorShadow(std::span<const Facet> facets, QVector3D light);

    float floorLevel() const { return _floorLevel; }
    // The sheet's largest extent, which the floor's size follows.
    float sheetExtent() const { return _sheetExtent; }
    // How dark the floor is, in the alpha of an ARGB32 picture of black: column x and row z
    // of area() (the floor's x and z), 0 along its border.
    const QImage& darkness() const { return _darkness; }
    QRectF area() const { return _area; }
    // Where the facets stand on the floor, (x, z): the middle of their footprint.
    QPointF footprintCentre() const { return _footprintCentre; }

private:
    using Outline = std::vector<QPointF>;

    std::vector<Outline> castAlong(std::span<const Facet> facets, QVector3D light) const;
    std::vector<Outline> contactFootprints(std::span<const Facet> facets) const;
    // penWidth: the facets' units.
    QImage rasterise(const std::vector<Outline>& outlines, double penWidth, int blurPixels) const;

    float _floorLevel = 0;
    float _sheetExtent = 0;
    QRectF _area;
    double _pixelsPerUnit = 1;
    QPointF _footprintCentre;
    QImage _darkness;
};
