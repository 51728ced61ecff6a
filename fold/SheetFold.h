// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"
#include "fold/FoldModel.h"
#include "fold/FoldSnapshot.h"
#include "fold/FoldTypes.h"
#include "fold/HingedFold.h"
#include "fold/PanelFoldModel.h"
#include "fold/PanelPaper.h"

#include <variant>
#include <vector>

// The fold of a sheet in any layout, whichever model folds it: the classic's own, today's panel
// zig-zags, or hinged panels. Everything outside the fold models goes through this.
class SheetFold {
public:
    // Flat, on a sheet of this size (points on screen); the paper matters to hinged layouts only.
    SheetFold(const FoldLayout& layout, FoldSize sheetSize, const PanelPaper& paper = {});

    const FoldLayout& layout() const { return _layout; }
    FoldSize sheetSize() const { return _sheetSize; }
    const PanelPaper& paper() const { return _paper; }

    FoldSnapshot snapshot(float pitch) const;
    // Puts back a fold of this layout taken from a sheet of this size.
    void restore(const FoldSnapshot& snapshot);
    // Lays the sheet in one of its layout's poses; the classic knows flat only, and the zig-zags
    // take closed as presentation.
    void setPose(HingedFold::Pose pose);

    // One drag step of a line; gives the part the limits allowed. For hinged panels move.x turns
    // the panel beyond the line's crease as if its far edge moved by that much (with a snap the
    // angle only takes whole multiples of it, the rest of the move left pending), and move.y
    // moves a crease along the sheet while the widths are not fixed.
    FoldPoint moveLine(int line, FoldPoint move, float pitch, double snapDegrees = 0.0);

    int lineCount() const;
    // The lines' positions along the flat sheet and where they lie (along the length, toward the
    // viewer), edges included.
    std::vector<double> creases() const;
    std::vector<FoldPoint> profile() const;
    // The drawn surface where it has more points than the lines (hinged panels); else empty.
    std::vector<HingedFold::SurfacePoint> surface() const;

    const FoldModel* classic() const { return std::get_if<FoldModel>(&_model); }
    const PanelFoldModel* panels() const { return std::get_if<PanelFoldModel>(&_model); }
    const HingedFold* hinged() const { return std::get_if<HingedFold>(&_model); }
    HingedFold* hinged() { return std::get_if<HingedFold>(&_model); }

private:
    HingedFold flatHinged() const;

    FoldLayout _layout;
    FoldSize _sheetSize;
    PanelPaper _paper;
    std::variant<FoldModel, PanelFoldModel, HingedFold> _model;
};
