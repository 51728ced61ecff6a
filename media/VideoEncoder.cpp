// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/VideoEncoder.h"

#include "media/Failure.h"
#include "media/FfmpegLog.h"

#include <QFile>

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace {

// The image's pixels: QImage's ARGB32 and RGB32 are 32-bit words in native byte order.
constexpr AVPixelFormat imagePixelFormat = AV_PIX_FMT_RGB32;

AVDictionary* optionsFrom(const QByteArray& text) {
    AVDictionary* options = nullptr;
    if (!text.isEmpty())
        av_dict_parse_string(&options, text.constData(), "=", ":", 0);
    return options;
}

bool isYuv(AVPixelFormat format) {
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    return descriptor && !(descriptor->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL)) &&
           descriptor->nb_components >= 3;
}

} // namespace

std::unique_ptr<VideoEncoder> VideoEncoder::open(const QString& path, const Settings& settings,
                                                 QString* failure) {
    FfmpegLog::install();
    FfmpegLog::forget();
    std::unique_ptr<VideoEncoder> video(new VideoEncoder);
    if (video->openEncoder(settings, failure) && video->openFile(path, settings, failure) &&
        video->makeConverter(settings, failure))
        return video;
    return nullptr;
}

VideoEncoder::~VideoEncoder() {
    // FFmpeg's GIF muxer lets go of the frame it holds back only in its trailer; the file is given
    // up anyway.
    if (_isBegun && std::strcmp(_file->oformat->name, "gif") == 0)
        av_write_trailer(_file);
    if (_isOpen)
        avio_closep(&_file->pb);
    sws_freeContext(_converter);
    av_frame_free(&_frame);
    av_packet_free(&_packet);
    avcodec_free_context(&_encoder);
    avformat_free_context(_file);
}

// Videos are tagged with the BT.709 colours their YUV pixels are converted with, so that players
// convert them back the same way.
bool VideoEncoder::openEncoder(const Settings& settings, QString* failure) {
    const AVCodec* codec = avcodec_find_encoder_by_name(settings.encoder);
    if (!codec)
        return Failure::fail(
            failure, tr("This FFmpeg has no %1 encoder.").arg(QString::fromUtf8(settings.encoder)));
    _encoder = avcodec_alloc_context3(codec);
    _packet = av_packet_alloc();
    if (!_encoder || !_packet)
        return Failure::fail(
            failure,
            tr("Out of memory for the %1 encoder.").arg(QString::fromUtf8(settings.encoder)));
    _encoder->width = settings.size.width();
    _encoder->height = settings.size.height();
    _encoder->pix_fmt = AVPixelFormat(settings.pixelFormat);
    _encoder->time_base = {1, settings.framesPerSecond};
    _encoder->framerate = {settings.framesPerSecond, 1};
    if (isYuv(_encoder->pix_fmt)) {
        _encoder->colorspace = AVCOL_SPC_BT709;
        _encoder->color_primaries = AVCOL_PRI_BT709;
        _encoder->color_trc = AVCOL_TRC_BT709;
        _encoder->color_range = AVCOL_RANGE_MPEG;
    }
    const AVOutputFormat* muxer = av_guess_format(settings.muxer, nullptr, nullptr);
    if (muxer && (muxer->flags & AVFMT_GLOBALHEADER))
        _encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = optionsFrom(settings.encoderOptions);
    const int opened = avcodec_open2(_encoder, codec, &options);
    av_dict_free(&options);
    if (opened < 0)
        return Failure::fail(failure, tr("The %1 encoder refused frames of %2 x %3 pixels: %4")
                                          .arg(QString::fromUtf8(settings.encoder))
                                          .arg(settings.size.width())
                                          .arg(settings.size.height())
                                          .arg(FfmpegLog::reason(opened)));
    return true;
}

bool VideoEncoder::openFile(const QString& path, const Settings& settings, QString* failure) {
    // The muxer keeps the name: MP4's index is moved to the front by reading the file again.
    const QByteArray url = "file:" + QFile::encodeName(path);
    int result = avformat_alloc_output_context2(&_file, nullptr, settings.muxer, url.constData());
    if (result < 0)
        return Failure::fail(
            failure, tr("This FFmpeg has no %1 muxer.").arg(QString::fromUtf8(settings.muxer)));
    _stream = avformat_new_stream(_file, nullptr);
    if (!_stream || avcodec_parameters_from_context(_stream->codecpar, _encoder) < 0)
        return Failure::fail(
            failure, tr("Out of memory for the %1 muxer.").arg(QString::fromUtf8(settings.muxer)));
    _stream->time_base = _encoder->time_base;
    _stream->avg_frame_rate = _encoder->framerate;
    result = avio_open(&_file->pb, url.constData(), AVIO_FLAG_WRITE);
    if (result < 0)
        return Failure::fail(failure,
                             tr("The file cannot be written: %1").arg(FfmpegLog::reason(result)));
    _isOpen = true;
    AVDictionary* options = optionsFrom(settings.muxerOptions);
    result = avformat_write_header(_file, &options);
    av_dict_free(&options);
    if (result < 0)
        return Failure::fail(
            failure, tr("The %1 muxer could not begin the file: %2")
                         .arg(QString::fromUtf8(settings.muxer), FfmpegLog::reason(result)));
    _isBegun = true;
    return true;
}

// Paletted frames come ready-made; any other format is converted from the image's pixels.
bool VideoEncoder::makeConverter(const Settings& settings, QString* failure) {
    if (_encoder->pix_fmt == AV_PIX_FMT_PAL8)
        return true;
    const int width = settings.size.width();
    const int height = settings.size.height();
    _converter = sws_getContext(width, height, imagePixelFormat, width, height, _encoder->pix_fmt,
                                SWS_BILINEAR, nullptr, nullptr, nullptr);
    _frame = av_frame_alloc();
    if (!_converter || !_frame)
        return Failure::fail(failure,
                             tr("No conversion of the frames to %1 could be made.")
                                 .arg(QString::fromUtf8(av_get_pix_fmt_name(_encoder->pix_fmt))));
    if (isYuv(_encoder->pix_fmt)) {
        const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
        sws_setColorspaceDetails(_converter, sws_getCoefficients(SWS_CS_DEFAULT), 1, bt709, 0, 0,
                                 1 << 16, 1 << 16);
    }
    _frame->format = _encoder->pix_fmt;
    _frame->width = width;
    _frame->height = height;
    const int result = av_frame_get_buffer(_frame, 0);
    if (result < 0)
        return Failure::fail(failure,
                             tr("No memory for a frame: %1").arg(FfmpegLog::reason(result)));
    return true;
}

bool VideoEncoder::addFrame(const QImage& frame, QString* failure) {
    if (!_converter)
        return Failure::fail(failure, tr("The %1 encoder takes paletted frames only.")
                                          .arg(QString::fromUtf8(_encoder->codec->name)));
    const int result = av_frame_make_writable(_frame);
    if (result < 0)
        return Failure::fail(failure,
                             tr("No memory for a frame: %1").arg(FfmpegLog::reason(result)));
    const uint8_t* const planes[] = {frame.constBits()};
    const int strides[] = {int(frame.bytesPerLine())};
    sws_scale(_converter, planes, strides, 0, frame.height(), _frame->data, _frame->linesize);
    return addFrame(_frame, failure);
}

bool VideoEncoder::addFrame(AVFrame* frame, QString* failure) {
    frame->pts = _nextTimestamp++;
    return encode(frame, failure);
}

bool VideoEncoder::encode(AVFrame* frame, QString* failure) {
    int result = avcodec_send_frame(_encoder, frame);
    while (result >= 0) {
        result = avcodec_receive_packet(_encoder, _packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return true;
        if (result < 0)
            break;
        av_packet_rescale_ts(_packet, _encoder->time_base, _stream->time_base);
        _packet->stream_index = _stream->index;
        result = av_interleaved_write_frame(_file, _packet);
        if (result < 0)
            return Failure::fail(
                failure, tr("The file could not be written: %1").arg(FfmpegLog::reason(result)));
    }
    return Failure::fail(
        failure, tr("The %1 encoder failed: %2")
                     .arg(QString::fromUtf8(_encoder->codec->name), FfmpegLog::reason(result)));
}

bool VideoEncoder::endPass(QString* failure) {
    if (!encode(nullptr, failure))
        return false;
    int result = av_write_trailer(_file);
    _isBegun = false;
    if (result >= 0) {
        _isOpen = false;
        result = avio_closep(&_file->pb);
    }
    if (result < 0)
        return Failure::fail(
            failure, tr("The file could not be completed: %1").arg(FfmpegLog::reason(result)));
    return true;
}
