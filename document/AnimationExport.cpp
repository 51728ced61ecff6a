// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/AnimationExport.h"

#include "media/AnimationWriter.h"
#include "render/SheetRenderer.h"

namespace {

using Clock = std::chrono::steady_clock;

} // namespace

AnimationExport::AnimationExport(SheetRenderer& view, FoldSize sheet, QSize windowSize,
                                 const ExportOptions& options, const ExportPicture::Look& look,
                                 QImage texturePicture)
    : _view(view), _fold(FoldLayout(), sheet), _windowSize(windowSize), _options(options),
      _look(look), _texturePicture(std::move(texturePicture)) {}

AnimationExport::Outcome AnimationExport::write(const QString& fileName,
                                                const std::vector<FoldSnapshot>& frames,
                                                const FoldMotion::Timing& timing,
                                                const Progress& progress, QString* failure) {
    const ExportOptions options = optionsFor(fileName);
    const QColor background =
        options.transparentBackground ? QColor(Qt::transparent) : options.backgroundColor;
    AnimationWriter writer;
    if (!writer.open(fileName, options.pixelSize(_windowSize),
                     {timing.framesPerSecond, timing.loop, background}, failure))
        return Outcome::Failed;
    const int total = writer.passCount() * int(frames.size());
    int done = 0;
    for (int pass = 0; pass < writer.passCount(); ++pass) {
        for (const FoldSnapshot& fold : frames) {
            if (!addFrame(writer, fold, options, failure))
                return Outcome::Failed;
            if (progress && !progress(++done, total))
                return Outcome::Stopped;
        }
        const auto start = Clock::now();
        const bool ended = writer.endPass(failure);
        _timings.encode += Clock::now() - start;
        if (!ended)
            return Outcome::Failed;
    }
    return Outcome::Written;
}

// A format without alpha shows the export's background colour rather than none.
ExportOptions AnimationExport::optionsFor(const QString& fileName) const {
    ExportOptions options = _options;
    const std::optional<AnimationFormat> format = AnimationFormat::forFileName(fileName);
    if (format && !format->hasAlpha)
        options.transparentBackground = false;
    return options;
}

bool AnimationExport::addFrame(AnimationWriter& writer, const FoldSnapshot& fold,
                               const ExportOptions& options, QString* failure) {
    const QImage picture = drawFrame(fold, options);
    if (picture.isNull()) {
        if (failure)
            *failure = tr("The folded picture could not be drawn at that size.");
        return false;
    }
    const auto start = Clock::now();
    const bool added = writer.addFrame(picture, failure);
    _timings.encode += Clock::now() - start;
    return added;
}

// The lines need the end points of a frame pass at this fold.
QImage AnimationExport::drawFrame(const FoldSnapshot& fold, const ExportOptions& options) {
    const auto start = Clock::now();
    if (fold.layout != _fold.layout())
        _fold = SheetFold(fold.layout, _fold.sheetSize());
    _fold.restore(fold);
    _view.setFold(_fold);
    _view.setPitch(fold.pitch);
    _view.setYaw(fold.yaw);
    if (options.withCreaseLine)
        _view.display();
    QImage picture = ExportPicture::render(_view, _view.lineEndPoints(), _windowSize, options,
                                           _look, _texturePicture, {});
    _timings.render += Clock::now() - start;
    ++_timings.frames;
    return picture;
}
