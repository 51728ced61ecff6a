// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The sheet's two edges and five creases, numbered 0 to 6 from the left edge.
inline constexpr int creaseLineCount = 7;

// Plain geometry values of the fold arithmetic, kept free of any toolkit type.
struct FoldPoint {
    double x = 0.0;
    double y = 0.0;

    bool operator==(const FoldPoint&) const = default;
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
