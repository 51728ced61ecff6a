// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"
#include "fold/FoldTypes.h"

#include <array>
#include <vector>

class FoldModel;
class PanelFoldModel;

// The whole shape of a document's fold at one moment: creases, profile, the side each peak rises
// to, the tilt and the yaw. The bounds are left out, since the limiter derives them from the rest.
// FoldModel::restore() puts such a fold back. A fold of another layout keeps its lines in
// panelCreases and panelProfile (PanelFoldModel::restore() puts them back) and leaves the
// classic's arrays as they are.
struct FoldSnapshot {
    static FoldSnapshot take(const FoldModel& model, float pitch);
    static FoldSnapshot take(const PanelFoldModel& model, float pitch);

    std::array<float, creaseLineCount> creasePoint{};
    std::array<FoldPoint, creaseLineCount> coordinates{};
    float leftDirection = 1.0f;
    float rightDirection = 1.0f;
    float pitch = 0.0f;
    float yaw = 0.0f;
    FoldLayout layout;
    std::vector<double> panelCreases;
    std::vector<FoldPoint> panelProfile;
    // A hinged fold's crease angles in degrees; its widths are panelCreases' spacing.
    std::vector<double> hingedAngles;
    double hingedThickness = 0.0; // sheet units

    bool operator==(const FoldSnapshot&) const = default;
};
