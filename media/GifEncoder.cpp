// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/GifEncoder.h"

#include "media/Failure.h"
#include "media/FilterGraph.h"
#include "media/VideoEncoder.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

std::unique_ptr<GifEncoder> GifEncoder::open(const QString& path, QSize size, int framesPerSecond,
                                             bool loop, bool transparent, QString* failure) {
    std::unique_ptr<GifEncoder> gif(new GifEncoder);
    gif->_size = size;
    gif->_framesPerSecond = framesPerSecond;
    gif->_input = av_frame_alloc();
    gif->_output = av_frame_alloc();
    if (!gif->_input || !gif->_output) {
        Failure::fail(failure, tr("Out of memory for a GIF."));
        return nullptr;
    }
    // The GIF muxer's loop count: 0 for ever, -1 for no loop at all.
    VideoEncoder::Settings settings;
    settings.muxer = "gif";
    settings.encoder = "gif";
    settings.pixelFormat = AV_PIX_FMT_PAL8;
    settings.size = size;
    settings.framesPerSecond = framesPerSecond;
    settings.muxerOptions = loop ? "loop=0" : "loop=-1";
    gif->_video = VideoEncoder::open(path, settings, failure);
    const QByteArray palette =
        QByteArrayLiteral("[in0]palettegen=stats_mode=full:reserve_transparent=") +
        (transparent ? "1" : "0") + "[out]";
    if (gif->_video)
        gif->_filters =
            FilterGraph::create(palette, {{size, AV_PIX_FMT_RGB32, framesPerSecond}}, failure);
    return gif->_filters ? std::move(gif) : nullptr;
}

GifEncoder::~GifEncoder() {
    av_frame_free(&_input);
    av_frame_free(&_output);
}

bool GifEncoder::addFrame(const QImage& frame, QString* failure) {
    // The filters' buffer copies a frame that is not reference-counted.
    _input->format = AV_PIX_FMT_RGB32;
    _input->width = frame.width();
    _input->height = frame.height();
    _input->data[0] = const_cast<uint8_t*>(frame.constBits());
    _input->linesize[0] = int(frame.bytesPerLine());
    _input->pts = _frameIndex++;
    const bool pushed = _filters->push(0, _input, failure);
    _input->data[0] = nullptr;
    return pushed && (_pass == 0 || encodeMapped(failure));
}

bool GifEncoder::endPass(QString* failure) {
    _frameIndex = 0;
    if (_pass++ == 0)
        return endPalette(failure);
    return _filters->push(0, nullptr, failure) && encodeMapped(failure) && _video->endPass(failure);
}

// The palette, once every frame has counted, goes to the mapping as its second input, which
// then holds it for every frame.
bool GifEncoder::endPalette(QString* failure) {
    if (!_filters->push(0, nullptr, failure))
        return false;
    const FilterGraph::Pulled pulled = _filters->pull(_output, failure);
    if (pulled == FilterGraph::Pulled::NoneYet)
        return Failure::fail(failure, tr("FFmpeg made no palette for the GIF."));
    if (pulled != FilterGraph::Pulled::Frame)
        return false;
    _output->pts = 0;
    const FilterGraph::Input palette{QSize(_output->width, _output->height), _output->format,
                                     _framesPerSecond};
    _filters =
        FilterGraph::create("[in0][in1]paletteuse=dither=sierra2_4a:diff_mode=rectangle[out]",
                            {{_size, AV_PIX_FMT_RGB32, _framesPerSecond}, palette}, failure);
    return _filters && _filters->push(1, _output, failure) && _filters->push(1, nullptr, failure);
}

bool GifEncoder::encodeMapped(QString* failure) {
    for (;;) {
        switch (_filters->pull(_output, failure)) {
        case FilterGraph::Pulled::Frame:
            if (!_video->addFrame(_output, failure))
                return false;
            break;
        case FilterGraph::Pulled::NoneYet:
            return true;
        case FilterGraph::Pulled::Failed:
            return false;
        }
    }
}
