// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/AnimationExport.h"
#include "document/DropShadow.h"
#include "document/LineOverlay.h"
#include "render/LineEndPoints.h"
#include "render/SheetRenderer.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <memory>

class Document;
struct ExportOptions;

// The presentation of one document: its renderer, the shadow and the lines, made into the picture
// a window shows. Hover and line changes reuse the last frame and its shadow, and only what
// changed is made again.
class FramePresenter {
public:
    // windowSize: whole points; scale: device pixels per point. Null when the renderer cannot be
    // made, with what failed in failure.
    static std::unique_ptr<FramePresenter> create(const Document& document, QSize windowSize,
                                                  double scale, const QImage& picture,
                                                  QString* failure = nullptr);

    // The overlay's line count stays the fold's.
    void setOverlay(const LineOverlay& overlay);
    const LineOverlay& overlay() const { return _overlay; }
    void setShading(float amount);
    // Opacity 0..1, blur and offset in points; a change makes the shadow again.
    void setShadow(double opacity, double blurRadius, double offset);
    const DropShadow& shadow() const { return _shadow; }

    // A window of another size (whole points); false when the renderer cannot take it.
    bool resize(QSize windowSize);
    // The document's fold and tilt, for the next present().
    void showFold(const Document& document);
    // Makes picture (the window's, reused in place) show the fold with the line of hoveredArea
    // highlighted. Gives the part that changed (points, y down), empty when none did.
    QRect present(QImage& picture, int hoveredArea);
    // How long each step of the last present() took, in milliseconds (zero when it was skipped):
    // the line pass that finds the end points with the sheet's draw queued behind it, the sheet
    // drawn and read back, the shadow, and the window's picture made again.
    struct StepTimes {
        double endPoints = 0;
        double frame = 0;
        double shadow = 0;
        double picture = 0;
    };
    const StepTimes& lastStepTimes() const { return _stepTimes; }
    // The end points of the last frame, in frame coordinates.
    const LineEndPoints& endPoints() const { return _renderer->lineEndPoints(); }

    // The frame without shadow, with the crease lines and the highlight when asked.
    QImage sheetPicture(bool withLines, int hoveredArea);
    // The fold drawn afresh as the export options ask; the picture is read again from the
    // document's file when the export shows it finer than the window's texture.
    QImage exportPicture(const Document& document, const ExportOptions& options,
                         const SheetRenderer::TileProgress& progress);

    // The move from start to the document's fold and tilt drawn as the export options ask and
    // streamed into fileName; the renderer shows the document's fold again afterwards.
    AnimationExport::Outcome exportAnimation(const Document& document, const ExportOptions& options,
                                             const QString& fileName, const FoldSnapshot& start,
                                             const FoldMotion::Timing& timing,
                                             const AnimationExport::Progress& progress,
                                             QString* failure = nullptr);

    SheetRenderer& renderer() { return *_renderer; }

private:
    FramePresenter(std::unique_ptr<SheetRenderer> renderer, QSize windowSize, double scale);
    QRect refreshFrame();
    QRect showLines(QImage& picture, QRect changed, int hoveredArea);

    std::unique_ptr<SheetRenderer> _renderer;
    QSize _windowSize; // points
    double _scale;
    DropShadow _shadow;
    LineOverlay _overlay;

    // The last frame, whose shadow is kept, and what the lines were drawn from last.
    QImage _frame;
    LineOverlay _shownOverlay;
    LineEndPoints _shownEndPoints{};
    int _shownArea = -1;
    StepTimes _stepTimes;
};
