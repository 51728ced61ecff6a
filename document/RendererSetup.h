// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "render/OffscreenContext.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

class FoldModel;
class SheetRenderer;

// The one way a renderer is made and given a fold, by the window and by the command line alike.
class RendererSetup {
public:
    // A renderer of a windowSize frame (points) at scale pixels per point; null with what failed
    // in failure when no OpenGL context or framebuffer can be had.
    static std::unique_ptr<SheetRenderer> create(QSize windowSize, double scale,
                                                 OffscreenContext::Platform platform,
                                                 QString* failure = nullptr);
    // Gives the renderer the fold at pitch degrees and the picture as its texture; false with the
    // reason in failure when no texture can be made of the picture.
    static bool showFold(SheetRenderer& renderer, const FoldModel& fold, float pitch,
                         const QImage& picture, QString* failure = nullptr);
};
