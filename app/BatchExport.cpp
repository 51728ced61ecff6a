#include "app/BatchExport.h"

#include "document/ExportWriter.h"
#include "document/PictureReader.h"
#include "document/SheetSizing.h"
#include "fold/FoldModel.h"
#include "render/SheetRenderer.h"
#include "settings/PreferencesDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// The command line's screen: 16:9 with nothing taken by panels, as a full-screen virtual display.
SheetSizing sizingForScreenHeight(int height) {
    const FoldScreen screen{double(height), {height * 16.0 / 9.0, double(height)}};
    return SheetSizing(screen, 1.0);
}

} // namespace

BatchExport::BatchExport(const CommandLine::ExportSettings& settings,
                         const PreferencesDefaults& defaults)
    : _settings(settings), _isTerminal(isatty(fileno(stderr))) {
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
    if (!readFold())
        return 1;
    int failed = 0;
    for (int i = 0; i < pictures.size(); ++i) {
        QString failure;
        const Outcome outcome = exportPicture(pictures[i], &failure);
        if (outcome == Outcome::NoRenderer) {
            std::fprintf(stderr, "pleatora: %s\n", qPrintable(failure));
            return 1;
        }
        failed += outcome == Outcome::Failed;
        report(i + 1, int(pictures.size()), pictures[i], failure);
    }
    return failed ? 1 : 0;
}

bool BatchExport::readFold() {
    if (_settings.foldFile.isEmpty())
        return true;
    QString error;
    _fold = FoldFile::read(_settings.foldFile, &error);
    if (!_fold)
        std::fprintf(stderr, "pleatora: %s\n", qPrintable(error));
    return bool(_fold);
}

QString BatchExport::outputPath(const QString& picture) const {
    if (!_settings.output.isEmpty())
        return _settings.output;
    const QString suffix = _settings.format.isEmpty() ? QStringLiteral("png") : _settings.format;
    const ExportFormat format =
        ExportWriter::formatForFileName(QStringLiteral("x.") + suffix).value_or(ExportFormat());
    return QDir(_settings.outputDirectory)
        .filePath(format.foldedFileName(QFileInfo(picture).fileName()));
}

std::optional<ExportFormat> BatchExport::formatFor(const QString& output) const {
    if (!_settings.format.isEmpty())
        return ExportWriter::formatForFileName(QStringLiteral("x.") + _settings.format);
    if (QFileInfo(output).suffix().isEmpty())
        return ExportWriter::formats().first();
    return ExportWriter::formatForFileName(output);
}

BatchExport::Outcome BatchExport::exportPicture(const QString& picture, QString* failure) {
    const QString output = outputPath(picture);
    const std::optional<ExportFormat> format = formatFor(output);
    if (!format) {
        *failure = tr("Pleatora cannot write this kind of file here: %1").arg(output);
        return Outcome::Failed;
    }
    if (!_settings.overwrite && QFileInfo::exists(output)) {
        *failure = tr("%1 exists already (--overwrite replaces it).").arg(output);
        return Outcome::Failed;
    }
    ExportOptions options = _options;
    if (!format->hasAlpha)
        options.transparentBackground = false;

    const SheetSizing sizing = sizingForScreenHeight(_settings.screenHeight);
    auto start = Clock::now();
    const PictureReader::Result read =
        PictureReader::read(QFile::encodeName(picture), [&](QSize pixels) {
            const FoldSize sheet = sizing.displaySize(pixels);
            const FoldSize window = FoldModel::windowSizeForSheet(sheet);
            const double scale = ExportPicture::pixelsPerPoint(
                options, QSize(int(window.width), int(window.height)));
            return QSize(int(std::ceil(sheet.width * scale)), int(std::ceil(sheet.height * scale)));
        });
    _timings.decode += Clock::now() - start;
    if (read.picture.isNull()) {
        *failure = read.failureReason;
        return Outcome::Failed;
    }
    return draw(read, sizing.displaySize(read.pixelSize), options, *format, output, failure);
}

BatchExport::Outcome BatchExport::draw(const PictureReader::Result& read, FoldSize sheet,
                                       const ExportOptions& options, const ExportFormat& format,
                                       const QString& output, QString* failure) {
    FoldModel fold(sheet);
    float pitch = 0;
    if (_fold) {
        _fold->applyTo(fold);
        pitch = _fold->fold().pitch;
    }
    if (_settings.pitch)
        pitch = float(*_settings.pitch);
    const FoldSize window = FoldModel::windowSizeForSheet(sheet);
    QString whatFailed;
    auto view = SheetRenderer::create(QSizeF(window.width, window.height), 1.0, &whatFailed,
                                      OffscreenContext::Platform::Surfaceless);
    if (!view) {
        *failure =
            tr("%1 Pleatora needs OpenGL 2.1 with the compatibility profile.").arg(whatFailed);
        return Outcome::NoRenderer;
    }
    view->setFold(fold);
    view->setImageSize(QSizeF(sheet.width, sheet.height));
    view->setPitch(pitch);
    view->setShading(_shading);
    if (!view->setImage(read.picture)) {
        *failure = tr("The picture could not be made into an OpenGL texture.");
        return Outcome::Failed;
    }
    view->display();
    const QSize windowPoints(int(window.width), int(window.height));
    // As in the application: the window's texture serves unless the export shows more pixels.
    const bool larger = ExportPicture::pixelsPerPoint(options, windowPoints) > 1.0;
    auto start = Clock::now();
    QImage result = ExportPicture::renderFold(*view, windowPoints, options,
                                              larger ? read.picture : QImage(), {});
    _timings.render += Clock::now() - start;
    if (result.isNull()) {
        *failure = tr("The folded picture could not be drawn at that size.");
        return Outcome::Failed;
    }
    start = Clock::now();
    ExportPicture::finish(result, view->lineEndPoints(), options, _look);
    _timings.shadow += Clock::now() - start;
    start = Clock::now();
    const auto written = ExportWriter::write(std::move(result), output, format, {}, failure);
    _timings.encode += Clock::now() - start;
    return written == ExportWriter::Outcome::Written ? Outcome::Written : Outcome::Failed;
}

// A progress bar on a terminal; one line a picture for logs and pipes. Failures always get a
// line of their own.
void BatchExport::report(int done, int total, const QString& picture,
                         const QString& failure) const {
    if (!failure.isEmpty()) {
        if (_isTerminal)
            std::fputs("\r\033[K", stderr);
        std::fprintf(stderr, "pleatora: %s: %s\n", qPrintable(picture), qPrintable(failure));
    } else if (!_isTerminal) {
        std::fprintf(stderr, "%s -> %s\n", qPrintable(picture), qPrintable(outputPath(picture)));
    }
    if (_isTerminal) {
        constexpr int barWidth = 30;
        const int filled = barWidth * done / total;
        std::fprintf(stderr, "\r[%s%s] %d/%d", QByteArray(filled, '#').constData(),
                     QByteArray(barWidth - filled, ' ').constData(), done, total);
        if (done == total)
            std::fputc('\n', stderr);
    }
}
