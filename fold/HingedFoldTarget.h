// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"
#include "fold/FoldTypes.h"
#include "fold/PanelPaper.h"

#include <vector>

class SheetFold;

// A hinged fold apart from the sheet it is shown on: its paper as printed (the panels' widths as
// fractions of the length, the thickness and the sheet's size in points), the crease angles in
// degrees, and the tilt and turn. What a fold file of version 3 holds.
struct HingedFoldTarget {
    static HingedFoldTarget fromFold(const SheetFold& fold, float pitch);

    // Whether the widths are as many as the layout's panels, each positive, summing to 1, and
    // the angles one per crease within ±180 degrees.
    bool isWhole() const;
    // Shows this fold on the fold's sheet: its paper and its angles as far as the paper allows
    // them. Gives how far a panel's edge stays from the file's, in sheet units: 0 when kept.
    double applyTo(SheetFold& fold) const;

    FoldLayout layout;
    PanelPaper paper; // widths: always given, fixed or not
    bool widthsFixed = false;
    std::vector<double> angles;
    double pitch = 0.0;
    double yaw = 0.0;
};
