// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/ClosingCheck.h"

#include "fold/HingedFold.h"
#include "fold/HingedPreset.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr int bisections = 60;

bool closesWith(const FoldLayout& layout, const std::vector<double>& widths, double thickness) {
    const HingedFold fold(layout, widths, thickness);
    return fold.widths() == widths && fold.allows(fold.poseAngles(HingedFold::Pose::closed));
}

} // namespace

ClosingCheck::ClosingCheck(FoldLayout layout, std::vector<double> widths, double thickness) {
    const HingedFold fold(layout, widths, thickness);
    const HingedPreset preset = HingedPreset::of(fold.layout().shape(), fold.panelCount());
    for (int i = 0; i < fold.panelCount(); ++i) {
        if (preset.nesting[i] < 1)
            continue;
        const double largest = largestWidth(fold.layout(), fold.widths(), i, thickness);
        _fits.push_back({i, largest, fold.widths()[i] - largest});
    }
}

bool ClosingCheck::closes() const {
    return std::ranges::all_of(_fits, [](const PanelFit& fit) { return fit.excess <= 0; });
}

// Too narrow, a panel's bends take more than its paper; too wide, it runs into the bend around
// it. Between lies the width that closes, if any: 0 when none does.
double ClosingCheck::largestWidth(const FoldLayout& layout, std::vector<double> widths, int panel,
                                  double thickness) {
    const auto closesAt = [&](double width) {
        widths[panel] = width;
        return closesWith(layout, widths, thickness);
    };
    const double length = std::accumulate(widths.begin(), widths.end(), 0.0);
    double low = 0, high = length;
    for (double width = widths[panel]; width > thickness * 1e-3; width /= 2) {
        if (closesAt(width)) {
            low = width;
            break;
        }
        high = width;
    }
    if (low == 0)
        return 0;
    if (high == length && closesAt(length))
        return length;
    for (int i = 0; i < bisections; ++i) {
        const double middle = (low + high) / 2;
        (closesAt(middle) ? low : high) = middle;
    }
    return low;
}
