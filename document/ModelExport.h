// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldMotion.h"
#include "fold/SheetFold.h"
#include "media/PaperModel.h"
#include "render/PaperLook.h"

#include <QImage>
#include <QSize>
#include <QSizeF>

// The folded sheet and its pictures as one 3D model, as the command line and the window export
// it.
class ModelExport {
public:
    struct Sides {
        QSizeF printedPoints;
        QImage front;
        QImage back; // none: plain paper on the back
        PaperLook look;
    };

    // texturePixels: the sheet's size in a still export at the same scale; pictures are never
    // made larger than they are.
    static PaperModel model(const SheetFold& fold, float pitch, const Sides& sides,
                            QSize texturePixels);
    // The motion's frames, from FoldMotion::frames(..., timing), as a model that plays them at
    // their rate; sheet: a fold of theirs on the sheet and paper they fold. Seen at the last
    // frame's tilt.
    static PaperModel animatedModel(const SheetFold& sheet, const std::vector<FoldSnapshot>& frames,
                                    const FoldMotion::Timing& timing, const Sides& sides,
                                    QSize texturePixels);

private:
    static bool backAsBook(const SheetFold& fold, const PaperLook& look);
    static void addPictures(PaperModel& model, const Sides& sides, QSize texturePixels);
    static QImage texture(const QImage& picture, QSize pixels);
};
