// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/ModelExport.h"

#include "document/SheetMesh.h"

PaperModel ModelExport::model(const SheetFold& fold, float pitch, const Sides& sides,
                              QSize texturePixels) {
    const bool vertical = fold.layout().axis() == FoldLayout::Axis::vertical;
    // As the renderer turns a back picture.
    const bool backAsBook = sides.look.backTurn == PaperLook::BackTurn::byCreases
                                ? vertical
                                : sides.look.backTurn == PaperLook::BackTurn::book;
    PaperModel model = SheetMesh::build(fold, sides.printedPoints, backAsBook);
    model.pitch = pitch;
    model.frontPicture = texture(sides.front, texturePixels);
    if (sides.look.back == PaperLook::Back::picture && !sides.back.isNull())
        model.backPicture = texture(sides.back, texturePixels);
    model.backColour = sides.look.backColour;
    return model;
}

QImage ModelExport::texture(const QImage& picture, QSize pixels) {
    if (pixels.isEmpty() ||
        (pixels.width() >= picture.width() && pixels.height() >= picture.height()))
        return picture;
    return picture.scaled(pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}
