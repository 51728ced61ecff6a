// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PdfPage.h"
#include "media/PictureReader.h"
#include "tests/media/TestPdf.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

constexpr double millimetre = 72 / 25.4;
const QSizeF a4(210 * millimetre, 297 * millimetre);
const double bleed = 3 * millimetre;

QRectF grown(const QRectF& rect, double by) {
    return rect.adjusted(-by, -by, by, by);
}

// Red everywhere, white inside the sheet, a black square at the sheet's top left corner.
QByteArray markedContent(const QRectF& media, const QRectF& sheet) {
    return TestPdfPage::filled(media, Qt::red) + TestPdfPage::filled(sheet, Qt::white) +
           TestPdfPage::filled(QRectF(sheet.left(), sheet.bottom() - 40, 40, 40), Qt::black);
}

bool hasRed(const QImage& picture) {
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor colour = picture.pixelColor(x, y);
            if (colour.red() > 150 && colour.green() < 100)
                return true;
        }
    return false;
}

TEST(PdfPageTest, TheSheetIsTheTrimBoxAndTheBleedNeverShows) {
    const QRectF sheet(QPointF(bleed, bleed), a4);
    const QRectF media = grown(sheet, bleed);
    struct Case {
        const char* name;
        std::optional<QRectF> cropBox, trimBox;
        double bleedAsked;
    };
    const Case cases[] = {
        {"a TrimBox", std::nullopt, sheet, 0},
        {"a TrimBox, the bleed asked ignored", media, sheet, 20},
        {"no TrimBox, the bleed asked", std::nullopt, std::nullopt, bleed},
        {"a CropBox and the bleed asked", media, std::nullopt, bleed},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        TestPdfPage page{media, test.cropBox, test.trimBox, markedContent(media, sheet)};
        QString failure;
        const auto opened = PdfPage::open(testPdf({page}), 1, test.bleedAsked, &failure);
        ASSERT_TRUE(opened) << failure.toStdString();
        EXPECT_NEAR(opened->trimPoints().width(), a4.width(), 0.01);
        EXPECT_NEAR(opened->trimPoints().height(), a4.height(), 0.01);
        const QImage picture = opened->render(QSize(420, 594));
        ASSERT_EQ(picture.size(), QSize(420, 594));
        EXPECT_FALSE(hasRed(picture));
        EXPECT_EQ(picture.pixelColor(10, 10), QColor(Qt::black)) << "the mark is at the top left";
        EXPECT_EQ(picture.pixelColor(410, 584), QColor(Qt::white));
    }
}

TEST(PdfPageTest, BadFilesSayWhy) {
    const QRectF media(QPointF(), a4);
    const TestPdfPage plain{media, std::nullopt, std::nullopt,
                            TestPdfPage::filled(media, Qt::blue)};
    const QByteArray twoPages = testPdf({plain, plain});
    const QByteArray locked = encryptedPdf(twoPages);
    ASSERT_FALSE(locked.isEmpty()) << "qpdf encrypts";
    struct Case {
        const char* name;
        QByteArray bytes;
        int page;
        const char* reason;
    };
    const Case cases[] = {
        {"a password", locked, 1, "The PDF is protected by a password."},
        {"garbage", "%PDF-1.7\nnothing more", 1, "The PDF is damaged beyond repair."},
        {"no pages", testPdf({}), 1, "The PDF has no pages."},
        {"past the end", twoPages, 3, "The PDF has 2 pages, no page 3."},
        {"page 0", twoPages, 0, "The PDF has 2 pages, no page 0."},
        {"next to nothing", testPdf({{QRectF(0, 0, 0.2, 0.2), std::nullopt, std::nullopt, {}}}), 1,
         "Page 1 of the PDF is 0 x 0 points, no printable size."},
        {"over 5 m", testPdf({{QRectF(0, 0, 20000, 300), std::nullopt, std::nullopt, {}}}), 1,
         "Page 1 of the PDF is 20000 x 300 points, no printable size."},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        QString failure;
        EXPECT_FALSE(PdfPage::open(test.bytes, test.page, 0, &failure));
        EXPECT_EQ(failure.toStdString(), test.reason);
    }
}

QString written(QTemporaryDir& folder, const QString& name, const QByteArray& bytes) {
    const QString path = folder.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

// A PDF opens as a picture: its pixels for the sizing rules at 300 an inch, its printed size, and
// drawn at any size asked, larger than those pixels too.
TEST(PdfPageTest, OpensAsAPictureDrawnAtTheSizeAsked) {
    QTemporaryDir folder;
    const QRectF card(0, 0, 85 * millimetre, 55 * millimetre);
    const QString path = written(
        folder, QStringLiteral("card.pdf"),
        testPdf({{card, std::nullopt, std::nullopt, TestPdfPage::filled(card, Qt::green)}}));
    for (const QSize asked : {QSize(100, 65), QSize(4000, 2588)}) {
        const PictureReader::Result read = PictureReader::read(QFile::encodeName(path), asked);
        ASSERT_FALSE(read.picture.isNull()) << read.failure.toStdString();
        EXPECT_EQ(read.picture.size(), asked);
        EXPECT_EQ(read.pixelSize, QSize(1004, 650));
        EXPECT_NEAR(read.points.width(), card.width(), 0.01);
        EXPECT_TRUE(read.scalable);
        EXPECT_EQ(read.pageCount, 1);
        EXPECT_EQ(read.picture.pixelColor(asked.width() / 2, asked.height() / 2),
                  QColor(Qt::green));
    }
    const PictureReader::Result missing =
        PictureReader::read(QFile::encodeName(path), [](QSize size) { return size; }, {}, {2, 0});
    EXPECT_EQ(missing.failure.toStdString(), "The PDF has 1 page, no page 2.");
}

// A picture's printed size comes from its resolution, unless that says nothing.
TEST(PdfPageTest, PicturesAreTheirResolutionsSizeElse300AnInch) {
    QTemporaryDir folder;
    struct Case {
        double perInch; // 0: none written
        double expectedPerInch;
    };
    const Case cases[] = {{600, 600}, {150, 150}, {72, 300}, {96, 300}};
    for (const Case& test : cases) {
        QImage picture(600, 300, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        picture.setDotsPerMeterX(qRound(test.perInch / 0.0254));
        picture.setDotsPerMeterY(qRound(test.perInch / 0.0254));
        const QString path = folder.filePath(QStringLiteral("%1.png").arg(test.perInch));
        ASSERT_TRUE(picture.save(path));
        const PictureReader::Result read =
            PictureReader::read(QFile::encodeName(path), QSize(60, 30));
        EXPECT_NEAR(read.points.width(), 600 * 72 / test.expectedPerInch, 0.5) << test.perInch;
        EXPECT_FALSE(read.scalable);
    }
}

// A read asked to stop while a page is drawn gives up with the reason, and only then: the drawing
// asks now and then, a page of many shapes more than once.
TEST(PdfPageTest, AReadAskedToStopGivesNoPicture) {
    QTemporaryDir folder;
    const QRectF page(QPointF(), a4);
    QByteArray content;
    for (int i = 0; i < 2000; ++i)
        content +=
            TestPdfPage::filled(QRectF(i % 500, i / 4, 20, 20), QColor::fromHsv(i % 360, 200, 200));
    const QString path = written(folder, QStringLiteral("busy.pdf"),
                                 testPdf({{page, std::nullopt, std::nullopt, content}}));
    for (const int stopAfter : {0, 1, -1}) { // -1: never
        SCOPED_TRACE(stopAfter);
        int asked = 0;
        const PictureReader::Result read = PictureReader::read(
            QFile::encodeName(path), [](QSize) { return QSize(595, 842); }, {}, {},
            [&] { return ++asked > stopAfter && stopAfter >= 0; });
        EXPECT_EQ(read.picture.isNull(), stopAfter >= 0);
        EXPECT_EQ(read.failure.isEmpty(), stopAfter < 0);
        if (stopAfter >= 0)
            EXPECT_EQ(read.failure.toStdString(), "Page 1 of the PDF could not be drawn.");
        EXPECT_GT(asked, std::max(stopAfter, 1)) << "asked while drawing";
    }
}

} // namespace
