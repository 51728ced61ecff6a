// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// PDF artwork through the real binary: sharp at any export size, its pages on the sides they
// belong to, its bleed trimmed, and its failures and mistakes told in one line.
#include "media/PdfPage.h"
#include "tests/media/TestPdf.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>

#include <gtest/gtest.h>

namespace {

constexpr double millimetre = 72 / 25.4;
const QRectF a4(0, 0, 210 * millimetre, 297 * millimetre);

struct ProcessRun {
    int exitCode = -1;
    QString err;
};

// The real binary, with no display to lean on.
ProcessRun run(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(PLEATORA_BINARY), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
}

QString written(const QTemporaryDir& folder, const QString& name, const QByteArray& bytes) {
    const QString path = folder.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return path;
}

// The plain sheet, straight on and unlit, so that every pixel of the sheet is the artwork's.
const QStringList plainSheet = {"--shading",        "0",           "--no-shadow", "--no-lines",
                                "--background",     "transparent", "--grain",     "0",
                                "--crease-shading", "0",           "--gloss",     "0",
                                "--overwrite"};

// An export of picture with these options; a null picture when the run fails.
QImage exported(const QTemporaryDir& folder, const QString& picture, const QStringList& options) {
    const QString out = folder.filePath(QStringLiteral("out.png"));
    const ProcessRun export_ =
        run(QStringList{"--export", out} + plainSheet + options + QStringList{picture});
    EXPECT_EQ(export_.exitCode, 0) << export_.err.toStdString();
    return QImage(out).convertToFormat(QImage::Format_ARGB32);
}

// The sheet's pixels: those at least half covered.
QRect sheetRect(const QImage& picture) {
    QRect bounds;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(picture.pixel(x, y)) >= 128)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// The ink (255 less the grey level) of a sheet away from its border, and the share of it in dark
// pixels. A crisp hairline keeps most of its ink in one or two dark pixels across; blurred or
// enlarged, the same ink spreads pale. Unlike pixel-by-pixel likeness, this is blind to where
// the sheet lands within a pixel, which moves the renderer's nearest-texel sampling.
struct Ink {
    double total = 0;
    double denseShare = 0;
};

Ink inkOf(const QImage& sheet) {
    double total = 0, dense = 0;
    for (int y = 4; y < sheet.height() - 4; ++y)
        for (int x = 4; x < sheet.width() - 4; ++x) {
            const int ink = 255 - qGray(sheet.pixel(x, y));
            total += ink;
            dense += ink >= 128 ? ink : 0;
        }
    return {total, total > 0 ? dense / total : 0};
}

// White, with hairlines at many slopes, so that edges fall at every phase of the pixel grid.
QByteArray hairlines() {
    QByteArray content = TestPdfPage::filled(a4, Qt::white);
    for (int i = 0; i < 24; ++i) {
        const double x = 40 + i * 21;
        content += TestPdfPage::stroked(QLineF(x, 60, x + 7 * (i % 5), 780), 0.3, Qt::black);
        content += TestPdfPage::stroked(QLineF(40, 80 + i * 29, 555, 90 + i * 31), 0.25, Qt::black);
    }
    return content;
}

QImage rendered(const QByteArray& pdf, QSize pixels) {
    const std::optional<PdfPage> page = PdfPage::open(pdf, 1, 0);
    return page ? page->render(pixels).convertToFormat(QImage::Format_ARGB32) : QImage();
}

TEST(PdfArtworkTest, AFourTimesExportIsAsSharpAsThePageDrawnAtItsSize) {
    const QTemporaryDir folder;
    const QByteArray pdf = testPdf({{a4, std::nullopt, std::nullopt, hairlines()}});
    const QImage fromPdf =
        exported(folder, written(folder, "page.pdf", pdf), {"--scale", "4", "--pitch", "0"});
    const QRect sheet = sheetRect(fromPdf);
    ASSERT_GT(sheet.height(), 2000) << "a 4x export of a page on a 1080-line screen";
    const Ink alone = inkOf(rendered(pdf, sheet.size()));
    const Ink fromPdfInk = inkOf(fromPdf.copy(sheet));
    EXPECT_NEAR(fromPdfInk.total / alone.total, 1, 0.05) << "the same strokes";
    EXPECT_GT(fromPdfInk.denseShare, 0.95 * alone.denseShare);

    // The window's picture scaled up four times, as a picture of that size is exported.
    const QString png = folder.filePath("page.png");
    ASSERT_TRUE(rendered(pdf, sheet.size() / 4).save(png));
    const QImage fromPng = exported(folder, png, {"--scale", "4", "--pitch", "0"});
    ASSERT_EQ(sheetRect(fromPng), sheet);
    EXPECT_LT(inkOf(fromPng.copy(sheet)).denseShare, 0.6 * alone.denseShare);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
