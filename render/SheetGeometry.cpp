// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/SheetGeometry.h"

#include <QtMath>

#include <cmath>

SheetGeometry::SheetGeometry() : _creases(creaseLineCount), _profile(creaseLineCount) {}

bool SheetGeometry::setLines(int count, Axis axis) {
    const bool changed = count != lineCount() || axis != _axis;
    _creases.resize(count);
    _profile.resize(count);
    _axis = axis;
    return changed;
}

bool SheetGeometry::setCreasePoint(float position, int line) {
    const bool changed = position != _creases[line];
    _creases[line] = position;
    return changed;
}

bool SheetGeometry::setCoordinates(QPointF point, int line) {
    const bool changed = point != _profile[line];
    _profile[line] = point;
    return changed;
}

double SheetGeometry::length() const {
    return _axis == Axis::vertical ? _imageSize.width() : _imageSize.height();
}

double SheetGeometry::breadth() const {
    return _axis == Axis::vertical ? _imageSize.height() : _imageSize.width();
}

float SheetGeometry::along(int line, double offset) const {
    return float(_profile[line].x() - length() * 0.5 + offset);
}

float SheetGeometry::acrossStart() const {
    return float(breadth() * -0.5);
}

float SheetGeometry::acrossEnd(double beyond) const {
    return float(breadth() * 0.5 + beyond);
}

QVector3D SheetGeometry::at(float along, float across, float depth) const {
    return _axis == Axis::vertical ? QVector3D(along, across, depth)
                                   : QVector3D(across, along, depth);
}

QVector2D SheetGeometry::texture(int line, float across) const {
    const float along = _creases[line] / _creases.back();
    return _axis == Axis::vertical ? QVector2D(along, across) : QVector2D(across, along);
}

// The facet's normal is (-dz, dx) in the plane of the profile; the tilt turns it about X for
// vertical creases and about Y for horizontal ones, as glRotatef turns the sheet.
std::optional<std::array<double, 3>> SheetGeometry::facetNormal(int facet, float pitch) const {
    const double dx = _profile[facet + 1].x() - _profile[facet].x();
    const double dz = _profile[facet + 1].y() - _profile[facet].y();
    const double length = std::hypot(dx, dz);
    if (length == 0.0)
        return std::nullopt;
    const double angle = qDegreesToRadians(double(pitch));
    const double outOfPlane = -dz / length;
    const double turned =
        _axis == Axis::vertical ? -dx / length * std::sin(angle) : dx / length * std::sin(angle);
    double nz = dx / length * std::cos(angle);
    double nx = _axis == Axis::vertical ? outOfPlane : turned;
    double ny = _axis == Axis::vertical ? turned : outOfPlane;
    if (nz < 0) {
        nx = -nx;
        ny = -ny;
        nz = -nz;
    }
    return std::array<double, 3>{nx, ny, nz};
}

// The half-angle's sine grows with the fold and reaches 1 when the facets lie on each other.
float SheetGeometry::bend(int line) const {
    if (line <= 0 || line + 1 >= lineCount())
        return 0.0f;
    const QPointF before = _profile[line] - _profile[line - 1];
    const QPointF after = _profile[line + 1] - _profile[line];
    const double cross = before.x() * after.y() - before.y() * after.x();
    const double dot = before.x() * after.x() + before.y() * after.y();
    const double turn = std::atan2(cross, dot);
    // Turning clockwise, with heights toward the viewer, the sheet comes back down: a mountain.
    return float(-std::sin(turn * 0.5));
}
