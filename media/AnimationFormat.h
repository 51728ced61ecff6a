// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

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

    // MP4 first, then WebM, GIF, WebP and APNG.
    static QList<AnimationFormat> all();
    static std::optional<AnimationFormat> forFileName(const QString& fileName);
    // ".mp4, .webm, .gif, .webp or .png", for messages.
    static QString suffixList();
};
