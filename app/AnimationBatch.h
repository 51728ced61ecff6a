// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/CommandLine.h"
#include "document/ExportOptions.h"
#include "document/ExportPicture.h"
#include "document/FoldFile.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QString>

#include <optional>

class FoldModel;
class SheetRenderer;

// The animation steps of `pleatora --animate` and `--animate-dir`: the motion from the start fold
// (--from, else flat) to the picture's fold, drawn by the renderer and streamed into the file,
// with a progress bar of its frames on a terminal.
class AnimationBatch {
    Q_DECLARE_TR_FUNCTIONS(AnimationBatch)

public:
    AnimationBatch(const CommandLine::MotionSettings& motion, bool isTerminal);

    // False with the reason, which names the file, when --from cannot be used.
    bool readStartFold(QString* failure);

    // view: showing the picture at the end fold, which end holds, at endPitch degrees. False
    // with the reason when the file could not be written; none is then left behind.
    bool write(SheetRenderer& view, const FoldModel& end, float endPitch, QSize windowPoints,
               const ExportOptions& options, const ExportPicture::Look& look,
               const QImage& texturePicture, const QByteArray& output, QString* failure) const;

private:
    void showProgress(int done, int total, const QString& output) const;

    CommandLine::MotionSettings _motion;
    std::optional<FoldFile> _start;
    bool _isTerminal = false;
};
