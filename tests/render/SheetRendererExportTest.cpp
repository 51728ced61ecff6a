// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "RenderTestSupport.h"
#include "render/SheetRenderer.h"

#include <gtest/gtest.h>

#include <QPainter>

namespace {

const QSizeF sheet(800, 600);

std::unique_ptr<SheetRenderer> foldedView(const QImage& picture) {
    std::unique_ptr<SheetRenderer> view = SheetRenderer::create(windowSize(sheet), 1.0);
    if (!view)
        return nullptr;
    pushFold(*view, tentFold(sheet, 70, 1, 90, -1));
    view->setPitch(20);
    if (!view->setImage(picture))
        return nullptr;
    view->display();
    return view;
}

// Cells of one pixel, black and white.
QImage checkerboard(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = (x + y) % 2 ? 0xffffffff : 0xff000000;
    }
    return image;
}

// Changes of colour between neighbours along the picture's middle row.
int changesAlongMiddleRow(const QImage& image) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(image.height() / 2));
    int changes = 0;
    for (int x = 1; x < image.width(); ++x)
        changes += qAlpha(line[x]) == 255 && qAlpha(line[x - 1]) == 255 && line[x] != line[x - 1];
    return changes;
}

const SheetRenderer::TileProgress noProgress;

} // namespace

TEST(SheetRendererExportTest, AtTheFrameSizeItIsTheFrame) {
    const auto view = foldedView(quadrantImage(QSize(800, 600), QImage::Format_RGB32));
    ASSERT_TRUE(view);
    const QImage frame = view->captureFrame();
    const QImage exported = view->renderAtSize(frame.size(), QImage(), noProgress);
    EXPECT_EQ(exported, frame);
    // The frame's own framebuffer is left as it was.
    EXPECT_EQ(view->captureFrame(), frame);
}

TEST(SheetRendererExportTest, LargerSizesAreTheFrameEnlargedAndAssembledFromTiles) {
    const auto view = foldedView(quadrantImage(QSize(800, 600), QImage::Format_RGB32));
    ASSERT_TRUE(view);
    const QImage frame = view->captureFrame();
    int tilesDone = 0;
    int tileCount = 0;
    const QImage large = view->renderAtSize(frame.size() * 4, QImage(), [&](int done, int n) {
        tilesDone = done;
        tileCount = n;
        return true;
    });
    ASSERT_EQ(large.size(), frame.size() * 4);
    EXPECT_GT(tileCount, 1);
    EXPECT_EQ(tilesDone, tileCount);

    // Every pixel of the frame reappears as the centre of its 4 x 4 block, but where an edge
    // crosses the block.
    int compared = 0;
    int equal = 0;
    for (int y = 0; y < frame.height(); y += 3) {
        for (int x = 0; x < frame.width(); x += 3) {
            ++compared;
            equal += frame.pixel(x, y) == large.pixel(4 * x + 2, 4 * y + 2);
        }
    }
    EXPECT_GT(equal, compared * 99 / 100);
    const CoveredExtent small = coveredExtent(frame);
    const CoveredExtent big = coveredExtent(large);
    EXPECT_NEAR(big.minX, 4 * small.minX, 4);
    EXPECT_NEAR(big.maxX, 4 * small.maxX + 3, 4);
    EXPECT_NEAR(big.minY, 4 * small.minY, 4);
    EXPECT_NEAR(big.maxY, 4 * small.maxY + 3, 4);
}

TEST(SheetRendererExportTest, StoppedAfterATileGivesNoPicture) {
    const auto view = foldedView(quadrantImage(QSize(800, 600), QImage::Format_RGB32));
    ASSERT_TRUE(view);
    int calls = 0;
    const QImage stopped =
        view->renderAtSize(QSize(4788, 3000), QImage(), [&](int, int) { return ++calls < 2; });
    EXPECT_TRUE(stopped.isNull());
    EXPECT_EQ(calls, 2);
}

TEST(SheetRendererExportTest, PictureGivenForTheExportShowsDetailTheFrameTextureLacks) {
    // The frame's texture is the checkerboard at a quarter of its size: grey mush.
    const QImage fine = checkerboard(QSize(1600, 1200));
    const auto view =
        foldedView(fine.scaled(400, 300, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    ASSERT_TRUE(view);
    ASSERT_EQ(view->textureSize(), QSize(400, 300));
    const QImage frame = view->captureFrame();

    const QImage mush = view->renderAtSize(frame.size() * 4, QImage(), noProgress);
    const QImage sharp = view->renderAtSize(frame.size() * 4, fine, noProgress);
    ASSERT_FALSE(sharp.isNull());
    // About 1600 cells across the sheet, each a few pixels wide at this size.
    EXPECT_GT(changesAlongMiddleRow(sharp), 1200);
    EXPECT_LT(changesAlongMiddleRow(mush), 100);
    EXPECT_EQ(view->captureFrame(), frame);
}
