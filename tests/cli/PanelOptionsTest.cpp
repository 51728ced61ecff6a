// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The options of the folds that close flat: their parsing, the widths they give a sheet, and
// --check-closing through the real binary with its exit codes.
#include "cli/CommandLine.h"
#include "cli/ExportRecipe.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr double mm = 72 / 25.4;

CommandLine parsed(const QStringList& arguments) {
    return CommandLine::parse(QStringList{QStringLiteral("pleatora")} + arguments);
}

struct OptionCase {
    QStringList arguments;
    const char* failure; // empty when the options are sound
};

// Every mistake is one line naming the option; sound options reach the export's settings.
TEST(PanelOptions, MistakesAreRefusedWithTheirOption) {
    const QStringList exporting{"--export", "out.png", "in.png", "--layout", "letter"};
    const std::vector<OptionCase> cases{
        {exporting + QStringList{"--panels", "100,100,97mm"}, ""},
        {exporting + QStringList{"--panels", "0.4,0.3,0.3"}, ""},
        {exporting + QStringList{"--panels", "0.4,0.3,0.2"}, "--panels wants widths"},
        {exporting + QStringList{"--panels", "100,100mm"}, "gives 2 widths; the layout letter"},
        {exporting + QStringList{"--panels", "100,abc,97mm"}, "--panels wants widths"},
        {exporting + QStringList{"--paper-thickness", "0.2mm", "--fold-in-allowance", "2mm"}, ""},
        {exporting + QStringList{"--paper-thickness", "0mm"}, "above 0"},
        {exporting + QStringList{"--paper-thickness", "2mm"}, "--paper-thickness wants a length"},
        {exporting + QStringList{"--paper-thickness", "0.1"}, "with its unit"},
        {exporting + QStringList{"--pose", "closed"}, ""},
        {exporting + QStringList{"--pose", "open"}, "--pose wants flat, presentation or closed"},
        {{"--export", "out.png", "in.png", "--layout", "z-fold", "--panels", "0.5,0.25,0.25"},
         "--panels needs --layout with panels that fold flat"},
        {{"--pose", "closed", "in.png"}, "--pose needs --export"},
        {{"--check-closing", "--layout", "letter"}, "needs the sheet's size"},
        {{"--check-closing", "--layout", "tent", "--sheet-size", "A4"}, "panels that fold flat"},
        {{"--check-closing", "--layout", "gate", "--sheet-size", "A4", "--export", "o.png"},
         "cannot be used with --export"},
    };
    for (const OptionCase& option : cases) {
        SCOPED_TRACE(option.arguments.join(' ').toStdString());
        const CommandLine line = parsed(option.arguments);
        EXPECT_EQ(line.failure.isEmpty(), QString(option.failure).isEmpty())
            << line.failure.toStdString();
        EXPECT_TRUE(line.failure.contains(QString::fromUtf8(option.failure)))
            << line.failure.toStdString();
    }
}

// Widths with a unit are fractions of the length they add up to; any other sheet refuses them.
TEST(PanelOptions, WidthsWithAUnitMustFitTheSheet) {
    const CommandLine line = parsed({"--export", "out.png", "in.png", "--layout", "letter",
                                     "--panels", "100,100,97mm", "--paper-thickness", "0.2mm"});
    ASSERT_TRUE(line.failure.isEmpty()) << line.failure.toStdString();
    const CommandLine::ExportSettings& settings = line.exportSettings;
    const QSizeF landscape(297 * mm, 210 * mm);
    const PanelPaper paper = ExportRecipe::panelPaperOf(settings, landscape);
    ASSERT_EQ(paper.widths.size(), 3u);
    EXPECT_NEAR(paper.widths[2], 97.0 / 297, 1e-9);
    EXPECT_NEAR(paper.thickness, 0.2 * mm, 1e-9);
    EXPECT_TRUE(ExportRecipe::panelWidthsMismatch(settings, landscape).isEmpty());
    EXPECT_TRUE(ExportRecipe::panelWidthsMismatch(settings, landscape.transposed())
                    .contains("add up to 297.0 mm, but the sheet is 210.0 mm wide"));
}

struct ClosingRun {
    QStringList arguments;
    int exitCode;
    const char* says;
};

// The report names the panel that folds in, and the exit code says whether the piece closes.
TEST(PanelOptions, CheckClosingExitsWithFourWhenAPanelDoesNotFit) {
    const std::vector<ClosingRun> runs{
        {{"--layout", "letter", "--sheet-size", "297x210mm", "--panels", "99,99,99mm"},
         4,
         "Panel 3 folds in: 99.00 mm wide, at most 98.84 mm: 0.16 mm too wide."},
        {{"--layout", "letter", "--sheet-size", "297x210mm", "--panels", "100,100,97mm"},
         0,
         "It closes flat."},
        {{"--layout", "gate", "--sheet-size", "297x210mm", "--panels", "80,137,80mm"},
         4,
         "It does not close flat."},
        {{"--layout", "gate", "--sheet-size", "Letter", "--horizontal"}, 0, "It closes flat."},
        {{"--layout", "letter", "--sheet-size", "A4", "--panels", "100,100,97mm"},
         2,
         "The panels add up to 297.0 mm, but the sheet is 2"},
        {{"--layout", "letter", "missing.png"}, 2, "missing.png"},
    };
    for (const ClosingRun& run : runs) {
        SCOPED_TRACE(run.arguments.join(' ').toStdString());
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(PLEATORA_BINARY),
                      QStringList{"--check-closing"} + run.arguments);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), run.exitCode);
        const QString said =
            QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
        EXPECT_TRUE(said.contains(QString::fromUtf8(run.says))) << said.toStdString();
    }
}

} // namespace
