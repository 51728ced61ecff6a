// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/ExportWriter.h"
#include "document/ExportOptions.h"
#include "media/PictureEncoder.h"
#include "tests/WithoutFilePermissionOverride.h"
#include "tests/media/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// 60 x 40 pixels at two pixels a point: an opaque left half, a transparent right half.
QImage picture() {
    QImage image(60, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 30; ++x)
            image.setPixelColor(x, y, QColor(200, 100, 50));
    image.setDevicePixelRatio(2);
    return image;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeContents(const QString& path, const QByteArray& data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QStringList filesIn(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
}

ExportFormat format(const char* name) {
    for (const ExportFormat& format : ExportWriter::formats())
        if (format.name == name)
            return format;
    return {};
}

const ExportWriter::Progress noProgress;

} // namespace

TEST(ExportWriterTest, OffersPngFirstAndWritesEveryFormatItOffers) {
    const QList<ExportFormat> formats = ExportWriter::formats();
    ASSERT_FALSE(formats.isEmpty());
    EXPECT_EQ(formats.first().name, "PNG");
    EXPECT_EQ(formats.first().nameFilter(), QStringLiteral("PNG image (*.png)"));
    QTemporaryDir dir;
    for (const ExportFormat& format : formats) {
        SCOPED_TRACE(format.name.toStdString());
        const QString path = dir.filePath(QStringLiteral("folded.") + format.suffix);
        ASSERT_EQ(
            ExportWriter::write(picture(), QFile::encodeName(path), format, noProgress, nullptr),
            ExportWriter::Outcome::Written);
        ASSERT_EQ(ExportWriter::formatForFileName(path)->name, format.name);
        if (format.isPdf()) {
            // One page the picture's size in points: 30 x 20.
            const QRegularExpression mediaBox(R"(/MediaBox \[0 0 ([\d.]+) ([\d.]+)\])");
            const auto match = mediaBox.match(QString::fromLatin1(contents(path)));
            ASSERT_TRUE(match.hasMatch());
            EXPECT_NEAR(match.captured(1).toDouble(), 30, 0.01);
            EXPECT_NEAR(match.captured(2).toDouble(), 20, 0.01);
            continue;
        }
        const QImage back = QImageReader(path).read();
        ASSERT_EQ(back.size(), QSize(60, 40));
        const QColor sheet = back.pixelColor(10, 10);
        EXPECT_NEAR(sheet.red(), 200, 8);
        EXPECT_NEAR(sheet.green(), 100, 8);
        if (format.hasAlpha) {
            EXPECT_EQ(back.pixelColor(50, 10).alpha(), 0);
        }
    }
}

TEST(ExportWriterTest, FormatsAreKnownByTheirSuffixes) {
    EXPECT_EQ(ExportWriter::formatForFileName(QStringLiteral("/a/b folded.PNG"))->name, "PNG");
    EXPECT_EQ(ExportWriter::formatForFileName(QStringLiteral("x.tif"))->name, "TIFF");
    EXPECT_EQ(ExportWriter::formatForFileName(QStringLiteral("x.jpeg"))->name, "JPEG");
    EXPECT_FALSE(ExportWriter::formatForFileName(QStringLiteral("x.txt")));
    EXPECT_FALSE(ExportWriter::formatForFileName(QStringLiteral("png")));
}

TEST(ExportWriterTest, ReadOnlyFolderKeepsTheOldFileAndSaysWhy) {
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("folded.png"));
    writeContents(old, "the old picture");
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    QString failure;
    ExportWriter::Outcome outcome = ExportWriter::Outcome::Written;
    {
        WithoutFilePermissionOverride asAnyUser;
        outcome = ExportWriter::write(picture(), QFile::encodeName(old), format("PNG"), noProgress,
                                      &failure);
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    EXPECT_EQ(outcome, ExportWriter::Outcome::Failed);
    EXPECT_TRUE(failure.contains(QStringLiteral("ermission"))) << failure.toStdString();
    EXPECT_EQ(contents(old), "the old picture");
    EXPECT_EQ(filesIn(dir), QStringList{QStringLiteral("folded.png")});
}

TEST(ExportWriterTest, EncoderFailureKeepsTheOldFileAndLeavesNothingElse) {
    const ExportFormat webp = format("WEBP");
    if (webp.name.isEmpty())
        GTEST_SKIP() << "no WebP writer here";
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("folded.webp"));
    writeContents(old, "the old picture");
    // WebP holds at most 16383 pixels a side.
    QImage tooWide(20000, 2, QImage::Format_ARGB32);
    tooWide.fill(Qt::red);
    QString failure;
    EXPECT_EQ(ExportWriter::write(tooWide, QFile::encodeName(old), webp, noProgress, &failure),
              ExportWriter::Outcome::Failed);
    EXPECT_TRUE(failure.contains(QStringLiteral("20000 x 2"))) << failure.toStdString();
    EXPECT_EQ(contents(old), "the old picture");
    EXPECT_EQ(filesIn(dir), QStringList{QStringLiteral("folded.webp")});
}

TEST(ExportWriterTest, StoppedWritingLeavesNoFile) {
    // Noise compresses badly, so the encoder writes many times.
    QImage noise(800, 800, QImage::Format_ARGB32);
    for (int y = 0; y < noise.height(); ++y)
        QRandomGenerator(y).fillRange(reinterpret_cast<quint32*>(noise.scanLine(y)), noise.width());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("folded.png"));
    int asked = 0;
    EXPECT_EQ(
        ExportWriter::write(
            noise, QFile::encodeName(path), format("PNG"), [&] { return ++asked < 3; }, nullptr),
        ExportWriter::Outcome::Stopped);
    EXPECT_EQ(asked, 3);
    EXPECT_TRUE(filesIn(dir).isEmpty());
}

// Each step of a write can meet a full disk: the encoders' writes, the PDF writer's, which it never
// checks, and the flush. A file size limit stands in for the disk, failing writes with EFBIG.
TEST(ExportWriterTest, AWriteCutShortFailsWithTheSystemsReasonAndLeavesNoFile) {
    QImage noise(300, 200, QImage::Format_ARGB32);
    for (int y = 0; y < noise.height(); ++y)
        QRandomGenerator(y).fillRange(reinterpret_cast<quint32*>(noise.scanLine(y)), noise.width());
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("old"));
    writeContents(old, "the old picture");
    struct Case {
        QByteArray name;
        qint64 limit; // bytes: past the header, well short of the whole file
    };
    QList<Case> cases;
    for (const ExportFormat& format : ExportWriter::formats())
        cases.append({format.name, 2000});
    cases.append({"PNG", 70000}); // cut off in its last block
    cases.append({"data", 2000}); // a drag's PNG, written as it is
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name.toStdString() + " at " + std::to_string(each.limit));
        const ExportFormat target = format(each.name.constData());
        const QByteArray data = PictureEncoder::encodedData(noise, "PNG");
        ASSERT_GT(data.size(), 80000);
        QString failure;
        ExportWriter::Outcome outcome = ExportWriter::Outcome::Written;
        {
            const FileSizeLimit limit(each.limit);
            outcome = each.name == "data"
                          ? ExportWriter::writeData(data, QFile::encodeName(old), &failure)
                          : ExportWriter::write(noise, QFile::encodeName(old), target, noProgress,
                                                &failure);
        }
        EXPECT_EQ(outcome, ExportWriter::Outcome::Failed);
        EXPECT_EQ(failure, QStringLiteral("File too large"));
        EXPECT_EQ(contents(old), "the old picture");
        EXPECT_EQ(filesIn(dir), QStringList{QStringLiteral("old")});
    }
}

// Encoders that take the whole picture are capped within their budget: a picture at the cap may be
// written, one row more is refused naming the limit; the others are capped by their sides alone.
TEST(ExportWriterTest, WholePictureEncodersAreCappedByTheirMemory) {
    int capped = 0;
    for (const ExportFormat& format : ExportWriter::formats()) {
        const qint64 most = format.largestPixels();
        const QSize largestSquare(format.largestSide, format.largestSide);
        if (!most) {
            EXPECT_TRUE(ExportWriter::canWrite("unused", largestSquare, format));
            continue;
        }
        ++capped;
        EXPECT_LE(most * format.bytesPerPixel, ExportFormat::memoryBudget);
        EXPECT_GT((most + 1) * format.bytesPerPixel, ExportFormat::memoryBudget);
        const int width = 8000;
        const QSize fits(width, int(most / width));
        const QSize over(width, fits.height() + 1);
        EXPECT_TRUE(ExportWriter::canWrite("unused", fits, format)) << format.name.constData();
        QString failure;
        EXPECT_FALSE(ExportWriter::canWrite("unused", over, format, &failure));
        EXPECT_EQ(failure, QStringLiteral("8000 x %1 pixels asked, over the limit of %2 megapixels "
                                          "that keeps a %3 within 1.2 GB of memory")
                               .arg(over.height())
                               .arg(double(most) / 1e6, 0, 'f', 1)
                               .arg(format.description));
    }
    EXPECT_EQ(capped, 2); // WebP and PDF
}

TEST(ExportOptionsTest, SizeIsTimesTheWindowOrTheWidthWithTheWindowsShape) {
    ExportOptions options;
    options.scale = 3;
    EXPECT_EQ(options.pixelSize(QSize(957, 600)), QSize(2871, 1800));
    options.scale = 0;
    options.pixelWidth = 4000;
    EXPECT_EQ(options.pixelSize(QSize(957, 600)), QSize(4000, 2508)); // 2507.8
    options.pixelWidth = 16;
    EXPECT_EQ(options.pixelSize(QSize(1000, 10)), QSize(16, 1));
    EXPECT_TRUE(options.pixelSize(QSize()).isEmpty());
}
