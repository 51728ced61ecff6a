// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/WebPEncoder.h"

#include "media/Failure.h"

#include <QIODevice>

#include <algorithm>
#include <cmath>

#include <webp/mux.h>

namespace {

// Lossy frames with their alpha: a fraction of the lossless file's size, and what a photograph
// on a sheet needs. libwebp's method 2 (of 0, fast, to 6, small) took half the time of its default
// 4 in the animation benchmark, for files 13% larger.
constexpr float quality = 85;
constexpr int effort = 2;

} // namespace

std::unique_ptr<WebPEncoder> WebPEncoder::open(QIODevice* file, QSize size, int framesPerSecond,
                                               bool loop, QString* failure) {
    std::unique_ptr<WebPEncoder> webp(new WebPEncoder);
    webp->_file = file;
    webp->_framesPerSecond = framesPerSecond;
    WebPAnimEncoderOptions options;
    if (!WebPAnimEncoderOptionsInit(&options) ||
        !WebPConfigPreset(&webp->_config, WEBP_PRESET_PICTURE, quality)) {
        Failure::fail(failure,
                      tr("This libwebp does not match the version Pleatora was built with."));
        return nullptr;
    }
    options.anim_params.loop_count = loop ? 0 : 1;
    webp->_config.method = effort;
    webp->_encoder = WebPAnimEncoderNew(size.width(), size.height(), &options);
    if (!webp->_encoder) {
        Failure::fail(failure, tr("libwebp refused an animation of %1 x %2 pixels.")
                                   .arg(size.width())
                                   .arg(size.height()));
        return nullptr;
    }
    return webp;
}

WebPEncoder::~WebPEncoder() {
    WebPAnimEncoderDelete(_encoder);
}

int WebPEncoder::timestamp() const {
    return int(std::lround(_frameCount * 1000.0 / _framesPerSecond));
}

QString WebPEncoder::encoderError() const {
    return QString::fromUtf8(WebPAnimEncoderGetError(_encoder));
}

// The image's ARGB32 words are libwebp's ARGB pixels: the encoder reads them where they are.
bool WebPEncoder::addFrame(const QImage& frame, QString* failure) {
    WebPPicture picture;
    WebPPictureInit(&picture);
    picture.use_argb = 1;
    picture.width = frame.width();
    picture.height = frame.height();
    picture.argb = reinterpret_cast<uint32_t*>(const_cast<uchar*>(frame.constBits()));
    picture.argb_stride = int(frame.bytesPerLine() / 4);
    const bool added = WebPAnimEncoderAdd(_encoder, &picture, timestamp(), &_config);
    if (!added && failure)
        *failure =
            tr("libwebp could not encode frame %1: %2").arg(_frameCount + 1).arg(encoderError());
    ++_frameCount;
    return added;
}

bool WebPEncoder::endPass(QString* failure) {
    WebPData data;
    WebPDataInit(&data);
    if (!WebPAnimEncoderAdd(_encoder, nullptr, timestamp(), nullptr) ||
        !WebPAnimEncoderAssemble(_encoder, &data))
        return Failure::fail(
            failure, tr("libwebp could not assemble the animation: %1").arg(encoderError()));
    // A short write gives no reason; writing the rest then fails with the system's.
    const char* bytes = reinterpret_cast<const char*>(data.bytes);
    const qint64 size = qint64(data.size);
    qint64 done = 0;
    while (done < size) {
        const qint64 part = _file->write(bytes + done, size - done);
        if (part <= 0)
            break;
        done += part;
    }
    const bool written = done == size;
    WebPDataClear(&data);
    if (!written && failure)
        *failure = tr("The file could not be written: %1").arg(_file->errorString());
    return written;
}
