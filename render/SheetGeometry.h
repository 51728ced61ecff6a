// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"
#include "fold/FoldTypes.h"

#include <QPointF>
#include <QSizeF>
#include <QVector2D>
#include <QVector3D>

#include <array>
#include <optional>
#include <vector>

// Where the folded sheet lies in the renderer's world, in world units: the crease positions along
// the flat sheet and the profile (position along the sheet's length, height toward the viewer),
// laid across the sheet's width for vertical creases or down its height for horizontal ones. The
// picture's top lies toward -Y. Values narrow to single precision where OpenGL takes them.
class SheetGeometry {
public:
    using Axis = FoldLayout::Axis;

    SheetGeometry();

    // Each returns whether anything changed.
    bool setLines(int count, Axis axis);
    bool setCreasePoint(float position, int line);
    bool setCoordinates(QPointF point, int line);
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
    // How far the sheet bends at a line, from 0 (flat) to 1 (folded back on itself): positive
    // where it rises toward the viewer (a mountain), negative in a valley, 0 at the edges.
    float bend(int line) const;
    // The unit normal of the facet after a line, turned by the tilt about the sheet's tilt axis and
    // toward the viewer; none for a facet of no width.
    std::optional<std::array<double, 3>> facetNormal(int facet, float pitch) const;

private:
    double length() const;
    double breadth() const;

    std::vector<float> _creases;
    std::vector<QPointF> _profile;
    QSizeF _imageSize;
    Axis _axis = Axis::vertical;
};
