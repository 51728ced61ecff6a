// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/RendererSetup.h"

#include "fold/FoldModel.h"
#include "fold/SheetFold.h"
#include "media/Failure.h"
#include "media/PathText.h"
#include "media/PictureReader.h"
#include "render/SheetRenderer.h"
#include "settings/Preferences.h"

#include <QCoreApplication>

#include <algorithm>
#include <system_error>

std::unique_ptr<SheetRenderer> RendererSetup::create(QSize windowSize, double scale,
                                                     OffscreenContext::Platform platform,
                                                     QString* failure) {
    return SheetRenderer::create(QSizeF(windowSize), scale, failure, platform);
}

bool RendererSetup::showFold(SheetRenderer& renderer, const SheetFold& fold, float pitch,
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

PaperLook RendererSetup::paperLook(const Preferences& preferences) {
    PaperLook look;
    look.back =
        backOfName(preferences.value(Preferences::paperBack)).value_or(PaperLook::Back::same);
    look.backColour = preferences.value(Preferences::paperBackColor);
    look.grain = std::clamp(preferences.value(Preferences::paperGrain), 0, 100) / 100.0f;
    look.creaseShading = std::clamp(preferences.value(Preferences::creaseShading), 0, 100) / 100.0f;
    look.gloss = std::clamp(preferences.value(Preferences::paperGloss), 0, 100) / 100.0f;
    return look;
}

std::optional<PaperLook::Back> RendererSetup::backOfName(const QString& name) {
    if (name == QLatin1String("same"))
        return PaperLook::Back::same;
    if (name == QLatin1String("paper"))
        return PaperLook::Back::paper;
    return std::nullopt;
}

bool RendererSetup::showPaper(SheetRenderer& renderer, const PaperLook& look,
                              const QString& backFile, const ArtworkPage& backPage,
                              QString* failure) {
    QImage back;
    if (look.back == PaperLook::Back::picture && !backFile.isEmpty()) {
        back = readBackPicture(backFile, backPage, failure);
        if (back.isNull())
            return false;
    }
    renderer.setPaperLook(look);
    if (renderer.setBackImage(back))
        return true;
    return Failure::fail(
        failure,
        QCoreApplication::translate("RendererSetup",
                                    "The back picture could not be made into an OpenGL texture."));
}

// Through PictureReader, as the picture itself: a folder, FIFO or link loop is named for what it
// is, and a picture too large is refused before it is decoded.
QImage RendererSetup::readBackPicture(const QString& file, const ArtworkPage& page,
                                      QString* failure) {
    const PictureReader::Result read = PictureReader::read(
        PathText::toBytes(file), [](QSize pixels) { return pixels; }, {}, page);
    if (read.picture.isNull() && failure)
        *failure =
            QCoreApplication::translate("RendererSetup", "The back picture %1 cannot be read: %2")
                .arg(PathText::shown(file), read.failure);
    return read.picture;
}
