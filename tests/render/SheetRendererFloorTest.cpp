// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "RenderTestSupport.h"
#include "render/SheetRenderer.h"

#include <gtest/gtest.h>

namespace {

const QSizeF sheet(800, 600);
const SheetRenderer::TileProgress noProgress;

std::unique_ptr<SheetRenderer> foldedView() {
    std::unique_ptr<SheetRenderer> view = SheetRenderer::create(
        windowSize(sheet), 1.0, nullptr, OffscreenContext::Platform::Surfaceless);
    if (!view)
        return nullptr;
    pushFold(*view, tentFold(sheet, 70, 1, 90, -1));
    view->setPitch(15);
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
