// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLine.h"
#include "cli/ExportRecipe.h"
#include "cli/Manifest.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <optional>

namespace {

CommandLine parsed(const QStringList& arguments) {
    return CommandLine::parse(QStringList{QStringLiteral("pleatora")} + arguments);
}

struct ProcessRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// The real binary, with no display to lean on.
ProcessRun run(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(PLEATORA_BINARY), arguments);
    EXPECT_TRUE(process.waitForFinished(10000));
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

TEST(CommandLineTest, HelpAndVersionGoToStandardOutputWithoutADisplay) {
    for (const QString& option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const ProcessRun help = run({option});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.out.contains(QStringLiteral("--export-dir <DIR>")));
        EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();
    }
    const ProcessRun version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("pleatora %1\n").arg(QStringLiteral(PLEATORA_VERSION)));
}

TEST(CommandLineTest, MistakesSayWhatIsWrongOnStandardErrorAndExitTwo) {
    const QList<QStringList> mistakes = {
        {QStringLiteral("--frobnicate")},
        {QStringLiteral("--export"), QStringLiteral("out.png"), QStringLiteral("--scale"),
         QStringLiteral("two"), QStringLiteral("in.png")},
        {QStringLiteral("--no-lines"), QStringLiteral("in.png")},
    };
    for (const QStringList& arguments : mistakes) {
        const ProcessRun mistake = run(arguments);
        EXPECT_EQ(mistake.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(mistake.out.isEmpty());
        const QStringList lines = mistake.err.split(u'\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 2) << mistake.err.toStdString();
        EXPECT_TRUE(lines[0].startsWith(QStringLiteral("pleatora: ")));
        EXPECT_TRUE(lines[1].contains(QStringLiteral("Try 'pleatora --help'")));
    }
}

TEST(CommandLineTest, ExportNeedsItsPicturesAndOneKindOfOutput) {
    EXPECT_EQ(parsed({QStringLiteral("a.png"), QStringLiteral("b.png")}).mode,
              CommandLine::Mode::Open);
    EXPECT_EQ(parsed({QStringLiteral("--export"), QStringLiteral("o.png")}).mode,
              CommandLine::Mode::Error);
    EXPECT_EQ(parsed({QStringLiteral("--export"), QStringLiteral("o.png"), QStringLiteral("a.png"),
                      QStringLiteral("b.png")})
                  .mode,
              CommandLine::Mode::Error);
    EXPECT_EQ(parsed({QStringLiteral("--export"), QStringLiteral("o.png"),
                      QStringLiteral("--export-dir"), QStringLiteral("d"), QStringLiteral("a.png")})
                  .mode,
              CommandLine::Mode::Error);
    const CommandLine many = parsed({QStringLiteral("--export-dir"), QStringLiteral("out"),
                                     QStringLiteral("a.png"), QStringLiteral("b.jpg")});
    EXPECT_EQ(many.mode, CommandLine::Mode::Export);
    EXPECT_EQ(many.exportSettings.outputDirectory, QStringLiteral("out"));
    EXPECT_EQ(many.pictures, (QStringList{QStringLiteral("a.png"), QStringLiteral("b.jpg")}));
}

TEST(CommandLineTest, ValuesAreCheckedAndKept) {
    const CommandLine line = parsed(
        {QStringLiteral("--export"), QStringLiteral("o.tif"), QStringLiteral("--width=3000"),
         QStringLiteral("--pitch=-15"), QStringLiteral("--no-shadow"), QStringLiteral("--lines"),
         QStringLiteral("--background=#336699"), QStringLiteral("--format=TIFF"),
         QStringLiteral("--overwrite"), QStringLiteral("--screen-height=2160"),
         QStringLiteral("--shading=40"), QStringLiteral("a.png")});
    ASSERT_EQ(line.mode, CommandLine::Mode::Export) << line.failure.toStdString();
    const CommandLine::ExportSettings& settings = line.exportSettings;
    EXPECT_EQ(settings.width, 3000);
    EXPECT_FALSE(settings.scale);
    EXPECT_EQ(settings.pitch, -15.0);
    EXPECT_EQ(settings.shadow, false);
    EXPECT_EQ(settings.lines, true);
    EXPECT_EQ(settings.background, QColor(0x33, 0x66, 0x99));
    EXPECT_EQ(settings.format, QStringLiteral("tiff"));
    EXPECT_TRUE(settings.overwrite);
    EXPECT_EQ(settings.screenHeight, 2160);
    EXPECT_EQ(settings.shading, 40);

    const QStringList exportOne = {QStringLiteral("--export"), QStringLiteral("o.png"),
                                   QStringLiteral("a.png")};
    for (const QStringList& bad :
         QList<QStringList>{{QStringLiteral("--scale=2"), QStringLiteral("--width=100")},
                            {QStringLiteral("--pitch=61")},
                            {QStringLiteral("--shadow"), QStringLiteral("--no-shadow")},
                            {QStringLiteral("--background=nocolour")},
                            {QStringLiteral("--format=gif")},
                            {QStringLiteral("--shading=101")}}) {
        const CommandLine line = parsed(bad + exportOne);
        EXPECT_EQ(line.mode, CommandLine::Mode::Error) << bad.join(u' ').toStdString();
        EXPECT_FALSE(line.failure.isEmpty());
    }
}

// The paper's options reach the recipe over the preferences' look; what is not given keeps it.
TEST(CommandLineTest, PaperOptionsAreCheckedAndOverrideThePreferencesLook) {
    const QStringList exportOne = {QStringLiteral("--export"), QStringLiteral("o.png"),
                                   QStringLiteral("a.png")};
    const CommandLine line =
        parsed(QStringList{QStringLiteral("--back=back.jpg"), QStringLiteral("--back-colour=ivory"),
                           QStringLiteral("--grain=30"), QStringLiteral("--crease-shading=100"),
                           QStringLiteral("--gloss=0")} +
               exportOne);
    ASSERT_EQ(line.mode, CommandLine::Mode::Export) << line.failure.toStdString();
    ExportRecipe::Defaults defaults;
    defaults.paper.grain = 0.5f;
    defaults.paper.gloss = 0.8f;
    defaults.paper.creaseShading = 0.1f;
    const ExportRecipe recipe(line.exportSettings, defaults,
                              ExportWriter::formatForFileName(QStringLiteral("o.png")));
    EXPECT_EQ(recipe.paperLook().back, PaperLook::Back::picture);
    EXPECT_EQ(recipe.backPictureFile(), QStringLiteral("back.jpg"));
    EXPECT_EQ(recipe.paperLook().backColour, QColor(QStringLiteral("ivory")));
    EXPECT_FLOAT_EQ(recipe.paperLook().grain, 0.3f);
    EXPECT_FLOAT_EQ(recipe.paperLook().creaseShading, 1.0f);
    EXPECT_FLOAT_EQ(recipe.paperLook().gloss, 0.0f);

    defaults.paper.back = PaperLook::Back::paper;
    defaults.paper.backColour = QColor(0x10, 0x20, 0x30);
    const ExportRecipe keeps(parsed(exportOne).exportSettings, defaults,
                             ExportWriter::formatForFileName(QStringLiteral("o.png")));
    EXPECT_EQ(keeps.paperLook(), defaults.paper);
    EXPECT_TRUE(keeps.backPictureFile().isEmpty());
    const ExportRecipe same(
        parsed(QStringList{QStringLiteral("--back=same")} + exportOne).exportSettings, defaults,
        ExportWriter::formatForFileName(QStringLiteral("o.png")));
    EXPECT_EQ(same.paperLook().back, PaperLook::Back::same);
    EXPECT_EQ(parsed(QStringList{QStringLiteral("--back=paper"),
                                 QStringLiteral("--back-colour=#336699")} +
                     exportOne)
                  .exportSettings.backColour,
              QColor(0x33, 0x66, 0x99));

    for (const QStringList& bad : QList<QStringList>{{QStringLiteral("--grain=101")},
                                                     {QStringLiteral("--grain=-1")},
                                                     {QStringLiteral("--crease-shading=lots")},
                                                     {QStringLiteral("--gloss=1e3")},
                                                     {QStringLiteral("--back-colour=nocolour")},
                                                     {QStringLiteral("--back-colour=transparent")},
                                                     {QStringLiteral("--back=")}}) {
        const CommandLine line = parsed(bad + exportOne);
        EXPECT_EQ(line.mode, CommandLine::Mode::Error) << bad.join(u' ').toStdString();
        EXPECT_TRUE(line.failure.contains(bad[0].section(u'=', 0, 0)))
            << line.failure.toStdString();
    }
    // Without an export they are out of place, as every look option is.
    EXPECT_EQ(parsed({QStringLiteral("--gloss=50"), QStringLiteral("a.png")}).mode,
              CommandLine::Mode::Error);
    const ProcessRun bad = run(QStringList{QStringLiteral("--grain=200")} + exportOne);
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("--grain wants a number from 0 to 100")))
        << bad.err.toStdString();
}

TEST(CommandLineTest, ManifestRowsGiveThePapersColumnsOverTheCommandLine) {
    CommandLine::ExportSettings defaults;
    defaults.outputDirectory = QStringLiteral("out");
    defaults.grain = 10;
    defaults.back = QStringLiteral("paper");
    QByteArray csv = "input,back,back_colour,grain,crease_shading,gloss\n"
                     "a.png,b.png,#102030,40,50,60\n"
                     "c.png,,,,,\n"
                     "d.png,same,,120,,\n";
    QBuffer buffer(&csv);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    QString failure;
    const QList<ExportPlan::Item> items = Manifest::read(buffer, defaults, &failure);
    ASSERT_EQ(items.size(), 3) << failure.toStdString();
    const CommandLine::ExportSettings& first = items[0].settings;
    EXPECT_TRUE(items[0].failure.isEmpty()) << items[0].failure.toStdString();
    EXPECT_EQ(first.back, QStringLiteral("b.png"));
    EXPECT_EQ(first.backColour, QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(first.grain, 40);
    EXPECT_EQ(first.creaseShading, 50);
    EXPECT_EQ(first.gloss, 60);
    EXPECT_EQ(items[1].settings.back, QStringLiteral("paper"));
    EXPECT_EQ(items[1].settings.grain, 10);
    EXPECT_FALSE(items[1].settings.gloss);
    EXPECT_TRUE(items[2].failure.contains(QStringLiteral("--grain")))
        << items[2].failure.toStdString();
}

// --yaw takes -60 to 60 degrees, fractions too; a manifest's yaw column is a row's own, and a
// row without one keeps the command line's.
TEST(CommandLineTest, YawIsCheckedAndManifestRowsGiveTheirOwn) {
    const QStringList exportOne = {QStringLiteral("--export"), QStringLiteral("o.png"),
                                   QStringLiteral("a.png")};
    const struct {
        const char* value;
        std::optional<double> yaw; // none: refused
    } cases[] = {{"35", 35.0}, {"-60", -60.0}, {"60", 60.0}, {"0", 0.0}, {"12.5", 12.5},
                 {"60.5", {}}, {"-61", {}},    {"ten", {}},  {"", {}},   {"nan", {}}};
    for (const auto& c : cases) {
        const CommandLine line =
            parsed(QStringList{QStringLiteral("--yaw=%1").arg(QLatin1String(c.value))} + exportOne);
        SCOPED_TRACE(c.value);
        if (c.yaw) {
            ASSERT_EQ(line.mode, CommandLine::Mode::Export) << line.failure.toStdString();
            EXPECT_EQ(line.exportSettings.yaw, c.yaw);
        } else {
            EXPECT_EQ(line.mode, CommandLine::Mode::Error);
            EXPECT_TRUE(line.failure.contains(QStringLiteral("--yaw")))
                << line.failure.toStdString();
        }
    }
    EXPECT_FALSE(parsed(exportOne).exportSettings.yaw);

    CommandLine::ExportSettings defaults;
    defaults.outputDirectory = QStringLiteral("out");
    defaults.yaw = -20;
    QByteArray csv = "input,yaw,pitch\n"
                     "a.png,45,10\n"
                     "b.png,,\n"
                     "c.png,75,\n";
    QBuffer buffer(&csv);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    QString failure;
    const QList<ExportPlan::Item> items = Manifest::read(buffer, defaults, &failure);
    ASSERT_EQ(items.size(), 3) << failure.toStdString();
    EXPECT_TRUE(items[0].failure.isEmpty()) << items[0].failure.toStdString();
    EXPECT_EQ(items[0].settings.yaw, 45.0);
    EXPECT_EQ(items[0].settings.pitch, 10.0);
    EXPECT_EQ(items[1].settings.yaw, -20.0);
    EXPECT_TRUE(items[2].failure.contains(QStringLiteral("--yaw")))
        << items[2].failure.toStdString();
}

TEST(CommandLineTest, RunsOfManyPicturesTakeAManifestOrPicturesNotBoth) {
    const CommandLine listed = parsed(
        {QStringLiteral("--manifest=-"), QStringLiteral("--jobs=3"), QStringLiteral("--shard=2/5"),
         QStringLiteral("--skip-existing"), QStringLiteral("--report=r.jsonl")});
    ASSERT_EQ(listed.mode, CommandLine::Mode::Export) << listed.failure.toStdString();
    EXPECT_EQ(listed.exportSettings.manifest, QStringLiteral("-"));
    EXPECT_EQ(listed.exportSettings.jobs, 3);
    EXPECT_EQ(listed.exportSettings.shardIndex, 2);
    EXPECT_EQ(listed.exportSettings.shardCount, 5);
    EXPECT_TRUE(listed.exportSettings.skipExisting);
    EXPECT_EQ(listed.exportSettings.report, QStringLiteral("r.jsonl"));

    // Animations run on workers and in shards too.
    const CommandLine animated =
        parsed({QStringLiteral("--animate-dir=out"), QStringLiteral("--jobs=2"),
                QStringLiteral("--shard=1/2"), QStringLiteral("--skip-existing"),
                QStringLiteral("a.png")});
    ASSERT_EQ(animated.mode, CommandLine::Mode::Animate) << animated.failure.toStdString();
    EXPECT_EQ(animated.exportSettings.jobs, 2);
    EXPECT_EQ(animated.exportSettings.shardIndex, 1);
    EXPECT_TRUE(animated.exportSettings.skipExisting);

    for (const QStringList& bad : QList<QStringList>{
             {QStringLiteral("--manifest=m.csv"), QStringLiteral("a.png")},
             {QStringLiteral("--manifest=m.csv"), QStringLiteral("--export=o.png")},
             {QStringLiteral("--jobs=2"), QStringLiteral("a.png")},
             {QStringLiteral("--manifest=m.csv"), QStringLiteral("--jobs=1.5")},
             {QStringLiteral("--manifest=m.csv"), QStringLiteral("--shard=-1/2")},
             {QStringLiteral("--manifest=m.csv"), QStringLiteral("--shard=0/0")},
             {QStringLiteral("--manifest=m.csv"), QStringLiteral("--shard=a/b")},
             {QStringLiteral("--manifest=m.csv"), QStringLiteral("--animate-dir=out")}}) {
        const CommandLine line = parsed(bad);
        EXPECT_EQ(line.mode, CommandLine::Mode::Error) << bad.join(u' ').toStdString();
    }
}

// An animation takes the still's look and its own motion; the motion's options need --animate.
TEST(CommandLineTest, AnimationValuesAreKeptAndNeedAnAnimation) {
    const CommandLine line =
        parsed({QStringLiteral("--animate-dir"), QStringLiteral("out"),
                QStringLiteral("--from=a.pleatfold"), QStringLiteral("--fold=b.pleatfold"),
                QStringLiteral("--loop"), QStringLiteral("--tilt-from=-20"),
                QStringLiteral("--duration=4.5"), QStringLiteral("--fps=24"),
                QStringLiteral("--no-ease"), QStringLiteral("--format=WEBM"),
                QStringLiteral("--no-shadow"), QStringLiteral("a.png"), QStringLiteral("b.png")});
    ASSERT_EQ(line.mode, CommandLine::Mode::Animate) << line.failure.toStdString();
    const CommandLine::MotionSettings& motion = line.exportSettings.motion;
    EXPECT_EQ(line.exportSettings.outputDirectory, QStringLiteral("out"));
    EXPECT_EQ(line.exportSettings.foldFile, QStringLiteral("b.pleatfold"));
    EXPECT_EQ(line.exportSettings.format, QStringLiteral("webm"));
    EXPECT_EQ(line.exportSettings.shadow, false);
    EXPECT_EQ(motion.startFoldFile, QStringLiteral("a.pleatfold"));
    EXPECT_TRUE(motion.loop);
    EXPECT_EQ(motion.tiltFrom, -20.0);
    EXPECT_EQ(motion.duration, 4.5);
    EXPECT_EQ(motion.framesPerSecond, 24);
    EXPECT_FALSE(motion.ease);

    const CommandLine defaults =
        parsed({QStringLiteral("--animate"), QStringLiteral("o.gif"), QStringLiteral("a.png")});
    ASSERT_EQ(defaults.mode, CommandLine::Mode::Animate) << defaults.failure.toStdString();
    EXPECT_EQ(defaults.exportSettings.motion.duration, 3.0);
    EXPECT_EQ(defaults.exportSettings.motion.framesPerSecond, 30);
    EXPECT_TRUE(defaults.exportSettings.motion.ease);
    EXPECT_FALSE(defaults.exportSettings.motion.loop);

    for (const QStringList& bad : QList<QStringList>{
             {QStringLiteral("--animate"), QStringLiteral("o.mp4"), QStringLiteral("a.png"),
              QStringLiteral("b.png")},
             {QStringLiteral("--animate"), QStringLiteral("o.mp4"), QStringLiteral("--export"),
              QStringLiteral("o.png"), QStringLiteral("a.png")},
             {QStringLiteral("--animate-dir"), QStringLiteral("out"),
              QStringLiteral("--format=pdf"), QStringLiteral("a.png")},
             {QStringLiteral("--animate-dir"), QStringLiteral("out"),
              QStringLiteral("--format=gif"), QStringLiteral("--fps=51"), QStringLiteral("a.png")},
             {QStringLiteral("--fps=20"), QStringLiteral("a.png")},
             {QStringLiteral("--export"), QStringLiteral("o.png"), QStringLiteral("--from=a"),
              QStringLiteral("a.png")}}) {
        const CommandLine line = parsed(bad);
        EXPECT_EQ(line.mode, CommandLine::Mode::Error) << bad.join(u' ').toStdString();
        EXPECT_FALSE(line.failure.isEmpty());
    }
}

// A sweep takes 0 to 120 degrees, only for an animation, and sizes its frames as a turned still.
TEST(CommandLineTest, SweepIsCheckedNeedsAnAnimationAndTurnsTheWindow) {
    const QStringList animateOne = {QStringLiteral("--animate"), QStringLiteral("o.gif"),
                                    QStringLiteral("a.png")};
    const struct {
        const char* value;
        std::optional<double> sweep; // none: refused
    } cases[] = {{"40", 40.0}, {"0", 0.0},  {"120", 120.0}, {"7.5", 7.5},
                 {"121", {}},  {"-10", {}}, {"wide", {}},   {"", {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const CommandLine line = parsed(
            QStringList{QStringLiteral("--sweep=%1").arg(QLatin1String(c.value))} + animateOne);
        if (c.sweep) {
            ASSERT_EQ(line.mode, CommandLine::Mode::Animate) << line.failure.toStdString();
            EXPECT_EQ(line.exportSettings.motion.sweep, *c.sweep);
        } else {
            EXPECT_EQ(line.mode, CommandLine::Mode::Error);
            EXPECT_TRUE(line.failure.contains(QStringLiteral("--sweep")))
                << line.failure.toStdString();
        }
    }
    EXPECT_EQ(parsed(animateOne).exportSettings.motion.sweep, 0.0);
    const CommandLine still = parsed({QStringLiteral("--export"), QStringLiteral("o.png"),
                                      QStringLiteral("--sweep=20"), QStringLiteral("a.png")});
    EXPECT_EQ(still.mode, CommandLine::Mode::Error);
    EXPECT_TRUE(still.failure.contains(QStringLiteral("--animate"))) << still.failure.toStdString();

    const auto windowOf = [&](const QStringList& options) {
        const CommandLine line = parsed(options + animateOne);
        return ExportRecipe(line.exportSettings, {}, std::nullopt)
            .plan(QSize(640, 480))
            .windowPoints();
    };
    const QSize turned = windowOf({QStringLiteral("--yaw=30")});
    EXPECT_NE(windowOf({}), turned);
    EXPECT_EQ(windowOf({QStringLiteral("--sweep=30")}), turned);
}

// A fold file that is a FIFO would block the reading for good; it is refused at once, in the one
// line an error gets even where Qt would warn that XDG_RUNTIME_DIR is not set.
TEST(CommandLineTest, AFifoGivenAsTheFoldIsRefusedAtOnceInOneLine) {
    const QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fold.pleatfold"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const ProcessRun export_ =
        run({QStringLiteral("--export"), dir.filePath(QStringLiteral("o.png")),
             QStringLiteral("--fold"), fifo, QStringLiteral(PLEATORA_SAMPLE_PICTURE)});
    EXPECT_EQ(export_.exitCode, 1);
    EXPECT_EQ(export_.err,
              QStringLiteral("pleatora: “fold.pleatfold” is not a fold Pleatora can use: it is not "
                             "a regular file.\n"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("o.png"))));
}

// The shell hands over names that are not UTF-8 and names with a newline; the export keeps the
// bytes of both the picture's name and the output's, and a failure shows the name escaped.
TEST(CommandLineTest, NamesKeepTheirBytesAndShowEscaped) {
    const QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    ASSERT_TRUE(QFile::copy(QStringLiteral(PLEATORA_SAMPLE_PICTURE),
                            QFile::decodeName(folder + "/sample.png")));
    ASSERT_EQ(::rename((folder + "/sample.png").constData(), (folder + "/pic\xff.png").constData()),
              0);
    const QString script = QStringLiteral(
        "cd \"$2\" && \"$1\" --export \"$(printf 'out\\377.png')\" \"$(printf 'pic\\377.png')\" "
        "2>/dev/null && \"$1\" --export o.png \"$(printf 'gone\\n\\376.png')\"");
    QProcess shell;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    shell.setProcessEnvironment(environment);
    shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script, QStringLiteral("sh"),
                                            QStringLiteral(PLEATORA_BINARY), dir.path()});
    ASSERT_TRUE(shell.waitForFinished(30000));
    EXPECT_EQ(shell.exitCode(), 1);
    struct stat status {};
    EXPECT_EQ(::stat((folder + "/out\xff.png").constData(), &status), 0);
    EXPECT_EQ(
        QString::fromUtf8(shell.readAllStandardError()),
        QStringLiteral("pleatora: gone\\n\\xfe.png: Unreadable (No such file or directory)\n"));
    // QTemporaryDir cannot name these to remove them.
    for (const char* name : {"/out\xff.png", "/pic\xff.png"})
        ::unlink((folder + name).constData());
}

// Each mistake is one line that says what was wanted, with exit code 2: whole numbers refuse a
// fraction whatever its size, the back's colour must be opaque however it is spelled, and an
// option's value is given once.
TEST(CommandLineTest, FractionsSeeThroughColoursAndRepeatedValuesAreMistakes) {
    const std::pair<QStringList, QString> mistakes[] = {
        {{"--width=100.9"}, "--width wants a whole number from 16 to 16384, not '100.9'."},
        {{"--width=15.99"}, "--width wants a number from 16 to 16384, not '15.99'."},
        {{"--screen-height=1080.5"},
         "--screen-height wants a whole number from 100 to 100000, not '1080.5'."},
        {{"--shading=40.5"}, "--shading wants a whole number from 0 to 100, not '40.5'."},
        {{"--shadow-opacity=0.1"},
         "--shadow-opacity wants a whole number from 0 to 100, not '0.1'."},
        {{"--grain=40.5"}, "--grain wants a whole number from 0 to 100, not '40.5'."},
        {{"--crease-shading=99.9"},
         "--crease-shading wants a whole number from 0 to 100, not '99.9'."},
        {{"--gloss=1e-3"}, "--gloss wants a whole number from 0 to 100, not '1e-3'."},
        {{"--scale=2.5"}, "--scale wants a whole number from 1 to 8, not '2.5'."},
        {{"--jobs=1.5"}, "--jobs wants a whole number from 1 to 256, not '1.5'."},
        {{"--back-colour=Transparent"},
         "--back-colour wants #rrggbb or a colour name, not 'Transparent'."},
        {{"--back-colour=TRANSPARENT"},
         "--back-colour wants #rrggbb or a colour name, not 'TRANSPARENT'."},
        {{"--back-colour=#00ff0000"},
         "--back-colour wants #rrggbb or a colour name, not '#00ff0000'."},
        {{"--back-colour=#fe123456"},
         "--back-colour wants #rrggbb or a colour name, not '#fe123456'."},
        {{"--background=#00ff0000"},
         "--background wants transparent, #rrggbb or a colour name, not '#00ff0000'."},
        {{"--background=#fe123456"},
         "--background wants transparent, #rrggbb or a colour name, not '#fe123456'."},
        {{"--layout=tent", "--layout=card"}, "--layout can be given only once."},
        {{"--layout=tent", "--layout=tent"}, "--layout can be given only once."},
        {{"--width=100", "--width=200"}, "--width can be given only once."},
        {{"--back=paper", "--back=same"}, "--back can be given only once."},
        {{""}, "A picture's name is empty."},
    };
    const QTemporaryDir dir;
    const QStringList exportOne = {QStringLiteral("--export"), dir.filePath("o.png"),
                                   QStringLiteral(PLEATORA_SAMPLE_PICTURE)};
    for (const auto& [options, message] : mistakes) {
        const ProcessRun mistake = run(options + exportOne);
        EXPECT_EQ(mistake.exitCode, 2) << options.join(u' ').toStdString();
        EXPECT_TRUE(mistake.err.startsWith(QStringLiteral("pleatora: %1\n").arg(message)))
            << mistake.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("o.png")));

    // Whole numbers written otherwise, and opaque colours however spelled, are taken.
    const CommandLine taken = parsed(
        {"--width=100.0", "--grain=4e1", "--back-colour=#ff336699", "--export", "o.png", "a.png"});
    ASSERT_EQ(taken.mode, CommandLine::Mode::Export) << taken.failure.toStdString();
    EXPECT_EQ(taken.exportSettings.width, 100);
    EXPECT_EQ(taken.exportSettings.grain, 40);
    EXPECT_EQ(taken.exportSettings.backColour, QColor(0x33, 0x66, 0x99));
    // transparent is no background however it is spelled; an opaque #aarrggbb is a background.
    for (const char* spelling : {"transparent", "Transparent", "TRANSPARENT"}) {
        const CommandLine clear =
            parsed({QStringLiteral("--background=%1").arg(spelling), "--export", "o.png", "a.png"});
        EXPECT_EQ(clear.mode, CommandLine::Mode::Export) << clear.failure.toStdString();
        EXPECT_FALSE(clear.exportSettings.background.has_value()) << spelling;
    }
    EXPECT_EQ(
        parsed({"--background=#ff336699", "--export", "o.png", "a.png"}).exportSettings.background,
        QColor(0x33, 0x66, 0x99));
    // A switch given twice asks for the same thing twice.
    EXPECT_EQ(parsed({"--overwrite", "--overwrite", "--export", "o.png", "a.png"}).mode,
              CommandLine::Mode::Export);
}

// A back picture that is no file says what it is; one that is damaged warns as the picture does.
TEST(CommandLineTest, BackPicturesThatAreNoPictureOrDamagedSaySo) {
    const QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    ASSERT_EQ(::symlink(folder + "/loop", folder + "/loop"), 0);
    ASSERT_EQ(::mkfifo(folder + "/fifo", 0600), 0);
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
        ASSERT_TRUE(QImage(QStringLiteral(PLEATORA_SAMPLE_PICTURE)).save(&buffer, "JPEG"));
        QFile cut(dir.filePath("cut.jpg"));
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
        cut.write(jpeg.left(jpeg.size() / 2));
    }
    const std::pair<QString, QString> cases[] = {
        {dir.path(), "cannot be read: Not a regular file"},
        {dir.filePath("fifo"), "cannot be read: Not a regular file"},
        {dir.filePath("loop"), "cannot be read: Unreadable (Too many levels of symbolic links)"},
        {dir.filePath("missing.png"), "cannot be read: Unreadable (No such file or directory)"},
    };
    for (const auto& [back, reason] : cases) {
        const ProcessRun export_ =
            run({QStringLiteral("--export"), dir.filePath("o.png"), QStringLiteral("--back"), back,
                 QStringLiteral(PLEATORA_SAMPLE_PICTURE)});
        EXPECT_EQ(export_.exitCode, 1) << back.toStdString();
        EXPECT_TRUE(export_.err.contains(reason)) << export_.err.toStdString();
        EXPECT_EQ(export_.err.count(u'\n'), 1) << export_.err.toStdString();
    }
    const ProcessRun damaged =
        run({QStringLiteral("--export"), dir.filePath("o.png"), QStringLiteral("--back"),
             dir.filePath("cut.jpg"), QStringLiteral(PLEATORA_SAMPLE_PICTURE)});
    EXPECT_EQ(damaged.exitCode, 0) << damaged.err.toStdString();
    EXPECT_TRUE(damaged.err.contains("The back picture may be damaged: "))
        << damaged.err.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("o.png")));
}

// However long a name, its message stays one short line that shows both its ends.
TEST(CommandLineTest, LongNamesAreShortenedInMessages) {
    const QTemporaryDir dir;
    const QString deep = dir.filePath(QString(200, u'd') + "/" + QString(200, u'e') + "/gone.png");
    // Under the manifest's 1 MB a line.
    const QString huge = "start" + QString(512 << 10, u'h') + "end.png";
    QFile manifest(dir.filePath("list.jsonl"));
    ASSERT_TRUE(manifest.open(QIODevice::WriteOnly));
    manifest.write(R"({"input": ")" + huge.toUtf8() +
                   R"(", "output": "o.png"})"
                   "\n");
    manifest.close();
    struct Run {
        QStringList arguments;
        QString start;
        QString end;
    };
    const Run runs[] = {
        {{"--export", dir.filePath("o.png"), deep}, dir.path().left(20), "/gone.png: "},
        {{"--manifest", manifest.fileName(), "--overwrite"}, "start", "hend.png: "},
    };
    for (const auto& [arguments, start, end] : runs) {
        const ProcessRun failed = run(arguments);
        EXPECT_EQ(failed.exitCode, 1) << failed.err.left(500).toStdString();
        const QStringList lines = failed.err.split(u'\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 1) << failed.err.left(500).toStdString();
        EXPECT_LT(lines[0].size(), 400) << lines[0].toStdString();
        EXPECT_TRUE(lines[0].startsWith("pleatora: " + start)) << lines[0].toStdString();
        EXPECT_TRUE(lines[0].contains(u'…')) << lines[0].toStdString();
        EXPECT_TRUE(lines[0].contains(end)) << lines[0].toStdString();
    }
}

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

TEST(CommandLineTest, SceneOptionsAreCheckedAndMakeTheFloor) {
    const QStringList exportOne = {QStringLiteral("--export"), QStringLiteral("o.png"),
                                   QStringLiteral("a.png")};
    const auto recipeOf = [&](const QStringList& options) {
        const CommandLine line = parsed(options + exportOne);
        EXPECT_EQ(line.mode, CommandLine::Mode::Export) << line.failure.toStdString();
        ExportRecipe::Defaults defaults;
        defaults.withShadow = true;
        return ExportRecipe(line.exportSettings, defaults,
                            ExportWriter::formatForFileName(QStringLiteral("o.png")));
    };
    const ExportRecipe plain = recipeOf({});
    EXPECT_FALSE(plain.floor(QSizeF(595, 842)).shown);
    EXPECT_TRUE(plain.options().withShadow);
    EXPECT_TRUE(plain.options().backgroundPicture.isNull());

    const ExportRecipe lit =
        recipeOf({QStringLiteral("--surface=floor"), QStringLiteral("--surface-colour=#102030"),
                  QStringLiteral("--light=45.5,30")});
    const FloorScene floor = lit.floor(QSizeF(595, 842));
    EXPECT_TRUE(floor.shown);
    EXPECT_EQ(floor.colour, QColor(0x10, 0x20, 0x30));
    EXPECT_DOUBLE_EQ(floor.lightAzimuth, 45.5);
    EXPECT_DOUBLE_EQ(floor.lightElevation, 30);
    EXPECT_EQ(floor.printedSheetPoints, QSizeF(595, 842));
    // The floor's shadow stands in for the drop shadow.
    EXPECT_FALSE(lit.options().withShadow);
    EXPECT_TRUE(lit.sceneFailure().isEmpty());

    const ExportRecipe unreadable =
        recipeOf({QStringLiteral("--background-picture=/nonexistent/wall.png")});
    EXPECT_TRUE(unreadable.sceneFailure().contains(QStringLiteral("wall.png")));

    const QList<QStringList> mistakes = {
        {QStringLiteral("--surface=table")},
        {QStringLiteral("--surface-colour=red")},
        {QStringLiteral("--light=10,20")},
        {QStringLiteral("--surface-picture=wood.png")},
        {QStringLiteral("--light=10"), QStringLiteral("--surface=floor")},
        {QStringLiteral("--light=200,30"), QStringLiteral("--surface=floor")},
        {QStringLiteral("--light=10,0"), QStringLiteral("--surface=floor")},
        {QStringLiteral("--light=10,91"), QStringLiteral("--surface=floor")},
        {QStringLiteral("--surface-colour=#80ff0000"), QStringLiteral("--surface=floor")},
        {QStringLiteral("--surface-colour=red"), QStringLiteral("--surface-picture=w.png"),
         QStringLiteral("--surface=floor")},
        {QStringLiteral("--background-picture=")},
    };
    for (const QStringList& bad : mistakes) {
        const CommandLine line = parsed(bad + exportOne);
        EXPECT_EQ(line.mode, CommandLine::Mode::Error) << bad.join(u' ').toStdString();
        EXPECT_TRUE(line.failure.contains(bad[0].section(u'=', 0, 0)))
            << line.failure.toStdString();
    }
    EXPECT_EQ(parsed({QStringLiteral("--surface=floor"), QStringLiteral("a.png")}).mode,
              CommandLine::Mode::Error);
}
