// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/PanelFoldLimits.h"

#include "fold/FoldArithmetic.h"

#include <algorithm>
#include <cmath>

using namespace FoldArithmetic;

namespace {

// The classic's middle space and largest peak height, as fractions of the sheet.
constexpr double shortestPanelOfLength = 15.0 / 256.0;
constexpr double highestPointOfBreadth = 0.25;
// The classic's inner slope angle, which shrinks as the sheet grows longer than it is broad.
constexpr float steepestAngleOnASquare = 70.0f;

} // namespace

PanelFoldLimits::PanelFoldLimits(double length, double breadth, int panelCount)
    // Many panels need a shorter shortest panel so that a crease can move at all.
    : _shortestPanel(std::min(length * shortestPanelOfLength, 0.5 * length / panelCount)),
      _slopeFactor(cosineOfDegrees(steepestAngleOnASquare /
                                   std::sqrt(std::sqrt(static_cast<float>(length / breadth))))),
      _highestPoint(highestPointOfBreadth * breadth) {}

// A tent over a base of width w has its peak at (w² + t² - o²) / 2w from the slope t's foot. That
// run grows with w while both runs are positive, so each limit is a narrowest base: the slope t
// is no steeper than allowed from w ≥ k t + √(o² - t² (1 - k²)).
double PanelFoldLimits::narrowestBaseFor(double slope, double other) const {
    const double k = _slopeFactor;
    const double discriminant = other * other - slope * slope * (1.0 - k * k);
    return discriminant > 0.0 ? k * slope + std::sqrt(discriminant) : 0.0;
}

double PanelFoldLimits::largestTentCompression(double first, double second) const {
    double base = std::max(narrowestBaseFor(first, second), narrowestBaseFor(second, first));
    // The peak rises as the base narrows; it reaches the highest point over this base.
    const double h = _highestPoint;
    if (h < std::min(first, second))
        base =
            std::max(base, std::sqrt(first * first - h * h) + std::sqrt(second * second - h * h));
    return std::max(first + second - base, 0.0);
}

double PanelFoldLimits::largestFreeCompression(double panel) const {
    const double h = _highestPoint;
    const double shortestRun = std::max(_slopeFactor * panel, rootOf(panel * panel - h * h));
    return std::max(panel - shortestRun, 0.0);
}
