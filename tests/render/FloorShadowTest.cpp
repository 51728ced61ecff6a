// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/FloorShadow.h"
#include "render/FloorScene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// A sheet standing in front of the eye as the renderer sees it: x right, the picture's top at
// -y, leaning back by lean degrees about its bottom edge, at y = 0.75.
std::vector<FloorShadow::Facet> standingSheet(double lean) {
    const double radians = lean * M_PI / 180.0;
    const float height = 1.5f;
    const float bottom = 0.75f;
    const float depth = -3.0f;
    const QVector3D top(0, bottom - height * float(std::cos(radians)),
                        depth - height * float(std::sin(radians)));
    // Two facets, as a sheet with one crease down its middle.
    return {{QVector3D(-1, bottom, depth), QVector3D(0, bottom, depth),
             QVector3D(0, top.y(), top.z()), QVector3D(-1, top.y(), top.z())},
            {QVector3D(0, bottom, depth), QVector3D(1, bottom, depth),
             QVector3D(1, top.y(), top.z()), QVector3D(0, top.y(), top.z())}};
}

QVector3D light(double azimuth, double elevation) {
    FloorScene scene;
    scene.lightAzimuth = azimuth;
    scene.lightElevation = elevation;
    return scene.lightDirection();
}

// The darkness-weighted middle of the shadow, in eye space (x, z).
QPointF centroid(const FloorShadow& shadow) {
    const QImage& darkness = shadow.darkness();
    double sum = 0, x = 0, z = 0;
    for (int row = 0; row < darkness.height(); ++row) {
        for (int column = 0; column < darkness.width(); ++column) {
            const double weight = qAlpha(darkness.pixel(column, row));
            sum += weight;
            x += weight * (column + 0.5);
            z += weight * (row + 0.5);
        }
    }
    const QRectF area = shadow.area();
    return {area.left() + x / sum * area.width() / darkness.width(),
            area.top() + z / sum * area.height() / darkness.height()};
}

} // namespace

TEST(FloorShadowTest, TheDefaultLightIsTheShadingLight) {
    const QVector3D direction = FloorScene().lightDirection();
    EXPECT_NEAR(direction.x(), -1 / std::sqrt(6.0), 1e-6);
    EXPECT_NEAR(direction.y(), -1 / std::sqrt(6.0), 1e-6);
    EXPECT_NEAR(direction.z(), 2 / std::sqrt(6.0), 1e-6);
}

// The shadow lies across the sheet from the light, and follows it round.
TEST(FloorShadowTest, TheShadowFallsAwayFromTheLightAndMovesWithIt) {
    const double azimuths[] = {-150, -90, -45, -10, 10, 45, 90, 150};
    for (const double lean : {0.0, 15.0, -10.0}) {
        double lastX = INFINITY;
        for (const double azimuth : azimuths) {
            SCOPED_TRACE(testing::Message() << "lean " << lean << ", azimuth " << azimuth);
            const FloorShadow shadow(standingSheet(lean), light(azimuth, 35));
            const QPointF middle = centroid(shadow);
            const QPointF foot = shadow.footprintCentre();
            const double side = std::sin(azimuth * M_PI / 180.0);
            const double front = std::cos(azimuth * M_PI / 180.0);
            EXPECT_LT((middle.x() - foot.x()) * side, 0);
            if (std::abs(front) > 0.1)
                EXPECT_LT((middle.y() - foot.y()) * front, 0);
            if (std::abs(azimuth) < 90) {
                EXPECT_LT(middle.x(), lastX);
                lastX = middle.x();
            }
        }
    }
}

TEST(FloorShadowTest, ALowerLightCastsALongerShadow) {
    double lastDistance = 0;
    for (const double elevation : {80.0, 60.0, 40.0, 25.0}) {
        const FloorShadow shadow(standingSheet(0), light(30, elevation));
        const QPointF offset = centroid(shadow) - shadow.footprintCentre();
        const double distance = std::hypot(offset.x(), offset.y());
        EXPECT_GT(distance, lastDistance) << "elevation " << elevation;
        lastDistance = distance;
    }
}

// Where the paper touches the floor the shadow is darkest, and the floor lies there.
TEST(FloorShadowTest, TheContactShadowIsDarkestWhereTheSheetStands) {
    for (const double lean : {0.0, 15.0, 30.0}) {
        for (const double azimuth : {-60.0, 0.0, 60.0}) {
            SCOPED_TRACE(testing::Message() << "lean " << lean << ", azimuth " << azimuth);
            const FloorShadow shadow(standingSheet(lean), light(azimuth, 30));
            EXPECT_FLOAT_EQ(shadow.floorLevel(), 0.75f);
            const QImage& darkness = shadow.darkness();
            QPoint darkest;
            int most = -1;
            for (int row = 0; row < darkness.height(); ++row) {
                for (int column = 0; column < darkness.width(); ++column) {
                    if (qAlpha(darkness.pixel(column, row)) > most) {
                        most = qAlpha(darkness.pixel(column, row));
                        darkest = QPoint(column, row);
                    }
                }
            }
            const QRectF area = shadow.area();
            const double x = area.left() + (darkest.x() + 0.5) * area.width() / darkness.width();
            const double z = area.top() + (darkest.y() + 0.5) * area.height() / darkness.height();
            EXPECT_NEAR(z, -3.0, 0.05);
            EXPECT_LE(std::abs(x), 1.0) << "darkness " << most;
            // Well out of the shadow the floor is untouched.
            EXPECT_EQ(qAlpha(darkness.pixel(0, 0)), 0);
        }
    }
}
