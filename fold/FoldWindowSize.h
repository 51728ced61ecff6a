// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"
#include "fold/FoldTypes.h"

#include <optional>

// The window a fold is shown in, by layout. The classic keeps FoldModel's sizes. Every other
// layout gets a window that holds its sheet at any pose its limits allow and any tilt up to the
// largest: the box of every reachable point (the sheet's length and breadth, and the highest point
// either way) turned through the tilts (and the yaws, when the sheet is turned) and seen by the
// renderer's camera, whose eye stands back in proportion to the window's height so that the sheet's
// plane shows a point per point.
class FoldWindowSize {
public:
    // The eye's distance from the sheet's plane for a window of that height, in points.
    static double eyeDistance(double windowHeight) { return windowHeight / 1.4 * 7.5 / 1000 * 200; }

    // The largest turns either way, in degrees. Without a yaw the classic keeps its own window; a
    // turned classic is sized as the other layouts are.
    struct Turns {
        double largestPitch = 0.0;
        double largestYaw = 0.0;
    };

    static FoldSize forSheet(const FoldLayout& layout, FoldSize sheetSize, Turns turns);
    // The sheet by FoldModel's rules, made smaller where this layout's window would not fit the
    // screen's available area.
    static FoldSize sheetForPicture(const FoldLayout& layout, FoldSize pixelSize,
                                    std::optional<FoldScreen> screen, Turns turns);
};
