// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DecodedAnimation.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <cmath>

#include <webp/demux.h>

namespace {

QByteArray run(const QString& program, const QStringList& arguments, QString* failure) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        *failure = program + QStringLiteral(" failed: ") +
                   QString::fromLocal8Bit(process.readAllStandardError()) + process.errorString();
        return {};
    }
    return process.readAllStandardOutput();
}

QRgb overGrey(QRgb straight) {
    const int a = qAlpha(straight);
    const auto mix = [a](int c) { return (c * a + 128 * (255 - a) + 127) / 255; };
    return qRgb(mix(qRed(straight)), mix(qGreen(straight)), mix(qBlue(straight)));
}

} // namespace

DecodedAnimation DecodedAnimation::read(const QString& path, QString* failure) {
    DecodedAnimation animation;
    const bool read = path.endsWith(QStringLiteral(".webp"))
                          ? readWebP(path, animation, failure)
                          : probe(path, animation, failure) && decode(path, animation, failure);
    if (!read)
        animation.codec.clear();
    return animation;
}

bool DecodedAnimation::probe(const QString& path, DecodedAnimation& animation, QString* failure) {
    const QByteArray json =
        run(QStringLiteral("ffprobe"),
            {"-v", "error", "-select_streams", "v:0", "-count_frames", "-show_entries",
             "stream=codec_name,pix_fmt,width,height,nb_read_frames:stream_tags=alpha_mode:"
             "format=duration:packet=duration_time",
             "-of", "json", path},
            failure);
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    const QJsonObject stream = root[QStringLiteral("streams")].toArray().at(0).toObject();
    animation.codec = stream[QStringLiteral("codec_name")].toString();
    animation.pixelFormat = stream[QStringLiteral("pix_fmt")].toString();
    animation.size =
        QSize(stream[QStringLiteral("width")].toInt(), stream[QStringLiteral("height")].toInt());
    animation.frameCount = stream[QStringLiteral("nb_read_frames")].toString().toInt();
    animation.alphaTagged =
        stream[QStringLiteral("tags")].toObject()[QStringLiteral("alpha_mode")].toString() ==
        QLatin1String("1");
    // APNG's container has no duration of its own: its frames' delays add up to it.
    animation.seconds =
        root[QStringLiteral("format")].toObject()[QStringLiteral("duration")].toString().toDouble();
    if (animation.seconds == 0) {
        for (const QJsonValue packet : root[QStringLiteral("packets")].toArray())
            animation.seconds += packet[QStringLiteral("duration_time")].toString().toDouble();
    }
    return !animation.codec.isEmpty();
}

bool DecodedAnimation::decode(const QString& path, DecodedAnimation& animation, QString* failure) {
    QStringList arguments{QStringLiteral("-v"), QStringLiteral("error")};
    if (animation.codec == QLatin1String("vp9"))
        arguments += {QStringLiteral("-c:v"), QStringLiteral("libvpx-vp9")};
    // Every frame once, as stored, not resampled to a constant rate.
    arguments += {QStringLiteral("-i"),        path,
                  QStringLiteral("-fps_mode"), QStringLiteral("passthrough"),
                  QStringLiteral("-f"),        QStringLiteral("rawvideo"),
                  QStringLiteral("-pix_fmt"),  QStringLiteral("rgba"),
                  QStringLiteral("-")};
    const QByteArray pixels = run(QStringLiteral("ffmpeg"), arguments, failure);
    const qsizetype frameBytes = qsizetype(animation.size.width()) * animation.size.height() * 4;
    if (frameBytes == 0 || pixels.size() % frameBytes != 0) {
        *failure += QStringLiteral("ffmpeg gave %1 bytes").arg(pixels.size());
        return false;
    }
    for (qsizetype at = 0; at < pixels.size(); at += frameBytes) {
        QImage frame(reinterpret_cast<const uchar*>(pixels.constData() + at),
                     animation.size.width(), animation.size.height(), QImage::Format_RGBA8888);
        animation.frames.append(frame.copy());
    }
    return true;
}

bool DecodedAnimation::readWebP(const QString& path, DecodedAnimation& animation,
                                QString* failure) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *failure = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    const WebPData data{reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_RGBA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    WebPAnimInfo info;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder, &info)) {
        *failure = QStringLiteral("libwebp cannot read it as an animation");
        WebPAnimDecoderDelete(decoder);
        return false;
    }
    animation.codec = QStringLiteral("webp");
    animation.size = QSize(int(info.canvas_width), int(info.canvas_height));
    animation.frameCount = int(info.frame_count);
    animation.loopCount = int(info.loop_count);
    uint8_t* pixels = nullptr;
    int timestamp = 0;
    while (WebPAnimDecoderGetNext(decoder, &pixels, &timestamp))
        animation.frames.append(
            QImage(pixels, animation.size.width(), animation.size.height(), QImage::Format_RGBA8888)
                .copy());
    animation.seconds = timestamp / 1000.0;
    WebPAnimDecoderDelete(decoder);
    return true;
}

double meanDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return 255;
    const QImage first = a.convertToFormat(QImage::Format_ARGB32);
    const QImage second = b.convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    for (int y = 0; y < first.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(first.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(second.constScanLine(y));
        for (int x = 0; x < first.width(); ++x) {
            const QRgb u = overGrey(p[x]);
            const QRgb v = overGrey(q[x]);
            sum += std::abs(qRed(u) - qRed(v)) + std::abs(qGreen(u) - qGreen(v)) +
                   std::abs(qBlue(u) - qBlue(v));
        }
    }
    return sum / (3.0 * first.width() * first.height());
}
