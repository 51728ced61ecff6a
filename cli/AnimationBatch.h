// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/CommandLine.h"
#include "document/ExportOptions.h"
#include "document/ExportPicture.h"
#include "document/FoldFile.h"
#include "fold/FoldMotion.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QString>

#include <cstdio>
#include <optional>
#include <vector>

class SheetRenderer;

// The animation steps of `pleatora --animate` and `--animate-dir` for one picture: the motion
// from the start fold (--from, else flat) to the picture's fold, drawn by the worker's renderer
// and streamed into the file, with a progress bar of its frames where one is asked for.
class AnimationBatch {
    Q_DECLARE_TR_FUNCTIONS(AnimationBatch)

public:
    // start: the fold of --from, none for flat. progress: the terminal the frames' bar goes to,
    // null for none.
    AnimationBatch(const CommandLine::MotionSettings& motion, const std::optional<FoldFile>& start,
                   FILE* progress);

    // view: showing the picture at the end fold, a fold of the sheet in any layout, with its
    // tilt. False with the reason when the file could not be written; none is then left behind.
    bool write(SheetRenderer& view, FoldSize sheet, const FoldSnapshot& end, QSize windowPoints,
               const ExportOptions& options, const ExportPicture::Look& look,
               const QImage& texturePicture, const QByteArray& output,
               QString* failure = nullptr) const;
    // From the start fold to end.
    std::vector<FoldSnapshot> frames(FoldSize sheet, const FoldSnapshot& end) const;
    FoldMotion::Timing timing() const;

private:
    // Flat, or the fold of --from fitted to the sheet, in the end's layout.
    FoldSnapshot startFold(FoldSize sheet, const FoldSnapshot& end) const;
    void showProgress(int done, int total, const QString& output) const;

    CommandLine::MotionSettings _motion;
    std::optional<FoldFile> _start;
    FILE* _progress = nullptr;
};
