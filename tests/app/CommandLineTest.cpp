#include "app/CommandLine.h"

#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

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
    ASSERT_EQ(line.mode, CommandLine::Mode::Export) << line.error.toStdString();
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
        EXPECT_FALSE(line.error.isEmpty());
    }
}

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
