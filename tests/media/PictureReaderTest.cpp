// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PictureReader.h"
#include "document/SheetSizing.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

using namespace std::chrono_literals;

namespace {

// Left half red, right half blue.
QImage halves(QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width() / 2; ++x)
            picture.setPixel(x, y, qRgb(255, 0, 0));
    return picture;
}

// An EXIF block holding only the orientation tag, big-endian.
QByteArray exifOrientation(quint16 orientation) {
    QByteArray exif("Exif\0\0MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01", 24);
    exif.append(char(0)).append(char(orientation)).append(6, '\0');
    QByteArray segment("\xff\xe1", 2);
    const quint16 length = qToBigEndian<quint16>(quint16(exif.size() + 2));
    segment.append(reinterpret_cast<const char*>(&length), 2);
    return segment + exif;
}

class PictureReaderTest : public ::testing::Test {
protected:
    QByteArray path(const QByteArray& name) const {
        return QFile::encodeName(_dir.path()) + '/' + name;
    }

    // Written by the name's own bytes: a QString cannot hold a name that is not UTF-8.
    QByteArray write(const QByteArray& name, const QByteArray& bytes) const {
        const QByteArray file = path(name);
        const int descriptor = ::open(file.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        EXPECT_GE(descriptor, 0);
        EXPECT_EQ(::write(descriptor, bytes.constData(), bytes.size()), bytes.size());
        ::close(descriptor);
        return file;
    }

    QByteArray writeImage(const QByteArray& name, const QImage& picture,
                          const char* format = "PNG") const {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, format);
        writer.setQuality(90);
        EXPECT_TRUE(writer.write(picture)) << writer.errorString().toStdString();
        return write(name, bytes);
    }

    QTemporaryDir _dir;
};

TEST_F(PictureReaderTest, FifoIsRefusedAtOnceWithoutBlocking) {
    const QByteArray fifo = path("waiting.png");
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    auto reading = std::async(std::launch::async,
                              [&fifo] { return PictureReader::read(fifo, QSize(100, 100)); });
    if (reading.wait_for(5s) != std::future_status::ready) {
        // Releases the blocked reader so that the test can end.
        ::close(::open(fifo.constData(), O_RDWR));
        FAIL() << "reading a FIFO blocked";
    }
    const PictureReader::Result result = reading.get();
    EXPECT_TRUE(result.picture.isNull());
    EXPECT_EQ(result.failure, "Not a regular file");
}

TEST_F(PictureReaderTest, EveryFailureSaysWhy) {
    EXPECT_EQ(PictureReader::read(QFile::encodeName(_dir.path()), QSize(9, 9)).failure,
              "Not a regular file");
    EXPECT_EQ(PictureReader::read("/dev/null", QSize(9, 9)).failure, "Not a regular file");
    EXPECT_EQ(PictureReader::read(path("missing.png"), QSize(9, 9)).failure,
              "Unreadable (No such file or directory)");
    EXPECT_EQ(PictureReader::read(write("notes.png", "Not a picture.\n"), QSize(9, 9)).failure,
              "Not a picture Pleatora can read");
    EXPECT_EQ(PictureReader::read(write("empty.png", {}), QSize(9, 9)).failure,
              "Not a picture Pleatora can read");

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    halves(QSize(64, 64)).save(&buffer, "PNG");
    const PictureReader::Result truncated =
        PictureReader::read(write("truncated.png", png.left(png.size() / 2)), QSize(64, 64));
    EXPECT_TRUE(truncated.picture.isNull());
    EXPECT_FALSE(truncated.failure.isEmpty());
}

QByteArray pngChunk(const QByteArray& type, const QByteArray& data) {
    const QByteArray body = type + data;
    const quint32 length = qToBigEndian<quint32>(quint32(data.size()));
    const quint32 crc = qToBigEndian<quint32>(
        crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size())));
    return QByteArray(reinterpret_cast<const char*>(&length), 4) + body +
           QByteArray(reinterpret_cast<const char*>(&crc), 4);
}

// A black RGB picture whose rows inflate from a few bytes each: a decompression bomb.
QByteArray blackPng(quint32 width, quint32 height) {
    QByteArray header;
    for (const quint32 side : {width, height}) {
        const quint32 big = qToBigEndian(side);
        header.append(reinterpret_cast<const char*>(&big), 4);
    }
    header.append("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB
    z_stream stream{};
    EXPECT_EQ(deflateInit(&stream, 1), Z_OK);
    QByteArray row(qsizetype(width) * 3 + 1, '\0');
    QByteArray data;
    QByteArray out(1 << 16, '\0');
    for (quint32 y = 0; y <= height; ++y) {
        stream.next_in = reinterpret_cast<Bytef*>(row.data());
        stream.avail_in = y < height ? uInt(row.size()) : 0;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(out.data());
            stream.avail_out = uInt(out.size());
            deflate(&stream, y < height ? Z_NO_FLUSH : Z_FINISH);
            data.append(out.constData(), out.size() - stream.avail_out);
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", data) +
           pngChunk("IEND", {});
}

// A BMP's file header and the start of its info header (40 bytes, or 12 in the OS/2 form), with
// a few bytes of pixels: enough for a reader to take its size.
QByteArray bmpHeader(qint32 width, qint32 height, quint32 infoSize = 40) {
    QByteArray bytes("BM");
    const auto add = [&bytes](auto value) {
        const auto little = qToLittleEndian(value);
        bytes.append(reinterpret_cast<const char*>(&little), sizeof little);
    };
    add(quint32(14 + infoSize + 64)); // file size
    add(quint32(0));                  // reserved
    add(quint32(14 + infoSize));      // pixels' offset
    add(infoSize);
    if (infoSize == 12) {
        add(quint16(width));
        add(quint16(height));
        add(quint16(1));  // planes
        add(quint16(24)); // bits a pixel
    } else {
        add(width);
        add(height);
        add(quint16(1));
        add(quint16(24));
        for (int i = 0; i < 6; ++i)
            add(quint32(0)); // no compression, sizes and palette left to the defaults
    }
    return bytes + QByteArray(64, '\0');
}

// Refused from its header: decoded row by row at the size asked it would take no memory to
// speak of, but seconds of inflating. Formats that Qt decodes into 4 bytes a pixel whatever
// their own depth are refused by Qt's limit, and say so as well.
TEST_F(PictureReaderTest, BombIsTooLargeWithItsSizeAndTheLimit) {
    const QByteArray blank(1000, '\0');
    const QString png = "Too large: 20000 x 14000 pixels need 1068 MB, over the limit of 1024 MB";
    const QString square =
        "Too large: 17000 x 17000 pixels need 1102 MB, over the limit of 1024 MB";
    const QString bmp = "Too large: 60000 x 60000 pixels need 13732 MB, over the limit of 1024 MB";
    struct Bomb {
        QByteArray name;
        QByteArray bytes;
        QString failure;
    };
    const QList<Bomb> bombs = {
        {"bomb.png", blackPng(20000, 14000), png},
        {"bomb.ppm", "P6\n17000 17000\n255\n" + blank, square},
        {"bomb.xpm",
         "/* XPM */\nstatic char *x[] = {\n\"17000 17000 1 1\",\n\"a c #000000\",\n\"aaaa\"\n};\n",
         square},
        {"bomb.bmp", bmpHeader(60000, 60000), bmp},
        {"top-down.bmp", bmpHeader(60000, -60000), bmp},
        {"os2.bmp", bmpHeader(60000, 60000, 12), bmp},
        {"square.bmp", bmpHeader(17000, 17000), square},
    };
    for (const Bomb& bomb : bombs) {
        const PictureReader::Result result =
            PictureReader::read(write(bomb.name, bomb.bytes), QSize(800, 800));
        EXPECT_TRUE(result.picture.isNull());
        EXPECT_EQ(result.failure, bomb.failure) << bomb.name.constData();
    }
}

// 9000 x 8000 decodes to 288 MB, past Qt's own default limit of 256 MB.
TEST_F(PictureReaderTest, LargePictureOpensDecodedAtTheSizeAsked) {
    QImage large(9000, 8000, QImage::Format_RGB888);
    large.fill(Qt::darkGreen);
    const QByteArray file = writeImage("large.png", large);
    large = QImage();
    const PictureReader::Result result = PictureReader::read(file, QSize(1200, 1000));
    ASSERT_FALSE(result.picture.isNull()) << result.failure.toStdString();
    EXPECT_EQ(result.picture.size(), QSize(1200, 1000));
    EXPECT_EQ(result.pixelSize, QSize(9000, 8000));
    EXPECT_EQ(result.picture.pixel(600, 500), QColor(Qt::darkGreen).rgb());
}

TEST_F(PictureReaderTest, SmallPictureIsNeverEnlarged) {
    const PictureReader::Result result =
        PictureReader::read(writeImage("small.png", halves(QSize(100, 50))), QSize(800, 40));
    EXPECT_EQ(result.picture.size(), QSize(100, 40));
    EXPECT_EQ(result.pixelSize, QSize(100, 50));
}

// Orientation 6: the stored picture is turned 90 degrees clockwise to stand upright.
TEST_F(PictureReaderTest, OrientationTagTurnsThePictureUpright) {
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(halves(QSize(300, 200)).save(&buffer, "JPEG", 95));
    const QByteArray file = write("turned.jpg", jpeg.left(2) + exifOrientation(6) + jpeg.mid(2));

    for (const QSize asked : {QSize(1000, 1000), QSize(100, 150)}) {
        const PictureReader::Result result = PictureReader::read(file, asked);
        ASSERT_FALSE(result.picture.isNull()) << result.failure.toStdString();
        EXPECT_EQ(result.pixelSize, QSize(200, 300));
        const QSize shown = asked.boundedTo(QSize(200, 300));
        ASSERT_EQ(result.picture.size(), shown);
        // The stored left half, red, is now on top.
        const QColor top = result.picture.pixelColor(shown.width() / 2, shown.height() / 5);
        const QColor bottom = result.picture.pixelColor(shown.width() / 2, shown.height() * 4 / 5);
        EXPECT_GT(top.red(), 200) << "asked " << asked.width() << "x" << asked.height();
        EXPECT_GT(bottom.blue(), 200);
    }
}

TEST_F(PictureReaderTest, NameThatIsNotUtf8Opens) {
    const QByteArray file = writeImage("\xff\xfe-caf\xe9.png", halves(QSize(64, 32)));
    struct stat status {};
    ASSERT_EQ(::stat(file.constData(), &status), 0) << "the name on disk keeps its bytes";
    const PictureReader::Result result = PictureReader::read(file, QSize(64, 32));
    EXPECT_EQ(result.picture.size(), QSize(64, 32)) << result.failure.toStdString();
    ::unlink(file.constData()); // the temporary directory cannot name it
}

TEST(SheetSizingTest, DecodesAtTheSheetsSizeInDevicePixels) {
    const FoldScreen screen{1080, {1920, 1080}};
    // 5000 x 5000 shows at 846.4 points square under a 1080-point screen.
    EXPECT_EQ(SheetSizing(screen, 1.0).decodeSize(QSize(5000, 5000)), QSize(847, 847));
    EXPECT_EQ(SheetSizing(screen, 2.0).decodeSize(QSize(5000, 5000)), QSize(1693, 1693));
    // The strip's sheet is 4 : 1 and fits the screen's width.
    const QSize strip = SheetSizing(screen, 1.0).decodeSize(QSize(20000, 1));
    EXPECT_LE(strip.width() * 1.496662974357605, 1920 + 1.5);
    EXPECT_EQ(strip.width(), 4 * strip.height() - 1);
}

} // namespace
