// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchExport.h"

#include "cli/BatchWorkers.h"
#include "cli/Manifest.h"
#include "cli/ShardSelector.h"
#include "cli/StopSignals.h"
#include "document/FoldFile.h"
#include "media/Failure.h"
#include "media/PathText.h"
#include "settings/Preferences.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

// Where messages go while a run mutes standard error.
FILE* messages = stderr;

// Image libraries print some complaints straight to standard error (libpng's "Write Error",
// libtiff's scanline) from any worker; the reason Pleatora gives is the one line that counts.
// Standard error stays muted for the whole run, and Pleatora's own lines go to a copy of it.
class StandardErrorMuted {
public:
    StandardErrorMuted() {
        std::fflush(stderr);
        const int saved = ::dup(STDERR_FILENO);
        _stream = saved >= 0 ? ::fdopen(saved, "w") : nullptr;
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        _saved = _stream ? ::dup(STDERR_FILENO) : -1;
        if (_saved >= 0 && null >= 0)
            ::dup2(null, STDERR_FILENO);
        if (null >= 0)
            ::close(null);
        if (_stream)
            messages = _stream;
    }
    ~StandardErrorMuted() {
        messages = stderr;
        if (_stream)
            std::fclose(_stream);
        if (_saved >= 0) {
            ::dup2(_saved, STDERR_FILENO);
            ::close(_saved);
        }
    }
    StandardErrorMuted(const StandardErrorMuted&) = delete;
    StandardErrorMuted& operator=(const StandardErrorMuted&) = delete;

private:
    FILE* _stream = nullptr;
    int _saved = -1;
};

} // namespace

// Qt and its plugins speak through messages that would break the one-line reports up: an image
// plugin's warning while a picture is decoded is kept as a sign of damage, Pleatora's own
// warnings go out with the picture they came from (or at once, outside any picture), anything
// critical at once, one line each, and the rest (notes of the platform, XDG_RUNTIME_DIR unset)
// are dropped.
void BatchExport::takeMessages() {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context,
                              const QString& message) {
        const QLatin1String category(context.category ? context.category : "");
        const bool own = category.startsWith(QLatin1String("pleatora"));
        if (category.startsWith(QLatin1String("qt.gui.imageio")))
            BatchWorker::noteDecoderWarning(message);
        else if (own && type != QtFatalMsg && BatchWorker::keepWarning(PathText::shown(message)))
            return;
        else if (own || type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(messages, "pleatora: %s\n", PathText::shown(message).toUtf8().constData());
    });
}

BatchExport::BatchExport(const CommandLine::ExportSettings& settings,
                         const Preferences& preferences, bool animate)
    : _settings(settings), _defaults(ExportRecipe::Defaults::of(preferences)), _animate(animate),
      _isTerminal(isatty(fileno(stderr))) {}

int BatchExport::run(const QStringList& pictures) {
    if (const int code = readFolds(); code != AllDone)
        return code;
    return runPlan(ExportPlan(_settings, pictures, _animate));
}

int BatchExport::run() {
    if (const int code = readFolds(); code != AllDone)
        return code;
    QString failure;
    QList<ExportPlan::Item> items = Manifest::read(_settings.manifest, _settings, &failure);
    if (!failure.isEmpty()) {
        printLine(failure);
        return Usage;
    }
    // The rows go once planned: the plan keeps what the run needs.
    const ExportPlan plan(std::exchange(items, {}), PathText::toBytes(_settings.outputDirectory),
                          PathText::toBytes(_settings.report),
                          PathText::toBytes(_settings.manifest));
    return runPlan(plan);
}

// The command line's own folds are read once before any picture, and stop the run when bad or
// of another layout than --layout asks for.
int BatchExport::readFolds() {
    for (const QString& path : {_settings.foldFile, _settings.motion.startFoldFile}) {
        if (path.isEmpty())
            continue;
        QString error;
        const std::optional<FoldFile> fold = FoldFile::read(path, &error);
        if (!fold) {
            printLine(error);
            return SomeFailed;
        }
        if (QString clash; !layoutsAgree(_settings.layout, *fold, path, &clash)) {
            printLine(clash);
            return Usage;
        }
    }
    return AllDone;
}

bool BatchExport::layoutsAgree(const std::optional<FoldLayout>& asked, const FoldFile& fold,
                               const QString& path, QString* failure) {
    if (!asked || *asked == fold.layout())
        return true;
    const auto named = [](const FoldLayout& layout) {
        QString name = QString::fromStdString(layout.name());
        if (layout.axis() == FoldLayout::Axis::horizontal)
            name += QStringLiteral(" --horizontal");
        return name;
    };
    return Failure::fail(failure,
                         tr("--layout %1 and the fold file %2 (%3) name different layouts.")
                             .arg(named(*asked), PathText::shown(path), named(fold.layout())));
}

// The shard is chosen after the whole list is planned, so every shard refuses the same
// collisions.
QList<qsizetype> BatchExport::chosen(const ExportPlan& plan) const {
    const ShardSelector shard(_settings.shardIndex, _settings.shardCount);
    QList<qsizetype> indexes;
    for (qsizetype i = 0; i < plan.entries().size(); ++i) {
        if (shard.contains(plan.entries()[i].key))
            indexes.append(i);
    }
    return indexes;
}

int BatchExport::runPlan(const ExportPlan& plan) {
    QElapsedTimer clock;
    clock.start();
    if (QString failure; !plan.canWriteReport(&failure)) {
        printLine(failure);
        return Usage;
    }
    if (QString failure;
        !plan.canWriteFolder(&failure) || !_report.open(_settings.report, &failure)) {
        printLine(failure);
        return Environment;
    }
    const QList<qsizetype> indexes = chosen(plan);
    const int jobs = BatchWorkers::boundedCount(_settings.jobs);
    if (_settings.jobs > jobs)
        printLine(tr("--jobs %1 is more than twice the cores; running %2 workers.")
                      .arg(_settings.jobs)
                      .arg(jobs));
    BatchWorkers::shareSoftwareRendererThreads(jobs);
    _counts = {};
    _total = int(indexes.size());
    _noRenderer = false;
    _reportFailed = false;
    {
        const StandardErrorMuted muted;
        // A lone worker's animation shows its frames on the terminal; several would fight over it.
        const bool alone = std::min<qsizetype>(jobs, indexes.size()) == 1;
        FILE* frameProgress = _isTerminal && alone ? messages : nullptr;
        BatchWorkers workers(jobs, _defaults, _settings.skipExisting, frameProgress);
        workers.run(plan.entries(), indexes, [&](qsizetype index, const BatchWorker::Result& r) {
            return handOn(plan.entries()[index], r);
        });
        _timings += workers.timings();
    }
    const int code = exitCode();
    if (const int signal = StopSignals::received())
        printLine(tr("Stopped by SIG%1: %2 of %3 pictures done.")
                      .arg(QString::fromLatin1(sigabbrev_np(signal)))
                      .arg(_counts.written + _counts.skipped + _counts.failed)
                      .arg(_total));
    if (!_reportFailed && !_report.finish(_counts, code, clock.elapsed())) {
        _reportFailed = true;
        printLine(_report.failure());
    }
    return _reportFailed && !StopSignals::requested() ? Environment : code;
}

int BatchExport::exitCode() const {
    if (const int signal = StopSignals::received())
        return StopSignals::exitCode(signal);
    if (_noRenderer || _reportFailed)
        return Environment;
    return _counts.failed ? SomeFailed : AllDone;
}

// One picture's lines, its report entry and the progress, in the order of the list.
bool BatchExport::handOn(const ExportPlan::Entry& entry, const BatchWorker::Result& result) {
    if (result.status == BatchWorker::Status::NoRenderer) {
        _noRenderer = true;
        printLine(result.failure);
        return false;
    }
    for (const QString& warning : result.warnings)
        printLine(QStringLiteral("%1: %2").arg(PathText::shown(entry.picture), warning));
    switch (result.status) {
    case BatchWorker::Status::Failed:
        ++_counts.failed;
        // A manifest row that could not be read names no file: its failure says which line.
        printLine(result.file.isEmpty()
                      ? result.failure
                      : QStringLiteral("%1: %2").arg(PathText::shown(result.file), result.failure));
        break;
    case BatchWorker::Status::Skipped:
        ++_counts.skipped;
        if (!_isTerminal)
            std::fprintf(messages, "%s: skipped, it exists\n",
                         PathText::shown(entry.output).toUtf8().constData());
        break;
    default:
        ++_counts.written;
        if (!_isTerminal)
            std::fprintf(messages, "%s -> %s\n",
                         PathText::shown(entry.picture).toUtf8().constData(),
                         PathText::shown(entry.output).toUtf8().constData());
    }
    progress();
    if (!_report.add(entry, result)) {
        _reportFailed = true;
        printLine(_report.failure());
        return false;
    }
    return true;
}

// Every name goes out escaped, so each message is one line whatever the names hold.
void BatchExport::printLine(const QString& line) const {
    if (_isTerminal)
        std::fputs("\r\033[K", messages);
    std::fprintf(messages, "pleatora: %s\n", line.toUtf8().constData());
}

// A progress bar on a terminal; logs and pipes get one line a picture instead.
void BatchExport::progress() const {
    if (!_isTerminal)
        return;
    constexpr int barWidth = 30;
    const int done = _counts.written + _counts.skipped + _counts.failed;
    const int filled = barWidth * done / std::max(1, _total);
    std::fprintf(messages, "\r[%s%s] %d/%d", QByteArray(filled, '#').constData(),
                 QByteArray(barWidth - filled, ' ').constData(), done, _total);
    if (done == _total)
        std::fputc('\n', messages);
    std::fflush(messages);
}
