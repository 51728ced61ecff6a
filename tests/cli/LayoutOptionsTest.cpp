// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Layouts asked for without a window: --layout and --horizontal, the hand-over message that
// carries them to a running instance, and the layout columns of a manifest.
#include "app/HandoverMessage.h"
#include "cli/CommandLine.h"
#include "cli/ExportRecipe.h"
#include "cli/Manifest.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>

#include <gtest/gtest.h>

namespace {

using Axis = FoldLayout::Axis;

CommandLine parsed(const QStringList& arguments) {
    return CommandLine::parse(QStringList{QStringLiteral("pleatora")} + arguments);
}

struct ProcessRun {
    int exitCode = -1;
    QString err;
};

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

QList<ExportPlan::Item> manifestItems(const QByteArray& text,
                                      const std::optional<FoldLayout>& layout) {
    QBuffer buffer;
    buffer.setData(text);
    EXPECT_TRUE(buffer.open(QIODevice::ReadOnly));
    CommandLine::ExportSettings defaults;
    defaults.outputDirectory = QStringLiteral("/tmp");
    defaults.layout = layout;
    QString failure;
    const QList<ExportPlan::Item> items = Manifest::read(buffer, defaults, &failure);
    EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
    return items;
}

} // namespace

TEST(LayoutOptionsTest, EveryPresetIsTakenByNameOnEitherAxisForOpeningAndExporting) {
    for (const Axis axis : {Axis::vertical, Axis::horizontal}) {
        for (const FoldLayout& layout : FoldLayout::presets(axis)) {
            QStringList arguments{QStringLiteral("--layout"),
                                  QString::fromStdString(layout.name())};
            if (axis == Axis::horizontal)
                arguments.append(QStringLiteral("--horizontal"));
            const CommandLine open = parsed(arguments + QStringList{QStringLiteral("a.png")});
            EXPECT_EQ(open.mode, CommandLine::Mode::Open) << open.failure.toStdString();
            EXPECT_EQ(open.layout, layout);
            const CommandLine exported =
                parsed(arguments +
                       QStringList{QStringLiteral("--export-dir=/tmp"), QStringLiteral("a.png")});
            EXPECT_EQ(exported.mode, CommandLine::Mode::Export) << exported.failure.toStdString();
            EXPECT_EQ(exported.exportSettings.layout, layout);
        }
    }
    EXPECT_EQ(parsed({QStringLiteral("--layout=accordion-3")}).layout, FoldLayout::accordion(3));
    const CommandLine plain = parsed({QStringLiteral("a.png")});
    EXPECT_FALSE(plain.layout);
    EXPECT_FALSE(plain.exportSettings.layout);
}

TEST(LayoutOptionsTest, BadNamesAndAHorizontalWithoutALayoutAreMistakesThatExitTwo) {
    for (const QString& name : {QStringLiteral("accordion-13"), QStringLiteral("accordion-1"),
                                QStringLiteral("Two-Tents"), QStringLiteral("")}) {
        const CommandLine bad = parsed({QStringLiteral("--layout"), name, QStringLiteral("a.png")});
        EXPECT_EQ(bad.mode, CommandLine::Mode::Error) << name.toStdString();
        EXPECT_TRUE(bad.failure.contains(QStringLiteral("two-tents, tent, card, z-fold, "
                                                        "accordion-4,")))
            << bad.failure.toStdString();
        EXPECT_TRUE(bad.failure.contains(QStringLiteral("accordion-12")));
    }
    const CommandLine alone = parsed({QStringLiteral("--horizontal"), QStringLiteral("a.png")});
    EXPECT_EQ(alone.mode, CommandLine::Mode::Error);
    EXPECT_TRUE(alone.failure.contains(QStringLiteral("--horizontal needs --layout")));

    const ProcessRun badName = run({QStringLiteral("--layout=fan"), QStringLiteral("a.png")});
    EXPECT_EQ(badName.exitCode, 2);
    EXPECT_TRUE(badName.err.contains(QStringLiteral("not 'fan'"))) << badName.err.toStdString();
    EXPECT_TRUE(badName.err.contains(QStringLiteral("accordion-12")));
    const ProcessRun exportBadName =
        run({QStringLiteral("--export=/tmp/x.png"), QStringLiteral("--layout=tents"),
             QStringLiteral("a.png")});
    EXPECT_EQ(exportBadName.exitCode, 2);
}

TEST(LayoutOptionsTest, ExportsFoldInTheLayoutAndRefuseAFoldFileOfAnother) {
    QTemporaryDir folder;
    const QString output = folder.filePath(QStringLiteral("strip.png"));
    const ProcessRun written =
        run({QStringLiteral("--export"), output, QStringLiteral("--layout=accordion-5"),
             QStringLiteral("--horizontal"), QStringLiteral("--pitch=10"),
             QStringLiteral(PLEATORA_SAMPLE_PICTURE)});
    EXPECT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_TRUE(QFile::exists(output));

    // The sample fold is the classic's, a version 1 file.
    const QString refused = folder.filePath(QStringLiteral("refused.png"));
    const ProcessRun clash =
        run({QStringLiteral("--export"), refused, QStringLiteral("--layout=tent"),
             QStringLiteral("--fold"), QStringLiteral(PLEATORA_SAMPLE_FOLD),
             QStringLiteral(PLEATORA_SAMPLE_PICTURE)});
    EXPECT_EQ(clash.exitCode, 2);
    EXPECT_TRUE(clash.err.contains(QStringLiteral("--layout tent")));
    EXPECT_TRUE(clash.err.contains(QStringLiteral("(two-tents)"))) << clash.err.toStdString();
    EXPECT_FALSE(QFile::exists(refused));
    const ProcessRun same =
        run({QStringLiteral("--export"), refused, QStringLiteral("--layout=two-tents"),
             QStringLiteral("--fold"), QStringLiteral(PLEATORA_SAMPLE_FOLD),
             QStringLiteral(PLEATORA_SAMPLE_PICTURE)});
    EXPECT_EQ(same.exitCode, 0) << same.err.toStdString();
}

// An export is sized by its layout's window, which for horizontal creases is taller than the
// classic's: 16384 pixels wide, a square picture's classic export keeps within the largest side
// and its twelve-panel strip goes past it, refused before the picture is decoded; a narrower
// export decodes the picture for the layout's wider window.
TEST(LayoutOptionsTest, AnExportIsJudgedByItsLayoutsOwnWindow) {
    QTemporaryDir folder;
    const QString picturePath = folder.filePath(QStringLiteral("square.png"));
    QImage square(800, 800, QImage::Format_RGB32);
    square.fill(Qt::darkCyan);
    ASSERT_TRUE(square.save(picturePath));
    const QString output = folder.filePath(QStringLiteral("strip.png"));
    const QStringList arguments = {QStringLiteral("--export"),
                                   output,
                                   QStringLiteral("--layout=accordion-12"),
                                   QStringLiteral("--horizontal"),
                                   QStringLiteral("--width=16384"),
                                   picturePath};
    CommandLine line = parsed(arguments);
    ASSERT_EQ(line.mode, CommandLine::Mode::Export) << line.failure.toStdString();
    const FoldLayout strip = *line.exportSettings.layout;
    const std::optional<ExportFormat> png = ExportWriter::formatForFileName(output);
    const ExportRecipe::Defaults defaults;
    const ExportRecipe classic(line.exportSettings, defaults, png);
    const ExportRecipe folded(line.exportSettings, defaults, png, strip);
    const QSize pixels = square.size();
    const SizingPlan plan = folded.plan(pixels);
    const FoldSize sheet = plan.sheet();
    const FoldSize room = SheetSizing::windowSize(sheet, strip);
    EXPECT_EQ(plan.windowPoints(), QSize(int(room.width), int(room.height)));
    EXPECT_EQ(plan.exportPixels(folded.options()), folded.options().pixelSize(plan.windowPoints()));
    EXPECT_TRUE(ExportWriter::canWrite(QFile::encodeName(output),
                                       classic.plan(pixels).exportPixels(classic.options()), *png));
    QString failure;
    EXPECT_FALSE(ExportWriter::canWrite(QFile::encodeName(output),
                                        plan.exportPixels(folded.options()), *png, &failure));

    const ProcessRun refused = run(arguments);
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_TRUE(refused.err.contains(failure)) << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(output));

    line.exportSettings.width = 2000;
    const ExportRecipe narrow(line.exportSettings, defaults, png, strip);
    const double perPoint = 2000.0 / narrow.plan(pixels).windowPoints().width();
    const QSize decoded = narrow.plan(pixels).exportDecodePixels(narrow.options());
    EXPECT_EQ(decoded, QSize(int(std::ceil(sheet.width * perPoint)),
                             int(std::ceil(sheet.height * perPoint))));
    const ExportRecipe classicNarrow(line.exportSettings, defaults, png);
    EXPECT_LT(decoded.width(),
              classicNarrow.plan(pixels).exportDecodePixels(classicNarrow.options()).width());
}

// An animation folds in any layout: from the flat sheet to the flat Z-fold tilted, here.
TEST(LayoutOptionsTest, AnimationsFoldInTheLayoutToo) {
    QTemporaryDir folder;
    const QString output = folder.filePath(QStringLiteral("z-fold.gif"));
    const ProcessRun written = run(
        {QStringLiteral("--animate"), output, QStringLiteral("--layout=z-fold"),
         QStringLiteral("--horizontal"), QStringLiteral("--tilt-from=-20"),
         QStringLiteral("--pitch=20"), QStringLiteral("--duration=0.5"), QStringLiteral("--fps=10"),
         QStringLiteral("--width=160"), QStringLiteral(PLEATORA_SAMPLE_PICTURE)});
    EXPECT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_GT(QFileInfo(output).size(), 0);
}

TEST(LayoutOptionsTest, HandOverCarriesTheLayoutAndStillReadsMessagesWithout) {
    const QList<QByteArray> paths{"/pictures/a b.png", "/pictures/caf\xe9.jpg"};
    const HandoverMessage::Parsed plain = HandoverMessage::parse(HandoverMessage::encode(paths));
    EXPECT_EQ(plain.status, HandoverMessage::Status::Complete);
    EXPECT_EQ(plain.paths, paths);
    EXPECT_FALSE(plain.layout);

    for (const FoldLayout& layout :
         {FoldLayout::accordion(12, Axis::horizontal), FoldLayout::tent(), FoldLayout()}) {
        const QByteArray bytes = HandoverMessage::encode(paths, layout);
        const HandoverMessage::Parsed parsed = HandoverMessage::parse(bytes);
        EXPECT_EQ(parsed.status, HandoverMessage::Status::Complete);
        EXPECT_EQ(parsed.paths, paths);
        EXPECT_EQ(parsed.layout, layout);
        // Any piece short of the whole message waits for more.
        for (qsizetype size = 0; size < bytes.size(); ++size)
            EXPECT_EQ(HandoverMessage::parse(bytes.left(size)).status,
                      HandoverMessage::Status::Incomplete)
                << size;
    }

    // What an older Pleatora sends: version 1, the paths only.
    QByteArray older("PLTR\x01", 5);
    for (const quint32 number : {quint32(1), quint32(6)}) {
        const quint32 bigEndian = qToBigEndian(number);
        older.append(reinterpret_cast<const char*>(&bigEndian), 4);
    }
    older.append("/a.png");
    EXPECT_EQ(HandoverMessage::parse(older).paths, QList<QByteArray>{"/a.png"});
}

TEST(LayoutOptionsTest, HandOverMessagesWithAnUnknownLayoutAreRefused) {
    QByteArray message = HandoverMessage::encode({"/a.png"}, FoldLayout::tent());
    const QByteArray known("tent vertical");
    for (const QByteArray& unknown :
         {QByteArray("fans vertical"), QByteArray("tent diagonal"), QByteArray("tent-vertical")}) {
        QByteArray changed = message;
        changed.replace(known, unknown);
        ASSERT_NE(changed, message);
        EXPECT_EQ(HandoverMessage::parse(changed).status, HandoverMessage::Status::Invalid)
            << unknown.constData();
    }
    QByteArray tooLong = message.left(5);
    const quint32 length = qToBigEndian(quint32(1000));
    tooLong.append(reinterpret_cast<const char*>(&length), 4);
    EXPECT_EQ(HandoverMessage::parse(tooLong).status, HandoverMessage::Status::Invalid);
}

TEST(LayoutOptionsTest, ManifestRowsNameTheirLayoutAndAxisOverTheCommandLine) {
    const QList<ExportPlan::Item> csv = manifestItems("input,layout,horizontal\n"
                                                      "a.png,z-fold,\n"
                                                      "b.png,accordion-12,yes\n"
                                                      "c.png,,yes\n"
                                                      "d.png,,\n"
                                                      "e.png,fan,\n"
                                                      "f.png,tent,sideways\n",
                                                      FoldLayout::tent());
    ASSERT_EQ(csv.size(), 6);
    EXPECT_EQ(csv[0].settings.layout, FoldLayout::accordion(3));
    EXPECT_EQ(csv[1].settings.layout, FoldLayout::accordion(12, Axis::horizontal));
    EXPECT_EQ(csv[2].settings.layout, FoldLayout::tent(Axis::horizontal));
    EXPECT_EQ(csv[3].settings.layout, FoldLayout::tent());
    EXPECT_TRUE(csv[4].failure.contains(QStringLiteral("Line 6 of the manifest: --layout")))
        << csv[4].failure.toStdString();
    EXPECT_TRUE(csv[5].failure.contains(QStringLiteral("horizontal wants yes or no")));

    const QList<ExportPlan::Item> json =
        manifestItems("{\"input\": \"a.png\", \"layout\": \"card\", \"horizontal\": true}\n"
                      "{\"input\": \"b.png\", \"horizontal\": false}\n"
                      "{\"input\": \"c.png\", \"horizontal\": true}\n"
                      "{\"input\": \"d.png\"}\n",
                      FoldLayout::accordion(5, Axis::horizontal));
    ASSERT_EQ(json.size(), 4);
    EXPECT_EQ(json[0].settings.layout, FoldLayout::accordion(2, Axis::horizontal));
    EXPECT_EQ(json[1].settings.layout, FoldLayout::accordion(5));
    EXPECT_EQ(json[2].settings.layout, FoldLayout::accordion(5, Axis::horizontal));
    EXPECT_EQ(json[3].settings.layout, FoldLayout::accordion(5, Axis::horizontal));

    // Without a layout on the command line, a row's horizontal needs its own.
    const QList<ExportPlan::Item> alone =
        manifestItems("input,horizontal\na.png,yes\nb.png,no\n", std::nullopt);
    ASSERT_EQ(alone.size(), 2);
    EXPECT_TRUE(alone[0].failure.contains(QStringLiteral("--horizontal needs --layout")));
    EXPECT_TRUE(alone[1].failure.isEmpty());
    EXPECT_FALSE(alone[1].settings.layout);
}
