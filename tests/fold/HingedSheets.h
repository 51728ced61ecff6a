// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"
#include "fold/HingedFold.h"
#include "fold/HingedPreset.h"

#include <vector>

// Sheets in points, as documents hold them.
inline constexpr double pointsPerMm = 72 / 25.4;
inline constexpr double paperThickness = 0.1 * pointsPerMm;
inline constexpr double allowance = HingedPreset::defaultAllowanceMm * pointsPerMm;
inline constexpr double a4Length = 297 * pointsPerMm;

inline std::vector<FoldLayout::Shape> hingedShapes() {
    using Shape = FoldLayout::Shape;
    return {Shape::letter, Shape::roll, Shape::gate, Shape::doubleGate, Shape::doubleParallel};
}

inline HingedFold presetFold(FoldLayout::Shape shape, double length = a4Length) {
    const FoldLayout layout = FoldLayout::hinged(shape);
    return HingedFold(layout, HingedPreset::widths(shape, layout.panelCount(), length, allowance),
                      paperThickness);
}
