// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldTypes.h"
#include "media/PictureReader.h"
#include "render/LineEndPoints.h"
#include "render/SheetRenderer.h"

#include <QColor>
#include <QImage>
#include <QSize>

struct ExportOptions;

// The folded picture of an export: the renderer's fold drawn afresh at the options' size, then the
// same steps as the window's own picture (crease lines, shadow) and the background. The document
// window and the command line both make their exports here, so they give the same picture.
class ExportPicture {
public:
    // What the picture looks like beyond the fold: the user's line colour and shadow.
    struct Look {
        QColor creaseLineColor;
        double shadowOpacity = 0.5;
        double shadowBlur = 24;  // points
        double shadowOffset = 6; // points
    };

    // windowSize: the whole points of the window the fold is shown in; endPoints: the renderer's
    // end points there. texturePicture: the picture at the export's resolution, or null to use the
    // renderer's texture. Null when stopped or when the renderer cannot make it.
    static QImage render(SheetRenderer& view, const LineEndPoints& endPoints, QSize windowSize,
                         const ExportOptions& options, const Look& look,
                         const QImage& texturePicture, const SheetRenderer::TileProgress& progress);

    // render() in its two steps: the fold at the export's size, then the lines, the shadow and
    // the background on it.
    static QImage renderFold(SheetRenderer& view, QSize windowSize, const ExportOptions& options,
                             const QImage& texturePicture,
                             const SheetRenderer::TileProgress& progress);
    // lineCount: the layout's lines, edges included.
    static void finish(QImage& picture, const LineEndPoints& endPoints, int lineCount,
                       const ExportOptions& options, const Look& look);

    // The export's pixels per point for a window of that size.
    static double pixelsPerPoint(const ExportOptions& options, QSize windowSize);

    // Whether an export at pixelsPerPoint shows the sheet (points) finer than a texture of
    // textureSize, given a picture of pictureSize pixels (empty: a page drawn at any size).
    static bool needsFinerPicture(FoldSize sheet, QSize pictureSize, QSize textureSize,
                                  double pixelsPerPoint);
    // The picture file read again at the export's resolution when the texture is too coarse for
    // it; null when the texture serves (or the file cannot be read again: then it serves too).
    static QImage finerPicture(const QString& path, const ArtworkPage& page, FoldSize sheet,
                               QSize pictureSize, QSize textureSize, double pixelsPerPoint);
};
