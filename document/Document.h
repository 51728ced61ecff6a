// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/FoldCommand.h"
#include "document/SheetSizing.h"
#include "document/SizingPlan.h"
#include "fold/FoldLayout.h"
#include "fold/FoldSnapshot.h"
#include "fold/SheetFold.h"
#include "media/PictureReader.h"
#include "render/PaperLook.h"

#include <QObject>
#include <QSize>
#include <QString>
#include <QUndoStack>
#include <QUrl>

#include <optional>

class FoldFile;
class RememberedFolds;

// One picture's fold as a document: its layout, the fold and its tilt, their undo history, fold
// files and the fold remembered for the picture. Every change of the layout, fold or tilt emits
// changed(); it knows nothing of how the fold is drawn or of the window that shows it.
class Document : public QObject {
    Q_OBJECT

public:
    static constexpr double maximumPitch = 60; // degrees either way
    static constexpr double maximumYaw = 60;   // degrees either way

    // sheetSize: the sheet in points; pictureSize: the picture file's own pixels, upright. The
    // picture opens flat in the layout given.
    Document(FoldSize sheetSize, const QUrl& url, QSize pictureSize,
             const FoldLayout& layout = FoldLayout());

    // The screen the sheet is sized for when the layout changes; without one (the default) every
    // layout keeps the sheet the picture opened with.
    void setSizing(const SheetSizing& sizing) { _sizing = sizing; }
    const SheetSizing& sizing() const { return _sizing; }
    // The sheet a layout is shown on: the one the picture opened with while that layout's window
    // for it fits the screen, else the size the sizing rules give the picture in that layout.
    FoldSize sheetSizeIn(const FoldLayout& layout) const;

    const SheetFold& fold() const { return _fold; }
    FoldSize sheetSize() const { return _fold.sheetSize(); }
    FoldLayout layout() const { return _fold.layout(); }
    // Starts the layout on its sheet (sheetSizeIn) in the pose given, keeping the tilt, as one
    // undo step ("Layout"); nothing for the layout shown.
    void setLayout(const FoldLayout& layout, HingedFold::Pose pose = HingedFold::Pose::flat);
    // The paper hinged layouts are folded from, printed at the sheet's size; changing it lays the
    // fold flat, not for undo.
    PanelPaper paper() const;
    void setPaper(const PanelPaper& paper);
    float pitch() const { return _pitch; }
    // The turn about the axis along the creases, after the tilt.
    float yaw() const { return _yaw; }
    QUrl url() const { return _url; }
    QSize pictureSize() const { return _pictureSize; }
    // The picture as printed: its sheet's real size in points and, for a PDF, which page it is. A
    // page is drawn afresh at any size, so it has no pixels of its own to limit an export.
    struct Printed {
        QSizeF points;
        bool scalable = false;
        ArtworkPage page;
        int pageCount = 0;
        int backPage = 0;                            // the page printed on the back; 0 for none
        std::optional<PaperLook::BackTurn> backTurn; // unset: the preferences'
        std::optional<QSizeF> chosenPoints;          // a size chosen over the file's own
        QSizeF sheetPoints() const { return chosenPoints.value_or(points); }
    };
    const Printed& printed() const { return _printed; }
    void setPrinted(const Printed& printed) { _printed = printed; }
    // The most pixels worth reading of the picture; empty for no limit.
    QSize pictureLimit() const { return _printed.scalable ? QSize() : _pictureSize; }
    // The sizes of the picture, its sheet and its window in the current layout.
    SizingPlan sizingPlan() const {
        return SizingPlan(_pictureSize, sheetSize(), layout(), _yaw != 0.0f);
    }
    // As sizingPlan(), with a window that holds the sheet at every yaw, as a turning one needs.
    SizingPlan turnedSizingPlan() const {
        return SizingPlan(_pictureSize, sheetSize(), layout(), true);
    }
    QUndoStack& undoStack() { return _undoStack; }

    FoldSnapshot snapshot() const;
    // The sheet laid flat and untilted in the layout shown.
    FoldSnapshot flatSnapshot() const;
    // The sheet laid flat in a layout, on that layout's sheet, tilted by pitch.
    FoldSnapshot flatSnapshot(const FoldLayout& layout, float pitch) const;

    // One drag step of a line (as SheetFold::moveLine); gives the part the limiter allowed.
    FoldPoint moveLine(long line, FoldPoint move, double snapDegrees = 0.0);
    void setPitch(float degrees);
    void setYaw(float degrees);
    // Puts a fold of this sheet taken before back: a cancelled drag.
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

    // The picture printed on the back of the sheet; empty for none. Remembered with the fold.
    QString backPicture() const { return _backPicture; }
    void setBackPicture(const QString& path) { _backPicture = path; }

signals:
    // The fold was replaced as a whole (undo, redo, reset, a fold file): a drag going on ends.
    void replaced();
    // The fold or the tilt changed; emitted after replaced().
    void changed();

private:
    FoldCommand::SheetFold sheetFold() const { return {sheetSize(), snapshot()}; }
    // The fold's snapshot with the document's yaw, which the fold itself does not keep.
    FoldSnapshot turned(FoldSnapshot snapshot) const;
    void pushStep(const QString& text, const FoldCommand::SheetFold& before, int mergeId);
    // Undo, redo, a change of layout: the sheet's size changes with the fold.
    void show(const FoldCommand::SheetFold& fold);
    double showFoldFile(const FoldFile& fold);
    void showQuietly(const FoldCommand::SheetFold& fold);
    // Shows the layout's fold on that sheet without a signal; flat when either changes.
    void switchModels(const FoldLayout& layout, FoldSize sheetSize);
    SheetFold flatFold(const FoldLayout& layout, FoldSize sheet) const;
    QString pictureKey();

    PanelPaper _paper;
    SheetFold _fold;
    FoldSize _openingSheet;
    SheetSizing _sizing{std::nullopt, 1.0};
    float _pitch = 0;
    float _yaw = 0;
    QUrl _url;
    QSize _pictureSize;
    QUndoStack _undoStack;
    QString _pictureKey;
    QString _backPicture;
    Printed _printed;
};
