// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/AnimationBatch.h"

#include "cli/StopSignals.h"

#include "document/AnimationExport.h"
#include "fold/FoldModel.h"
#include "fold/FoldMotion.h"
#include "fold/SheetFold.h"
#include "media/PathText.h"

#include <cstdio>

AnimationBatch::AnimationBatch(const CommandLine::MotionSettings& motion,
                               const std::optional<FoldFile>& start, FILE* progress)
    : _motion(motion), _start(start), _progress(progress) {}

// A flat start keeps the end's tilt, so that only the fold moves unless told otherwise. A sweep
// without a start fold turns the sheet as it is folded.
FoldSnapshot AnimationBatch::startFold(FoldSize sheet, const FoldSnapshot& end) const {
    float pitch = _start ? float(_start->fold().pitch) : end.pitch;
    if (_motion.tiltFrom)
        pitch = float(*_motion.tiltFrom);
    if (_motion.sweep != 0 && !_start) {
        FoldSnapshot still = end;
        still.pitch = pitch;
        return still;
    }
    SheetFold start(end.layout, sheet);
    start.restore(end);
    start.setPose(HingedFold::Pose::flat);
    // Hinged panels open from closed, as a printed piece comes out of its envelope.
    if (end.layout.isHinged())
        start.setPose(HingedFold::Pose::closed);
    if (_start)
        _start->applyTo(start);
    return start.snapshot(pitch);
}

bool AnimationBatch::write(SheetRenderer& view, FoldSize sheet, const FoldSnapshot& end,
                           QSize windowPoints, const ExportOptions& options,
                           const ExportPicture::Look& look, const QImage& texturePicture,
                           const QByteArray& output, QString* failure) const {
    AnimationExport animation(view, sheet, windowPoints, options, look, texturePicture);
    const QString fileName = PathText::fromBytes(output);
    const auto progress = [&](int done, int total) {
        showProgress(done, total, PathText::shown(output));
        return !StopSignals::requested();
    };
    const bool written = animation.write(fileName, frames(sheet, end), timing(), progress,
                                         failure) == AnimationExport::Outcome::Written;
    if (_progress)
        std::fputs("\r\033[K", _progress); // the batch's own bar or line takes its place
    return written;
}

std::vector<FoldSnapshot> AnimationBatch::frames(FoldSize sheet, const FoldSnapshot& end) const {
    return FoldMotion::frames(sheet, startFold(sheet, end), end, timing());
}

FoldMotion::Timing AnimationBatch::timing() const {
    return {_motion.duration, _motion.framesPerSecond, _motion.loop, _motion.ease, _motion.sweep};
}

void AnimationBatch::showProgress(int done, int total, const QString& output) const {
    if (!_progress)
        return;
    constexpr int barWidth = 30;
    const int filled = barWidth * done / total;
    std::fprintf(_progress, "\r\033[K[%s%s] %d/%d drawn: %s", QByteArray(filled, '#').constData(),
                 QByteArray(barWidth - filled, ' ').constData(), done, total,
                 output.toUtf8().constData());
    std::fflush(_progress);
}
