// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/RendererSetup.h"

#include "fold/FoldModel.h"
#include "render/SheetRenderer.h"

#include <QCoreApplication>

std::unique_ptr<SheetRenderer>
RendererSetup::create(const FoldModel& fold, float pitch, const QImage& picture, QSize windowSize,
                      double scale, OffscreenContext::Platform platform, QString* failure) {
    QString whatFailed;
    auto renderer = SheetRenderer::create(QSizeF(windowSize), scale, &whatFailed, platform);
    if (!renderer) {
        *failure =
            QCoreApplication::translate(
                "RendererSetup", "%1 Pleatora needs OpenGL 2.1 with the compatibility profile.")
                .arg(whatFailed);
        return nullptr;
    }
    renderer->setPitch(pitch);
    renderer->setFold(fold);
    renderer->setImageSize(QSizeF(fold._imageSize.width, fold._imageSize.height));
    if (!renderer->setImage(picture)) {
        *failure = QCoreApplication::translate(
            "RendererSetup", "The picture could not be made into an OpenGL texture.");
        return nullptr;
    }
    return renderer;
}
