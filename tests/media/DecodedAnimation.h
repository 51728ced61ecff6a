// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

// An animation file as a player sees it: read by Debian's ffprobe and ffmpeg, which decodes VP9's
// alpha only with libvpx, and by libwebp's animation decoder, since FFmpeg cannot decode animated
// WebP.
struct DecodedAnimation {
    QString codec;            // "h264", "vp9", "gif", "apng", "webp"
    QString pixelFormat;      // as ffprobe names the stream's; empty for WebP
    bool alphaTagged = false; // WebM's ALPHA_MODE
    QSize size;
    int frameCount = 0;
    double seconds = 0;
    int loopCount = -1;   // WebP's; 0 for ever
    QList<QImage> frames; // Format_RGBA8888, straight alpha

    // Empty codec and the reason in failure when the file cannot be read.
    static DecodedAnimation read(const QString& path, QString* failure);

private:
    static bool probe(const QString& path, DecodedAnimation& animation, QString* failure);
    static bool decode(const QString& path, DecodedAnimation& animation, QString* failure);
    static bool readWebP(const QString& path, DecodedAnimation& animation, QString* failure);
};

// Both pictures over a mid grey, their colours compared: the mean difference of a channel, in
// 255ths.
double meanDifference(const QImage& a, const QImage& b);
