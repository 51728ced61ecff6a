// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/HingedPreset.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace {

using Shape = FoldLayout::Shape;

struct ShapedPreset {
    Shape shape;
    HingedPreset preset;
};

// The roll is missing: its panel count varies, so rollOf builds it.
const std::array<ShapedPreset, 4>& fixedPresets() {
    static const std::array<ShapedPreset, 4> table{{
        // Panel 2 tucks in behind the back cover, then panel 0 wraps over it.
        {Shape::letter, {1, {1, 0}, {-180, -180}, {-60, -60}, {1, 0}, {0, 0, 1}, {1, 1, 1}}},
        // Both flaps meet in front of the centre's back, a little apart.
        {Shape::gate, {1, {0, 0}, {-180, -180}, {-60, -60}, {0, 0}, {1, 0, 1}, {1, 2, 1}}},
        // The flaps close first, then the centre folds over both.
        {Shape::doubleGate,
         {1,
          {0, 1, 0},
          {-180, -180, -180},
          {-60, -60, -60},
          {0, 2, 0},
          {1, 0, 0, 1},
          {1, 1, 1, 1}}},
        // In half at the centre, then in half again: panel 3 turns inward between 2 and 0.
        {Shape::doubleParallel,
         {1, {1, 0, 1}, {-180, -180, 180}, {-60, -60, 60}, {2, 0, 0}, {0, 0, 1, 1}, {1, 1, 1, 1}}},
    }};
    return table;
}

// Rolls in from the last edge, each crease wrapping the panels rolled before it. Presented, the
// roll turns half a turn at most in all, so that a long one does not curl into itself.
HingedPreset rollOf(int panels) {
    const int creases = panels - 1;
    HingedPreset roll;
    for (int k = 0; k < creases; ++k) {
        roll.steps.push_back(creases - 1 - k);
        roll.closed.push_back(-180);
        roll.presentation.push_back(-std::min(60.0, 180.0 / creases));
        roll.layers.push_back(creases - 1 - k);
    }
    for (int i = 0; i < panels; ++i) {
        roll.nesting.push_back(std::max(0, i - 1));
        roll.units.push_back(1);
    }
    return roll;
}

} // namespace

bool HingedPreset::takesPanelCount(Shape shape, int panels) {
    if (shape == Shape::roll)
        return panels >= 2 && panels <= FoldLayout::mostAccordionPanels;
    return panels == FoldLayout::hinged(shape).panelCount();
}

HingedPreset HingedPreset::of(Shape shape, int panels) {
    const FoldLayout layout = FoldLayout::hinged(shape);
    if (layout.shape() == Shape::roll)
        return rollOf(takesPanelCount(shape, panels) ? panels : layout.panelCount());
    return std::ranges::find(fixedPresets(), layout.shape(), &ShapedPreset::shape)->preset;
}

std::vector<double> HingedPreset::widths(Shape shape, int panels, double length, double allowance) {
    const HingedPreset preset = of(shape, panels);
    const int units = std::accumulate(preset.units.begin(), preset.units.end(), 0);
    const int levels = std::accumulate(preset.nesting.begin(), preset.nesting.end(), 0);
    const double unit = (length + allowance * levels) / units;
    std::vector<double> widths;
    for (std::size_t i = 0; i < preset.units.size(); ++i)
        widths.push_back(unit * preset.units[i] - allowance * preset.nesting[i]);
    // The rounding lands on the anchor, which nothing nests against.
    const double rest = std::accumulate(widths.begin(), widths.end(), 0.0) - widths[preset.anchor];
    widths[preset.anchor] = length - rest;
    return widths;
}

int HingedPreset::stepCount() const {
    return steps.empty() ? 0 : *std::ranges::max_element(steps) + 1;
}
