// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/FoldCommand.h"

FoldCommand::FoldCommand(const QString& text, const SheetFold& before, const SheetFold& after,
                         Show show, int mergeId)
    : QUndoCommand(text), _before(before), _after(after), _show(std::move(show)),
      _mergeId(mergeId) {}

void FoldCommand::undo() {
    _show(_before);
    _isShown = false;
}

// The stack redoes a command as it is pushed; that change is already shown.
void FoldCommand::redo() {
    if (!_isShown)
        _show(_after);
    _isShown = true;
}

// Steps that come back to where they started leave nothing to undo.
bool FoldCommand::mergeWith(const QUndoCommand* other) {
    _after = static_cast<const FoldCommand*>(other)->_after;
    setObsolete(_after == _before);
    return true;
}
