// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/SheetFold.h"
#include "media/PaperModel.h"

#include <QSizeF>
#include <QVector2D>
#include <QVector3D>

#include <array>
#include <vector>

// The folded sheet as a solid of the paper's thickness at its printed size, for a 3D model: the
// front and back faces half the thickness either side of the fold's surface, and the cut edges
// between them. Facets keep vertices of their own so that creases stay sharp.
class SheetMesh {
public:
    static constexpr double metresPerPoint = 0.0254 / 72.0;

    // printedPoints: the sheet's printed size; backAsBook: the back lies turned as a book's page
    // (mirrored left to right) rather than head to toe. The model's pictures are left empty.
    static PaperModel build(const SheetFold& fold, QSizeF printedPoints, bool backAsBook);

private:
    struct Point {
        double along = 0.0;
        double depth = 0.0;
        double paper = 0.0;
    };
    struct Corner {
        QVector3D position;
        QVector2D texture;
    };

    SheetMesh(const SheetFold& fold, QSizeF printedPoints, bool backAsBook);

    static std::vector<Point> pointsOf(const SheetFold& fold);
    QPointF normalAt(int facet) const;
    QPointF faceAt(int point, int side) const;
    QVector3D modelPoint(QPointF profile, double across) const;
    QVector3D modelDirection(QPointF profile) const;
    QVector2D textureAt(double paper, double across, bool back) const;
    Corner corner(int point, int side, double across, bool back) const;
    void addFacet(int facet);
    void addEnd(int point);
    // Two triangles wound to face the outward side; slivers of no area are left out.
    static void addQuad(PaperModel::Surface& surface, const std::array<Corner, 4>& corners,
                        QVector3D outward);
    static void addTriangle(PaperModel::Surface& surface, const std::array<Corner, 3>& corners,
                            QVector3D normal);

    std::vector<Point> _points;
    bool _vertical = true;
    bool _backAsBook = true;
    double _breadth = 0.0;
    double _paperLength = 0.0;
    double _halfThickness = 0.0;
    double _metresPerUnit = 0.0;
    PaperModel _model;
};
