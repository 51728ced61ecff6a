// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PngWriter.h"
#include "media/ExportWriter.h"
#include "media/PngRowFilter.h"
#include "tests/media/FileSizeLimit.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>
#include <png.h>
#include <spng.h>

#include <vector>

namespace {

QByteArray encoded(const QImage& picture) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(PngWriter::write(picture, &buffer));
    return data;
}

QImage written(const QImage& picture) {
    return QImage::fromData(encoded(picture), "PNG");
}

// The writer PngWriter replaced, libspng, as the reference for the chunks a file carries.
QByteArray encodedByLibspng(const QImage& picture) {
    const bool alpha = picture.hasAlphaChannel();
    const QImage pixels =
        picture.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    spng_ctx* context = spng_ctx_new(SPNG_CTX_ENCODER);
    spng_set_option(context, SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr header{};
    header.width = uint32_t(pixels.width());
    header.height = uint32_t(pixels.height());
    header.bit_depth = 8;
    header.color_type = alpha ? SPNG_COLOR_TYPE_TRUECOLOR_ALPHA : SPNG_COLOR_TYPE_TRUECOLOR;
    spng_set_ihdr(context, &header);
    spng_phys resolution{uint32_t(pixels.dotsPerMeterX()), uint32_t(pixels.dotsPerMeterY()), 1};
    if (resolution.ppu_x > 0 && resolution.ppu_y > 0)
        spng_set_phys(context, &resolution);
    spng_encode_image(context, nullptr, 0, SPNG_FMT_PNG,
                      SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE);
    for (int y = 0; y < pixels.height(); ++y)
        spng_encode_row(context, pixels.constScanLine(y), size_t(pixels.bytesPerLine()));
    size_t size = 0;
    int error = 0;
    void* png = spng_get_png_buffer(context, &size, &error);
    const QByteArray data(static_cast<const char*>(png), qsizetype(size));
    std::free(png);
    spng_ctx_free(context);
    return data;
}

// Every chunk but the pixels' data, which differs with the compressor, and how many IDAT runs
// there are.
QList<QByteArray> chunksBesidesPixels(const QByteArray& png) {
    QList<QByteArray> chunks;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const auto length = qFromBigEndian<quint32>(png.constData() + at);
        const QByteArray type = png.mid(at + 4, 4);
        if (type != "IDAT")
            chunks.append(type + png.mid(at + 8, length));
        else if (chunks.isEmpty() || chunks.last() != "IDAT")
            chunks.append(type);
        at += 12 + qsizetype(length);
    }
    return chunks;
}

// libpng checks every chunk's CRC and the zlib stream's Adler-32 where Qt's reader may not.
QImage decodedByLibpng(const QByteArray& png, bool alpha) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.constData(), size_t(png.size())))
        return {};
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    QImage decoded(int(image.width), int(image.height),
                   alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    const bool read = png_image_finish_read(&image, nullptr, decoded.bits(),
                                            png_int_32(decoded.bytesPerLine()), nullptr);
    png_image_free(&image);
    return read ? decoded : QImage();
}

QImage noise(int width, int height, QImage::Format format, quint32 seed) {
    QImage picture(width, height, QImage::Format_ARGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y)
        random.fillRange(reinterpret_cast<quint32*>(picture.scanLine(y)), width);
    return picture.convertToFormat(format);
}

// Past the whole-picture limit, so written in bands: flat runs, gradients and rows of noise, so
// that bands end inside matches as well as inside literals.
const QImage& banded() {
    static const QImage picture = [] {
        QImage image(4001, 2003, QImage::Format_RGB32);
        QRandomGenerator random(7);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            if (y % 5 == 0)
                random.fillRange(line, image.width());
            else
                for (int x = 0; x < image.width(); ++x)
                    line[x] = qRgb(x / 16 % 256, y % 256, x < 2000 ? 40 : (x ^ y) % 256);
        }
        return image;
    }();
    return picture;
}

// Takes capacity bytes, then fails as a full disk does.
class FillingDevice : public QIODevice {
public:
    explicit FillingDevice(qint64 capacity) : _capacity(capacity) { open(WriteOnly); }
    int writesAfterFull = 0;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 length) override {
        if (_full)
            ++writesAfterFull;
        if (_full || length > _capacity) {
            _full = true;
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        _capacity -= length;
        return length;
    }

private:
    qint64 _capacity;
    bool _full = false;
};

// The decoder's side of the row filters, as PNG defines it.
std::vector<uint8_t> unfiltered(const std::vector<uint8_t>& filtered,
                                const std::vector<uint8_t>& above, int pixelBytes) {
    std::vector<uint8_t> row(filtered.begin() + 1, filtered.end());
    for (size_t i = 0; i < row.size(); ++i) {
        const int left = i >= size_t(pixelBytes) ? row[i - pixelBytes] : 0;
        const int up = above[i];
        const int upLeft = i >= size_t(pixelBytes) ? above[i - pixelBytes] : 0;
        int predicted = 0;
        if (filtered[0] == 1)
            predicted = left;
        else if (filtered[0] == 2)
            predicted = up;
        else if (filtered[0] == 4) {
            const int estimate = left + up - upLeft;
            const int toLeft = std::abs(estimate - left);
            const int toUp = std::abs(estimate - up);
            const int toUpLeft = std::abs(estimate - upLeft);
            predicted = toLeft <= toUp && toLeft <= toUpLeft ? left
                        : toUp <= toUpLeft                   ? up
                                                             : upLeft;
        }
        row[i] = uint8_t(row[i] + predicted);
    }
    return row;
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

// Widths around the filter's eight-byte steps, a height across the writer's strips of converted
// rows, and every format a picture may come in; libpng and Qt both read back the stored pixels.
TEST(PngWriterTest, EveryFormatAndWidthComesBackThroughLibpngAndQt) {
    const QImage::Format formats[] = {
        QImage::Format_ARGB32,   QImage::Format_ARGB32_Premultiplied,
        QImage::Format_RGB32,    QImage::Format_RGB888,
        QImage::Format_RGBA8888, QImage::Format_Grayscale8,
        QImage::Format_Indexed8, QImage::Format_RGBA64_Premultiplied,
        QImage::Format_RGB16,    QImage::Format_Mono,
    };
    quint32 seed = 0;
    for (const QImage::Format format : formats) {
        for (const int width : {1, 2, 3, 5, 7, 8, 9, 17, 33, 101}) {
            SCOPED_TRACE(std::to_string(int(format)) + " at width " + std::to_string(width));
            const QImage picture = noise(width, 70, format, ++seed);
            const bool alpha = picture.hasAlphaChannel();
            const QImage stored =
                picture.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
            const QByteArray png = encoded(picture);
            EXPECT_EQ(decodedByLibpng(png, alpha), stored);
            EXPECT_EQ(QImage::fromData(png, "PNG").convertToFormat(stored.format()), stored);
        }
    }
}

TEST(PngWriterTest, CarriesTheChunksOfTheWriterItReplaced) {
    for (const bool alpha : {true, false}) {
        for (const int dotsPerMeter : {0, 3780, 11811}) {
            SCOPED_TRACE(std::to_string(alpha) + " at " + std::to_string(dotsPerMeter));
            QImage picture = noise(
                300, 200, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32, 3);
            picture.setDotsPerMeterX(dotsPerMeter);
            picture.setDotsPerMeterY(dotsPerMeter);
            const QByteArray png = encoded(picture);
            const QByteArray before = encodedByLibspng(picture);
            EXPECT_EQ(png.left(8), before.left(8));
            EXPECT_EQ(chunksBesidesPixels(png), chunksBesidesPixels(before));
            EXPECT_EQ(decodedByLibpng(png, alpha), decodedByLibpng(before, alpha));
        }
    }
}

// Every row filter, undone as a decoder would, gives back the row, whatever its neighbours.
TEST(PngWriterTest, EveryRowFilterIsUndoneByTheDecodersRule) {
    using Type = PngRowFilter::Type;
    QRandomGenerator random(11);
    for (const Type type : {Type::None, Type::Sub, Type::Up, Type::Paeth}) {
        for (const int pixelBytes : {3, 4}) {
            for (int trial = 0; trial < 200; ++trial) {
                const auto length = size_t(pixelBytes) * size_t(random.bounded(1, 40));
                std::vector<uint8_t> above(length);
                std::vector<uint8_t> row(length);
                // Small ranges as well as any byte, so that ties between predictors occur.
                const int range = trial % 2 ? 256 : 3;
                for (size_t i = 0; i < length; ++i) {
                    above[i] = uint8_t(random.bounded(range));
                    row[i] = uint8_t(random.bounded(range));
                }
                const bool first = trial % 7 == 0;
                std::vector<uint8_t> filtered(length + 1);
                PngRowFilter::filter(type, row.data(), first ? nullptr : above.data(), length,
                                     pixelBytes, filtered.data());
                ASSERT_EQ(filtered[0], uint8_t(type));
                ASSERT_EQ(
                    unfiltered(filtered, first ? std::vector<uint8_t>(length) : above, pixelBytes),
                    row)
                    << "filter " << int(type) << ", " << pixelBytes << " bytes a pixel";
            }
        }
    }
}

TEST(PngWriterTest, BandsOfALargePictureJoinIntoOneStreamThatDecodesExactly) {
    const QByteArray png = encoded(banded());
    const QImage stored = banded().convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(decodedByLibpng(png, false), stored);
    EXPECT_EQ(QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB888), stored);
}

// The first failed write ends the file, with the device's reason, for whole pictures and banded.
TEST(PngWriterTest, AFullDiskMidWriteStopsWithItsReason) {
    const QImage small = noise(700, 500, QImage::Format_ARGB32, 5);
    for (const QImage* picture : {&small, &banded()}) {
        for (const qint64 capacity : {0, 40, 300000}) {
            SCOPED_TRACE(std::to_string(picture->width()) + " wide, " + std::to_string(capacity));
            FillingDevice device(capacity);
            QString failure;
            EXPECT_FALSE(PngWriter::write(*picture, &device, &failure));
            EXPECT_EQ(failure, QStringLiteral("No space left on device"));
            EXPECT_EQ(device.writesAfterFull, 0);
        }
    }
}

TEST(PngWriterTest, ABandedExportCutShortLeavesNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("folded.png"));
    const ExportFormat png = ExportWriter::formats().first();
    QString failure;
    ExportWriter::Outcome outcome = ExportWriter::Outcome::Written;
    {
        const FileSizeLimit limit(5'000'000);
        outcome = ExportWriter::write(banded(), QFile::encodeName(path), png, {}, &failure);
    }
    EXPECT_EQ(outcome, ExportWriter::Outcome::Failed);
    EXPECT_EQ(failure, QStringLiteral("File too large"));
    EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}
