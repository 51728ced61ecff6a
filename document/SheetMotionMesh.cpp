// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/SheetMotionMesh.h"

#include "document/SheetMesh.h"

#include <QVector2D>

#include <algorithm>
#include <cmath>

namespace {

constexpr double noLength = 1e-9;

double lengthOf(QPointF vector) {
    return std::hypot(vector.x(), vector.y());
}

struct SurfacePoint {
    double paper = 0.0;
    QPointF at;
};

// The surface's points where it has them, else the lines'.
std::vector<SurfacePoint> surfaceOf(const SheetFold& fold) {
    std::vector<SurfacePoint> points;
    const std::vector<HingedFold::SurfacePoint> surface = fold.surface();
    if (surface.empty()) {
        const std::vector<double> creases = fold.creases();
        const std::vector<FoldPoint> profile = fold.profile();
        for (std::size_t i = 0; i < creases.size(); ++i)
            points.push_back({creases[i], QPointF(profile[i].x, profile[i].y)});
    } else {
        for (const HingedFold::SurfacePoint& point : surface)
            points.push_back({point.paper, QPointF(point.at.x, point.at.y)});
    }
    return points;
}

QPointF pointAt(const std::vector<SurfacePoint>& surface, double paper) {
    const auto after = std::upper_bound(
        surface.begin(), surface.end(), paper,
        [](double position, const SurfacePoint& point) { return position < point.paper; });
    const std::size_t next =
        std::clamp<std::size_t>(after - surface.begin(), 1, surface.size() - 1);
    const SurfacePoint& from = surface[next - 1];
    const SurfacePoint& to = surface[next];
    const double span = to.paper - from.paper;
    const double t = span > 0.0 ? std::clamp((paper - from.paper) / span, 0.0, 1.0) : 0.0;
    return from.at + (to.at - from.at) * t;
}

} // namespace

PaperModel SheetMotionMesh::build(const std::vector<SheetFold>& frames, QSizeF printedPoints,
                                  bool backAsBook) {
    SheetMotionMesh mesh(frames.front(), printedPoints, backAsBook);
    // The flat sheet's vertices, thick enough to wind its edges, give the triangles.
    mesh.placeVertices(mesh.flatShape(), std::max(mesh._halfThickness, 1.0), mesh._model.front,
                       mesh._model.back);
    mesh.addTriangles(mesh._model.front, mesh._model.back);
    PaperModel::Surface front;
    PaperModel::Surface back;
    mesh.placeVertices(mesh.shapeOf(frames.front()), mesh._halfThickness, front, back);
    mesh._model.front.positions = front.positions;
    mesh._model.front.normals = front.normals;
    mesh._model.back.positions = back.positions;
    mesh._model.back.normals = back.normals;
    for (const SheetFold& frame : frames)
        mesh.addFrame(mesh.shapeOf(frame));
    return std::move(mesh._model);
}

SheetMotionMesh::SheetMotionMesh(const SheetFold& first, QSizeF printedPoints, bool backAsBook)
    : _columns(columnsOf(first)), _vertical(first.layout().axis() == FoldLayout::Axis::vertical),
      _backAsBook(backAsBook) {
    const FoldSize sheet = first.sheetSize();
    _length = _vertical ? sheet.width : sheet.height;
    // A sheet of no known printed size is taken at its size on screen, a point a point.
    const double givenLength = _vertical ? printedPoints.width() : printedPoints.height();
    const double printedLength = givenLength > 0 ? givenLength : _length;
    _breadth = _vertical ? sheet.height : sheet.width;
    _paperLength = first.creases().back();
    _metresPerUnit = printedLength * SheetMesh::metresPerPoint / _length;
    const double thickness = first.hinged() ? first.hinged()->thickness()
                                            : first.paper().thickness * _length / printedLength;
    _halfThickness = thickness / 2;
    _model.tiltsAboutX = _vertical;
}

std::vector<double> SheetMotionMesh::columnsOf(const SheetFold& first) {
    std::vector<double> columns = first.creases();
    const double length = columns.back();
    for (int i = 0; i <= columnsAlong; ++i)
        columns.push_back(length * i / columnsAlong);
    std::sort(columns.begin(), columns.end());
    const auto same = [length](double a, double b) { return b - a < length * 1e-6; };
    columns.erase(std::unique(columns.begin(), columns.end(), same), columns.end());
    return columns;
}

SheetMotionMesh::Shape SheetMotionMesh::shapeOf(const SheetFold& fold) const {
    const std::vector<SurfacePoint> surface = surfaceOf(fold);
    Shape shape;
    shape.reserve(_columns.size());
    for (const double paper : _columns)
        shape.push_back({pointAt(surface, paper) - QPointF(_length / 2, 0.0), {}});
    setNormals(shape);
    return shape;
}

SheetMotionMesh::Shape SheetMotionMesh::flatShape() const {
    Shape shape;
    for (const double paper : _columns)
        shape.push_back({QPointF(paper - _length / 2, 0.0), QPointF(0.0, 1.0)});
    return shape;
}

// Square to the steps either side at once, or to the one step where a fold turns them back on
// each other, as the still model's faces; a column on top of its neighbours keeps the last normal.
void SheetMotionMesh::setNormals(Shape& shape) {
    const auto stepNormal = [&shape](std::size_t step) {
        const QPointF along = shape[step + 1].at - shape[step].at;
        const double length = lengthOf(along);
        return length > noLength ? QPointF(-along.y(), along.x()) / length : QPointF();
    };
    QPointF last(0.0, 1.0);
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const QPointF before = i > 0 ? stepNormal(i - 1) : QPointF();
        const QPointF after = i + 1 < shape.size() ? stepNormal(i) : QPointF();
        QPointF normal = before + after;
        if (lengthOf(normal) < 1e-6)
            normal = after.isNull() ? before : after;
        if (lengthOf(normal) < 1e-6)
            normal = last;
        shape[i].normal = last = normal / lengthOf(normal);
    }
}

void SheetMotionMesh::placeVertices(const Shape& shape, double halfThickness,
                                    PaperModel::Surface& front, PaperModel::Surface& back) const {
    const double start = -_breadth / 2;
    const double end = _breadth / 2;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const QVector3D normal = modelDirection(shape[i].normal);
        for (const double across : {start, end}) {
            addVertex(front, shape[i], _columns[i], halfThickness, across, false, normal);
            addVertex(back, shape[i], _columns[i], -halfThickness, across, true, -normal);
        }
    }
    if (_halfThickness <= 0.0)
        return;
    const QVector3D acrossDirection = modelPoint({}, 1.0) / float(_metresPerUnit);
    for (const double across : {start, end}) {
        for (std::size_t i = 0; i < shape.size(); ++i) {
            for (const double offset : {halfThickness, -halfThickness})
                addVertex(back, shape[i], _columns[i], offset, across, true,
                          across < 0 ? -acrossDirection : acrossDirection);
        }
    }
    const std::size_t last = shape.size() - 1;
    for (const std::size_t i : {std::size_t(0), last}) {
        const QPointF normal = shape[i].normal;
        const QPointF away =
            i == 0 ? QPointF(-normal.y(), normal.x()) : QPointF(normal.y(), -normal.x());
        for (const double offset : {halfThickness, -halfThickness}) {
            for (const double across : {start, end})
                addVertex(back, shape[i], _columns[i], offset, across, true, modelDirection(away));
        }
    }
}

// offset: how far off the surface along its normal. A back picture lies mirrored: left to right
// for a book's page, top to bottom for a sheet turned head to toe.
void SheetMotionMesh::addVertex(PaperModel::Surface& surface, const Column& column, double paper,
                                double offset, double across, bool back, QVector3D normal) const {
    const QVector3D position = modelPoint(column.at + column.normal * offset, across);
    surface.positions.insert(surface.positions.end(), {position.x(), position.y(), position.z()});
    surface.normals.insert(surface.normals.end(), {normal.x(), normal.y(), normal.z()});
    const float along = float(paper / _paperLength);
    const float down = float(across / _breadth + 0.5);
    QVector2D texture = _vertical ? QVector2D(along, down) : QVector2D(down, along);
    if (back && _backAsBook)
        texture.setX(1.0f - texture.x());
    else if (back)
        texture.setY(1.0f - texture.y());
    surface.textureCoordinates.insert(surface.textureCoordinates.end(), {texture.x(), texture.y()});
}

void SheetMotionMesh::addTriangles(PaperModel::Surface& front, PaperModel::Surface& back) const {
    const auto columns = std::uint32_t(_columns.size());
    const QVector3D towardViewer = modelDirection({0.0, 1.0});
    for (std::uint32_t i = 0; i + 1 < columns; ++i) {
        const std::array<std::uint32_t, 4> face{2 * i, 2 * i + 2, 2 * i + 3, 2 * i + 1};
        addQuad(front, face, towardViewer);
        addQuad(back, face, -towardViewer);
    }
    if (_halfThickness <= 0.0)
        return;
    const QVector3D acrossDirection = modelPoint({}, 1.0) / float(_metresPerUnit);
    for (const std::uint32_t side : {0u, 1u}) {
        const std::uint32_t first = 2 * columns + side * 2 * columns;
        for (std::uint32_t i = 0; i + 1 < columns; ++i) {
            const std::uint32_t at = first + 2 * i;
            addQuad(back, {at, at + 2, at + 3, at + 1},
                    side == 0 ? -acrossDirection : acrossDirection);
        }
    }
    const QVector3D alongDirection = modelDirection({1.0, 0.0});
    for (const std::uint32_t end : {0u, 1u}) {
        const std::uint32_t at = 6 * columns + 4 * end;
        addQuad(back, {at, at + 1, at + 3, at + 2}, end == 0 ? -alongDirection : alongDirection);
    }
}

void SheetMotionMesh::addQuad(PaperModel::Surface& surface, std::array<std::uint32_t, 4> corners,
                              QVector3D outward) {
    const auto position = [&surface](std::uint32_t vertex) {
        const float* xyz = &surface.positions[3 * vertex];
        return QVector3D(xyz[0], xyz[1], xyz[2]);
    };
    const QVector3D normal = QVector3D::crossProduct(position(corners[2]) - position(corners[0]),
                                                     position(corners[3]) - position(corners[1]));
    if (QVector3D::dotProduct(normal, outward) >= 0.0f)
        surface.indices.insert(surface.indices.end(), {corners[0], corners[1], corners[2],
                                                       corners[0], corners[2], corners[3]});
    else
        surface.indices.insert(surface.indices.end(), {corners[0], corners[2], corners[1],
                                                       corners[0], corners[3], corners[2]});
}

void SheetMotionMesh::addFrame(const Shape& shape) {
    PaperModel::Surface front;
    PaperModel::Surface back;
    placeVertices(shape, _halfThickness, front, back);
    const auto less = [](std::vector<float> values, const std::vector<float>& base) {
        for (std::size_t i = 0; i < values.size(); ++i)
            values[i] -= base[i];
        return values;
    };
    for (auto [surface, frame] :
         {std::pair{&_model.front, &front}, std::pair{&_model.back, &back}}) {
        surface->framePositions.push_back(less(frame->positions, surface->positions));
        surface->frameNormals.push_back(less(frame->normals, surface->normals));
    }
}

// The picture's top lies at the start across the sheet, and up in the model.
QVector3D SheetMotionMesh::modelPoint(QPointF profile, double across) const {
    const double scale = _metresPerUnit;
    if (_vertical)
        return QVector3D(float(profile.x() * scale), float(-across * scale),
                         float(profile.y() * scale));
    return QVector3D(float(across * scale), float(-profile.x() * scale),
                     float(profile.y() * scale));
}

QVector3D SheetMotionMesh::modelDirection(QPointF profile) const {
    return modelPoint(profile, 0.0) / float(_metresPerUnit);
}
