// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/HingedFold.h"

#include "fold/HingedPreset.h"
#include "fold/HingedSurface.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

constexpr double largestAngle = 180;
// The fold-in allowance on a sheet one unit long: 1/16 in on an A4 length.
constexpr double unitSheetAllowance = HingedPreset::defaultAllowanceMm / 297;
// The share of the sheet's length two parts may come closer than the thickness by.
constexpr double contactTolerance = 1e-6;
constexpr int bisections = 30;
constexpr double finestTurn = 1e-6; // degrees
constexpr double finestMove = 1e-6; // of the sheet's length

FoldLayout hingedLayout(FoldLayout layout) {
    return layout.isHinged() ? layout : FoldLayout::hinged(layout.shape(), layout.axis());
}

bool usable(const std::vector<double>& widths, FoldLayout::Shape shape) {
    return HingedPreset::takesPanelCount(shape, static_cast<int>(widths.size())) &&
           std::ranges::all_of(widths, [](double w) { return std::isfinite(w) && w > 0; });
}

// The largest share of a move, 0..1, that `allowed` accepts, bisecting down to `finest`.
template <typename Allowed>
double largestAllowedShare(double whole, double finest, Allowed allowed) {
    if (allowed(1.0))
        return 1.0;
    double low = 0, high = 1;
    for (int i = 0; i < bisections && std::abs(whole) * (high - low) > finest; ++i) {
        const double middle = (low + high) / 2;
        (allowed(middle) ? low : high) = middle;
    }
    return low;
}

} // namespace

HingedFold::HingedFold(FoldLayout layout, std::vector<double> widths, double thickness)
    : _layout(hingedLayout(layout)), _widths(std::move(widths)), _thickness(thickness) {
    if (!layout.isHinged() || !usable(_widths, _layout.shape()))
        _widths =
            HingedPreset::widths(_layout.shape(), _layout.panelCount(), 1.0, unitSheetAllowance);
    const HingedPreset preset = HingedPreset::of(_layout.shape(), panelCount());
    _anchor = preset.anchor;
    _angles.assign(panelCount() - 1, 0.0);
    for (int layers : preset.layers)
        _radii.push_back((1 + layers) * _thickness / 2);
}

std::vector<double> HingedFold::presetWidths(const FoldLayout& layout, double length,
                                             double allowance) {
    return HingedPreset::widths(layout.shape(), layout.panelCount(), length, allowance);
}

double HingedFold::presetReach(const FoldLayout& layout, double length) {
    return HingedFold(layout, presetWidths(layout, length, 0.0), 0.0).reach();
}

double HingedFold::length() const {
    return std::accumulate(_widths.begin(), _widths.end(), 0.0);
}

int HingedFold::anchorPanel() const {
    return _anchor;
}

std::vector<double> HingedFold::poseAngles(Pose pose) const {
    if (pose == Pose::flat)
        return std::vector<double>(_angles.size(), 0.0);
    const HingedPreset preset = HingedPreset::of(_layout.shape(), panelCount());
    return pose == Pose::closed ? preset.closed : preset.presentation;
}

bool HingedFold::setAngles(const std::vector<double>& angles) {
    if (!allows(angles))
        return false;
    _angles = angles;
    return true;
}

double HingedFold::turnCrease(int crease, double degrees) {
    if (crease < 0 || crease >= int(_angles.size()) || !std::isfinite(degrees))
        return 0;
    const double from = _angles[crease];
    const double turn = std::clamp(from + degrees, -largestAngle, largestAngle) - from;
    if (turn == 0)
        return 0;
    const HingedSurface now(_widths, _angles, _radii, _anchor);
    const double distance = closestApproach(length());
    HingedSurface::Contact contact;
    const double share = largestAllowedShare(turn, finestTurn, [&](double part) {
        HingedSurface trial = now;
        trial.turn(crease, from + turn * part);
        return trial.keepsApart(distance, crease, contact);
    });
    _angles[crease] = from + turn * share;
    return turn * share;
}

double HingedFold::moveCrease(int crease, double step) {
    if (_widthsFixed || crease < 0 || crease >= int(_angles.size()) || !std::isfinite(step))
        return 0;
    const double shortest = shortestPanel();
    const double before = _widths[crease], after = _widths[crease + 1];
    const double move =
        std::clamp(step, std::min(0.0, shortest - before), std::max(0.0, after - shortest));
    std::vector<double> trial = _widths;
    const double share = largestAllowedShare(move, finestMove * length(), [&](double part) {
        trial[crease] = before + move * part;
        trial[crease + 1] = after - move * part;
        return fits(trial, _angles);
    });
    _widths[crease] = before + move * share;
    _widths[crease + 1] = after - move * share;
    return move * share;
}

std::vector<double> HingedFold::creases() const {
    std::vector<double> lines{0.0};
    for (double width : _widths)
        lines.push_back(lines.back() + width);
    return lines;
}

std::vector<FoldPoint> HingedFold::profile() const {
    return HingedSurface(_widths, _angles, _radii, _anchor).lines();
}

std::vector<HingedFold::SurfacePoint> HingedFold::surface() const {
    return HingedSurface(_widths, _angles, _radii, _anchor).points();
}

bool HingedFold::allows(const std::vector<double>& angles) const {
    if (angles.size() != _angles.size())
        return false;
    const bool inRange = std::ranges::all_of(
        angles, [](double a) { return std::isfinite(a) && std::abs(a) <= largestAngle; });
    return inRange && fits(_widths, angles);
}

double HingedFold::reach() const {
    const auto anchor = _widths.begin() + _anchor;
    return std::max(std::accumulate(_widths.begin(), anchor, 0.0),
                    std::accumulate(anchor + 1, _widths.end(), 0.0));
}

bool HingedFold::fits(std::span<const double> widths, std::span<const double> angles) const {
    const double length = std::accumulate(widths.begin(), widths.end(), 0.0);
    return HingedSurface(widths, angles, _radii, _anchor).keepsApart(closestApproach(length));
}

double HingedFold::closestApproach(double length) const {
    return _thickness - contactTolerance * length;
}

// 3% of the sheet, and never so narrow that its bends would eat it.
double HingedFold::shortestPanel() const {
    return std::max(0.03 * length(), 4 * _thickness);
}
