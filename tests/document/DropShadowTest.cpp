// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/DropShadow.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

const QSize pictureSize(400, 300);
const QRect sheetRect(100, 80, 200, 140);

QImage pictureWithSheet(QRect sheet, QImage::Format format = QImage::Format_RGBA8888,
                        QColor colour = QColor(200, 180, 160)) {
    QImage picture(pictureSize, format);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.fillRect(sheet, colour);
    return picture;
}

DropShadow shadowWith(double opacity, double blur, double offset) {
    DropShadow shadow;
    shadow.setOpacity(opacity);
    shadow.setBlurRadius(blur);
    shadow.setOffset(offset);
    return shadow;
}

// The shadow alone: the shadow of `picture` painted under a transparent canvas.
QImage shadowOf(const QImage& picture, DropShadow shadow = DropShadow()) {
    shadow.update(picture);
    QImage canvas(picture.size(), picture.format());
    canvas.setDevicePixelRatio(picture.devicePixelRatio());
    canvas.fill(Qt::transparent);
    shadow.paintUnder(canvas);
    return canvas;
}

int alphaAt(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y));
}

int maxAlpha(const QImage& image) {
    int result = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            result = std::max(result, alphaAt(image, x, y));
    return result;
}

const int fullShadow = int(DropShadow::defaultOpacity * 255);

} // namespace

TEST(DropShadowTest, DarkestUnderTheSheetAndClearFarFromIt) {
    const QImage shadow = shadowOf(pictureWithSheet(sheetRect));
    const QPoint centre = sheetRect.center();
    EXPECT_NEAR(alphaAt(shadow, centre.x(), centre.y()), fullShadow, 2);
    EXPECT_EQ(maxAlpha(shadow), alphaAt(shadow, centre.x(), centre.y()));
    // The shadow is black.
    EXPECT_EQ(shadow.pixelColor(centre).rgb() & 0xFFFFFF, 0u);

    EXPECT_EQ(alphaAt(shadow, 0, 0), 0);
    EXPECT_EQ(alphaAt(shadow, 399, 299), 0);
    const int beyond = int(DropShadow::defaultBlurPoints + DropShadow::defaultOffsetPoints) + 4;
    EXPECT_EQ(alphaAt(shadow, sheetRect.left() - beyond, centre.y()), 0);
    EXPECT_EQ(alphaAt(shadow, sheetRect.right() + beyond, centre.y()), 0);
    EXPECT_EQ(alphaAt(shadow, centre.x(), sheetRect.bottom() + beyond), 0);
    EXPECT_EQ(alphaAt(shadow, centre.x(), sheetRect.top() - beyond), 0);
}

TEST(DropShadowTest, FallsDownward) {
    const QImage shadow = shadowOf(pictureWithSheet(sheetRect));
    const int x = sheetRect.center().x();
    for (int distance : {2, 6, 10, 16}) {
        EXPECT_GT(alphaAt(shadow, x, sheetRect.bottom() + distance),
                  alphaAt(shadow, x, sheetRect.top() - distance))
            << distance;
    }
    // Sideways it is symmetric.
    const int y = sheetRect.center().y();
    EXPECT_NEAR(alphaAt(shadow, sheetRect.left() - 8, y), alphaAt(shadow, sheetRect.right() + 8, y),
                2);
}

TEST(DropShadowTest, FadesGraduallyOverTheBlur) {
    const QImage shadow = shadowOf(pictureWithSheet(sheetRect));
    const int x = sheetRect.center().x();
    const int from = sheetRect.center().y();
    const int to = sheetRect.bottom() +
                   int(DropShadow::defaultBlurPoints + DropShadow::defaultOffsetPoints) + 4;
    int previous = alphaAt(shadow, x, from);
    int softSteps = 0;
    for (int y = from + 1; y <= to; ++y) {
        const int alpha = alphaAt(shadow, x, y);
        EXPECT_LE(alpha, previous) << y;
        // No hard edge and no blocky steps from the reduced mask.
        EXPECT_LE(previous - alpha, 8) << y;
        if (alpha > 0 && alpha < fullShadow * 9 / 10)
            ++softSteps;
        previous = alpha;
    }
    EXPECT_EQ(previous, 0);
    EXPECT_GE(softSteps, 12);
}

TEST(DropShadowTest, FollowsTheSheet) {
    const QImage first = shadowOf(pictureWithSheet(sheetRect));
    const QPoint move(-48, 32);
    const QImage moved = shadowOf(pictureWithSheet(sheetRect.translated(move)));
    for (int y = 20; y < 280; y += 7) {
        for (int x = 60; x < 340; x += 7) {
            const QPoint p(x, y);
            if (moved.rect().contains(p + move)) {
                EXPECT_NEAR(alphaAt(first, x, y), alphaAt(moved, x + move.x(), y + move.y()), 1)
                    << x << "," << y;
            }
        }
    }

    // A different shape gives a different outline: an L-shaped sheet casts no shadow in its notch.
    QImage lShape = pictureWithSheet(QRect(40, 40, 100, 220));
    {
        QPainter painter(&lShape);
        painter.fillRect(QRect(40, 180, 300, 90), Qt::white);
    }
    const QImage lShadow = shadowOf(lShape);
    EXPECT_EQ(alphaAt(lShadow, 300, 80), 0);
    EXPECT_NEAR(alphaAt(lShadow, 300, 230), fullShadow, 2);
    EXPECT_NEAR(alphaAt(lShadow, 90, 100), fullShadow, 2);
}

TEST(DropShadowTest, CompositesUnderThePictureInBothFormats) {
    for (QImage::Format format : {QImage::Format_RGBA8888, QImage::Format_ARGB32_Premultiplied}) {
        QImage picture = pictureWithSheet(sheetRect, format);
        {
            // A translucent strip partly over the shadow.
            QPainter painter(&picture);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.fillRect(QRect(20, 200, 360, 40), QColor(40, 120, 220, 100));
        }
        const QImage shadowOnly = shadowOf(picture);
        QImage expected = shadowOnly.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        {
            QPainter painter(&expected);
            painter.drawImage(0, 0, picture);
        }

        DropShadow shadow;
        shadow.update(picture);
        shadow.paintUnder(picture);
        ASSERT_EQ(picture.format(), format);
        const QImage result = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        int worst = 0;
        for (int y = 0; y < result.height(); ++y) {
            for (int x = 0; x < result.width(); ++x) {
                const QRgb a = result.pixel(x, y);
                const QRgb b = expected.pixel(x, y);
                worst =
                    std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
            }
        }
        EXPECT_LE(worst, 2) << format;
        // The opaque sheet keeps its colour.
        EXPECT_EQ(picture.pixelColor(sheetRect.center()), QColor(200, 180, 160));
    }
}

TEST(DropShadowTest, KeepsItsSizeInPointsAtDoubleScale) {
    QImage picture(pictureSize * 2, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.fillRect(QRect(sheetRect.topLeft() * 2, sheetRect.size() * 2), Qt::black);
    }
    picture.setDevicePixelRatio(2.0);
    for (double blur : {DropShadow::defaultBlurPoints, 12.0, 48.0}) {
        const DropShadow shadow = shadowWith(0.5, blur, 10);
        const QImage single = shadowOf(pictureWithSheet(sheetRect), shadow);
        const QImage doubled = shadowOf(picture, shadow);
        for (int y = 1; y < 300; y += 5)
            for (int x = 150; x < 250; x += 5)
                EXPECT_NEAR(alphaAt(single, x, y), alphaAt(doubled, 2 * x, 2 * y), 3)
                    << blur << ": " << x << "," << y;
    }
}

TEST(DropShadowTest, LeavesMismatchedOrEmptyPicturesAlone) {
    DropShadow shadow;
    shadow.update(pictureWithSheet(sheetRect));
    QImage other(200, 100, QImage::Format_ARGB32_Premultiplied);
    other.fill(Qt::transparent);
    shadow.paintUnder(other);
    EXPECT_EQ(maxAlpha(other), 0);

    shadow.update(QImage());
    QImage empty;
    shadow.paintUnder(empty);
    EXPECT_TRUE(empty.isNull());
}

TEST(DropShadowTest, ReadsPicturesOfOtherFormats) {
    const QImage reference = shadowOf(pictureWithSheet(sheetRect));
    const QImage coarse = shadowOf(
        pictureWithSheet(sheetRect).convertToFormat(QImage::Format_ARGB4444_Premultiplied));
    const QPoint below(sheetRect.center().x(), sheetRect.bottom() + 10);
    EXPECT_NEAR(alphaAt(coarse, below.x(), below.y()), alphaAt(reference, below.x(), below.y()), 2);
}

TEST(DropShadowTest, OpacitySetsHowDarkTheShadowIs) {
    const QImage picture = pictureWithSheet(sheetRect);
    const QPoint centre = sheetRect.center();
    const QPoint below(centre.x(), sheetRect.bottom() + 12);
    const QImage usual = shadowOf(picture);
    const QImage strong = shadowOf(
        picture, shadowWith(0.8, DropShadow::defaultBlurPoints, DropShadow::defaultOffsetPoints));
    EXPECT_NEAR(alphaAt(strong, centre.x(), centre.y()), 0.8 * 255, 2);
    EXPECT_NEAR(alphaAt(strong, below.x(), below.y()), alphaAt(usual, below.x(), below.y()) * 1.6,
                3);

    const QImage none = shadowOf(
        picture, shadowWith(0, DropShadow::defaultBlurPoints, DropShadow::defaultOffsetPoints));
    EXPECT_EQ(maxAlpha(none), 0);
}

TEST(DropShadowTest, OffsetMovesTheShadowDown) {
    const QImage picture = pictureWithSheet(sheetRect);
    const int x = sheetRect.center().x();
    const QImage usual = shadowOf(picture);
    const QImage lower = shadowOf(picture, shadowWith(0.5, DropShadow::defaultBlurPoints, 18));
    // The same fade, 12 points further down; less of it above the sheet.
    for (int y = sheetRect.bottom() + 1; y < sheetRect.bottom() + 30; ++y)
        EXPECT_NEAR(alphaAt(lower, x, y + 12), alphaAt(usual, x, y), 1) << y;
    EXPECT_LT(alphaAt(lower, x, sheetRect.top() - 4), alphaAt(usual, x, sheetRect.top() - 4) - 20);

    // Without an offset the shadow lies evenly around the sheet.
    const QImage centred = shadowOf(picture, shadowWith(0.5, DropShadow::defaultBlurPoints, 0));
    for (int distance : {2, 8, 16})
        EXPECT_NEAR(alphaAt(centred, x, sheetRect.bottom() + distance),
                    alphaAt(centred, x, sheetRect.top() - distance), 2)
            << distance;
}

TEST(DropShadowTest, BlurRadiusSetsHowFarTheShadowReaches) {
    const QImage picture = pictureWithSheet(sheetRect);
    const int y = sheetRect.center().y();
    int previousWidth = 0;
    for (double blur : {6.0, 12.0, 30.0, 48.0}) {
        SCOPED_TRACE(blur);
        const QImage shadow = shadowOf(picture, shadowWith(0.5, blur, 6));
        EXPECT_NEAR(alphaAt(shadow, sheetRect.center().x(), y), fullShadow, 2);
        // Sideways, where the offset plays no part: some shadow halfway out, none past the reach
        // and the last mask cell.
        EXPECT_GT(alphaAt(shadow, sheetRect.left() - int(blur / 2), y), 0);
        EXPECT_EQ(alphaAt(shadow, sheetRect.left() - int(blur) - 7, y), 0);
        // The fade widens with the blur.
        int fadeWidth = 0;
        for (int x = sheetRect.left() - 60; x < sheetRect.center().x(); ++x) {
            const int alpha = alphaAt(shadow, x, y);
            fadeWidth += alpha > 0 && alpha < fullShadow * 9 / 10;
        }
        EXPECT_GT(fadeWidth, previousWidth);
        EXPECT_GE(fadeWidth, blur);
        EXPECT_LE(fadeWidth, 2 * blur);
        previousWidth = fadeWidth;
    }
}

TEST(DropShadowTest, SettingsOutOfRangeAreClamped) {
    const DropShadow shadow = shadowWith(std::nan(""), 1000, -5);
    EXPECT_EQ(shadow.opacity(), 0.0);
    EXPECT_EQ(shadow.blurRadius(), DropShadow::maxBlurPoints);
    EXPECT_EQ(shadow.offset(), 0.0);
    EXPECT_EQ(shadowWith(3, 0, 1000).blurRadius(), DropShadow::minBlurPoints);
}
