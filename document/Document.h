// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldModel.h"
#include "fold/FoldSnapshot.h"

#include <QObject>
#include <QSize>
#include <QString>
#include <QUndoStack>
#include <QUrl>

class FoldFile;
class RememberedFolds;

// One picture's fold as a document: the fold and its tilt, their undo history, fold files and the
// fold remembered for the picture. Every change of the fold or tilt emits changed(); it knows
// nothing of how the fold is drawn or of the window that shows it.
class Document : public QObject {
    Q_OBJECT

public:
    static constexpr double maximumPitch = 60; // degrees either way

    // sheetSize: the sheet in points; pictureSize: the picture file's own pixels, upright.
    Document(FoldSize sheetSize, const QUrl& url, QSize pictureSize);

    const FoldModel& fold() const { return _fold; }
    float pitch() const { return _pitch; }
    QUrl url() const { return _url; }
    QSize pictureSize() const { return _pictureSize; }
    QUndoStack& undoStack() { return _undoStack; }

    FoldSnapshot snapshot() const;
    // The sheet laid flat and untilted, as a picture opens.
    FoldSnapshot flatSnapshot() const;

    // One drag step of crease line 0..6; gives the part of the move the limiter allowed.
    FoldPoint moveLine(long line, FoldPoint move);
    void setPitch(float degrees);
    // Puts a fold taken before back: undo, redo, a cancelled drag.
    void restore(const FoldSnapshot& snapshot);

    // The change from before to now becomes one undo step; steps with the same merge id in a row
    // become one.
    void pushStep(const QString& text, const FoldSnapshot& before, int mergeId = -1);
    void resetFold();
    FoldFile foldFile() const;
    // Gives how far the fold shown stays from the file's, in points; 0 when reproduced.
    double applyFold(const FoldFile& fold);
    // What the picture had when it was last closed; not a step for undo.
    void recallFold(const RememberedFolds& store);
    void rememberFold(RememberedFolds& store);

    // The picture printed on the back of the sheet; empty for none. Remembered with the fold.
    QString backPicture() const { return _backPicture; }
    void setBackPicture(const QString& path) { _backPicture = path; }

signals:
    // The fold was replaced as a whole (undo, redo, reset, a fold file): a drag going on ends.
    void replaced();
    // The fold or the tilt changed; emitted after replaced().
    void changed();

private:
    double showFoldFile(const FoldFile& fold);
    QString pictureKey();

    FoldModel _fold;
    float _pitch = 0;
    QUrl _url;
    QSize _pictureSize;
    QUndoStack _undoStack;
    QString _pictureKey;
    QString _backPicture;
};
