// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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

private:
    static QImage texture(const QImage& picture, QSize pixels);
};
