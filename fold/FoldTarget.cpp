// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/FoldTarget.h"

#include <algorithm>

#include <cmath>

namespace {

// Fractions of the width: a saved fold carries single-precision creases and the solver's
// rounding, far below this; a hand-made profile must match to about a tenth of a point.
constexpr double kTolerance = 1e-4;

bool near(double a, double b) {
    return std::abs(a - b) <= kTolerance;
}

} // namespace

FoldTarget FoldTarget::fromSnapshot(const FoldSnapshot& snapshot, double sheetWidth) {
    FoldTarget target;
    for (int i = 0; i < creaseLineCount; ++i) {
        // A crease point is a float: at the far edge of a sheet whose width a float rounds up
        // (a PDF page's) it lies past the sheet by a hair.
        target.creases[i] = std::clamp(snapshot.creasePoint[i] / sheetWidth, 0.0, 1.0);
        target.profile[i] = {snapshot.coordinates[i].x / sheetWidth,
                             snapshot.coordinates[i].y / sheetWidth};
    }
    target.pitch = snapshot.pitch;
    return target;
}

FoldSnapshot FoldTarget::onSheet(double sheetWidth) const {
    FoldSnapshot snapshot;
    for (int i = 0; i < creaseLineCount; ++i) {
        snapshot.creasePoint[i] = static_cast<float>(creases[i] * sheetWidth);
        snapshot.coordinates[i] = {profile[i].x * sheetWidth, profile[i].y * sheetWidth};
    }
    snapshot.creasePoint[0] = 0.0f;
    snapshot.creasePoint[6] = static_cast<float>(sheetWidth);
    snapshot.leftDirection = profile[2].y < 0.0 ? -1.0f : 1.0f;
    snapshot.rightDirection = profile[4].y < 0.0 ? -1.0f : 1.0f;
    snapshot.pitch = static_cast<float>(pitch);
    return snapshot;
}

FoldTarget::Fault FoldTarget::fault() const {
    const auto& c = creases;
    const auto& p = profile;
    if (!near(c[0], 0.0) || !near(c[6], 1.0))
        return Fault::edgeCreasesOffTheEdges;
    for (int i = 0; i < 6; ++i) {
        if (!(c[i] < c[i + 1]))
            return Fault::creasesOutOfOrder;
    }
    if (p[0].x < -kTolerance || p[6].x > 1.0 + kTolerance)
        return Fault::edgeBeyondTheSheet;
    if (!(p[0].x < p[1].x && p[1].x < p[3].x && p[3].x < p[5].x && p[5].x < p[6].x))
        return Fault::profileOutOfOrder;
    for (const int i : {0, 1, 3, 5, 6}) {
        if (!near(p[i].y, 0.0))
            return Fault::vertexOffThePlane;
    }
    const double rightCompression = 1.0 - p[6].x;
    if (!near(p[1].x, c[1] + p[0].x) || !near(p[3].x, c[3]) ||
        !near(p[5].x, c[5] - rightCompression))
        return Fault::vertexOffItsCrease;
    for (int i = 0; i < 6; ++i) {
        const double span = std::hypot(p[i + 1].x - p[i].x, p[i + 1].y - p[i].y);
        if (!near(span, c[i + 1] - c[i]))
            return Fault::segmentLengthChanged;
    }
    return Fault::none;
}
