// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The artwork's options, for exports and animations alike: which pages of a PDF, its bleed, how
// the back lies behind the front and the sheet's printed size.
#include "cli/CommandLine.h"

#include "document/PrintedLength.h"

#include <QCommandLineParser>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("CommandLine", text);
}

std::optional<int> pageNumber(const QString& text) {
    bool valid = false;
    const int page = text.trimmed().toInt(&valid);
    return valid && page >= 1 ? std::optional<int>(page) : std::nullopt;
}

} // namespace

QStringList CommandLine::artworkOptions() {
    return {QStringLiteral("pages"), QStringLiteral("bleed"), QStringLiteral("back-turn"),
            QStringLiteral("sheet-size")};
}

void CommandLine::addArtworkOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {QStringLiteral("pages"),
         tr("The PDF's pages for the front and the back (default 1,2: page 2 is printed\n"
            "on the back when there is one)."),
         tr("FRONT[,BACK]")},
        {QStringLiteral("bleed"),
         tr("Where a PDF page gives no TrimBox, trim this much off each side of its\n"
            "CropBox, for example 3mm, 0.125in or 9pt."),
         tr("LENGTH")},
        {QStringLiteral("back-turn"),
         tr("How the back lies behind the front: book (mirrored left to right) or tumble\n"
            "(head to toe); default: as the creases turn the sheet over."),
         tr("book|tumble")},
        {QStringLiteral("sheet-size"),
         tr("The printed sheet's size when the file says nothing: A4, A5, Letter, Legal\n"
            "or WxH with a unit, for example 210x99mm."),
         tr("SIZE")},
    });
}

void CommandLine::readArtwork(const QCommandLineParser& parser) {
    ExportSettings& settings = exportSettings;
    if (parser.isSet(QStringLiteral("pages"))) {
        const QStringList pages = parser.value(QStringLiteral("pages")).split(u',');
        settings.frontPage = pageNumber(pages.value(0));
        if (pages.size() == 2)
            settings.backPage = pageNumber(pages[1]);
        if (!settings.frontPage || pages.size() > 2 || (pages.size() == 2 && !settings.backPage))
            fail(tr("--pages wants page numbers FRONT or FRONT,BACK, from 1."));
    }
    if (parser.isSet(QStringLiteral("bleed"))) {
        const QString text = parser.value(QStringLiteral("bleed"));
        const std::optional<double> bleed = PrintedLength::parse(text);
        if (bleed && *bleed < 72)
            settings.bleedPoints = *bleed;
        else
            fail(tr("--bleed wants a length under an inch with its unit (mm, in or pt), not "
                    "'%1'.")
                     .arg(text));
    }
    if (parser.isSet(QStringLiteral("back-turn"))) {
        const QString turn = parser.value(QStringLiteral("back-turn"));
        if (turn == QLatin1String("book"))
            settings.backTurn = PaperLook::BackTurn::book;
        else if (turn == QLatin1String("tumble"))
            settings.backTurn = PaperLook::BackTurn::tumble;
        else
            fail(tr("--back-turn wants book or tumble, not '%1'.").arg(turn));
    }
    if (parser.isSet(QStringLiteral("sheet-size"))) {
        const QString text = parser.value(QStringLiteral("sheet-size"));
        settings.sheetPoints = PrintedLength::parseSheet(text);
        if (!settings.sheetPoints)
            fail(tr("--sheet-size wants A4, A5, Letter, Legal or WxH with a unit, not '%1'.")
                     .arg(text));
    }
}
