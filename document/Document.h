// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"
#include "fold/FoldModel.h"
#include "fold/FoldSnapshot.h"
#include "fold/PanelFoldModel.h"

#include <QObject>
#include <QSize>
#include <QString>
#include <QUndoStack>
#include <QUrl>

#include <optional>

class FoldFile;
class RememberedFolds;

// One picture's fold as a document: its layout, the fold and its tilt, their undo history, fold
// files and the fold remembered for the picture. The classic layout folds by FoldModel, every
// other one by PanelFoldModel. Every change of the layout, fold or tilt emits changed(); it knows
// nothing of how the fold is drawn or of the window that shows it.
class Document : public QObject {
    Q_OBJECT

public:
    static constexpr double maximumPitch = 60; // degrees either way

    // sheetSize: the sheet in points; pictureSize: the picture file's own pixels, upright. The
    // picture opens flat in the layout given.
    Document(FoldSize sheetSize, const QUrl& url, QSize pictureSize,
             const FoldLayout& layout = FoldLayout());

    // The classic's fold: flat while another layout is shown, but always the sheet's size.
    const FoldModel& fold() const { return _fold; }
    // The fold of any other layout; null for the classic.
    const PanelFoldModel* panelFold() const { return _panels ? &*_panels : nullptr; }
    FoldSize sheetSize() const { return _fold.sheetSize(); }
    FoldLayout layout() const;
    // Starts the layout flat, keeping the tilt, as one undo step ("Layout"); nothing for the
    // layout shown.
    void setLayout(const FoldLayout& layout);
    float pitch() const { return _pitch; }
    QUrl url() const { return _url; }
    QSize pictureSize() const { return _pictureSize; }
    QUndoStack& undoStack() { return _undoStack; }

    FoldSnapshot snapshot() const;
    // The sheet laid flat and untilted in the layout shown.
    FoldSnapshot flatSnapshot() const;
    // The sheet laid flat in a layout, tilted by pitch.
    FoldSnapshot flatSnapshot(const FoldLayout& layout, float pitch) const;

    // One drag step of a crease line (0..6 for the classic; move.x along the sheet's length
    // otherwise); gives the part of the move the limiter allowed.
    FoldPoint moveLine(long line, FoldPoint move);
    void setPitch(float degrees);
    // Puts a fold taken before back: undo, redo, a cancelled drag.
    void restore(const FoldSnapshot& snapshot);

    // The change from before to now becomes one undo step; steps with the same merge id in a row
    // become one.
    void pushStep(const QString& text, const FoldSnapshot& before, int mergeId = -1);
    void resetFold();
    FoldFile foldFile() const;
    // Switches to the file's layout and fold as one undo step; gives how far the fold shown stays
    // from the file's, in points, 0 when reproduced.
    double applyFold(const FoldFile& fold);
    // What the picture had when it was last closed; not a step for undo.
    void recallFold(const RememberedFolds& store);
    void rememberFold(RememberedFolds& store);

signals:
    // The fold was replaced as a whole (undo, redo, reset, a fold file): a drag going on ends.
    void replaced();
    // The fold or the tilt changed; emitted after replaced().
    void changed();

private:
    double showFoldFile(const FoldFile& fold);
    void restoreQuietly(const FoldSnapshot& snapshot);
    // Shows the layout's models without a signal: the classic's, or a flat panel fold.
    void switchModels(const FoldLayout& layout);
    QString pictureKey();

    FoldModel _fold;
    std::optional<PanelFoldModel> _panels;
    float _pitch = 0;
    QUrl _url;
    QSize _pictureSize;
    QUndoStack _undoStack;
    QString _pictureKey;
};
