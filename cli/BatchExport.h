// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/BatchReport.h"
#include "cli/BatchWorker.h"
#include "cli/CommandLine.h"
#include "cli/ExportPlan.h"
#include "cli/ExportRecipe.h"

#include <QCoreApplication>
#include <QString>

class Preferences;

// `pleatora --export`, `--export-dir` and `--manifest`: folds and writes pictures with no window
// and no display server, through the renderer's surfaceless context and the application's own
// export steps, on --jobs workers; with `--animate` and `--animate-dir`, animations of them
// folding (AnimationBatch). Each picture is reported on standard error in the order of the list;
// one that fails is named with its reason and the others go on.
class BatchExport {
    Q_DECLARE_TR_FUNCTIONS(BatchExport)

public:
    // The process's exit status, as --help documents it; a run stopped by SIGINT or SIGTERM
    // ends with 128 and the signal's number.
    enum ExitCode { AllDone = 0, SomeFailed = 1, Usage = 2, Environment = 3 };

    BatchExport(const CommandLine::ExportSettings& settings, const Preferences& preferences,
                bool animate = false);

    // Before the application object is made, so that no message of Qt's breaks the one-line
    // reports, from the start on.
    static void takeMessages();

    // The pictures with the command line's settings.
    int run(const QStringList& pictures);
    // The rows of --manifest, over the command line's settings.
    int run();
    const BatchWorker::Timings& timings() const { return _timings; }
    // Whether a fold file serves the layout asked for (any, when none was asked); failure: why
    // it cannot.
    static bool layoutsAgree(const std::optional<FoldLayout>& asked, const FoldFile& fold,
                             const QString& path, QString* failure = nullptr);

private:
    int runPlan(const ExportPlan& plan);
    QList<qsizetype> chosen(const ExportPlan& plan) const;
    int readFolds();
    bool handOn(const ExportPlan::Entry& entry, const BatchWorker::Result& result);
    int exitCode() const;
    void printLine(const QString& line) const;
    void progress() const;

    CommandLine::ExportSettings _settings;
    ExportRecipe::Defaults _defaults;
    BatchWorker::Timings _timings;
    BatchReport _report;
    BatchReport::Counts _counts;
    int _total = 0;
    bool _noRenderer = false;
    bool _reportFailed = false;
    bool _animate = false;
    bool _isTerminal = false;
};
