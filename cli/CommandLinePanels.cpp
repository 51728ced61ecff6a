// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The options of hinged panels: their widths, the paper's thickness, how much narrower a panel
// that folds in is cut, and the pose a layout takes without a fold file.
#include "cli/CommandLine.h"

#include "document/PrintedLength.h"

#include <QCommandLineParser>

#include <cmath>
#include <numeric>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("CommandLine", text);
}

constexpr double thickestPaper = 72.0 / 25.4;       // a millimetre
constexpr double largestAllowance = 10 * 72 / 25.4; // a centimetre

bool endsWithUnit(const QString& text) {
    return text.endsWith(u"mm") || text.endsWith(u"in") || text.endsWith(u"pt");
}

// "100,100,97mm" gives every bare number the last one's unit; "0.5,0.25,0.25" gives fractions.
std::optional<std::vector<double>> panelWidths(const QString& text, bool& fractions) {
    const QStringList parts = text.split(u',');
    const QString last = parts.last().trimmed();
    const QString unit = endsWithUnit(last) ? last.right(2) : QString();
    fractions = unit.isEmpty();
    std::vector<double> widths;
    for (QString part : parts) {
        part = part.trimmed();
        if (!fractions && !endsWithUnit(part))
            part += unit;
        bool isNumber = !fractions;
        const std::optional<double> width = fractions
                                                ? std::optional<double>(part.toDouble(&isNumber))
                                                : PrintedLength::parse(part);
        if (!width || !isNumber || !(*width > 0))
            return std::nullopt;
        widths.push_back(*width);
    }
    if (fractions && std::abs(std::accumulate(widths.begin(), widths.end(), 0.0) - 1.0) > 1e-3)
        return std::nullopt;
    return widths;
}

} // namespace

QStringList CommandLine::panelOptions() {
    return {QStringLiteral("panels"), QStringLiteral("paper-thickness"),
            QStringLiteral("fold-in-allowance"), QStringLiteral("pose")};
}

void CommandLine::addPanelOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {QStringLiteral("panels"),
         tr("The panels' widths from the sheet's first edge, for example 100,100,97mm,\n"
            "or fractions that sum to 1; default: the layout's own."),
         tr("WIDTHS")},
        {QStringLiteral("paper-thickness"),
         tr("The paper's thickness, for example 0.1mm (the default)."), tr("LENGTH")},
        {QStringLiteral("fold-in-allowance"),
         tr("How much narrower each panel that folds in is cut (default 1/16 in, 1.6mm)."),
         tr("LENGTH")},
        {QStringLiteral("pose"),
         tr("The pose of a layout without --fold: flat (the default), presentation\n"
            "(part-open) or closed."),
         tr("flat|presentation|closed")},
        {QStringLiteral("check-closing"),
         tr("Say whether the layout's panels close flat at this paper thickness and exit\n"
            "(0 when they do, 4 when not); the sheet's size from --sheet-size or PICTURE.")},
    });
}

void CommandLine::readPanels(const QCommandLineParser& parser) {
    ExportSettings& settings = exportSettings;
    const auto length = [&](const QString& name, double largest) -> std::optional<double> {
        if (!parser.isSet(name))
            return std::nullopt;
        const std::optional<double> value = PrintedLength::parse(parser.value(name));
        if (value && *value >= 0 && *value <= largest)
            return value;
        fail(tr("--%1 wants a length up to %2 mm with its unit (mm, in or pt), not '%3'.")
                 .arg(name)
                 .arg(largest / PrintedLength::pointsPerMillimetre)
                 .arg(parser.value(name)));
        return std::nullopt;
    };
    settings.paperThicknessPoints = length(QStringLiteral("paper-thickness"), thickestPaper);
    if (settings.paperThicknessPoints == 0.0)
        fail(tr("--paper-thickness wants a thickness above 0."));
    settings.foldInAllowancePoints = length(QStringLiteral("fold-in-allowance"), largestAllowance);
    readPose(parser);
    if (!parser.isSet(QStringLiteral("panels")))
        return;
    const QString text = parser.value(QStringLiteral("panels"));
    const std::optional<std::vector<double>> widths =
        panelWidths(text, settings.panelWidthsAreFractions);
    if (!widths)
        return fail(tr("--panels wants widths with a unit, such as 100,100,97mm, or fractions "
                       "that sum to 1, not '%1'.")
                        .arg(text));
    if (!layout || !layout->isHinged())
        return fail(tr("--panels needs --layout with panels that fold flat: letter, roll-4, "
                       "gate, double-gate or double-parallel."));
    if (int(widths->size()) != layout->panelCount())
        return fail(tr("--panels gives %1 widths; the layout %2 has %3 panels.")
                        .arg(widths->size())
                        .arg(QString::fromStdString(layout->name()))
                        .arg(layout->panelCount()));
    settings.panelWidths = *widths;
}

void CommandLine::readPose(const QCommandLineParser& parser) {
    if (!parser.isSet(QStringLiteral("pose")))
        return;
    const QString pose = parser.value(QStringLiteral("pose"));
    if (pose == QLatin1String("flat"))
        exportSettings.pose = HingedFold::Pose::flat;
    else if (pose == QLatin1String("presentation"))
        exportSettings.pose = HingedFold::Pose::presentation;
    else if (pose == QLatin1String("closed"))
        exportSettings.pose = HingedFold::Pose::closed;
    else
        fail(tr("--pose wants flat, presentation or closed, not '%1'.").arg(pose));
}

// The check stands alone: it draws nothing, so it takes no output.
void CommandLine::readClosingCheck(const QCommandLineParser& parser) {
    for (const QString& output :
         {QStringLiteral("export"), QStringLiteral("export-dir"), QStringLiteral("animate"),
          QStringLiteral("animate-dir"), QStringLiteral("manifest")}) {
        if (parser.isSet(output))
            return fail(tr("--check-closing cannot be used with --%1.").arg(output));
    }
    readLayout(parser);
    if (mode == Mode::Error)
        return;
    if (!layout || !layout->isHinged())
        return fail(tr("--check-closing needs --layout with panels that fold flat: letter, "
                       "roll-4, gate, double-gate or double-parallel."));
    if (pictures.size() > 1)
        return fail(tr("--check-closing takes at most one picture."));
    readArtwork(parser);
    readPanels(parser);
    if (pictures.isEmpty() && !exportSettings.sheetPoints)
        return fail(tr("--check-closing needs the sheet's size: --sheet-size or a picture."));
    if (mode != Mode::Error)
        mode = Mode::CheckClosing;
}
