// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The paper's options, for exports and animations alike: the back, its colour, grain, crease
// shading and gloss.
#include "cli/CommandLine.h"

#include <QCommandLineParser>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("CommandLine", text);
}

} // namespace

QStringList CommandLine::paperOptions() {
    return {QStringLiteral("back"), QStringLiteral("back-colour"), QStringLiteral("grain"),
            QStringLiteral("crease-shading"), QStringLiteral("gloss")};
}

void CommandLine::addPaperOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {QStringLiteral("back"),
         tr("What panels seen from behind show: same (the picture, the default), paper\n"
            "or a picture FILE printed on the back."),
         tr("same|paper|FILE")},
        {QStringLiteral("back-colour"),
         tr("The colour of the paper's back, #rrggbb or a colour name (default white)."),
         tr("COLOUR")},
        {QStringLiteral("grain"), tr("Paper grain, 0 to 100 percent."), tr("PERCENT")},
        {QStringLiteral("crease-shading"),
         tr("Darker valleys and lighter mountains along the creases, 0 to 100 percent."),
         tr("PERCENT")},
        {QStringLiteral("gloss"), tr("A soft highlight from the light, 0 to 100 percent."),
         tr("PERCENT")},
    });
}

void CommandLine::readPaper(const QCommandLineParser& parser) {
    ExportSettings& settings = exportSettings;
    settings.back = parser.value(QStringLiteral("back"));
    if (parser.isSet(QStringLiteral("back")) && settings.back.isEmpty())
        fail(tr("--back wants same, paper or a picture file."));
    if (parser.isSet(QStringLiteral("back-colour"))) {
        const QString name = parser.value(QStringLiteral("back-colour"));
        // The back is opaque paper: any colour name or #aarrggbb with some transparency is refused.
        if (QColor::isValidColor(name) && QColor(name).alpha() == 255)
            settings.backColour = QColor(name);
        else
            fail(tr("--back-colour wants #rrggbb or a colour name, not '%1'.").arg(name));
    }
    settings.grain = wholeNumberOption(parser, QStringLiteral("grain"), 0, 100);
    settings.creaseShading = wholeNumberOption(parser, QStringLiteral("crease-shading"), 0, 100);
    settings.gloss = wholeNumberOption(parser, QStringLiteral("gloss"), 0, 100);
}
