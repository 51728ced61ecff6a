// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/AnimationFormat.h"

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

class AnimationEncoder;
class ReplacingFile;

// Writes an animation file frame by frame, all or nothing: the file appears only complete, and
// an existing file, or a link, is replaced only by a complete new one, never written through. The
// file name's suffix chooses the
// format: .mp4 (H.264), .webm (VP9), .gif, .webp or .png (APNG). Frames are encoded as they come
// and not kept, except by the WebP encoder, which assembles its file in memory.
class AnimationWriter {
    Q_DECLARE_TR_FUNCTIONS(AnimationWriter)

public:
    struct Options {
        int framesPerSecond = 30;
        // GIF, WebP and APNG play for ever; otherwise once. Videos leave it to the player.
        bool loop = true;
        // What shows through transparent pixels. Fully transparent keeps the frames' alpha where
        // the format has alpha; MP4, which has none, then shows white.
        QColor background = Qt::transparent;
    };

    AnimationWriter();
    // A writer destroyed before its last pass ended leaves no file behind.
    ~AnimationWriter();

    AnimationWriter(const AnimationWriter&) = delete;
    AnimationWriter& operator=(const AnimationWriter&) = delete;

    // frameSize: the pixels of every frame. False with the reason when the format, the frame
    // rate or the size is not one the format takes, or when the file cannot be written.
    bool open(const QString& fileName, QSize frameSize, const Options& options,
              QString* failure = nullptr);
    // Whether frames of frameSize keep an animation of format within its memory budget; failure:
    // why not.
    static bool fitsMemory(QSize frameSize, const AnimationFormat& format,
                           QString* failure = nullptr);
    // How often every frame is given: GIF makes its palette from a first pass over them.
    int passCount() const;
    // A frame of the size given to open(), in any format; a premultiplied or straight ARGB32 one
    // is converted least. After a failure the writer takes no more frames.
    bool addFrame(const QImage& frame, QString* failure = nullptr);
    // After the last pass the file is complete and in place.
    bool endPass(QString* failure = nullptr);
    // Stops writing and removes what was written.
    void cancel();

    bool isOpen() const { return _encoder != nullptr; }

private:
    std::unique_ptr<AnimationEncoder> makeEncoder(const AnimationFormat& format, bool keepsAlpha,
                                                  QString* failure = nullptr);
    QImage prepared(const QImage& frame) const;
    bool failed(const QString& reason, QString* failure);

    std::unique_ptr<ReplacingFile> _file;
    std::unique_ptr<AnimationEncoder> _encoder;
    Options _options;
    QSize _frameSize;
    QSize _encodedSize; // H.264 wants even sides: the frame, widened by a row or column
    bool _keepsAlpha = false;
    int _passesLeft = 0;
    int _framesInPass = 0;
    int _framesInFirstPass = -1;
};
