// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldTypes.h"

#include <vector>

// The printed sheet a hinged fold is made of, in points as printed: its size, the paper's
// thickness, how much narrower each panel that folds in is cut, and the
// panels' widths when the user gave them.
struct PanelPaper {
    static constexpr double pointsPerMillimetre = 72.0 / 25.4;

    FoldSize printedSize; // empty: the size of the sheet shown
    double thickness = 0.1 * pointsPerMillimetre;
    double foldInAllowance = 72.0 / 16.0;
    // Fractions of the length, one per panel, summing to 1; empty for the layout's own widths.
    std::vector<double> widths;

    bool operator==(const PanelPaper&) const = default;
};
