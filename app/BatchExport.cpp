// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BatchExport.h"

#include "document/ExportWriter.h"
#include "document/PathText.h"
#include "document/PictureReader.h"
#include "document/RendererSetup.h"
#include "fold/FoldModel.h"
#include "render/SheetRenderer.h"
#include "settings/PreferencesDefaults.h"

#include <QScopeGuard>

#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// The command line's screen: 16:9 with nothing taken by panels, as a full-screen virtual display.
SheetSizing sizingForScreenHeight(int height) {
    const FoldScreen screen{double(height), {height * 16.0 / 9.0, double(height)}};
    return SheetSizing(screen, 1.0);
}

BatchExport* running = nullptr;

// Image libraries print some complaints straight to standard error (libpng's "Write Error",
// libtiff's scanline); the reason Pleatora gives is the one line that counts.
class StandardErrorMuted {
public:
    StandardErrorMuted() {
        std::fflush(stderr);
        _saved = ::dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (_saved >= 0 && null >= 0)
            ::dup2(null, STDERR_FILENO);
        if (null >= 0)
            ::close(null);
    }
    ~StandardErrorMuted() {
        std::fflush(stderr);
        if (_saved >= 0) {
            ::dup2(_saved, STDERR_FILENO);
            ::close(_saved);
        }
    }
    StandardErrorMuted(const StandardErrorMuted&) = delete;
    StandardErrorMuted& operator=(const StandardErrorMuted&) = delete;

private:
    int _saved = -1;
};

} // namespace

// Qt and its plugins speak through messages that would break the one-line reports up: an image
// plugin's warning while a picture is decoded is kept as a sign of damage, Pleatora's own
// warnings and anything critical go out as one line each, and the rest (notes of the platform,
// XDG_RUNTIME_DIR unset) are dropped.
void BatchExport::takeMessages() {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context,
                              const QString& message) {
        const QLatin1String category(context.category ? context.category : "");
        if (category.startsWith(QLatin1String("qt.gui.imageio"))) {
            if (running && running->_decoderWarning.isEmpty())
                running->_decoderWarning = message;
        } else if (category.startsWith(QLatin1String("pleatora")) || type == QtCriticalMsg ||
                   type == QtFatalMsg) {
            std::fprintf(stderr, "pleatora: %s\n", PathText::shown(message).toUtf8().constData());
        }
    });
}

BatchExport::BatchExport(const CommandLine::ExportSettings& settings,
                         const PreferencesDefaults& defaults)
    : _settings(settings), _sizing(sizingForScreenHeight(settings.screenHeight)),
      _isTerminal(isatty(fileno(stderr))) {
    _options.scale = settings.width ? 0 : settings.scale.value_or(1);
    _options.pixelWidth = settings.width.value_or(0);
    // Like Copy unless told otherwise.
    _options.withShadow = settings.shadow.value_or(defaults.copyWithShadow());
    _options.withCreaseLine = settings.lines.value_or(defaults.copyWithCreaseLine());
    _options.transparentBackground = !settings.background;
    _options.backgroundColor = settings.background.value_or(QColor(Qt::white));
    _look.creaseLineColor = defaults.creaseLineColor();
    _look.shadowOpacity = settings.shadowOpacity.value_or(defaults.shadowOpacity()) / 100.0;
    _look.shadowBlur = settings.shadowBlur.value_or(defaults.shadowBlur());
    _look.shadowOffset = settings.shadowOffset.value_or(defaults.shadowOffset());
    _shading = settings.shading.value_or(defaults.shading()) / 100.0f;
}

int BatchExport::run(const QStringList& pictures) {
    running = this;
    const auto notRunning = qScopeGuard([] { running = nullptr; });
    if (!readFold())
        return 1;
    const ExportPlan plan(_settings, pictures);
    if (const QString problem = plan.folderProblem(); !problem.isEmpty()) {
        printLine(problem);
        return 1;
    }
    int failed = 0;
    const QList<ExportPlan::Entry>& entries = plan.entries();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const ExportPlan::Entry& entry = entries[i];
        Failure failure{entry.picture, entry.refusal};
        const Outcome outcome =
            failure.reason.isEmpty() ? exportPicture(entry, &failure) : Outcome::Failed;
        if (outcome == Outcome::NoRenderer) {
            printLine(failure.reason);
            return 1;
        }
        failed += outcome == Outcome::Failed;
        report(int(i + 1), int(entries.size()), entry, failure);
    }
    return failed ? 1 : 0;
}

bool BatchExport::readFold() {
    if (_settings.foldFile.isEmpty())
        return true;
    QString error;
    _fold = FoldFile::read(_settings.foldFile, &error);
    if (!_fold)
        printLine(error);
    return bool(_fold);
}

// The export's size in pixels for a picture of that many pixels, as draw() will make it.
QSize BatchExport::exportPixels(QSize picturePixels, const ExportOptions& options) const {
    const FoldSize sheet = _sizing.displaySize(picturePixels);
    const FoldSize window = FoldModel::windowSizeForSheet(sheet);
    return options.pixelSize(QSize(int(window.width), int(window.height)));
}

BatchExport::Outcome BatchExport::exportPicture(const ExportPlan::Entry& entry, Failure* failure) {
    struct stat status {};
    if (!_settings.overwrite && ::lstat(entry.output.constData(), &status) == 0) {
        failure->reason =
            tr("%1 exists already (--overwrite replaces it).").arg(PathText::shown(entry.output));
        return Outcome::Failed;
    }
    ExportOptions options = _options;
    if (!entry.format->hasAlpha)
        options.transparentBackground = false;
    auto start = Clock::now();
    const auto sizeFor = [&](QSize pixels) {
        const FoldSize sheet = _sizing.displaySize(pixels);
        const FoldSize window = FoldModel::windowSizeForSheet(sheet);
        const double scale =
            ExportPicture::pixelsPerPoint(options, QSize(int(window.width), int(window.height)));
        return QSize(int(std::ceil(sheet.width * scale)), int(std::ceil(sheet.height * scale)));
    };
    const auto check = [&](QSize pixels) {
        return ExportWriter::refusal(entry.output, exportPixels(pixels, options), *entry.format);
    };
    _decoderWarning.clear();
    const PictureReader::Result read = [&] {
        const StandardErrorMuted muted;
        return PictureReader::read(entry.picture, sizeFor, check);
    }();
    _timings.decode += Clock::now() - start;
    if (read.picture.isNull()) {
        failure->reason = read.failureReason;
        return Outcome::Failed;
    }
    if (!_decoderWarning.isEmpty())
        warn(entry.picture, tr("The picture may be damaged: %1").arg(_decoderWarning));
    return draw(read, entry, options, failure);
}

// The fold the file and the options give; one made on a sheet of another size is fitted to this
// one as the window would fit it, and said so.
float BatchExport::fold(FoldModel& model, const QByteArray& picture) const {
    float pitch = 0;
    if (_fold) {
        const double distance = _fold->applyTo(model);
        if (distance >= 0.05)
            warn(picture, tr("The fold was made on a sheet of %1 x %2 points; fitted to this "
                             "picture it differs from it by up to %3 points")
                              .arg(_fold->sheet().width, 0, 'f', 0)
                              .arg(_fold->sheet().height, 0, 'f', 0)
                              .arg(distance, 0, 'f', 1));
        pitch = _fold->fold().pitch;
    }
    if (_settings.pitch)
        pitch = float(*_settings.pitch);
    return pitch;
}

BatchExport::Outcome BatchExport::draw(const PictureReader::Result& read,
                                       const ExportPlan::Entry& entry, const ExportOptions& options,
                                       Failure* failure) {
    const FoldSize sheet = _sizing.displaySize(read.pixelSize);
    const QSize pixels = exportPixels(read.pixelSize, options);
    // Formats that give no size in their header are checked once decoded.
    if (failure->reason = ExportWriter::refusal(entry.output, pixels, *entry.format);
        !failure->reason.isEmpty())
        return Outcome::Failed;
    FoldModel model(sheet);
    const float pitch = fold(model, entry.picture);
    const FoldSize window = FoldModel::windowSizeForSheet(sheet);
    const QSize windowPoints(int(window.width), int(window.height));
    auto view = RendererSetup::create(windowPoints, 1.0, OffscreenContext::Platform::Surfaceless,
                                      &failure->reason);
    if (!view) {
        failure->reason =
            tr("%1 Pleatora needs OpenGL 2.1 with the compatibility profile.").arg(failure->reason);
        return Outcome::NoRenderer;
    }
    view->setShading(_shading);
    if (!RendererSetup::showFold(*view, model, pitch, read.picture, &failure->reason))
        return Outcome::Failed;
    view->display();
    // As in the window: the texture serves unless the export shows the picture finer than that.
    const bool finer =
        ExportPicture::needsFinerPicture(sheet, read.picture.size(), view->textureSize(),
                                         ExportPicture::pixelsPerPoint(options, windowPoints));
    return render(*view, finer ? read.picture : QImage(), windowPoints, entry, options, failure);
}

BatchExport::Outcome BatchExport::render(SheetRenderer& view, const QImage& texturePicture,
                                         QSize windowPoints, const ExportPlan::Entry& entry,
                                         const ExportOptions& options, Failure* failure) {
    auto start = Clock::now();
    QImage result = ExportPicture::renderFold(view, windowPoints, options, texturePicture, {});
    _timings.render += Clock::now() - start;
    if (result.isNull()) {
        failure->reason = tr("The folded picture could not be drawn at that size.");
        return Outcome::Failed;
    }
    start = Clock::now();
    ExportPicture::finish(result, view.lineEndPoints(), options, _look);
    _timings.shadow += Clock::now() - start;
    start = Clock::now();
    const auto written = [&] {
        const StandardErrorMuted muted;
        return ExportWriter::write(std::move(result), entry.output, *entry.format, {},
                                   &failure->reason);
    }();
    _timings.encode += Clock::now() - start;
    if (written == ExportWriter::Outcome::Written)
        return Outcome::Written;
    failure->file = entry.output; // the picture was read; the file could not be written
    return Outcome::Failed;
}

// Every name goes out escaped, so each message is one line whatever the names hold.
void BatchExport::printLine(const QString& line) const {
    if (_isTerminal)
        std::fputs("\r\033[K", stderr);
    std::fprintf(stderr, "pleatora: %s\n", line.toUtf8().constData());
}

void BatchExport::warn(const QByteArray& picture, const QString& warning) const {
    printLine(QStringLiteral("%1: %2").arg(PathText::shown(picture), warning));
}

// A progress bar on a terminal; one line a picture for logs and pipes. Failures always get a
// line of their own.
void BatchExport::report(int done, int total, const ExportPlan::Entry& entry,
                         const Failure& failure) const {
    if (!failure.reason.isEmpty())
        printLine(QStringLiteral("%1: %2").arg(PathText::shown(failure.file), failure.reason));
    else if (!_isTerminal)
        std::fprintf(stderr, "%s -> %s\n", PathText::shown(entry.picture).toUtf8().constData(),
                     PathText::shown(entry.output).toUtf8().constData());
    if (_isTerminal) {
        constexpr int barWidth = 30;
        const int filled = barWidth * done / total;
        std::fprintf(stderr, "\r[%s%s] %d/%d", QByteArray(filled, '#').constData(),
                     QByteArray(barWidth - filled, ' ').constData(), done, total);
        if (done == total)
            std::fputc('\n', stderr);
    }
}
