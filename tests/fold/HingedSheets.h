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

// panels: the layout's own count when 0.
inline HingedFold presetFold(FoldLayout::Shape shape, double length = a4Length, int panels = 0) {
    const FoldLayout layout = FoldLayout::hinged(shape);
    const int count = panels > 0 ? panels : layout.panelCount();
    return HingedFold(layout, HingedPreset::widths(shape, count, length, allowance),
                      paperThickness);
}
