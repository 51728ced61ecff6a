// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/SheetGeometry.h"

#include <gtest/gtest.h>

#include <QMatrix4x4>

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

// A zigzag of facets rising and falling at several slopes, across the sheet's axis.
SheetGeometry zigzag(SheetGeometry::Axis axis) {
    SheetGeometry geometry;
    geometry.setImageSize(QSizeF(4, 3));
    const std::vector<QPointF> profile{{0, 0}, {0.8, 0.3}, {1.5, -0.2}, {2.5, 0.1}, {3.2, 0.1}};
    geometry.setLines(int(profile.size()), axis);
    float paper = 0;
    for (std::size_t i = 0; i < profile.size(); ++i) {
        if (i > 0) {
            const QPointF step = profile[i] - profile[i - 1];
            paper += float(std::hypot(step.x(), step.y()));
        }
        geometry.setCreasePoint(paper, int(i));
        geometry.setCoordinates(profile[i], int(i));
    }
    return geometry;
}

// The normal the shading uses is that of the facet as the renderer's model view turns it: the tilt
// about the axis across the creases, then the yaw about the axis along them.
TEST(FacetNormal, FollowsTheTiltAndTheYawAsTheModelViewTurnsTheSheet) {
    for (const auto axis : {SheetGeometry::Axis::vertical, SheetGeometry::Axis::horizontal}) {
        const SheetGeometry geometry = zigzag(axis);
        const bool vertical = axis == SheetGeometry::Axis::vertical;
        for (const float pitch : {-40.0f, 0.0f, 25.0f}) {
            for (const float yaw : {-60.0f, -20.0f, 0.0f, 35.0f, 60.0f}) {
                QMatrix4x4 turn;
                turn.rotate(pitch, vertical ? 1 : 0, vertical ? 0 : 1, 0);
                turn.rotate(yaw, vertical ? 0 : 1, vertical ? 1 : 0, 0);
                for (int facet = 0; facet + 1 < geometry.pointCount(); ++facet) {
                    const QVector3D start = turn.map(
                        geometry.at(geometry.pointAlong(facet), 0, geometry.pointDepth(facet)));
                    const QVector3D end = turn.map(geometry.at(geometry.pointAlong(facet + 1), 0,
                                                               geometry.pointDepth(facet + 1)));
                    const QVector3D across = turn.map(geometry.at(0, 1, 0));
                    QVector3D expected = QVector3D::crossProduct(end - start, across).normalized();
                    if (expected.z() < 0)
                        expected = -expected;
                    const auto normal = geometry.facetNormal(facet, pitch, yaw);
                    ASSERT_TRUE(normal);
                    SCOPED_TRACE(testing::Message()
                                 << (vertical ? "vertical" : "horizontal") << ", pitch " << pitch
                                 << ", yaw " << yaw << ", facet " << facet);
                    EXPECT_NEAR((*normal)[0], expected.x(), 1e-5);
                    EXPECT_NEAR((*normal)[1], expected.y(), 1e-5);
                    EXPECT_NEAR((*normal)[2], expected.z(), 1e-5);
                }
            }
        }
    }
}

} // namespace
