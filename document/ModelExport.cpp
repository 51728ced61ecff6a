// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/ModelExport.h"

#include "document/SheetMesh.h"
#include "document/SheetMotionMesh.h"

PaperModel ModelExport::model(const SheetFold& fold, float pitch, const Sides& sides,
                              QSize texturePixels) {
    PaperModel model = SheetMesh::build(fold, sides.printedPoints, backAsBook(fold, sides.look));
    model.pitch = pitch;
    addPictures(model, sides, texturePixels);
    return model;
}

PaperModel ModelExport::animatedModel(const SheetFold& sheet,
                                      const std::vector<FoldSnapshot>& frames,
                                      const FoldMotion::Timing& timing, const Sides& sides,
                                      QSize texturePixels) {
    std::vector<SheetFold> folds;
    folds.reserve(frames.size());
    for (const FoldSnapshot& frame : frames) {
        SheetFold& fold = folds.emplace_back(frame.layout, sheet.sheetSize(), sheet.paper());
        fold.restore(frame);
    }
    PaperModel model =
        SheetMotionMesh::build(folds, sides.printedPoints, backAsBook(sheet, sides.look));
    model.pitch = frames.back().pitch;
    const int count = int(frames.size());
    for (int frame = 0; frame < count; ++frame)
        model.keys.push_back({float(frame) / float(timing.framesPerSecond), frame});
    // A loop's last frame is one short of the first, which then closes it as a video's would.
    if (timing.loop)
        model.keys.push_back({float(count) / float(timing.framesPerSecond), 0});
    addPictures(model, sides, texturePixels);
    return model;
}

// As the renderer turns a back picture.
bool ModelExport::backAsBook(const SheetFold& fold, const PaperLook& look) {
    const bool vertical = fold.layout().axis() == FoldLayout::Axis::vertical;
    return look.backTurn == PaperLook::BackTurn::byCreases
               ? vertical
               : look.backTurn == PaperLook::BackTurn::book;
}

void ModelExport::addPictures(PaperModel& model, const Sides& sides, QSize texturePixels) {
    model.frontPicture = texture(sides.front, texturePixels);
    if (sides.look.back == PaperLook::Back::picture && !sides.back.isNull())
        model.backPicture = texture(sides.back, texturePixels);
    model.backColour = sides.look.backColour;
}

QImage ModelExport::texture(const QImage& picture, QSize pixels) {
    if (pixels.isEmpty() ||
        (pixels.width() >= picture.width() && pixels.height() >= picture.height()))
        return picture;
    return picture.scaled(pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}
