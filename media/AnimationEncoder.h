// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

// Encodes an animation into a file, frame by frame. Frames arrive as Format_ARGB32 (straight
// alpha) or Format_RGB32, all of the size the encoder was made for. Some encoders need the frames
// more than once: each pass gives every frame again, in order.
class AnimationEncoder {
public:
    virtual ~AnimationEncoder() = default;

    virtual int passCount() const { return 1; }
    // False with the reason when the frame cannot be encoded or written.
    virtual bool addFrame(const QImage& frame, QString* failure) = 0;
    // After the last pass, the file is complete.
    virtual bool endPass(QString* failure) = 0;
};
