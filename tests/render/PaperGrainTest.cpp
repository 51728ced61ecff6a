// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/PaperGrain.h"

#include <QTransform>

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>

namespace {

// 4 x 3 world units: 800 x 600 image points.
const QSizeF paper(4, 3);

QImage grey(QSize size, QImage::Format format = QImage::Format_RGB888) {
    QImage image(size, format);
    image.fill(qRgba(128, 128, 128, 200));
    return image;
}

QImage baked(QSize size, const PaperGrain::Placement& placement, float amount = 1) {
    QImage image = grey(size);
    PaperGrain::bake(image, amount, placement);
    return image;
}

double mean(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += qRed(image.pixel(x, y));
    return sum / (double(image.width()) * image.height());
}

// The mean absolute difference of a from b, b being factor times larger and box-filtered to a's
// size.
double differenceFromBoxFiltered(const QImage& a, const QImage& b, int factor) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            double box = 0;
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i)
                    box += qRed(b.pixel(x * factor + i, y * factor + j));
            sum += std::abs(qRed(a.pixel(x, y)) - box / (factor * factor));
        }
    }
    return sum / (double(a.width()) * a.height());
}

double deviation(const QImage& image, double around) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += std::abs(qRed(image.pixel(x, y)) - around);
    return sum / (double(image.width()) * image.height());
}

int largestDifference(const QImage& a, const QImage& b) {
    int largest = a.size() == b.size() ? 0 : 255;
    for (int y = 0; y < a.height() && y < b.height(); ++y)
        for (int x = 0; x < a.width() && x < b.width(); ++x)
            largest = std::max(largest, std::abs(qRed(a.pixel(x, y)) - qRed(b.pixel(x, y))));
    return largest;
}

} // namespace

// The grain lies on the paper: textures of the same paper at any size keep the mean and, box
// filtered to the smaller size, show the same grain; none at 0%, and alpha stays.
TEST(PaperGrainTest, BelongsToThePaperAtEveryTextureSize) {
    const PaperGrain::Placement placement{paper};
    const QImage small = baked(QSize(400, 300), placement);
    const QImage large = baked(QSize(1600, 1200), placement);
    EXPECT_NEAR(mean(small), 128, 1);
    EXPECT_NEAR(mean(large), mean(small), 0.5);
    const double grain = deviation(small, mean(small));
    EXPECT_GT(grain, 3.0);
    EXPECT_LT(differenceFromBoxFiltered(small, large, 4), 0.25 * grain);
    // Another paper under the same texels gives other grain.
    const QImage other = baked(QSize(400, 300), {QSizeF(8, 6)});
    EXPECT_GT(differenceFromBoxFiltered(small, other, 1), grain);

    EXPECT_EQ(baked(QSize(40, 30), placement, 0), grey(QSize(40, 30)));
    QImage withAlpha = grey(QSize(40, 30), QImage::Format_RGBA8888);
    PaperGrain::bake(withAlpha, 1, placement);
    EXPECT_EQ(qAlpha(withAlpha.pixel(17, 11)), 200);
    EXPECT_NE(withAlpha.pixel(17, 11), grey(QSize(1, 1)).pixel(0, 0));
}

// A back picture is seen mirrored: its texels carry the grain of the paper point they show, the
// front's texel mirrored. Horizontal creases run the paper's length down the texture. (One level
// of rounding apart at most, since the coordinates are worked out another way.)
TEST(PaperGrainTest, FollowsThePaperThroughMirrorsAndEitherAxis) {
    const QSize size(200, 150);
    const QImage front = baked(size, {paper});
    EXPECT_LE(
        largestDifference(baked(size, {paper, true, true, false}), front.mirrored(true, false)), 1);
    EXPECT_LE(
        largestDifference(baked(size, {paper, true, false, true}), front.mirrored(false, true)), 1);
    const QImage down = baked(size.transposed(), {paper, false});
    EXPECT_LE(largestDifference(down.transformed(QTransform(0, 1, 1, 0, 0, 0)), front), 1);
}
