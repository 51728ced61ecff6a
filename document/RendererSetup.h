// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/PictureReader.h"
#include "render/OffscreenContext.h"
#include "render/PaperLook.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>

class SheetFold;
class Preferences;
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
    static bool showFold(SheetRenderer& renderer, const SheetFold& fold, float pitch,
                         const QImage& picture, QString* failure = nullptr);

    // The paper's look as the preferences give it: the back they choose (never a picture, which
    // belongs to a document), its colour, grain, crease shading and gloss.
    static PaperLook paperLook(const Preferences& preferences);
    // "same" or "paper", as the preferences and the command line name them; none for other words.
    static std::optional<PaperLook::Back> backOfName(const QString& name);
    // Gives the renderer the look, and the picture of backFile as its back picture when the look's
    // back is a picture; false with the reason in failure when that cannot be read.
    static bool showPaper(SheetRenderer& renderer, const PaperLook& look, const QString& backFile,
                          const ArtworkPage& backPage = {}, QString* failure = nullptr);
    // The picture of a file upright, as a back picture (a PDF's page at 300 pixels an inch); null
    // with the reason in failure.
    static QImage readBackPicture(const QString& file, const ArtworkPage& page = {},
                                  QString* failure = nullptr);
};
