// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldSnapshot.h"
#include "fold/FoldTypes.h"

#include <array>

// A fold apart from the sheet it was made on: the crease positions along the flat sheet and the
// profile vertices (x from the flat sheet's left edge, y toward the viewer), all as fractions of
// the sheet's width, and the tilt in degrees. This is what a fold file holds.
struct FoldTarget {
    enum class Fault {
        none,
        edgeCreasesOffTheEdges, // crease 0 not at 0 or crease 6 not at 1
        creasesOutOfOrder,
        edgeBeyondTheSheet,   // an edge vertex pulled outward past the flat sheet's edge
        profileOutOfOrder,    // the vertices on the sheet's plane not from left to right
        vertexOffThePlane,    // a vertex other than a peak away from the sheet's plane
        vertexOffItsCrease,   // a foot or the middle not where its crease and the edge put it
        segmentLengthChanged, // a segment not as long as the paper between its two creases
    };

    static FoldTarget fromSnapshot(const FoldSnapshot& snapshot, double sheetWidth);
    // The fold at the scale of a sheet of the given width; each peak's side is the sign of its
    // height, a flat tent rising toward the viewer when it folds.
    FoldSnapshot onSheet(double sheetWidth) const;
    // The first way in which this is not a fold of a sheet, or none.
    Fault fault() const;

    std::array<double, creaseLineCount> creases{};
    std::array<FoldPoint, creaseLineCount> profile{};
    double pitch = 0.0;
};
