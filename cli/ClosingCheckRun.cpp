// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ClosingCheckRun.h"

#include "cli/ExportRecipe.h"
#include "document/ClosingReport.h"
#include "media/PathText.h"
#include "media/PictureReader.h"

#include <QFile>

int ClosingCheckRun::run(const CommandLine& commandLine, FILE* out, FILE* errors) {
    const CommandLine::ExportSettings& settings = commandLine.exportSettings;
    QSizeF printed = settings.sheetPoints.value_or(QSizeF());
    if (!settings.sheetPoints) {
        const QByteArray path = QFile::encodeName(commandLine.pictures.first());
        const PictureReader::Result read =
            PictureReader::read(path, [](QSize) { return QSize(1, 1); });
        if (read.picture.isNull()) {
            std::fprintf(errors, "pleatora: %s: %s\n",
                         PathText::shown(commandLine.pictures.first()).toUtf8().constData(),
                         PathText::shown(read.failure).toUtf8().constData());
            return 2;
        }
        printed = read.points;
    }
    if (const QString mismatch = ExportRecipe::panelWidthsMismatch(settings, printed);
        !mismatch.isEmpty()) {
        std::fprintf(errors, "pleatora: %s\n", mismatch.toUtf8().constData());
        return 2;
    }
    const ClosingReport report(*commandLine.layout, ExportRecipe::panelPaperOf(settings, printed));
    std::fprintf(out, "%s\n", report.text().toUtf8().constData());
    return report.closes() ? 0 : doesNotClose;
}
