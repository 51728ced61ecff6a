// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/SheetGeometry.h"

#include <QtMath>

#include <cmath>
#include <utility>

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

bool SheetGeometry::setSurface(std::vector<SurfacePoint> surface, double thickness) {
    const bool changed = surface != _surface || thickness != _thickness;
    _surface = std::move(surface);
    _thickness = thickness;
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
    return textureAt(_creases[line], across);
}

QVector2D SheetGeometry::textureAt(float paper, float across) const {
    const float along = paper / _creases.back();
    return _axis == Axis::vertical ? QVector2D(along, across) : QVector2D(across, along);
}

int SheetGeometry::pointCount() const {
    return hasSurface() ? static_cast<int>(_surface.size()) : lineCount();
}

QPointF SheetGeometry::pointProfile(int point) const {
    if (!hasSurface())
        return _profile[point];
    const FoldPoint& at = _surface[point].at;
    return {at.x, at.y};
}

float SheetGeometry::pointAlong(int point) const {
    return hasSurface() ? float(_surface[point].at.x - length() * 0.5) : along(point, 0.0);
}

float SheetGeometry::pointDepth(int point) const {
    return float(pointProfile(point).y());
}

float SheetGeometry::pointPaperAlong(int point) const {
    return hasSurface() ? float(_surface[point].paper) : _creases[point];
}

QVector2D SheetGeometry::pointTexture(int point, float across) const {
    return textureAt(pointPaperAlong(point), across);
}

// The facet's normal is (-dz, dx) in the plane of the profile; the yaw turns it about Y for
// vertical creases and about X for horizontal ones, then the tilt about X or Y, as glRotatef turns
// the sheet. At yaw 0 nothing is turned, so that the shading stays as it was to the bit.
std::optional<std::array<double, 3>> SheetGeometry::facetNormal(int facet, float pitch,
                                                                float yaw) const {
    const QPointF start = pointProfile(facet);
    const QPointF end = pointProfile(facet + 1);
    const double dx = end.x() - start.x();
    const double dz = end.y() - start.y();
    const double length = std::hypot(dx, dz);
    if (length == 0.0)
        return std::nullopt;
    const bool vertical = _axis == Axis::vertical;
    double outOfPlane = -dz / length;
    double facing = dx / length;
    if (yaw != 0.0f) {
        // About Y a positive turn carries +X toward the viewer's -Z; about X it carries +Y to +Z.
        const double turn = qDegreesToRadians(double(yaw)) * (vertical ? 1.0 : -1.0);
        const double turnedOut = outOfPlane * std::cos(turn) + facing * std::sin(turn);
        facing = facing * std::cos(turn) - outOfPlane * std::sin(turn);
        outOfPlane = turnedOut;
    }
    const double angle = qDegreesToRadians(double(pitch));
    const double turned = vertical ? -facing * std::sin(angle) : facing * std::sin(angle);
    double nz = facing * std::cos(angle);
    double nx = vertical ? outOfPlane : turned;
    double ny = vertical ? turned : outOfPlane;
    if (nz < 0) {
        nx = -nx;
        ny = -ny;
        nz = -nz;
    }
    return std::array<double, 3>{nx, ny, nz};
}

// Unit, in the plane of the profile; none for a facet of no width.
QPointF SheetGeometry::facetNormal(int facet) const {
    const QPointF step = pointProfile(facet + 1) - pointProfile(facet);
    const double length = std::hypot(step.x(), step.y());
    return length == 0.0 ? QPointF() : QPointF(-step.y(), step.x()) / length;
}

// Square to the facets on either side at once: their normals' mean, or the one facet's where a
// sharp fold turns them against each other.
QPointF SheetGeometry::pointFace(int point, int side) const {
    const QPointF before = point > 0 ? facetNormal(point - 1) : QPointF();
    const QPointF after = point + 1 < pointCount() ? facetNormal(point) : QPointF();
    QPointF normal = before + after;
    double length = std::hypot(normal.x(), normal.y());
    if (length < 1e-6) {
        normal = after.isNull() ? before : after;
        length = 1.0;
    }
    const QPointF offset = normal / length * (_thickness * 0.5 * side);
    return QPointF(pointAlong(point), pointDepth(point)) + offset;
}

// The turn of the profile at a point between its two facets, in radians.
double SheetGeometry::turnAt(int point) const {
    const QPointF before = pointProfile(point) - pointProfile(point - 1);
    const QPointF after = pointProfile(point + 1) - pointProfile(point);
    const double cross = before.x() * after.y() - before.y() * after.x();
    const double dot = before.x() * after.x() + before.y() * after.y();
    return std::atan2(cross, dot);
}

// A crease's arc takes little paper from the panels it joins, so the facet that holds a panel's
// middle on the flat sheet is that panel's flat part; the facets between are arcs.
bool SheetGeometry::isPanelFacet(int facet) const {
    const float start = pointPaperAlong(facet);
    const float end = pointPaperAlong(facet + 1);
    for (int line = 0; line + 1 < lineCount(); ++line) {
        const float middle = (_creases[line] + _creases[line + 1]) * 0.5f;
        if (start <= middle && middle <= end)
            return true;
    }
    return false;
}

std::vector<std::pair<int, int>> SheetGeometry::arcs() const {
    std::vector<std::pair<int, int>> arcs;
    for (int facet = 0; facet + 1 < pointCount(); ++facet) {
        if (isPanelFacet(facet))
            continue;
        if (!arcs.empty() && arcs.back().second == facet)
            arcs.back().second = facet + 1;
        else
            arcs.emplace_back(facet, facet + 1);
    }
    return arcs;
}

// The half-angle's sine grows with the fold and reaches 1 when the facets lie on each other. Where
// an arc meets a panel its turns add up to the crease's, which the sum keeps signed even when the
// panels lie back on each other.
float SheetGeometry::bend(int point) const {
    const int last = pointCount() - 1;
    if (point <= 0 || point >= last)
        return 0.0f;
    const bool arcBefore = !isPanelFacet(point - 1);
    const bool arcAfter = !isPanelFacet(point);
    if (arcBefore && arcAfter)
        return 0.0f;
    double turn = turnAt(point);
    if (arcAfter) {
        for (int next = point + 1; next < last; ++next) {
            turn += turnAt(next);
            if (isPanelFacet(next))
                break;
        }
    } else if (arcBefore) {
        for (int previous = point - 1; previous > 0; --previous) {
            turn += turnAt(previous);
            if (isPanelFacet(previous - 1))
                break;
        }
    }
    // Turning clockwise, with heights toward the viewer, the sheet comes back down: a mountain.
    return float(-std::sin(turn * 0.5));
}
