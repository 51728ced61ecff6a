// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/SheetMesh.h"

#include <cmath>

namespace {

// Below this a triangle (square metres) or a step along the profile (sheet units) is nothing.
constexpr double noArea = 1e-14;
constexpr double noLength = 1e-9;

double lengthOf(QPointF vector) {
    return std::hypot(vector.x(), vector.y());
}

} // namespace

PaperModel SheetMesh::build(const SheetFold& fold, QSizeF printedPoints, bool backAsBook) {
    SheetMesh mesh(fold, printedPoints, backAsBook);
    const int last = int(mesh._points.size()) - 1;
    for (int facet = 0; facet < last; ++facet)
        mesh.addFacet(facet);
    if (last > 0) {
        mesh.addEnd(0);
        mesh.addEnd(last);
    }
    return std::move(mesh._model);
}

SheetMesh::SheetMesh(const SheetFold& fold, QSizeF printedPoints, bool backAsBook)
    : _points(pointsOf(fold)), _vertical(fold.layout().axis() == FoldLayout::Axis::vertical),
      _backAsBook(backAsBook) {
    const FoldSize sheet = fold.sheetSize();
    const double length = _vertical ? sheet.width : sheet.height;
    // A sheet of no known printed size is taken at its size on screen, a point a point.
    const double givenLength = _vertical ? printedPoints.width() : printedPoints.height();
    const double printedLength = givenLength > 0 ? givenLength : length;
    _breadth = _vertical ? sheet.height : sheet.width;
    _paperLength = fold.creases().back();
    _metresPerUnit = printedLength * metresPerPoint / length;
    const double thickness = fold.hinged() ? fold.hinged()->thickness()
                                           : fold.paper().thickness * length / printedLength;
    _halfThickness = thickness / 2;
    for (Point& point : _points)
        point.along -= length / 2;
    _model.tiltsAboutX = _vertical;
}

// The surface's points where it has them, else the lines'; a point on top of the one before adds
// only facets of no area, so it is dropped.
std::vector<SheetMesh::Point> SheetMesh::pointsOf(const SheetFold& fold) {
    std::vector<Point> all;
    const std::vector<HingedFold::SurfacePoint> surface = fold.surface();
    if (surface.empty()) {
        const std::vector<double> creases = fold.creases();
        const std::vector<FoldPoint> profile = fold.profile();
        for (std::size_t i = 0; i < creases.size(); ++i)
            all.push_back({profile[i].x, profile[i].y, creases[i]});
    } else {
        for (const HingedFold::SurfacePoint& point : surface)
            all.push_back({point.at.x, point.at.y, point.paper});
    }
    std::vector<Point> kept;
    for (const Point& point : all) {
        if (kept.empty() ||
            std::hypot(point.along - kept.back().along, point.depth - kept.back().depth) > noLength)
            kept.push_back(point);
    }
    return kept;
}

// Unit, in the plane of the profile, toward the viewer on a flat sheet.
QPointF SheetMesh::normalAt(int facet) const {
    const QPointF step(_points[facet + 1].along - _points[facet].along,
                       _points[facet + 1].depth - _points[facet].depth);
    return QPointF(-step.y(), step.x()) / lengthOf(step);
}

// Half the thickness off the surface, square to the facets either side at once (their normals'
// mean), or to the one facet where a fold turns them back on each other; as the renderer does.
QPointF SheetMesh::faceAt(int point, int side) const {
    const int last = int(_points.size()) - 1;
    const QPointF before = point > 0 ? normalAt(point - 1) : QPointF();
    const QPointF after = point < last ? normalAt(point) : QPointF();
    QPointF normal = before + after;
    if (lengthOf(normal) < 1e-6)
        normal = after.isNull() ? before : after;
    normal /= lengthOf(normal);
    return QPointF(_points[point].along, _points[point].depth) + normal * (_halfThickness * side);
}

// The picture's top lies at the start across the sheet, and up in the model.
QVector3D SheetMesh::modelPoint(QPointF profile, double across) const {
    const double scale = _metresPerUnit;
    if (_vertical)
        return QVector3D(float(profile.x() * scale), float(-across * scale),
                         float(profile.y() * scale));
    return QVector3D(float(across * scale), float(-profile.x() * scale),
                     float(profile.y() * scale));
}

QVector3D SheetMesh::modelDirection(QPointF profile) const {
    return modelPoint(profile, 0.0) / float(_metresPerUnit);
}

// A back picture is seen from behind, so it lies mirrored: left to right for a book's page, top
// to bottom for a sheet turned head to toe.
QVector2D SheetMesh::textureAt(double paper, double across, bool back) const {
    const float along = float(paper / _paperLength);
    const float down = float(across / _breadth + 0.5);
    QVector2D texture = _vertical ? QVector2D(along, down) : QVector2D(down, along);
    if (back && _backAsBook)
        texture.setX(1.0f - texture.x());
    else if (back)
        texture.setY(1.0f - texture.y());
    return texture;
}

SheetMesh::Corner SheetMesh::corner(int point, int side, double across, bool back) const {
    return {modelPoint(faceAt(point, side), across), textureAt(_points[point].paper, across, back)};
}

void SheetMesh::addFacet(int facet) {
    const double start = -_breadth / 2;
    const double end = _breadth / 2;
    const int next = facet + 1;
    const QVector3D normal = modelDirection(normalAt(facet));
    addQuad(_model.front,
            {corner(facet, 1, start, false), corner(next, 1, start, false),
             corner(next, 1, end, false), corner(facet, 1, end, false)},
            normal);
    addQuad(_model.back,
            {corner(facet, -1, start, true), corner(next, -1, start, true),
             corner(next, -1, end, true), corner(facet, -1, end, true)},
            -normal);
    const QVector3D acrossDirection = modelPoint({}, 1.0) / float(_metresPerUnit);
    for (const double across : {start, end}) {
        addQuad(_model.back,
                {corner(facet, 1, across, true), corner(next, 1, across, true),
                 corner(next, -1, across, true), corner(facet, -1, across, true)},
                across < 0 ? -acrossDirection : acrossDirection);
    }
}

// The cut edge at the sheet's first or last point, facing away from the facet it ends.
void SheetMesh::addEnd(int point) {
    const int inner = point == 0 ? 1 : point - 1;
    const QPointF away(_points[point].along - _points[inner].along,
                       _points[point].depth - _points[inner].depth);
    const double start = -_breadth / 2;
    const double end = _breadth / 2;
    addQuad(_model.back,
            {corner(point, 1, start, true), corner(point, 1, end, true),
             corner(point, -1, end, true), corner(point, -1, start, true)},
            modelDirection(away));
}

void SheetMesh::addQuad(PaperModel::Surface& surface, const std::array<Corner, 4>& corners,
                        QVector3D outward) {
    QVector3D normal = QVector3D::crossProduct(corners[2].position - corners[0].position,
                                               corners[3].position - corners[1].position);
    // QVector3D::normalize() leaves short vectors, as the cut edges' are, as they are.
    if (normal.length() == 0.0f)
        return;
    normal /= normal.length();
    if (QVector3D::dotProduct(normal, outward) >= 0.0f) {
        addTriangle(surface, {corners[0], corners[1], corners[2]}, normal);
        addTriangle(surface, {corners[0], corners[2], corners[3]}, normal);
    } else {
        addTriangle(surface, {corners[0], corners[2], corners[1]}, -normal);
        addTriangle(surface, {corners[0], corners[3], corners[2]}, -normal);
    }
}

void SheetMesh::addTriangle(PaperModel::Surface& surface, const std::array<Corner, 3>& corners,
                            QVector3D normal) {
    const QVector3D cross = QVector3D::crossProduct(corners[1].position - corners[0].position,
                                                    corners[2].position - corners[0].position);
    if (cross.length() / 2 < noArea)
        return;
    for (const Corner& corner : corners) {
        surface.indices.push_back(std::uint32_t(surface.vertexCount()));
        surface.positions.insert(surface.positions.end(),
                                 {corner.position.x(), corner.position.y(), corner.position.z()});
        surface.normals.insert(surface.normals.end(), {normal.x(), normal.y(), normal.z()});
        surface.textureCoordinates.insert(surface.textureCoordinates.end(),
                                          {corner.texture.x(), corner.texture.y()});
    }
}
