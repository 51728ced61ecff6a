// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"
#include "fold/FoldTypes.h"
#include "fold/HingedFold.h"

#include <QPointF>
#include <QSizeF>
#include <QVector2D>
#include <QVector3D>

#include <array>
#include <optional>
#include <utility>
#include <vector>

// Where the folded sheet lies in the renderer's world, in world units: the crease positions along
// the flat sheet and the profile (position along the sheet's length, height toward the viewer),
// laid across the sheet's width for vertical creases or down its height for horizontal ones. The
// picture's top lies toward -Y. Values narrow to single precision where OpenGL takes them.
// A fold whose creases bend on arcs has a drawn surface of its own, with more points than lines:
// the facets then lie between its points, while the lines stay one a crease.
class SheetGeometry {
public:
    using Axis = FoldLayout::Axis;
    using SurfacePoint = HingedFold::SurfacePoint;

    SheetGeometry();

    // Each returns whether anything changed.
    bool setLines(int count, Axis axis);
    bool setCreasePoint(float position, int line);
    bool setCoordinates(QPointF point, int line);
    // thickness: the paper's, which the cut edges of the surface show.
    bool setSurface(std::vector<SurfacePoint> surface, double thickness);
    bool clearSurface() { return setSurface({}, 0.0); }
    void setImageSize(QSizeF size) { _imageSize = size; }

    int lineCount() const { return static_cast<int>(_profile.size()); }
    Axis axis() const { return _axis; }
    QSizeF imageSize() const { return _imageSize; }
    QPointF profile(int line) const { return _profile[line]; }

    // A line's place along the sheet's length from the sheet's centre, moved on by offset.
    float along(int line, double offset) const;
    float depth(int line) const { return float(_profile[line].y()); }
    // Where a line starts and ends across the sheet (its breadth), the end moved on by beyond.
    float acrossStart() const;
    float acrossEnd(double beyond) const;
    // The world point at a place along and across the sheet.
    QVector3D at(float along, float across, float depth) const;
    // The texture coordinate of a line at a fraction (0 or 1) of the way across.
    QVector2D texture(int line, float across) const;
    // A line's place along the flat sheet from its first edge.
    float paperAlong(int line) const { return _creases[line]; }

    bool hasSurface() const { return !_surface.empty(); }
    double thickness() const { return _thickness; }
    // The points the facets are drawn between, in order from the first edge: the surface's when
    // there is one, else the lines'. Facet i lies between points i and i + 1.
    int pointCount() const;
    float pointAlong(int point) const;
    float pointDepth(int point) const;
    float pointPaperAlong(int point) const;
    QVector2D pointTexture(int point, float across) const;
    // Where a point of the paper's front (side +1) or back (-1) face lies beside a drawn point,
    // along and toward the viewer: half the thickness off the surface, square to it.
    QPointF pointFace(int point, int side) const;
    // The first and last points of each crease's arc, where the surface bends on one.
    std::vector<std::pair<int, int>> arcs() const;
    // How far the sheet bends at a point, from 0 (flat) to 1 (folded back on itself): positive
    // where it rises toward the viewer (a mountain), negative in a valley, 0 at the edges. A
    // crease's whole bend shows where its arc meets the panels, none inside the arc.
    float bend(int point) const;
    // The unit normal of a facet, turned by the yaw about the axis along the creases, then by the
    // tilt about the sheet's tilt axis, and toward the viewer; none for a facet of no width.
    std::optional<std::array<double, 3>> facetNormal(int facet, float pitch, float yaw) const;

private:
    double length() const;
    double breadth() const;
    QPointF pointProfile(int point) const;
    QVector2D textureAt(float paper, float across) const;
    double turnAt(int point) const;
    QPointF facetNormal(int facet) const;
    bool isPanelFacet(int facet) const;

    std::vector<float> _creases;
    std::vector<QPointF> _profile;
    std::vector<SurfacePoint> _surface;
    double _thickness = 0.0;
    QSizeF _imageSize;
    Axis _axis = Axis::vertical;
};
