// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/RendererSetup.h"

#include "document/Failure.h"
#include "fold/FoldModel.h"
#include "render/SheetRenderer.h"

#include <QCoreApplication>

std::unique_ptr<SheetRenderer> RendererSetup::create(QSize windowSize, double scale,
                                                     OffscreenContext::Platform platform,
                                                     QString* failure) {
    return SheetRenderer::create(QSizeF(windowSize), scale, failure, platform);
}

bool RendererSetup::showFold(SheetRenderer& renderer, const FoldModel& fold, float pitch,
                             const QImage& picture, QString* failure) {
    renderer.setPitch(pitch);
    renderer.setFold(fold);
    renderer.setImageSize(QSizeF(fold.sheetSize().width, fold.sheetSize().height));
    if (renderer.setImage(picture))
        return true;
    return Failure::fail(
        failure, QCoreApplication::translate(
                     "RendererSetup", "The picture could not be made into an OpenGL texture."));
}
