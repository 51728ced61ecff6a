// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/AnimationEncoder.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QSize>

#include <cstdint>
#include <memory>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwsContext;

// A video stream made by one of FFmpeg's encoders and written by one of its muxers: MP4, WebM and
// APNG, and the last step of a GIF. Frames of the image's own pixels are converted to the
// encoder's pixel format by libswscale.
class VideoEncoder : public AnimationEncoder {
    Q_DECLARE_TR_FUNCTIONS(VideoEncoder)

public:
    struct Settings {
        const char* muxer = nullptr;   // FFmpeg's short names: "mp4", "webm", "apng", "gif"
        const char* encoder = nullptr; // "libx264", "libvpx-vp9", "apng", "gif"
        int pixelFormat = -1;          // AVPixelFormat
        QSize size;
        int framesPerSecond = 30;
        // FFmpeg option strings, "key=value:key=value".
        QByteArray encoderOptions;
        QByteArray muxerOptions;
    };

    // The file at path is written by FFmpeg's own I/O. Null with the reason when this FFmpeg
    // lacks the muxer or the encoder, when either refuses the settings or when the file cannot
    // be written.
    static std::unique_ptr<VideoEncoder> open(const QString& path, const Settings& settings,
                                              QString* failure = nullptr);
    ~VideoEncoder() override;

    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    bool addFrame(const QImage& frame, QString* failure) override;
    // A frame already in the encoder's pixel format; its timestamp is set here.
    bool addFrame(AVFrame* frame, QString* failure = nullptr);
    // Flushes the encoder and completes and closes the file.
    bool endPass(QString* failure) override;

private:
    VideoEncoder() = default;
    bool openEncoder(const Settings& settings, QString* failure = nullptr);
    bool openFile(const QString& path, const Settings& settings, QString* failure = nullptr);
    bool makeConverter(const Settings& settings, QString* failure = nullptr);
    // Sends a frame (null: the end) and writes every packet the encoder gives back.
    bool encode(AVFrame* frame, QString* failure = nullptr);

    AVFormatContext* _file = nullptr;
    AVCodecContext* _encoder = nullptr;
    AVStream* _stream = nullptr;
    SwsContext* _converter = nullptr;
    AVFrame* _frame = nullptr; // the converted frame, reused
    AVPacket* _packet = nullptr;
    std::int64_t _nextTimestamp = 0;
    bool _isOpen = false;  // the file is open and not yet closed
    bool _isBegun = false; // the header is written and the trailer not yet
};
