// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/CommandLine.h"
#include "app/ExportPlan.h"
#include "document/ExportOptions.h"
#include "document/ExportPicture.h"
#include "document/ExportWriter.h"
#include "document/FoldFile.h"
#include "document/PictureReader.h"
#include "document/SheetSizing.h"

#include <QCoreApplication>
#include <QString>

#include <chrono>
#include <optional>

class FoldModel;
class SheetRenderer;
class PreferencesDefaults;

// `pleatora --export` and `--export-dir`: folds and writes pictures with no window and no display
// server, through the renderer's surfaceless context and the application's own export steps.
// Each picture is reported on standard error; one that fails is named with its reason and the
// others go on.
class BatchExport {
    Q_DECLARE_TR_FUNCTIONS(BatchExport)

public:
    // Time spent in each step, over every picture so far.
    struct Timings {
        std::chrono::nanoseconds decode{}, render{}, shadow{}, encode{};
    };

    BatchExport(const CommandLine::ExportSettings& settings, const PreferencesDefaults& defaults);

    // Before the application object is made, so that no message of Qt's breaks the one-line
    // reports, from the start on.
    static void takeMessages();

    // The process's exit code: 0 when every picture was written, 1 when any failed or when
    // nothing can be drawn at all.
    int run(const QStringList& pictures);
    const Timings& timings() const { return _timings; }

private:
    enum class Outcome { Written, Failed, NoRenderer };
    // What failed: the picture, or the output once the picture was read.
    struct Failure {
        QByteArray file;
        QString reason;
    };

    bool readFold();
    Outcome exportPicture(const ExportPlan::Entry& entry, Failure* failure);
    QSize exportPixels(QSize picturePixels, const ExportOptions& options) const;
    float fold(FoldModel& model, const QByteArray& picture) const;
    Outcome draw(const PictureReader::Result& read, const ExportPlan::Entry& entry,
                 const ExportOptions& options, Failure* failure);
    Outcome render(SheetRenderer& view, const QImage& texturePicture, QSize windowPoints,
                   const ExportPlan::Entry& entry, const ExportOptions& options, Failure* failure);
    void printLine(const QString& line) const;
    void warn(const QByteArray& picture, const QString& warning) const;
    void report(int done, int total, const ExportPlan::Entry& entry, const Failure& failure) const;

    CommandLine::ExportSettings _settings;
    SheetSizing _sizing;
    ExportOptions _options;
    ExportPicture::Look _look;
    float _shading = 0;
    std::optional<FoldFile> _fold;
    Timings _timings;
    QString _decoderWarning;
    bool _isTerminal = false;
};
