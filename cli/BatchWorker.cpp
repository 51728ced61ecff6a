// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchWorker.h"

#include "cli/BatchExport.h"

#include "cli/StopSignals.h"
#include "cli/WorkerMemory.h"
#include "document/ModelExport.h"
#include "document/RendererSetup.h"
#include "fold/FoldModel.h"
#include "media/AnimationWriter.h"
#include "media/Failure.h"
#include "media/GltfWriter.h"
#include "media/PathText.h"
#include "render/SheetRenderer.h"

#include <QFile>

#include <cmath>
#include <sys/stat.h>

namespace {

using Clock = std::chrono::steady_clock;

thread_local QString* decoderWarning = nullptr;
thread_local QStringList* warnings = nullptr;

} // namespace

BatchWorker::Timings& BatchWorker::Timings::operator+=(const Timings& other) {
    decode += other.decode;
    render += other.render;
    shadow += other.shadow;
    encode += other.encode;
    return *this;
}

BatchWorker::BatchWorker(const ExportRecipe::Defaults& defaults, bool skipExisting,
                         FILE* frameProgress, WorkerMemory* memory)
    : _defaults(defaults), _skipExisting(skipExisting), _frameProgress(frameProgress),
      _memory(memory) {}

BatchWorker::~BatchWorker() = default;

void BatchWorker::noteDecoderWarning(const QString& message) {
    if (decoderWarning && decoderWarning->isEmpty())
        *decoderWarning = message;
}

bool BatchWorker::keepWarning(const QString& message) {
    if (warnings)
        warnings->append(message);
    return warnings;
}

// An empty file or a link to nothing is what a run stopped midway or a mistake leaves, not an
// output a rerun can keep.
bool BatchWorker::isFinished(const QByteArray& output) {
    struct stat status {};
    return ::stat(output.constData(), &status) == 0 && S_ISREG(status.st_mode) &&
           status.st_size > 0;
}

BatchWorker::Result BatchWorker::exportEntry(const ExportPlan::Entry& entry) {
    const auto start = Clock::now();
    Result result;
    result.file = entry.picture;
    result.failure = entry.failure;
    warnings = &result.warnings;
    if (result.failure.isEmpty())
        result.status = exportPicture(entry, result);
    if (_memory)
        _memory->release(std::exchange(_reserved, 0));
    // What failed once a signal stopped the run was abandoned, not at fault.
    if (result.status == Status::Failed && StopSignals::requested())
        result.status = Status::Stopped;
    warnings = nullptr;
    result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    return result;
}

BatchWorker::Status BatchWorker::exportPicture(const ExportPlan::Entry& entry, Result& result) {
    struct stat status {};
    if (_skipExisting && isFinished(entry.output))
        return Status::Skipped;
    if (::lstat(entry.output.constData(), &status) == 0 && !_skipExisting) {
        if (!entry.settings.overwrite) {
            result.failure = tr("%1 exists already (--overwrite replaces it).")
                                 .arg(PathText::shown(entry.output));
            return Status::Failed;
        }
    }
    // Before decoding: the layout's window decides the export's size and what to decode.
    const std::optional<FoldLayout> layout = layoutOf(entry, &result.failure);
    if (!layout)
        return Status::Failed;
    const std::optional<FoldFile> foldFile =
        entry.settings.foldFile.isEmpty() ? std::nullopt : foldFor(entry.settings.foldFile);
    const ExportRecipe recipe(entry.settings, _defaults, entry.format, *layout,
                              foldFile ? foldFile->yaw() : 0.0);
    const auto start = Clock::now();
    const auto check = [&](QSize pixels, QString* failure) {
        const QSize exportPixels = recipe.plan(pixels).exportPixels(recipe.options());
        return (!entry.format ||
                ExportWriter::canWrite(entry.output, exportPixels, *entry.format, failure)) &&
               (!entry.animationFormat ||
                AnimationWriter::fitsMemory(exportPixels, *entry.animationFormat, failure)) &&
               reserveMemory(recipe, pixels, failure);
    };
    QString warning;
    decoderWarning = &warning;
    const PictureReader::Result read = PictureReader::read(
        entry.picture,
        [&](QSize pixels) { return recipe.plan(pixels).exportDecodePixels(recipe.options()); },
        check, recipe.frontPage());
    decoderWarning = nullptr;
    _timings.decode += Clock::now() - start;
    if (read.picture.isNull()) {
        result.failure = read.failure;
        return Status::Failed;
    }
    if (!warning.isEmpty())
        result.warnings.append(tr("The picture may be damaged: %1").arg(warning));
    return draw(read, entry, recipe, result);
}

bool BatchWorker::reserveMemory(const ExportRecipe& recipe, QSize pixels, QString* failure) {
    if (!_memory)
        return true;
    const SizingPlan plan = recipe.plan(pixels);
    const qint64 bytes = WorkerMemory::pictureBytes(plan.exportDecodePixels(recipe.options()),
                                                    plan.exportPixels(recipe.options()));
    if (!_memory->reserve(bytes, &StopSignals::requested))
        return Failure::fail(failure, tr("Stopped."));
    _reserved += bytes;
    return true;
}

std::optional<FoldFile> BatchWorker::foldFor(const QString& path, QString* failure) {
    if (const auto known = _folds.find(path); known != _folds.end())
        return known->second;
    std::optional<FoldFile> file = FoldFile::read(path, failure);
    if (file)
        _folds.emplace(path, *file);
    return file;
}

std::optional<FoldLayout> BatchWorker::layoutOf(const ExportPlan::Entry& entry, QString* failure) {
    if (entry.settings.foldFile.isEmpty())
        return entry.settings.layout.value_or(FoldLayout());
    const std::optional<FoldFile> file = foldFor(entry.settings.foldFile, failure);
    if (!file ||
        !BatchExport::layoutsAgree(entry.settings.layout, *file, entry.settings.foldFile, failure))
        return std::nullopt;
    return entry.settings.layout.value_or(file->layout());
}

// The fold the file and the settings give, in the entry's layout (layoutOf); one made on a sheet
// of another size is fitted to this one as the window would fit it, and said so.
float BatchWorker::fold(SheetFold& sheetFold, const ExportPlan::Entry& entry, Result& result) {
    std::optional<FoldFile> file;
    if (!entry.settings.foldFile.isEmpty())
        file = foldFor(entry.settings.foldFile);
    float pitch = file ? float(file->fold().pitch) : 0;
    const double distance = file ? file->applyTo(sheetFold) : 0;
    if (distance >= 0.05)
        result.warnings.append(tr("The fold was made on a sheet of %1 x %2 points; fitted to "
                                  "this picture it differs from it by up to %3 points")
                                   .arg(file->sheet().width, 0, 'f', 0)
                                   .arg(file->sheet().height, 0, 'f', 0)
                                   .arg(distance, 0, 'f', 1));
    if (entry.settings.pitch)
        pitch = float(*entry.settings.pitch);
    return pitch;
}

BatchWorker::Status BatchWorker::draw(const PictureReader::Result& read,
                                      const ExportPlan::Entry& entry, const ExportRecipe& recipe,
                                      Result& result) {
    const SizingPlan plan = recipe.plan(read.pixelSize);
    const FoldSize sheet = plan.sheet();
    const QSize windowPoints = plan.windowPoints();
    // Formats that give no size in their header are checked once decoded.
    if (entry.format && !ExportWriter::canWrite(entry.output, plan.exportPixels(recipe.options()),
                                                *entry.format, &result.failure))
        return Status::Failed;
    result.failure = ExportRecipe::panelWidthsMismatch(entry.settings, read.points);
    if (result.failure.isEmpty())
        result.failure = recipe.sceneFailure();
    if (!result.failure.isEmpty())
        return Status::Failed;
    SheetFold sheetFold(recipe.layout(), sheet, recipe.panelPaper(read.points));
    if (entry.settings.foldFile.isEmpty())
        sheetFold.setPose(recipe.pose());
    const float pitch = fold(sheetFold, entry, result);
    if (entry.format && entry.format->isModel())
        return writeModel(sheetFold, pitch, read, entry, recipe, result);
    SheetRenderer* view = renderer(windowPoints, &result.failure);
    if (!view) {
        result.failure =
            tr("%1 Pleatora needs OpenGL 2.1 with the compatibility profile.").arg(result.failure);
        return Status::NoRenderer;
    }
    view->setShading(recipe.shading());
    view->setFloor(recipe.floor(read.points));
    view->setLight(view->floor().lightDirection());
    // The renderer's pitch leans the top away, which would look up at a floor from beneath it:
    // on a floor the pitch is the eye looking down onto it.
    const float shownPitch = view->floor().shown ? -pitch : pitch;
    const ExportRecipe::BackSide back =
        recipe.backSide(QFile::decodeName(entry.picture), read.pageCount);
    PaperLook look = recipe.paperLook();
    if (!back.file.isEmpty())
        look.back = PaperLook::Back::picture;
    QString backWarning;
    decoderWarning = &backWarning;
    const bool paperShown =
        RendererSetup::showPaper(*view, look, back.file, back.page, &result.failure);
    decoderWarning = nullptr;
    if (!paperShown)
        return Status::Failed;
    if (!backWarning.isEmpty())
        result.warnings.append(tr("The back picture may be damaged: %1").arg(backWarning));
    if (!RendererSetup::showFold(*view, sheetFold, shownPitch, read.picture, &result.failure))
        return Status::Failed;
    view->setYaw(float(recipe.yaw()));
    view->display();
    // As in the window: the texture serves unless the export shows the picture finer than that.
    const bool finer =
        ExportPicture::needsFinerPicture(sheet, read.picture.size(), view->textureSize(),
                                         plan.exportPixelsPerPoint(recipe.options()));
    const QImage texturePicture = finer ? read.picture : QImage();
    if (entry.animationFormat) {
        FoldSnapshot end = sheetFold.snapshot(shownPitch);
        end.yaw = float(recipe.yaw());
        return animate(sheet, end, texturePicture, windowPoints, entry, recipe, result);
    }
    return render(texturePicture, windowPoints, entry, recipe, result);
}

BatchWorker::Status BatchWorker::writeModel(const SheetFold& sheetFold, float pitch,
                                            const PictureReader::Result& read,
                                            const ExportPlan::Entry& entry,
                                            const ExportRecipe& recipe, Result& result) {
    const ExportRecipe::BackSide back =
        recipe.backSide(QFile::decodeName(entry.picture), read.pageCount);
    // --sheet's size, when given, over the picture's own.
    const FoldSize printed = sheetFold.paper().printedSize;
    ModelExport::Sides sides{QSizeF(printed.width, printed.height), read.picture, QImage(),
                             recipe.paperLook()};
    if (!back.file.isEmpty()) {
        sides.look.back = PaperLook::Back::picture;
        sides.back = RendererSetup::readBackPicture(back.file, back.page, &result.failure);
        if (sides.back.isNull())
            return Status::Failed;
    }
    const double pixelsPerPoint =
        recipe.plan(read.pixelSize).exportPixelsPerPoint(recipe.options());
    const FoldSize sheet = sheetFold.sheetSize();
    const QSize texturePixels(qRound(sheet.width * pixelsPerPoint),
                              qRound(sheet.height * pixelsPerPoint));
    const auto start = Clock::now();
    PaperModel model;
    if (entry.animated) {
        const std::optional<AnimationBatch> animation =
            motionOf(entry, sheetFold.layout(), &result.failure);
        if (!animation)
            return Status::Failed;
        model = ModelExport::animatedModel(sheetFold,
                                           animation->frames(sheet, sheetFold.snapshot(pitch)),
                                           animation->timing(), sides, texturePixels);
    } else {
        model = ModelExport::model(sheetFold, pitch, sides, texturePixels);
    }
    const GltfWriter::Container container =
        entry.format->name == "GLB" ? GltfWriter::Container::binary : GltfWriter::Container::json;
    const auto written = GltfWriter::write(model, container, entry.output, &result.failure);
    _timings.encode += Clock::now() - start;
    if (written == ExportWriter::Outcome::Written)
        return Status::Written;
    result.file = entry.output; // the picture was read; the file could not be written
    return Status::Failed;
}

SheetRenderer* BatchWorker::renderer(QSize windowPoints, QString* failure) {
    if (_renderer && !_renderer->resize(QSizeF(windowPoints)))
        _renderer.reset(); // a fresh one says what failed
    if (!_renderer)
        _renderer = RendererSetup::create(windowPoints, 1.0,
                                          OffscreenContext::Platform::Surfaceless, failure);
    return _renderer.get();
}

BatchWorker::Status BatchWorker::render(const QImage& texturePicture, QSize windowPoints,
                                        const ExportPlan::Entry& entry, const ExportRecipe& recipe,
                                        Result& result) {
    auto start = Clock::now();
    QImage picture =
        ExportPicture::renderFold(*_renderer, windowPoints, recipe.options(), texturePicture,
                                  [](int, int) { return !StopSignals::requested(); });
    _timings.render += Clock::now() - start;
    if (picture.isNull()) {
        result.failure = tr("The folded picture could not be drawn at that size.");
        return Status::Failed;
    }
    start = Clock::now();
    ExportPicture::finish(picture, _renderer->lineEndPoints(), _renderer->lineCount(),
                          recipe.options(), recipe.look());
    _timings.shadow += Clock::now() - start;
    start = Clock::now();
    const auto written = ExportWriter::write(
        std::move(picture), entry.output, *entry.format, [] { return !StopSignals::requested(); },
        &result.failure);
    _timings.encode += Clock::now() - start;
    if (written == ExportWriter::Outcome::Written)
        return Status::Written;
    result.file = entry.output; // the picture was read; the file could not be written
    return Status::Failed;
}

std::optional<AnimationBatch> BatchWorker::motionOf(const ExportPlan::Entry& entry,
                                                    const FoldLayout& layout, QString* failure) {
    const CommandLine::MotionSettings& motion = entry.settings.motion;
    std::optional<FoldFile> start;
    if (!motion.startFoldFile.isEmpty()) {
        start = foldFor(motion.startFoldFile, failure);
        if (!start)
            return std::nullopt;
        if (start->layout() != layout) {
            Failure::fail(failure,
                          tr("The fold of --from is folded in another layout than the end."));
            return std::nullopt;
        }
    }
    return AnimationBatch(motion, start, _frameProgress);
}

BatchWorker::Status BatchWorker::animate(FoldSize sheet, const FoldSnapshot& end,
                                         const QImage& texturePicture, QSize windowPoints,
                                         const ExportPlan::Entry& entry, const ExportRecipe& recipe,
                                         Result& result) {
    const std::optional<AnimationBatch> animation = motionOf(entry, end.layout, &result.failure);
    if (!animation)
        return Status::Failed;
    if (animation->write(*_renderer, sheet, end, windowPoints, recipe.options(), recipe.look(),
                         texturePicture, entry.output, &result.failure))
        return Status::Written;
    result.file = entry.output; // the picture was read; the file could not be written
    return Status::Failed;
}
