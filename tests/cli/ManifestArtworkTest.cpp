// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// A manifest's artwork columns: front_page and back_page become one --pages, and bleed, back_turn
// and sheet_size mean in a row what their options mean, through the real binary.
#include "cli/Manifest.h"
#include "tests/media/TestPdf.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QColor frontColour(20, 40, 220);
const QColor secondColour(220, 30, 20);

// Page 1 blue, page 2 red, each A5 without a TrimBox.
QByteArray twoPagePdf() {
    const QRectF a5(0, 0, 420, 595);
    return testPdf({{a5, {}, {}, TestPdfPage::filled(a5, frontColour)},
                    {a5, {}, {}, TestPdfPage::filled(a5, secondColour)}});
}

CommandLine::ExportSettings readRow(const QByteArray& manifest, QString* rowFailure) {
    QBuffer buffer;
    buffer.setData(manifest);
    buffer.open(QIODevice::ReadOnly);
    CommandLine::ExportSettings defaults;
    defaults.outputDirectory = QStringLiteral("out");
    QString failure;
    const QList<ExportPlan::Item> items = Manifest::read(buffer, defaults, &failure);
    EXPECT_EQ(items.size(), 1) << failure.toStdString();
    *rowFailure = items.value(0).failure;
    return items.value(0).settings;
}

// Whether the export's middle shows the page in colour rather than the other one.
bool showsColour(const QImage& image, const QColor& colour) {
    const QColor middle = image.pixelColor(image.width() / 2, image.height() / 2);
    return colour == frontColour ? middle.blue() > 2 * middle.red()
                                 : middle.red() > 2 * middle.blue();
}

} // namespace

TEST(ManifestArtworkTest, PageColumnsCombineIntoOnePagesOption) {
    struct Case {
        QByteArray front, back;
        std::optional<int> frontPage, backPage;
        const char* refused; // the start of the row's failure, or null
    };
    const Case cases[] = {
        {"", "", std::nullopt, std::nullopt, nullptr},
        {"2", "", 2, std::nullopt, nullptr},
        {"2", "1", 2, 1, nullptr},
        {"", "3", 1, 3, nullptr},
        {" 4 ", " 5 ", 4, 5, nullptr},
        {"0", "", std::nullopt, std::nullopt, "Line 2 of the manifest: --pages"},
        {"1", "two", std::nullopt, std::nullopt, "Line 2 of the manifest: --pages"},
        {"", "1,2", std::nullopt, std::nullopt, "Line 2 of the manifest: --pages"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.front.toStdString() + "|" + c.back.toStdString());
        QString failure;
        const CommandLine::ExportSettings csv = readRow(
            "input,front_page,back_page\na.pdf,\"" + c.front + "\",\"" + c.back + "\"\n", &failure);
        if (c.refused) {
            EXPECT_TRUE(failure.startsWith(QLatin1String(c.refused))) << failure.toStdString();
            continue;
        }
        EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
        EXPECT_EQ(csv.frontPage, c.frontPage);
        EXPECT_EQ(csv.backPage, c.backPage);
        // JSON numbers mean the same as CSV text.
        QByteArray json = "{\"input\": \"a.pdf\"";
        if (!c.front.trimmed().isEmpty())
            json += ", \"front_page\": " + c.front.trimmed();
        if (!c.back.trimmed().isEmpty())
            json += ", \"back_page\": " + c.back.trimmed();
        const CommandLine::ExportSettings object = readRow(json + "}\n", &failure);
        EXPECT_EQ(object.frontPage, c.frontPage);
        EXPECT_EQ(object.backPage, c.backPage);
    }
}

TEST(ManifestArtworkTest, PaperColumnsReadAsTheirOptions) {
    QString failure;
    const CommandLine::ExportSettings given =
        readRow("input,bleed,back_turn,sheet_size\na.pdf,3mm,tumble,Letter\n", &failure);
    EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
    EXPECT_NEAR(given.bleedPoints, 3 * 72 / 25.4, 1e-9);
    EXPECT_EQ(given.backTurn, PaperLook::BackTurn::tumble);
    EXPECT_EQ(given.sheetPoints, QSizeF(612, 792));

    const QList<QPair<QByteArray, const char*>> refused = {
        {"input,bleed\na.pdf,3\n", "--bleed"},
        {"input,bleed\na.pdf,2in\n", "--bleed"},
        {"input,back_turn\na.pdf,sideways\n", "--back-turn"},
        {"input,sheet_size\na.pdf,B7\n", "--sheet-size"},
    };
    for (const auto& [manifest, option] : refused) {
        readRow(manifest, &failure);
        EXPECT_TRUE(failure.startsWith(QStringLiteral("Line 2 of the manifest: ") + option))
            << failure.toStdString();
    }
}

// The binary draws each row's front page, and refuses a page the PDF does not have.
TEST(ManifestArtworkTest, EachRowExportsTheFrontPageItNames) {
    QTemporaryDir folder;
    QFile pdf(folder.filePath(QStringLiteral("two.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
    pdf.write(twoPagePdf());
    pdf.close();
    struct Case {
        const char* row;             // output,front_page,back_page,bleed,back_turn,sheet_size
        std::optional<QColor> front; // none: the row fails
    };
    const Case cases[] = {
        {"plain.png,,,,,", frontColour},
        {"second.png,2,,,,", secondColour},
        {"swapped.png,2,1,,,", secondColour},
        {"back-alone.png,,2,,,", frontColour},
        {"dressed.png,2,,3mm,book,A4", secondColour},
        {"no-third.png,3,,,,", std::nullopt},
        {"no-third-back.png,1,3,,,", std::nullopt},
    };
    QByteArray manifest = "input,output,front_page,back_page,bleed,back_turn,sheet_size\n";
    for (const Case& c : cases)
        manifest += "two.pdf," + QByteArray(c.row) + "\n";
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder.path());
    process.start(QStringLiteral(PLEATORA_BINARY), {QStringLiteral("--manifest=-")});
    process.write(manifest);
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(120000));
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    EXPECT_EQ(process.exitCode(), 1) << errors.toStdString();
    for (const Case& c : cases) {
        const QString output = QString::fromLatin1(c.row).section(u',', 0, 0);
        SCOPED_TRACE(output.toStdString());
        const QImage image(folder.filePath(output));
        EXPECT_EQ(image.isNull(), !c.front);
        if (c.front) {
            EXPECT_TRUE(showsColour(image, *c.front));
        }
    }
    EXPECT_EQ(errors.count(QStringLiteral("no page 3")), 2) << errors.toStdString();
}
