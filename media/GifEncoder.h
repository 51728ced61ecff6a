// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/AnimationEncoder.h"

#include <QCoreApplication>
#include <QSize>

#include <cstdint>
#include <memory>

class FilterGraph;
class VideoEncoder;
struct AVFrame;

// An animated GIF with one palette made from the animation's own frames: the first pass gives
// them to FFmpeg's palettegen, the second maps them onto that palette with paletteuse,
// dithered, and encodes them. Each pass holds one frame at a time.
class GifEncoder : public AnimationEncoder {
    Q_DECLARE_TR_FUNCTIONS(GifEncoder)

public:
    // transparent: pixels below half opacity become the palette's transparent entry.
    static std::unique_ptr<GifEncoder> open(const QString& path, QSize size, int framesPerSecond,
                                            bool loop, bool transparent,
                                            QString* failure = nullptr);
    ~GifEncoder() override;

    int passCount() const override { return 2; }
    bool addFrame(const QImage& frame, QString* failure) override;
    bool endPass(QString* failure) override;

private:
    GifEncoder() = default;
    bool endPalette(QString* failure = nullptr);
    // Encodes what the mapping has made by now.
    bool encodeMapped(QString* failure = nullptr);

    QSize _size;
    int _framesPerSecond = 0;
    int _pass = 0;
    std::int64_t _frameIndex = 0;          // within the pass
    std::unique_ptr<FilterGraph> _filters; // palettegen in the first pass, paletteuse after
    std::unique_ptr<VideoEncoder> _video;
    AVFrame* _input = nullptr;  // the image's pixels, not owned
    AVFrame* _output = nullptr; // what the filters give
};
