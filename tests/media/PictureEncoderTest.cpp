// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PictureEncoder.h"

#include <QBuffer>
#include <QImageReader>
#include <QMimeData>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// 60 x 40 pixels at two pixels a point, half transparent.
QImage picture() {
    QImage image(60, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 30; ++x)
            image.setPixelColor(x, y, QColor(200, 100, 50));
    image.setDevicePixelRatio(2);
    return image;
}

QImage decoded(const QByteArray& data) {
    QBuffer buffer;
    buffer.setData(data);
    return QImageReader(&buffer).read();
}

} // namespace

TEST(PictureEncoderTest, ImageFormatsKeepThePixelsAndTheirAlpha) {
    for (const char* format : {"PNG", "TIFF"}) {
        const QImage back = decoded(PictureEncoder::encodedData(picture(), format));
        ASSERT_EQ(back.size(), QSize(60, 40)) << format;
        EXPECT_EQ(back.pixelColor(10, 10), QColor(200, 100, 50)) << format;
        EXPECT_EQ(back.pixelColor(50, 10).alpha(), 0) << format;
    }
    EXPECT_TRUE(PictureEncoder::encodedData(picture(), "NO-SUCH-FORMAT").isEmpty());
}

TEST(PictureEncoderTest, PdfIsOnePageThePictureSizeInPoints) {
    const QByteArray pdf = PictureEncoder::pdfData(picture());
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"), 1);
    const QRegularExpression mediaBox(QStringLiteral(R"(/MediaBox \[0 0 ([\d.]+) ([\d.]+)\])"));
    const auto match = mediaBox.match(QString::fromLatin1(pdf));
    ASSERT_TRUE(match.hasMatch());
    EXPECT_NEAR(match.captured(1).toDouble(), 30, 0.01);
    EXPECT_NEAR(match.captured(2).toDouble(), 20, 0.01);
}

TEST(PictureEncoderTest, OnlyExactlyPdfSelectsPdf) {
    const auto pdf = PictureEncoder::mimeDataWithFormat(picture(), QStringLiteral("PDF"));
    EXPECT_EQ(pdf->formats(), QStringList{QStringLiteral("application/pdf")});

    for (const QString& format : {QStringLiteral("TIFF"), QStringLiteral("pdf"), QString()}) {
        const auto image = PictureEncoder::mimeDataWithFormat(picture(), format);
        EXPECT_FALSE(image->hasFormat(QStringLiteral("application/pdf"))) << format.toStdString();
        EXPECT_TRUE(image->hasImage());
        EXPECT_EQ(decoded(image->data(QStringLiteral("image/png"))).size(), QSize(60, 40));
        EXPECT_EQ(decoded(image->data(QStringLiteral("image/tiff"))).size(), QSize(60, 40));
    }
}
