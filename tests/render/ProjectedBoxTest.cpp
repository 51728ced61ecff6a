// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/ProjectedBox.h"

#include <gtest/gtest.h>

namespace {

// Orthographic: x and y from -1..1 onto a 200 x 100 viewport, w = 1.
const ProjectedBox::Matrix identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

} // namespace

TEST(ProjectedBoxTest, BoundsTheProjectedPointsWithTheMarginInsideTheViewport) {
    const QSize viewport(200, 100);
    const QVector3D points[] = {{-0.5f, -0.5f, 0}, {0.25f, 0.5f, 0}};
    EXPECT_EQ(ProjectedBox::of(points, identity, identity, viewport, 0),
              QRect(QPoint(50, 25), QPoint(125, 75)));
    EXPECT_EQ(ProjectedBox::of(points, identity, identity, viewport, 2),
              QRect(QPoint(48, 23), QPoint(127, 77)));

    // Far outside on one side: clipped to the viewport, no overflow.
    const QVector3D wide[] = {{-1e12f, 0, 0}, {0, 0.5f, 0}};
    EXPECT_EQ(ProjectedBox::of(wide, identity, identity, viewport, 2),
              QRect(QPoint(0, 48), QPoint(102, 77)));
}

TEST(ProjectedBoxTest, APointAtOrBehindTheEyeGivesTheWholeViewport) {
    // Perspective divide by -z: w = -z, so z = 0 is at the eye.
    const ProjectedBox::Matrix perspective{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, -1, 0, 0, 0, 0};
    const QVector3D inFront[] = {{0, 0, -2}, {0.5f, 0.5f, -1}};
    EXPECT_EQ(ProjectedBox::of(inFront, identity, perspective, QSize(200, 100), 0),
              QRect(QPoint(100, 50), QPoint(150, 75)));
    const QVector3D atEye[] = {{0, 0, -2}, {0.1f, 0.1f, 0}};
    EXPECT_EQ(ProjectedBox::of(atEye, identity, perspective, QSize(200, 100), 0),
              QRect(0, 0, 200, 100));
}
