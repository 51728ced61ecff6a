// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/AnimationWriter.h"
#include "tests/WithoutFilePermissionOverride.h"
#include "tests/media/DecodedAnimation.h"

#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

const QSize frameSize(160, 120);
constexpr int frameCount = 24;
constexpr int rate = 12;

// A picture on a sheet sliding across a transparent frame, with a half-transparent square in the
// top left corner: the kind of frame an animation is made of.
QImage frameOf(QSize size, int index, int count = frameCount) {
    QImage frame(size, QImage::Format_ARGB32_Premultiplied);
    frame.fill(Qt::transparent);
    QPainter painter(&frame);
    painter.setRenderHint(QPainter::Antialiasing);
    const double shift = size.width() * 0.3 * index / std::max(1, count - 1);
    const QRectF sheet(size.width() * 0.1 + shift, size.height() * 0.2, size.width() * 0.5,
                       size.height() * 0.7);
    QLinearGradient gradient(sheet.topLeft(), sheet.bottomRight());
    gradient.setColorAt(0, QColor(220, 60, 40));
    gradient.setColorAt(0.5, QColor(240, 220, 90));
    gradient.setColorAt(1, QColor(40, 90, 200));
    painter.fillRect(sheet, gradient);
    painter.fillRect(QRect(0, 0, size.width() / 8, size.height() / 8), QColor(0, 120, 0, 128));
    return frame;
}

QImage flattened(const QImage& frame, const QColor& background) {
    QImage flat(frame.size(), QImage::Format_RGB32);
    flat.fill(background);
    QPainter(&flat).drawImage(0, 0, frame);
    return flat;
}

struct Written {
    bool ok = false;
    QString failure;
};

Written write(const QString& path, const AnimationWriter::Options& options, QSize size = frameSize,
              int count = frameCount) {
    AnimationWriter writer;
    Written written;
    written.ok = writer.open(path, size, options, &written.failure);
    for (int pass = 0; written.ok && pass < writer.passCount(); ++pass) {
        for (int i = 0; written.ok && i < count; ++i)
            written.ok = writer.addFrame(frameOf(size, i, count), &written.failure);
        written.ok = written.ok && writer.endPass(&written.failure);
    }
    return written;
}

DecodedAnimation decoded(const QString& path) {
    QString error;
    DecodedAnimation animation = DecodedAnimation::read(path, &error);
    EXPECT_FALSE(animation.codec.isEmpty()) << qPrintable(error);
    return animation;
}

QStringList filesIn(const QTemporaryDir& folder) {
    return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

struct Format {
    const char* suffix;
    const char* codec;
    const char* pixelFormat; // as ffprobe names it
    bool lossless;
    bool alpha;
};

class EachFormat : public testing::TestWithParam<Format> {};

TEST_P(EachFormat, HoldsTheFramesGivenWithTheirCodecSizeAndTiming) {
    const Format format = GetParam();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("motion.") + format.suffix);
    const Written written = write(path, {rate, true, Qt::transparent});
    ASSERT_TRUE(written.ok) << qPrintable(written.failure);
    const DecodedAnimation animation = decoded(path);
    EXPECT_EQ(animation.codec, QLatin1String(format.codec));
    EXPECT_EQ(animation.pixelFormat, QLatin1String(format.pixelFormat));
    EXPECT_EQ(animation.size, frameSize);
    EXPECT_NEAR(animation.frameCount, frameCount, 1);
    EXPECT_NEAR(animation.frames.size(), frameCount, 1);
    EXPECT_NEAR(animation.seconds, double(frameCount) / rate, 1.0 / rate);
    ASSERT_FALSE(animation.frames.isEmpty());
    // Without alpha, transparency shows white.
    const auto expected = [&](int index) {
        const QImage frame = frameOf(frameSize, index);
        return format.alpha ? frame : flattened(frame, Qt::white);
    };
    const double tolerance = format.lossless ? 2 : 6;
    EXPECT_LE(meanDifference(animation.frames.first(), expected(0)), tolerance);
    EXPECT_LE(meanDifference(animation.frames.last(), expected(frameCount - 1)), tolerance);
    // Only what moved differs: the frames are not all alike.
    EXPECT_GT(meanDifference(animation.frames.first(), animation.frames.last()), 3 * tolerance);
}

// Where the background is transparent the corner stays so and the sheet opaque; the
// half-transparent square keeps its alpha except in GIF, which has none between.
TEST_P(EachFormat, KeepsAlphaWhereTheFormatHasIt) {
    const Format format = GetParam();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("alpha.") + format.suffix);
    ASSERT_TRUE(write(path, {rate, true, Qt::transparent}).ok);
    const DecodedAnimation animation = decoded(path);
    ASSERT_FALSE(animation.frames.isEmpty());
    const QImage& first = animation.frames.first();
    const int corner = qAlpha(first.pixel(frameSize.width() - 2, frameSize.height() - 2));
    const int sheet = qAlpha(first.pixel(frameSize.width() / 3, frameSize.height() / 2));
    const int half = qAlpha(first.pixel(3, 3));
    if (!format.alpha) {
        EXPECT_EQ(corner, 255);
        EXPECT_EQ(half, 255);
        return;
    }
    EXPECT_LE(corner, 4);
    EXPECT_GE(sheet, 251);
    if (QLatin1String(format.suffix) == QLatin1String("gif")) {
        EXPECT_TRUE(half == 0 || half == 255) << half;
    } else {
        EXPECT_NEAR(half, 128, 8);
    }
    if (QLatin1String(format.suffix) == QLatin1String("webm")) {
        EXPECT_TRUE(animation.alphaTagged);
    }
}

TEST_P(EachFormat, OnAColourBackgroundEveryPixelIsOpaque) {
    const Format format = GetParam();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("coloured.") + format.suffix);
    const QColor background(30, 110, 160);
    ASSERT_TRUE(write(path, {rate, false, background}).ok);
    const DecodedAnimation animation = decoded(path);
    ASSERT_FALSE(animation.frames.isEmpty());
    const QImage& last = animation.frames.last();
    for (const QPoint at : {QPoint(3, 3), QPoint(frameSize.width() - 2, frameSize.height() - 2)})
        EXPECT_EQ(qAlpha(last.pixel(at)), 255);
    const QColor corner = last.pixelColor(frameSize.width() - 2, frameSize.height() - 2);
    EXPECT_NEAR(corner.red(), background.red(), 6);
    EXPECT_NEAR(corner.green(), background.green(), 6);
    EXPECT_NEAR(corner.blue(), background.blue(), 6);
    EXPECT_LE(meanDifference(last, flattened(frameOf(frameSize, frameCount - 1), background)),
              format.lossless ? 2 : 6);
}

INSTANTIATE_TEST_SUITE_P(Formats, EachFormat,
                         testing::Values(Format{"mp4", "h264", "yuv420p", false, false},
                                         Format{"webm", "vp9", "yuv420p", false, true},
                                         Format{"gif", "gif", "bgra", false, true},
                                         Format{"webp", "webp", "", false, true},
                                         Format{"png", "apng", "rgba", true, true}),
                         [](const testing::TestParamInfo<Format>& info) {
                             return std::string(info.param.suffix);
                         });

// H.264 in yuv420p takes even sides only: an odd frame gains a row and a column of background.
// The index comes before the media data, so that a player can start while the file loads.
TEST(AnimationWriter, Mp4HasEvenSidesAndItsIndexFirst) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("odd.mp4"));
    const QSize odd(161, 121);
    ASSERT_TRUE(write(path, {rate, true, QColor(Qt::black)}, odd).ok);
    const DecodedAnimation animation = decoded(path);
    EXPECT_EQ(animation.size, QSize(162, 122));
    ASSERT_FALSE(animation.frames.isEmpty());
    EXPECT_LE(qGray(animation.frames.first().pixel(161, 121)), 6);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const qsizetype index = bytes.indexOf("moov");
    const qsizetype media = bytes.indexOf("mdat");
    EXPECT_GT(index, 0);
    EXPECT_GT(media, index);
}

// GIF, WebP and APNG say how often they play: 0 for ever, else once. GIF plays once without its
// loop extension.
TEST(AnimationWriter, GifWebPAndApngLoopForEverOrPlayOnce) {
    QTemporaryDir folder;
    for (const bool loop : {true, false}) {
        SCOPED_TRACE(loop ? "loop" : "once");
        const QString gif = folder.filePath(QStringLiteral("loop.gif"));
        const QString webp = folder.filePath(QStringLiteral("loop.webp"));
        const QString png = folder.filePath(QStringLiteral("loop.png"));
        for (const QString& path : {gif, webp, png})
            ASSERT_TRUE(write(path, {rate, loop, Qt::transparent}).ok);
        QFile gifFile(gif);
        ASSERT_TRUE(gifFile.open(QIODevice::ReadOnly));
        const QByteArray gifBytes = gifFile.readAll();
        const qsizetype netscape = gifBytes.indexOf("NETSCAPE2.0");
        if (loop) {
            ASSERT_GT(netscape, 0);
            EXPECT_EQ(gifBytes.mid(netscape + 13, 2), QByteArray(2, '\0'));
        } else {
            EXPECT_EQ(netscape, -1);
        }
        EXPECT_EQ(decoded(webp).loopCount, loop ? 0 : 1);
        QFile pngFile(png);
        ASSERT_TRUE(pngFile.open(QIODevice::ReadOnly));
        const QByteArray pngBytes = pngFile.readAll();
        const qsizetype control = pngBytes.indexOf("acTL");
        ASSERT_GT(control, 0);
        // acTL: the frame count, then the play count, both 32-bit big-endian.
        EXPECT_EQ(qFromBigEndian<quint32>(pngBytes.constData() + control + 4), quint32(frameCount));
        EXPECT_EQ(qFromBigEndian<quint32>(pngBytes.constData() + control + 8), loop ? 0u : 1u);
    }
}

// Frames of a few flat colours come out in exactly those colours: the palette is made from the
// frames, not a fixed one, and the first pass gives it.
TEST(AnimationWriter, GifPaletteIsMadeFromTheFramesInAFirstPass) {
    const QList<QColor> colours{QColor(200, 30, 60), QColor(20, 140, 90), QColor(250, 240, 10)};
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("flat.gif"));
    AnimationWriter writer;
    QString failure;
    ASSERT_TRUE(writer.open(path, QSize(64, 48), {10, true, Qt::white}, &failure));
    ASSERT_EQ(writer.passCount(), 2);
    for (int pass = 0; pass < 2; ++pass) {
        for (const QColor& colour : colours) {
            QImage frame(64, 48, QImage::Format_ARGB32);
            frame.fill(colour);
            ASSERT_TRUE(writer.addFrame(frame, &failure)) << qPrintable(failure);
        }
        ASSERT_TRUE(writer.endPass(&failure)) << qPrintable(failure);
    }
    const DecodedAnimation animation = decoded(path);
    ASSERT_EQ(animation.frames.size(), colours.size());
    for (int i = 0; i < colours.size(); ++i)
        EXPECT_EQ(animation.frames[i].pixelColor(20, 20).rgb(), colours[i].rgb()) << i;
}

// A GIF's second pass must give the frames the palette was made from.
TEST(AnimationWriter, APassWithOtherFramesIsRefused) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("short.gif"));
    AnimationWriter writer;
    QString failure;
    ASSERT_TRUE(writer.open(path, frameSize, {rate, true, Qt::transparent}, &failure));
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(writer.addFrame(frameOf(frameSize, i), &failure));
    ASSERT_TRUE(writer.endPass(&failure));
    ASSERT_TRUE(writer.addFrame(frameOf(frameSize, 0), &failure));
    EXPECT_FALSE(writer.endPass(&failure));
    EXPECT_EQ(failure, QStringLiteral("A pass gave 1 frames instead of 4."));
    EXPECT_TRUE(filesIn(folder).isEmpty());
}

TEST(AnimationWriter, RefusesWhatItCannotWriteSayingWhy) {
    QTemporaryDir folder;
    AnimationWriter writer;
    QString failure;
    EXPECT_FALSE(
        writer.open(folder.filePath(QStringLiteral("motion.avi")), frameSize, {}, &failure));
    EXPECT_EQ(failure, QStringLiteral("Pleatora writes animations as .mp4, .webm, .gif, .webp or "
                                      ".png files, not as “%1”.")
                           .arg(folder.filePath(QStringLiteral("motion.avi"))));
    EXPECT_FALSE(writer.open(folder.filePath(QStringLiteral("fast.gif")), frameSize,
                             {60, true, Qt::transparent}, &failure));
    EXPECT_EQ(failure, QStringLiteral("Animated GIF plays at most 50 frames a second, not 60."));
    EXPECT_FALSE(
        writer.open(folder.filePath(QStringLiteral("none/motion.mp4")), frameSize, {}, &failure));
    EXPECT_TRUE(failure.contains(QStringLiteral("No such file or directory")))
        << qPrintable(failure);
    ASSERT_TRUE(
        writer.open(folder.filePath(QStringLiteral("sized.webm")), frameSize, {}, &failure));
    EXPECT_FALSE(writer.addFrame(QImage(80, 60, QImage::Format_ARGB32), &failure));
    EXPECT_EQ(failure, QStringLiteral("Frame 1 is 80 x 60 pixels instead of 160 x 120."));
    EXPECT_FALSE(writer.isOpen());
    EXPECT_TRUE(filesIn(folder).isEmpty());
}

// Each format's frames are capped at what keeps it within its budget: a frame at the cap opens,
// one row more is refused before any file is made, naming the limit.
TEST(AnimationWriter, FramesOverTheMemoryBudgetAreRefusedBeforeAnyFile) {
    QTemporaryDir folder;
    for (const AnimationFormat& format : AnimationFormat::all()) {
        const qint64 most = format.largestFramePixels();
        EXPECT_LE(most * format.bytesPerFramePixel, AnimationFormat::memoryBudget);
        EXPECT_GT((most + 1) * format.bytesPerFramePixel, AnimationFormat::memoryBudget);
        const int width = 4096;
        const QSize fits(width, int(most / width));
        const QSize over(width, fits.height() + 1);
        EXPECT_TRUE(AnimationWriter::fitsMemory(fits, format)) << qPrintable(format.suffix);
        const QString name = folder.filePath(QStringLiteral("big.") + format.suffix);
        AnimationWriter writer;
        QString failure;
        EXPECT_FALSE(writer.open(name, over, {}, &failure)) << qPrintable(format.suffix);
        EXPECT_EQ(failure, QStringLiteral("4096 x %1 pixels asked, over the limit of %2 megapixels "
                                          "a frame that keeps %3 within 1 GiB of memory")
                               .arg(over.height())
                               .arg(double(most) / 1e6, 0, 'f', 1)
                               .arg(format.description));
    }
    EXPECT_TRUE(filesIn(folder).isEmpty());
}

TEST(AnimationWriter, AReadOnlyFolderIsNamedAsTheCause) {
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
    WithoutFilePermissionOverride asAnyUser;
    AnimationWriter writer;
    QString failure;
    EXPECT_FALSE(
        writer.open(folder.filePath(QStringLiteral("motion.gif")), frameSize, {}, &failure));
    EXPECT_TRUE(failure.contains(QStringLiteral("Permission denied"))) << qPrintable(failure);
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Cancelled, dropped or failed on the way, a writer leaves nothing, and a file it was to replace
// stays as it was.
TEST(AnimationWriter, CancelAndFailureLeaveNoFileAndTheOldOneAsItWas) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("kept.mp4"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the old file");
    }
    for (const char* suffix : {"mp4", "webm", "gif", "webp", "png"}) {
        SCOPED_TRACE(suffix);
        AnimationWriter cancelled;
        QString failure;
        ASSERT_TRUE(cancelled.open(folder.filePath(QStringLiteral("kept.") + suffix), frameSize, {},
                                   &failure));
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(cancelled.addFrame(frameOf(frameSize, i), &failure));
        cancelled.cancel();
        EXPECT_FALSE(cancelled.isOpen());
        AnimationWriter dropped;
        ASSERT_TRUE(dropped.open(folder.filePath(QStringLiteral("dropped.") + suffix), frameSize,
                                 {}, &failure));
        ASSERT_TRUE(dropped.addFrame(frameOf(frameSize, 0), &failure));
    }
    EXPECT_EQ(filesIn(folder), QStringList{QStringLiteral("kept.mp4")});
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("the old file"));
}

// A file the system refuses to let grow fails with the system's reason.
TEST(AnimationWriter, AFullDiskIsNamedAsTheCause) {
    QTemporaryDir folder;
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit small = before;
    small.rlim_cur = 4000;
    setrlimit(RLIMIT_FSIZE, &small);
    QStringList failures;
    for (const char* suffix : {"mp4", "gif", "webp", "png"}) {
        const Written written = write(folder.filePath(QStringLiteral("large.") + suffix),
                                      {rate, true, Qt::transparent}, QSize(320, 240), 40);
        EXPECT_FALSE(written.ok) << suffix;
        failures.append(written.failure);
    }
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, SIG_DFL);
    for (const QString& failure : failures)
        EXPECT_TRUE(failure.contains(QStringLiteral("File too large"))) << qPrintable(failure);
    EXPECT_TRUE(filesIn(folder).isEmpty()) << qPrintable(filesIn(folder).join(' '));
}

} // namespace
