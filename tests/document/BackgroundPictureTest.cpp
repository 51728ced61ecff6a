// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/BackgroundPicture.h"

#include <gtest/gtest.h>

#include <QColor>

namespace {

constexpr int stripe = 20; // pixels of each stripe in the picture

// Red stripes across x, green stripes across y and blue rising from left to right: a stretch
// shows as unequal stripes, a crop off centre as an uneven blue at the edges.
QImage pattern(QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(
                x, y,
                qRgb((x / stripe) % 2 * 255, (y / stripe) % 2 * 255, 255 * x / (size.width() - 1)));
    }
    return picture;
}

// Pixels per stripe along a line of the picture, from the changes of one channel.
double stripeWidth(const QImage& image, bool alongX, int channelShift) {
    const int length = alongX ? image.width() : image.height();
    const int across = (alongX ? image.height() : image.width()) / 2;
    int changes = 0;
    int first = -1;
    int last = -1;
    bool high = false;
    for (int i = 0; i < length; ++i) {
        const QRgb pixel = alongX ? image.pixel(i, across) : image.pixel(across, i);
        const bool isHigh = ((pixel >> channelShift) & 0xff) >= 128;
        if (i > 0 && isHigh != high) {
            ++changes;
            first = first < 0 ? i : first;
            last = i;
        }
        high = isHigh;
    }
    return changes > 1 ? double(last - first) / (changes - 1) : 0.0;
}

} // namespace

TEST(BackgroundPictureTest, CoversTheFrameWithoutStretchingAndCropsCentred) {
    struct Case {
        QSize picture;
        QSize frame;
    };
    const Case cases[] = {
        {{400, 200}, {300, 300}}, {{200, 400}, {300, 300}}, {{400, 300}, {1200, 500}},
        {{640, 480}, {320, 480}}, {{300, 300}, {900, 400}}, {{500, 250}, {250, 125}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1x%2 over %3x%4")
                         .arg(c.picture.width())
                         .arg(c.picture.height())
                         .arg(c.frame.width())
                         .arg(c.frame.height())
                         .toStdString());
        const QImage cover = BackgroundPicture::covering(pattern(c.picture), c.frame);
        ASSERT_EQ(cover.size(), c.frame);
        const double scale = std::max(double(c.frame.width()) / c.picture.width(),
                                      double(c.frame.height()) / c.picture.height());
        const double across = stripeWidth(cover, true, 16);
        const double down = stripeWidth(cover, false, 8);
        EXPECT_NEAR(across, stripe * scale, 1.0);
        EXPECT_NEAR(down, stripe * scale, 1.0);
        // Blue rises evenly across the picture: a centred crop leaves its middle in the middle.
        const int left = qBlue(cover.pixel(0, c.frame.height() / 2));
        const int right = qBlue(cover.pixel(c.frame.width() - 1, c.frame.height() / 2));
        EXPECT_NEAR(left + right, 255, 6);
    }
}

TEST(BackgroundPictureTest, PaintsOnlyWhereTheFoldLeavesTheFrameSeeThrough) {
    // As the renderer gives it.
    QImage target(QSize(40, 30), QImage::Format_RGBA8888);
    target.fill(Qt::transparent);
    target.setPixel(10, 10, qRgba(0, 0, 255, 255));
    target.setDevicePixelRatio(2);
    QImage picture(QSize(8, 6), QImage::Format_RGB32);
    picture.fill(qRgb(200, 100, 50));
    BackgroundPicture::paintUnder(target, picture);
    EXPECT_EQ(target.pixel(10, 10), qRgba(0, 0, 255, 255));
    EXPECT_EQ(QColor(target.pixel(30, 20)), QColor(200, 100, 50));
}
