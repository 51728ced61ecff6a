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

// The one way a renderer is made for a fold, by the window and by the command line alike.
class RendererSetup {
public:
    // A renderer of a windowSize frame (points) at scale pixels per point, showing the fold at
    // pitch degrees textured with picture. Null with the user's reason in failure when no
    // renderer or texture can be made.
    static std::unique_ptr<SheetRenderer> create(const FoldModel& fold, float pitch,
                                                 const QImage& picture, QSize windowSize,
                                                 double scale, OffscreenContext::Platform platform,
                                                 QString* failure);
};
