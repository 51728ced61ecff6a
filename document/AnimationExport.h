// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/ExportOptions.h"
#include "document/ExportPicture.h"
#include "fold/FoldMotion.h"
#include "fold/SheetFold.h"

#include <QCoreApplication>
#include <QImage>
#include <QSize>
#include <QString>

#include <chrono>
#include <functional>
#include <vector>

class AnimationWriter;
class SheetRenderer;

// An animation file made from the frames of a fold's motion: each frame is drawn afresh by the
// renderer as an export is, with the export's lines, shadow and background, and handed to the
// writer at once, so no more than one frame is held. A GIF's frames are drawn twice, the first
// time for its palette.
class AnimationExport {
    Q_DECLARE_TR_FUNCTIONS(AnimationExport)

public:
    // Called after each frame with the frames done and their number, counting a GIF's two passes;
    // returning false stops the export, which then leaves no file.
    using Progress = std::function<bool(int done, int total)>;
    enum class Outcome { Written, Stopped, Failed };

    // Time spent drawing the frames (lines and shadow included) and encoding them.
    struct Timings {
        std::chrono::nanoseconds render{}, encode{};
        int frames = 0;
    };

    // view: a renderer with the picture, its sheet size and shading set, for a window of
    // windowSize whole points; sheet: that sheet's size in points. texturePicture as for
    // ExportPicture::render. The view is left at the last frame's fold.
    AnimationExport(SheetRenderer& view, FoldSize sheet, QSize windowSize,
                    const ExportOptions& options, const ExportPicture::Look& look,
                    QImage texturePicture = {});

    // frames: the folds from FoldMotion::frames(..., timing). failure: the reason, when Failed.
    Outcome write(const QString& fileName, const std::vector<FoldSnapshot>& frames,
                  const FoldMotion::Timing& timing, const Progress& progress,
                  QString* failure = nullptr);
    const Timings& timings() const { return _timings; }

private:
    ExportOptions optionsFor(const QString& fileName) const;
    // Draws the frame and encodes it.
    bool addFrame(AnimationWriter& writer, const FoldSnapshot& fold, const ExportOptions& options,
                  QString* failure = nullptr);
    QImage drawFrame(const FoldSnapshot& fold, const ExportOptions& options);

    SheetRenderer& _view;
    SheetFold _fold;
    QSize _windowSize;
    ExportOptions _options;
    ExportPicture::Look _look;
    QImage _texturePicture;
    Timings _timings;
};
