// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/FrameTiles.h"

#include <GL/glu.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace {

// The projection matrix glFrustum builds, column-major like GL's.
std::array<double, 16> frustumMatrix(const Frustum& f, double nearPlane, double farPlane) {
    std::array<double, 16> m{};
    m[0] = 2 * nearPlane / (f.right - f.left);
    m[5] = 2 * nearPlane / (f.top - f.bottom);
    m[8] = (f.right + f.left) / (f.right - f.left);
    m[9] = (f.top + f.bottom) / (f.top - f.bottom);
    m[10] = -(farPlane + nearPlane) / (farPlane - nearPlane);
    m[11] = -1;
    m[14] = -2 * farPlane * nearPlane / (farPlane - nearPlane);
    return m;
}

// Where a point lands in a viewport of the given size under a projection (identity model view).
QPointF projected(const std::array<double, 16>& projection, QSize viewport, double x, double y,
                  double z) {
    const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const GLint view[4] = {0, 0, viewport.width(), viewport.height()};
    double wx = 0, wy = 0, wz = 0;
    gluProject(x, y, z, identity, projection.data(), view, &wx, &wy, &wz);
    return {wx, wy};
}

} // namespace

TEST(FrameTilesTest, TilesCoverThePictureOnceWithinTheLargestTile) {
    for (const QSize size : {QSize(6308, 3512), QSize(2048, 2048), QSize(100, 5000), QSize(1, 1)}) {
        const FrameTiles tiles(size, 2048);
        std::vector<int> covered(size_t(size.width()) * size_t(size.height()), 0);
        for (int i = 0; i < tiles.count(); ++i) {
            const QRect tile = tiles.tile(i);
            ASSERT_TRUE(QRect(QPoint(), size).contains(tile)) << i;
            ASSERT_LE(tile.width(), tiles.tileSize().width());
            ASSERT_LE(tile.height(), tiles.tileSize().height());
            for (int y = tile.top(); y <= tile.bottom(); ++y)
                for (int x = tile.left(); x <= tile.right(); ++x)
                    ++covered[size_t(y) * size_t(size.width()) + size_t(x)];
        }
        EXPECT_TRUE(std::all_of(covered.begin(), covered.end(), [](int n) { return n == 1; }))
            << size.width() << " x " << size.height();
    }
    EXPECT_EQ(FrameTiles(QSize(6308, 3512), 2048).count(), 8);
    EXPECT_EQ(FrameTiles(QSize(6308, 3512), 2048).tileSize(), QSize(2048, 2048));
    EXPECT_EQ(FrameTiles(QSize(957, 600), 2048).tileSize(), QSize(957, 600));
}

TEST(FrameTilesTest, EachTileShowsItsPartOfTheWholePicture) {
    const QSize size(1000, 700);
    const FrameTiles tiles(size, 256);
    const Frustum whole = FrameTiles::perspective(50, 1000.0 / 700.0, 0.1);
    const auto wholeProjection = frustumMatrix(whole, 0.1, 100);
    // Points in front of the camera land at the same picture pixel whichever way they are drawn.
    for (const auto& point : {std::array<double, 3>{0.3, -0.2, -2}, {-1.1, 0.7, -3}, {0, 0, -1}}) {
        const QPointF inWhole = projected(wholeProjection, size, point[0], point[1], point[2]);
        int found = 0;
        for (int i = 0; i < tiles.count(); ++i) {
            const QRect tile = tiles.tile(i);
            const auto part = frustumMatrix(tiles.frustum(i, whole), 0.1, 100);
            const QPointF inTile =
                projected(part, tile.size(), point[0], point[1], point[2]) + tile.topLeft();
            if (!QRectF(tile).contains(inTile))
                continue;
            ++found;
            EXPECT_NEAR(inTile.x(), inWhole.x(), 1e-6);
            EXPECT_NEAR(inTile.y(), inWhole.y(), 1e-6);
        }
        EXPECT_EQ(found, 1);
    }
}
