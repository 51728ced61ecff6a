// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"

#include <vector>

// How printers fold one hinged shape: which panel stays put, the order the creases close in, how
// each crease lies closed and how many layers it wraps, and how deep each panel nests.
struct HingedPreset {
    // 1/16 in: what a panel that folds in loses to the panel around it, in millimetres.
    static constexpr double defaultAllowanceMm = 1.5875;

    int anchor = 0;
    // Per crease: the step of the folding it closes in, 0 first; creases of one step move together.
    std::vector<int> steps;
    std::vector<double> closed;       // degrees, per crease
    std::vector<double> presentation; // degrees, per crease
    std::vector<int> layers;          // per crease: the layers it holds between its panels closed
    std::vector<int> nesting;         // per panel: how many times it folds in
    std::vector<int> units; // per panel: its width in plain panels (the gate's centre is 2)

    // A roll takes 2..12 panels; every other shape its own count. A shape that is not hinged is
    // read as a letter.
    static HingedPreset of(FoldLayout::Shape shape, int panels);
    static bool takesPanelCount(FoldLayout::Shape shape, int panels);
    // Widths summing to `length`, each nesting level `allowance` narrower.
    static std::vector<double> widths(FoldLayout::Shape shape, int panels, double length,
                                      double allowance);
    int stepCount() const;
};
