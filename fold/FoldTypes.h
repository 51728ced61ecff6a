// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The sheet's two edges and five creases, numbered 0 to 6 from the left edge.
inline constexpr int creaseLineCount = 7;
// The most crease lines of any layout, edges included: a twelve-panel accordion's.
inline constexpr int mostCreaseLines = 13;

// Plain geometry values of the fold arithmetic, kept free of any toolkit type.
struct FoldPoint {
    double x = 0.0;
    double y = 0.0;

    bool operator==(const FoldPoint&) const = default;
};

// The bounds of one drag step of a crease line: .x the horizontal move, .y the change of the
// tent's signed compression (the peak lines only); lower at most 0, upper at least 0.
struct StepBounds {
    FoldPoint lower;
    FoldPoint upper;

    bool operator==(const StepBounds&) const = default;
};

struct FoldSize {
    double width = 0.0;
    double height = 0.0;

    bool operator==(const FoldSize&) const = default;
};

// The screen a new document opens on, in points: the full height that the sizing rules limit the
// sheet by, and the area left to windows (without panels), which the window must fit into.
struct FoldScreen {
    double frameHeight = 0.0;
    FoldSize available;
};
