// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldSnapshot.h"

#include <QUndoCommand>

#include <functional>

// One undoable change of a document's fold or tilt, kept as the whole fold before and after.
// The change is on screen when the command is pushed; undo and redo show one of the two.
class FoldCommand : public QUndoCommand {
public:
    // A fold with the size of its sheet, which a change of layout can make smaller.
    struct SheetFold {
        FoldSize sheet;
        FoldSnapshot fold;

        bool operator==(const SheetFold&) const = default;
    };
    using Show = std::function<void(const SheetFold&)>;

    // Commands with the same merge id, pushed in a row, become one; -1 merges with nothing.
    FoldCommand(const QString& text, const SheetFold& before, const SheetFold& after, Show show,
                int mergeId = -1);

    void undo() override;
    void redo() override;
    int id() const override { return _mergeId; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    SheetFold _before;
    SheetFold _after;
    Show _show;
    int _mergeId;
    bool _isShown = true;
};
