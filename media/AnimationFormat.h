// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>

// A kind of animation file, named by its file name's suffix.
struct AnimationFormat {
    Q_DECLARE_TR_FUNCTIONS(AnimationFormat)

public:
    enum class Kind { Mp4, WebM, Gif, WebP, Apng };

    Kind kind = Kind::Mp4;
    QString suffix;
    QString description;
    bool hasAlpha = false;
    // GIF stores each frame's delay in hundredths of a second.
    int highestFrameRate = 60;
    // An animation's memory a frame pixel at most: the encoder's look-ahead and reference frames
    // and the frame's own copies, measured over 90 frames, with a little to spare.
    int bytesPerFramePixel = 136;

    // An animation's frames are capped so that it takes at most 1 GiB.
    static constexpr qint64 memoryBudget = qint64(1) << 30;
    qint64 largestFramePixels() const { return memoryBudget / bytesPerFramePixel; }

    // MP4 first, then WebM, GIF, WebP and APNG.
    static QList<AnimationFormat> all();
    static std::optional<AnimationFormat> forFileName(const QString& fileName);
    // ".mp4, .webm, .gif, .webp or .png", for messages.
    static QString suffixList();
};
