// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"
#include "fold/FoldTypes.h"

#include <vector>

class PanelFoldModel;

// A fold of any layout but the classic apart from its sheet: the crease lines along the flat
// sheet and the profile (position along the length, height toward the viewer), one entry per
// line with the edges, as fractions of the sheet's length across the creases, and the tilt in
// degrees. What a fold file of version 2 holds.
struct PanelFoldTarget {
    static PanelFoldTarget fromModel(const PanelFoldModel& model, float pitch);

    // Whether this is a fold of a sheet whose length is the given number of points, by the rule
    // the limiter keeps (PanelFoldModel::isSound).
    bool isSoundOn(double length) const;
    // Puts the fold on the model's sheet as near as its limits let it and gives how far the
    // profile stays from this one, in sheet units. A fold the model cannot take leaves the model
    // as it was.
    double applyTo(PanelFoldModel& model) const;

    FoldLayout layout;
    std::vector<double> creases;
    std::vector<FoldPoint> profile;
    double pitch = 0.0;
};
