// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PngWriter.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

namespace {

QImage written(const QImage& picture) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(PngWriter::write(picture, &buffer));
    return QImage::fromData(data, "PNG");
}

} // namespace

// Odd widths catch rows taken with the picture's padding; every alpha level catches a wrong
// premultiplication.
TEST(PngWriterTest, PixelsComeBackExactlyWithOrWithoutAlpha) {
    QImage straight(7, 256, QImage::Format_ARGB32);
    for (int y = 0; y < straight.height(); ++y) {
        for (int x = 0; x < straight.width(); ++x)
            straight.setPixel(x, y, qRgba(255 - y, x * 30, (x * y) % 256, y));
    }
    straight.setDotsPerMeterX(11811); // 300 dpi
    straight.setDotsPerMeterY(11811);
    const QImage premultiplied = straight.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage back = written(premultiplied);
    ASSERT_TRUE(back.hasAlphaChannel());
    EXPECT_EQ(back.convertToFormat(QImage::Format_ARGB32),
              premultiplied.convertToFormat(QImage::Format_ARGB32));
    EXPECT_EQ(back.dotsPerMeterX(), 11811);

    const QImage opaque = straight.convertToFormat(QImage::Format_RGB32);
    const QImage opaqueBack = written(opaque);
    EXPECT_FALSE(opaqueBack.hasAlphaChannel());
    EXPECT_EQ(opaqueBack.convertToFormat(QImage::Format_RGB32), opaque);
}

TEST(PngWriterTest, AFailingDeviceGivesItsReason) {
    QBuffer closed; // never opened: every write fails
    QString failure;
    EXPECT_FALSE(PngWriter::write(QImage(4, 4, QImage::Format_ARGB32), &closed, &failure));
    EXPECT_FALSE(failure.isEmpty());
}
