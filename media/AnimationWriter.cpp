// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/AnimationWriter.h"

#include "media/AnimationEncoder.h"
#include "media/Failure.h"
#include "media/GifEncoder.h"
#include "media/PathText.h"
#include "media/ReplacingFile.h"
#include "media/VideoEncoder.h"
#include "media/WebPEncoder.h"

#include <QPainter>

extern "C" {
#include <libavutil/pixfmt.h>
}

namespace {

// Chosen with the animation benchmark: x264's veryfast preset, without the trellis quantisation of
// the faster ones, encodes in 60% of the time of "faster", at visually lossless quality; libvpx's
// realtime mode at a like quality takes a sixth of the time of its good mode, for files a third
// larger, and without a lag holds no frames back; zlib at level 3 takes 60% of the default
// level's time for APNG, for files a third larger.
const QByteArray h264Options = "preset=veryfast:crf=18";
const QByteArray vp9Options =
    "crf=30:b=0:deadline=realtime:cpu-used=5:row-mt=1:tile-columns=2:lag-in-frames=0";
const QByteArray apngOptions = "compression_level=3";

QSize evenSize(QSize size) {
    return {size.width() + size.width() % 2, size.height() + size.height() % 2};
}

// FFmpeg writes through a name of its own for the replacing file's open temporary file, which it
// reads back to move MP4's index to the front.
QString pathForFFmpeg(const ReplacingFile& file) {
    return QStringLiteral("/proc/self/fd/%1").arg(file.handle());
}

} // namespace

AnimationWriter::AnimationWriter() = default;
AnimationWriter::~AnimationWriter() {
    cancel();
}

bool AnimationWriter::open(const QString& fileName, QSize frameSize, const Options& options,
                           QString* failure) {
    cancel();
    const std::optional<AnimationFormat> format = AnimationFormat::forFileName(fileName);
    if (!format)
        return failed(tr("Pleatora writes animations as %1 files, not as “%2”.")
                          .arg(AnimationFormat::suffixList(), fileName),
                      failure);
    if (options.framesPerSecond < 1 || options.framesPerSecond > format->highestFrameRate)
        return failed(tr("%1 plays at most %2 frames a second, not %3.")
                          .arg(format->description)
                          .arg(format->highestFrameRate)
                          .arg(options.framesPerSecond),
                      failure);
    if (frameSize.isEmpty())
        return failed(tr("An animation's frames need a size."), failure);
    if (QString reason; !fitsMemory(frameSize, *format, &reason))
        return failed(reason, failure);
    _options = options;
    _frameSize = frameSize;
    _encodedSize = format->kind == AnimationFormat::Kind::Mp4 ? evenSize(frameSize) : frameSize;
    _keepsAlpha = format->hasAlpha && options.background.alpha() == 0;
    _file = std::make_unique<ReplacingFile>(PathText::toBytes(fileName));
    if (!_file->open())
        return failed(tr("The file cannot be written: %1").arg(_file->failure()), failure);
    _encoder = makeEncoder(*format, _keepsAlpha, failure);
    if (!_encoder) {
        _file.reset();
        return false;
    }
    _passesLeft = _encoder->passCount();
    _framesInPass = 0;
    _framesInFirstPass = -1;
    return true;
}

std::unique_ptr<AnimationEncoder> AnimationWriter::makeEncoder(const AnimationFormat& format,
                                                               bool keepsAlpha, QString* failure) {
    const int rate = _options.framesPerSecond;
    if (format.kind == AnimationFormat::Kind::WebP)
        return WebPEncoder::open(_file.get(), _encodedSize, rate, _options.loop, failure);
    const QString path = pathForFFmpeg(*_file);
    if (format.kind == AnimationFormat::Kind::Gif)
        return GifEncoder::open(path, _encodedSize, rate, _options.loop, keepsAlpha, failure);
    VideoEncoder::Settings settings;
    settings.size = _encodedSize;
    settings.framesPerSecond = rate;
    switch (format.kind) {
    case AnimationFormat::Kind::Mp4:
        settings.muxer = "mp4";
        settings.encoder = "libx264";
        settings.pixelFormat = AV_PIX_FMT_YUV420P;
        settings.encoderOptions = h264Options;
        settings.muxerOptions = "movflags=+faststart";
        break;
    case AnimationFormat::Kind::WebM:
        settings.muxer = "webm";
        settings.encoder = "libvpx-vp9";
        settings.pixelFormat = keepsAlpha ? AV_PIX_FMT_YUVA420P : AV_PIX_FMT_YUV420P;
        settings.encoderOptions = vp9Options;
        break;
    default:
        settings.muxer = "apng";
        settings.encoder = "apng";
        settings.pixelFormat = keepsAlpha ? AV_PIX_FMT_RGBA : AV_PIX_FMT_RGB24;
        settings.encoderOptions = apngOptions;
        settings.muxerOptions = _options.loop ? "plays=0" : "plays=1"; // 0: for ever
        break;
    }
    return VideoEncoder::open(path, settings, failure);
}

bool AnimationWriter::fitsMemory(QSize frameSize, const AnimationFormat& format, QString* failure) {
    if (qint64(frameSize.width()) * frameSize.height() <= format.largestFramePixels())
        return true;
    return Failure::fail(failure,
                         tr("%1 x %2 pixels asked, over the limit of %3 megapixels a frame that "
                            "keeps %4 within %5 GiB of memory")
                             .arg(frameSize.width())
                             .arg(frameSize.height())
                             .arg(double(format.largestFramePixels()) / 1e6, 0, 'f', 1)
                             .arg(format.description)
                             .arg(AnimationFormat::memoryBudget >> 30));
}

int AnimationWriter::passCount() const {
    return _encoder ? _encoder->passCount() : 0;
}

bool AnimationWriter::addFrame(const QImage& frame, QString* failure) {
    if (!_encoder)
        return failed(tr("The animation is not open for writing."), failure);
    if (frame.size() != _frameSize)
        return failed(tr("Frame %1 is %2 x %3 pixels instead of %4 x %5.")
                          .arg(_framesInPass + 1)
                          .arg(frame.width())
                          .arg(frame.height())
                          .arg(_frameSize.width())
                          .arg(_frameSize.height()),
                      failure);
    ++_framesInPass;
    QString reason;
    return _encoder->addFrame(prepared(frame), &reason) || failed(reason, failure);
}

// Every pass gives the same frames; a pass with another count would make a file whose palette or
// timing belongs to other frames.
bool AnimationWriter::endPass(QString* failure) {
    if (!_encoder)
        return failed(tr("The animation is not open for writing."), failure);
    if (_framesInFirstPass >= 0 && _framesInPass != _framesInFirstPass)
        return failed(
            tr("A pass gave %1 frames instead of %2.").arg(_framesInPass).arg(_framesInFirstPass),
            failure);
    if (_framesInPass == 0)
        return failed(tr("An animation needs at least one frame."), failure);
    _framesInFirstPass = _framesInPass;
    _framesInPass = 0;
    QString reason;
    if (!_encoder->endPass(&reason))
        return failed(reason, failure);
    if (--_passesLeft > 0)
        return true;
    _encoder.reset();
    const bool committed = _file->commit();
    if (!committed)
        reason = tr("The file could not be completed: %1").arg(_file->failure());
    _file.reset();
    return committed || failed(reason, failure);
}

void AnimationWriter::cancel() {
    // The encoder closes FFmpeg's own handle on the file before the replacing file discards it.
    _encoder.reset();
    _file.reset();
}

// Straight alpha where the format keeps it; otherwise the frame over the background, in a frame
// as large as the encoder takes.
QImage AnimationWriter::prepared(const QImage& frame) const {
    if (_keepsAlpha)
        return frame.convertToFormat(QImage::Format_ARGB32);
    QColor background = _options.background.alpha() == 0 ? QColor(Qt::white) : _options.background;
    background.setAlpha(255);
    QImage flat(_encodedSize, QImage::Format_RGB32);
    flat.fill(background);
    QPainter painter(&flat);
    painter.drawImage(QRect(QPoint(), frame.size()), frame);
    return flat;
}

bool AnimationWriter::failed(const QString& reason, QString* failure) {
    cancel();
    if (failure)
        *failure = reason;
    return false;
}
