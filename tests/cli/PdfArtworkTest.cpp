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

// Where each colour shows on the sheet, by the hue that wins by a margin.
struct Colours {
    int red = 0, blue = 0, green = 0;
};

Colours coloursOf(const QImage& picture) {
    Colours colours;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor colour = picture.pixelColor(x, y);
            if (colour.alpha() < 128)
                continue;
            const int r = colour.red(), g = colour.green(), b = colour.blue();
            colours.red += r > g + 60 && r > b + 60;
            colours.green += g > r + 60 && g > b + 60;
            colours.blue += b > r + 60 && b > g + 60;
        }
    return colours;
}

TestPdfPage plainPage(const QColor& colour) {
    return {a4, std::nullopt, std::nullopt, TestPdfPage::filled(a4, colour)};
}

// A Z-fold whose free end rises steeply toward the viewer, and a steep horizontal tent.
const QByteArray zFold = R"({"pleatora-fold": 2, "layout": "z-fold", "axis": "vertical",
    "creases": [0, 0.3333333, 0.6666667, 1], "pitch": 0, "sheet": [595.276, 841.89],
    "profile": [[0, 0], [0.3333333, 0], [0.6666667, 0], [0.8333333, 0.2886751]]})";
const QByteArray tent = R"({"pleatora-fold": 2, "layout": "tent", "axis": "horizontal",
    "creases": [0, 0.25, 0.5, 0.75, 1], "pitch": 0, "sheet": [595.276, 841.89],
    "profile": [[0.125, 0], [0.375, 0], [0.5, 0.2165], [0.625, 0], [0.875, 0]]})";

// Panels never turn past upright and the pitch tilts along the creases, so no export shows a
// panel from behind: page 2 is on the back and never in sight, whatever the fold and tilt, and
// the export is the one with plain paper behind. --pages 2,1 swaps the sides.
TEST(PdfArtworkTest, TheFrontPageShowsAndTheBackPageStaysBehind) {
    const QTemporaryDir folder;
    const QString leaflet =
        written(folder, "leaflet.pdf", testPdf({plainPage(Qt::red), plainPage(Qt::blue)}));
    const QString zFile = written(folder, "z.pleatfold", zFold);
    const QString tentFile = written(folder, "tent.pleatfold", tent);
    struct Case {
        QStringList fold;
        QString pitch;
    };
    const Case cases[] = {{{}, "0"},
                          {{"--fold", zFile}, "60"},
                          {{"--fold", zFile}, "-60"},
                          {{"--fold", tentFile}, "45"}};
    for (const auto& [fold, pitch] : cases) {
        SCOPED_TRACE(fold.join(' ').toStdString() + " pitch " + pitch.toStdString());
        const QStringList options = fold + QStringList{"--pitch", pitch};
        const QImage withBack = exported(folder, leaflet, options);
        const Colours front = coloursOf(withBack);
        EXPECT_GT(front.red, withBack.width() * withBack.height() / 8);
        EXPECT_EQ(front.blue, 0);
        EXPECT_EQ(withBack, exported(folder, leaflet, options + QStringList{"--back", "paper"}));
        const Colours swapped =
            coloursOf(exported(folder, leaflet, options + QStringList{"--pages", "2,1"}));
        EXPECT_EQ(swapped.blue, front.red);
        EXPECT_EQ(swapped.red, 0);
    }
}

// One page: the back is what --back says, and a page past the end names the count.
TEST(PdfArtworkTest, PagesAskedForAndLockedFilesFailInOneLine) {
    const QTemporaryDir folder;
    const QByteArray one = testPdf({plainPage(Qt::red)});
    const QByteArray two = testPdf({plainPage(Qt::red), plainPage(Qt::blue)});
    const QByteArray locked = encryptedPdf(two);
    ASSERT_FALSE(locked.isEmpty()) << "qpdf encrypts";
    const QString greenBack = folder.filePath("green.png");
    QImage green(60, 80, QImage::Format_RGB32);
    green.fill(Qt::green);
    ASSERT_TRUE(green.save(greenBack));
    struct Case {
        QByteArray pdf;
        QStringList options;
        QString failure; // empty for an export that succeeds
    };
    const Case cases[] = {
        {one, {"--back", greenBack}, {}},
        {one, {"--back", "paper", "--back-colour", "lime"}, {}},
        {one, {"--back", "same"}, {}},
        {one,
         {"--pages", "1,2"},
         "The back picture %1 cannot be read: The PDF has 1 page, no page 2."},
        {one, {"--pages", "2"}, "The PDF has 1 page, no page 2."},
        {two, {"--pages", "3"}, "The PDF has 2 pages, no page 3."},
        {two,
         {"--pages", "1,3"},
         "The back picture %1 cannot be read: The PDF has 2 pages, no page 3."},
        {locked, {}, "The PDF is protected by a password."},
        {locked, {"--pages", "2"}, "The PDF is protected by a password."},
    };
    for (const auto& [pdf, options, failure] : cases) {
        SCOPED_TRACE(options.join(' ').toStdString() + " " + failure.toStdString());
        const QString path = written(folder, "artwork.pdf", pdf);
        const QString out = folder.filePath("out.png");
        QFile::remove(out);
        const ProcessRun export_ = run(QStringList{"--export", out} + options + QStringList{path});
        if (failure.isEmpty()) {
            EXPECT_EQ(export_.exitCode, 0) << export_.err.toStdString();
            const Colours colours = coloursOf(QImage(out));
            EXPECT_GT(colours.red, 0);
            EXPECT_EQ(colours.green + colours.blue, 0);
            continue;
        }
        EXPECT_EQ(export_.exitCode, 1);
        EXPECT_EQ(export_.err,
                  "pleatora: " + path + ": " + QString(failure).replace("%1", path) + "\n");
        EXPECT_FALSE(QFile::exists(out));
    }
}

// A page with no TrimBox: --bleed trims that much off each side, so its colour never shows and
// the sheet takes the trimmed page's proportions.
TEST(PdfArtworkTest, TheBleedAskedForIsTrimmedOffAPageWithoutTrimBox) {
    const QTemporaryDir folder;
    const double bleed = 3 * millimetre;
    const QRectF media = a4.adjusted(-bleed, -bleed, bleed, bleed).translated(bleed, bleed);
    const QRectF trim = a4.translated(bleed, bleed);
    const QString path = written(
        folder, "bled.pdf",
        testPdf({{media, std::nullopt, std::nullopt,
                  TestPdfPage::filled(media, Qt::green) + TestPdfPage::filled(trim, Qt::red)}}));
    struct Case {
        QStringList bleedOption;
        QSizeF sheet;
        bool bleedShows;
    };
    const Case cases[] = {{{}, media.size(), true},
                          {{"--bleed", "3mm"}, a4.size(), false},
                          {{"--bleed", "0.118110in"}, a4.size(), false},
                          {{"--bleed", "8.5039pt"}, a4.size(), false}};
    for (const auto& [bleedOption, sheet, bleedShows] : cases) {
        SCOPED_TRACE(bleedOption.join(' ').toStdString());
        const QImage picture =
            exported(folder, path, bleedOption + QStringList{"--pitch", "0", "--scale", "2"});
        const QRect shown = sheetRect(picture);
        EXPECT_NEAR(double(shown.width()) / shown.height(), sheet.width() / sheet.height(), 0.001);
        EXPECT_EQ(coloursOf(picture).green > 0, bleedShows);
    }
}

// Mistakes in the artwork's options stop the run before any picture, in one line and a hint.
TEST(PdfArtworkTest, BadArtworkValuesExitTwo) {
    const QList<QStringList> mistakes = {{"--pages", "0"},       {"--pages", "1,2,3"},
                                         {"--pages", "x"},       {"--pages", "1,"},
                                         {"--bleed", "3"},       {"--bleed", "2in"},
                                         {"--bleed", "-3mm"},    {"--back-turn", "sideways"},
                                         {"--sheet-size", "A9"}, {"--sheet-size", "10x"}};
    for (const QStringList& mistake : mistakes) {
        SCOPED_TRACE(mistake.join(' ').toStdString());
        const ProcessRun run_ =
            run(QStringList{"--export", "never.png"} + mistake + QStringList{"a.pdf"});
        EXPECT_EQ(run_.exitCode, 2);
        const QStringList lines = run_.err.split(u'\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 2) << run_.err.toStdString();
        EXPECT_TRUE(lines[0].startsWith("pleatora: " + mistake[0] + " wants "))
            << lines[0].toStdString();
        EXPECT_TRUE(lines[1].startsWith("Try 'pleatora --help'"));
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
