// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "RenderTestSupport.h"
#include "render/SheetRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const QSizeF sheet(800, 600);
const SheetRenderer::TileProgress noProgress;

std::unique_ptr<SheetRenderer> foldedView() {
    std::unique_ptr<SheetRenderer> view = SheetRenderer::create(
        windowSize(sheet), 1.0, nullptr, OffscreenContext::Platform::Surfaceless);
    if (!view)
        return nullptr;
    pushFold(*view, tentFold(sheet, 70, 1, 90, -1));
    // Pitched down onto the floor: a positive pitch would look up at it from below.
    view->setPitch(-15);
    if (!view->setImage(quadrantImage(sheet.toSize(), QImage::Format_RGB32)))
        return nullptr;
    view->display();
    return view;
}

FloorScene floor() {
    FloorScene scene;
    scene.shown = true;
    scene.colour = QColor(200, 190, 180);
    return scene;
}

// The lowest row with an opaque pixel in the middle column: the sheet's foot.
int sheetFoot(const QImage& image) {
    for (int y = image.height() - 1; y >= 0; --y) {
        if (qAlpha(image.pixel(image.width() / 2, y)) == 255)
            return y;
    }
    return -1;
}

// A flat white sheet, so that no pixel of it passes for shadow.
std::unique_ptr<SheetRenderer> flatView(float pitch, float yaw) {
    std::unique_ptr<SheetRenderer> view = SheetRenderer::create(
        windowSize(sheet), 1.0, nullptr, OffscreenContext::Platform::Surfaceless);
    if (!view)
        return nullptr;
    pushFold(*view, flatFold(sheet));
    view->setPitch(pitch);
    view->setYaw(yaw);
    QImage white(sheet.toSize(), QImage::Format_RGB32);
    white.fill(Qt::white);
    if (!view->setImage(white))
        return nullptr;
    view->display();
    return view;
}

// Each column's lowest covered row, -1 where nothing covers it.
std::vector<int> bottomEdge(const QImage& image) {
    std::vector<int> rows(std::size_t(image.width()), -1);
    for (int x = 0; x < image.width(); ++x) {
        for (int y = image.height() - 1; y >= 0 && rows[std::size_t(x)] < 0; --y) {
            if (qAlpha(image.pixel(x, y)) > 0)
                rows[std::size_t(x)] = y;
        }
    }
    return rows;
}

struct Pose {
    float pitch;
    float yaw;
};
const Pose poses[] = {{-15, 0}, {-15, 35}, {-30, 0}, {-30, 35}};

} // namespace

// Whole frames and tiled ones, before and after a floor: taking the floor away leaves nothing.
TEST(SheetRendererFloorTest, WithoutAFloorTheExportIsAsItWas) {
    const auto view = foldedView();
    ASSERT_TRUE(view);
    for (const QSize size : {view->captureFrame().size(), view->captureFrame().size() * 3}) {
        const QImage before = view->renderAtSize(size, QImage(), noProgress);
        view->setFloor(floor());
        const QImage onFloor = view->renderAtSize(size, QImage(), noProgress);
        view->setFloor(FloorScene());
        const QImage after = view->renderAtSize(size, QImage(), noProgress);
        ASSERT_FALSE(before.isNull());
        EXPECT_NE(onFloor, before);
        EXPECT_EQ(after, before);
    }
    // Pitched well up, the eye would see the floor from beneath: it is left out.
    view->setPitch(40);
    const QImage upward = view->renderAtSize(view->captureFrame().size(), QImage(), noProgress);
    view->setFloor(floor());
    EXPECT_EQ(view->renderAtSize(view->captureFrame().size(), QImage(), noProgress), upward);
}

// Transparent above the horizon, the floor's colour below the sheet, darkest at its foot.
TEST(SheetRendererFloorTest, TheSheetStandsOnTheFloorInItsShadow) {
    const auto view = foldedView();
    ASSERT_TRUE(view);
    const QImage plain = view->renderAtSize(view->captureFrame().size(), QImage(), noProgress);
    view->setFloor(floor());
    for (const int times : {1, 3}) {
        SCOPED_TRACE(times);
        const QImage image =
            view->renderAtSize(view->captureFrame().size() * times, QImage(), noProgress);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(qAlpha(image.pixel(image.width() / 2, 0)), 0);
        const QRgb farFloor = image.pixel(image.width() / 2, image.height() - 1);
        EXPECT_EQ(qAlpha(farFloor), 255);
        EXPECT_NEAR(qRed(farFloor), 200, 2);
        const int foot = sheetFoot(plain) * times;
        ASSERT_GT(foot, 0);
        const QRgb atFoot = image.pixel(image.width() / 2, foot + 2 * times);
        EXPECT_LT(qRed(atFoot), qRed(farFloor) - 40);
    }
}

// However the sheet is pitched and turned, it stands on its whole bottom edge: the contact
// shadow runs along all of it, not only under its lowest corner.
TEST(SheetRendererFloorTest, TheWholeBottomEdgeTouchesTheFloor) {
    for (const Pose pose : poses) {
        SCOPED_TRACE(testing::Message() << "pitch " << pose.pitch << ", yaw " << pose.yaw);
        const auto view = flatView(pose.pitch, pose.yaw);
        ASSERT_TRUE(view);
        const QSize size = view->captureFrame().size();
        const std::vector<int> edge = bottomEdge(view->renderAtSize(size, QImage(), noProgress));
        view->setFloor(floor());
        const QImage image = view->renderAtSize(size, QImage(), noProgress);
        ASSERT_FALSE(image.isNull());
        const auto covered = std::ranges::find_if(edge, [](int row) { return row >= 0; });
        const auto left = int(covered - edge.begin());
        const auto right =
            int(std::find_if(covered, edge.end(), [](int row) { return row < 0; }) - edge.begin());
        ASSERT_GT(right - left, size.width() / 4);
        // Where the lowest covered pixels run steeply they lie on a side edge; the frame may cut
        // the nearest part of the bottom edge off.
        int checked = 0;
        for (int x = left + 1; x + 1 < right; ++x) {
            const int below = edge[std::size_t(x)] + 1;
            if (std::abs(edge[std::size_t(x + 1)] - edge[std::size_t(x - 1)]) > 4 ||
                below + 4 > size.height())
                continue;
            ++checked;
            int darkest = 255;
            for (int y = below; y < below + 4; ++y) {
                EXPECT_EQ(qAlpha(image.pixel(x, y)), 255) << "column " << x;
                darkest = std::min(darkest, qRed(image.pixel(x, y)));
            }
            EXPECT_LT(darkest, 200 - 40) << "column " << x;
        }
        EXPECT_GT(checked, (right - left) / 4);
    }
}

// The shadow lies on the side away from the light and follows it round.
TEST(SheetRendererFloorTest, TheShadowFallsAwayFromTheLight) {
    for (const Pose pose : poses) {
        SCOPED_TRACE(testing::Message() << "pitch " << pose.pitch << ", yaw " << pose.yaw);
        const auto view = flatView(pose.pitch, pose.yaw);
        ASSERT_TRUE(view);
        const QSize size = view->captureFrame().size();
        const QImage plain = view->renderAtSize(size, QImage(), noProgress);
        const CoveredExtent sheetExtent = coveredExtent(plain);
        const double sheetMiddle = (sheetExtent.minX + sheetExtent.maxX) / 2.0;
        double lastMiddle = INFINITY;
        for (const double azimuth : {-70.0, -20.0, 20.0, 70.0}) {
            SCOPED_TRACE(testing::Message() << "azimuth " << azimuth);
            FloorScene scene = floor();
            scene.lightAzimuth = azimuth;
            scene.lightElevation = 30;
            view->setFloor(scene);
            const QImage image = view->renderAtSize(size, QImage(), noProgress);
            ASSERT_FALSE(image.isNull());
            double weight = 0, sum = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb pixel = image.pixel(x, y);
                    if (qAlpha(plain.pixel(x, y)) > 0 || qAlpha(pixel) < 255)
                        continue;
                    const double darkness = std::max(0, 200 - qRed(pixel));
                    weight += darkness;
                    sum += darkness * x;
                }
            }
            ASSERT_GT(weight, 0);
            const double shadowMiddle = sum / weight;
            // A light near the front casts the shadow behind a turned sheet, to either side.
            if (std::abs(azimuth) > 45)
                EXPECT_LT((shadowMiddle - sheetMiddle) * azimuth, 0);
            EXPECT_LT(shadowMiddle, lastMiddle);
            lastMiddle = shadowMiddle;
        }
    }
}
