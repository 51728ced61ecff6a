// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/SheetFold.h"
#include "media/PaperModel.h"

#include <QPointF>
#include <QSizeF>
#include <QVector3D>

#include <array>
#include <vector>

// A moving folded sheet as one mesh whose frames are morph targets: viewers morph positions and
// normals but not texture coordinates, so every frame shares one strip of columns at fixed paper
// positions, each frame's surface sampled there. The columns lie close enough together that a
// crease between two of them looks as sharp as one on a column.
class SheetMotionMesh {
public:
    static constexpr int columnsAlong = 512;

    // frames: folds of one layout and sheet, the first fixing the columns at its creases. The
    // model's pictures and keys are left empty.
    static PaperModel build(const std::vector<SheetFold>& frames, QSizeF printedPoints,
                            bool backAsBook);

private:
    // One column's place in the profile and its unit normal there.
    struct Column {
        QPointF at;
        QPointF normal;
    };
    using Shape = std::vector<Column>;

    SheetMotionMesh(const SheetFold& first, QSizeF printedPoints, bool backAsBook);

    static std::vector<double> columnsOf(const SheetFold& first);
    Shape shapeOf(const SheetFold& fold) const;
    Shape flatShape() const;
    static void setNormals(Shape& shape);
    // Every vertex of the front and of the back (edges included) in one fixed order.
    void placeVertices(const Shape& shape, double halfThickness, PaperModel::Surface& front,
                       PaperModel::Surface& back) const;
    void addVertex(PaperModel::Surface& surface, const Column& column, double paper, double offset,
                   double across, bool back, QVector3D normal) const;
    // Triangles wound by the flat sheet's vertices, which no frame turns inside out.
    void addTriangles(PaperModel::Surface& front, PaperModel::Surface& back) const;
    static void addQuad(PaperModel::Surface& surface, std::array<std::uint32_t, 4> corners,
                        QVector3D outward);
    void addFrame(const Shape& shape);
    QVector3D modelPoint(QPointF profile, double across) const;
    QVector3D modelDirection(QPointF profile) const;

    std::vector<double> _columns; // paper positions
    bool _vertical = true;
    bool _backAsBook = true;
    double _breadth = 0.0;
    double _length = 0.0;
    double _paperLength = 0.0;
    double _halfThickness = 0.0;
    double _metresPerUnit = 0.0;
    PaperModel _model;
};
