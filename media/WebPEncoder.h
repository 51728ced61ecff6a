// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/AnimationEncoder.h"

#include <QCoreApplication>
#include <QSize>

#include <memory>

#include <webp/encode.h>

class QIODevice;
struct WebPAnimEncoder;

// An animated WebP made by libwebp's animation encoder, which keeps only what changes between
// frames. The encoder assembles the whole file in memory; it is written at the end.
class WebPEncoder : public AnimationEncoder {
    Q_DECLARE_TR_FUNCTIONS(WebPEncoder)

public:
    static std::unique_ptr<WebPEncoder> open(QIODevice* file, QSize size, int framesPerSecond,
                                             bool loop, QString* failure = nullptr);
    ~WebPEncoder() override;

    WebPEncoder(const WebPEncoder&) = delete;
    WebPEncoder& operator=(const WebPEncoder&) = delete;

    bool addFrame(const QImage& frame, QString* failure) override;
    bool endPass(QString* failure) override;

private:
    WebPEncoder() = default;
    int timestamp() const; // milliseconds, of the next frame
    QString encoderError() const;

    QIODevice* _file = nullptr;
    WebPAnimEncoder* _encoder = nullptr;
    WebPConfig _config{};
    int _framesPerSecond = 0;
    int _frameCount = 0;
};
