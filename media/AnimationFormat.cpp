// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/AnimationFormat.h"

#include <QFileInfo>

QList<AnimationFormat> AnimationFormat::all() {
    return {
        {Kind::Mp4, QStringLiteral("mp4"), tr("MP4 video (H.264)"), false, 60, 136},
        {Kind::WebM, QStringLiteral("webm"), tr("WebM video (VP9)"), true, 60, 184},
        {Kind::Gif, QStringLiteral("gif"), tr("Animated GIF"), true, 50, 64},
        {Kind::WebP, QStringLiteral("webp"), tr("Animated WebP"), true, 60, 48},
        {Kind::Apng, QStringLiteral("png"), tr("Animated PNG"), true, 60, 48},
    };
}

std::optional<AnimationFormat> AnimationFormat::forFileName(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (const AnimationFormat& format : all()) {
        if (format.suffix == suffix)
            return format;
    }
    return std::nullopt;
}

QString AnimationFormat::suffixList() {
    QStringList suffixes;
    for (const AnimationFormat& format : all())
        suffixes.append(QLatin1Char('.') + format.suffix);
    const QString last = suffixes.takeLast();
    return tr("%1 or %2").arg(suffixes.join(QStringLiteral(", ")), last);
}
