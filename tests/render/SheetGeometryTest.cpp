// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/SheetGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using SurfacePoint = SheetGeometry::SurfacePoint;

constexpr double radius = 0.01;
constexpr int arcSegments = 6;

// Two panels of unit length joined by an arc turning by `turn` radians (anticlockwise
// positive, heights toward the viewer), its paper taken half from either panel's side.
std::vector<SurfacePoint> bentSurface(double turn) {
    std::vector<SurfacePoint> surface{{0, {0, 0}}, {1, {1, 0}}};
    const double sign = turn < 0 ? -1.0 : 1.0;
    for (int i = 1; i <= arcSegments; ++i) {
        const double angle = turn * i / arcSegments;
        surface.push_back(
            {1 + radius * std::abs(angle),
             {1 + radius * std::sin(std::abs(angle)), sign * radius * (1 - std::cos(angle))}});
    }
    const FoldPoint end = surface.back().at;
    surface.push_back({surface.back().paper + 1, {end.x + std::cos(turn), end.y + std::sin(turn)}});
    return surface;
}

SheetGeometry bentGeometry(double turn, bool withSurface) {
    SheetGeometry geometry;
    geometry.setImageSize(QSizeF(3, 1));
    geometry.setLines(3, SheetGeometry::Axis::vertical);
    const std::vector<SurfacePoint> surface = bentSurface(turn);
    const SurfacePoint& last = surface.back();
    const double crease = 1 + radius * std::abs(turn) / 2;
    geometry.setCreasePoint(0, 0);
    geometry.setCreasePoint(float(crease), 1);
    geometry.setCreasePoint(float(last.paper), 2);
    // The crease's line lies at the arc's middle; the lines alone fold sharply there.
    const FoldPoint arcMiddle = surface[1 + arcSegments / 2].at;
    geometry.setCoordinates(QPointF(0, arcMiddle.y), 0);
    geometry.setCoordinates(QPointF(arcMiddle.x, arcMiddle.y), 1);
    geometry.setCoordinates(QPointF(arcMiddle.x + std::cos(turn), arcMiddle.y + std::sin(turn)), 2);
    if (withSurface)
        geometry.setSurface(surface, radius);
    return geometry;
}

class BentSurface : public testing::TestWithParam<double> {};

// The crease's whole bend shows where its arc meets the panels, as the lines alone show it at
// their sharp crease, and none inside the arc.
TEST_P(BentSurface, BendsWhereTheArcMeetsThePanels) {
    const double turn = qDegreesToRadians(GetParam());
    const SheetGeometry lines = bentGeometry(turn, false);
    const SheetGeometry surface = bentGeometry(turn, true);
    ASSERT_EQ(surface.pointCount(), arcSegments + 3);
    ASSERT_EQ(lines.pointCount(), 3);
    const float sharp = lines.bend(1);
    EXPECT_NEAR(sharp, -std::sin(turn / 2), 1e-6);
    EXPECT_NEAR(surface.bend(1), sharp, 1e-5);
    EXPECT_NEAR(surface.bend(arcSegments + 1), sharp, 1e-5);
    for (int point = 2; point <= arcSegments; ++point)
        EXPECT_EQ(surface.bend(point), 0.0f) << point;
    EXPECT_EQ(surface.bend(0), 0.0f);
    EXPECT_EQ(surface.bend(arcSegments + 2), 0.0f);
    const std::vector<std::pair<int, int>> arcs{{1, arcSegments + 1}};
    EXPECT_EQ(surface.arcs(), arcs);
}

INSTANTIATE_TEST_SUITE_P(Turns, BentSurface,
                         testing::Values(30.0, 90.0, 150.0, 180.0, -60.0, -120.0, -180.0));

// The faces lie half a thickness either side of the surface, square to it, and taking the
// surface away draws between the lines again.
TEST(BentSurfaceFaces, LieHalfAThicknessOff) {
    SheetGeometry geometry = bentGeometry(M_PI, true);
    for (int point = 0; point < geometry.pointCount(); ++point) {
        const QPointF middle(geometry.pointAlong(point), geometry.pointDepth(point));
        const QPointF front = geometry.pointFace(point, 1) - middle;
        const QPointF back = geometry.pointFace(point, -1) - middle;
        EXPECT_NEAR(std::hypot(front.x(), front.y()), radius / 2, 1e-6) << point;
        EXPECT_NEAR(front.x() + back.x(), 0.0, 1e-9);
        EXPECT_NEAR(front.y() + back.y(), 0.0, 1e-9);
    }
    // The first panel runs along +x: its front faces the viewer.
    EXPECT_GT(geometry.pointFace(0, 1).y(), 0.0);
    EXPECT_TRUE(geometry.clearSurface());
    EXPECT_EQ(geometry.pointCount(), geometry.lineCount());
    EXPECT_FALSE(geometry.clearSurface());
}

} // namespace
