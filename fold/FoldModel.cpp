// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/FoldModel.h"

#include "fold/FoldArithmetic.h"

#include <algorithm>

using namespace FoldArithmetic;

namespace {

constexpr double minimumSheetWidth = 256.0;
constexpr double windowWidthFactor = 1.496662974357605; // sqrtf(2.24), widened
constexpr double windowHeightFactor = 1.25;
constexpr double menuBarHeight = 22.0;

} // namespace

FoldSize FoldModel::sheetSizeForPicture(FoldSize pixelSize, std::optional<FoldScreen> screen) {
    // A bitmap without a usable size is sized as a single pixel.
    double w = pixelSize.width > 0.0 && std::isfinite(pixelSize.width) ? pixelSize.width : 1.0;
    double h = pixelSize.height > 0.0 && std::isfinite(pixelSize.height) ? pixelSize.height : 1.0;
    if (w / h > 4.0) {
        const double g = static_cast<float>(4.0 * h);
        w = (w - g) * 0.5 + g;
        h = 0.25 * w;
    }
    if (w / h < 0.26) {
        const double g = static_cast<float>(0.26 * h);
        w = (w - g) * 0.5 + g;
        h = w / 0.26;
    }
    if (w < minimumSheetWidth) {
        h = h * (minimumSheetWidth / w);
        w = minimumSheetWidth;
    }
    // Without a screen (or one too small to leave any height) there is no height limit.
    if (screen) {
        const double limit = static_cast<float>(screen->frameHeight - menuBarHeight) / 1.25f;
        if (limit > 0.0 && h > limit) {
            w = w * (limit / h);
            h = limit;
        }
    }
    if (w < minimumSheetWidth)
        w = minimumSheetWidth;
    return screen ? fitWindowInto({w, h}, screen->available) : FoldSize{w, h};
}

// The height rule alone lets a long strip open wider than the screen: shrink the sheet, keeping
// its shape, until its window fits the available area. Sheets that fit keep their size.
FoldSize FoldModel::fitWindowInto(FoldSize sheetSize, FoldSize available) {
    const FoldSize window = windowSizeForSheet(sheetSize);
    double factor = 1.0;
    if (available.width > 0.0 && window.width > available.width)
        factor = available.width / window.width;
    if (available.height > 0.0 && window.height > available.height)
        factor = std::min(factor, available.height / window.height);
    return {sheetSize.width * factor, sheetSize.height * factor};
}

FoldSize FoldModel::windowSizeForSheet(FoldSize sheetSize) {
    return {sheetSize.width * windowWidthFactor, sheetSize.height * windowHeightFactor};
}

FoldModel::FoldModel(FoldSize sheetSize) : _sheetSize(sheetSize) {
    layOutFlat();
    deriveFoldParameters();
    calculateLimits();
}

void FoldModel::layOutFlat() {
    constexpr std::array<double, creaseLineCount> fractions{0.0, 0.15, 0.3, 0.5, 0.7, 0.85, 1.0};
    for (std::size_t i = 0; i < fractions.size(); ++i) {
        _creases[i] = static_cast<float>(fractions[i] * _sheetSize.width);
        _profile[i] = {_creases[i], 0.0};
    }
}

void FoldModel::deriveFoldParameters() {
    const double width = _sheetSize.width;
    Parameters& p = _parameters;
    p.maximumPeakHeight = static_cast<float>(0.25 * _sheetSize.height);
    p.minimumSpaceMiddle = static_cast<float>(width * 15 * 0.00390625);
    p.minimumSpaceFoot = p.minimumSpaceMiddle * 1.5f;
    p.minimumSpaceSide = p.minimumSpaceFoot;
    const float aspect = static_cast<float>(width / _sheetSize.height);
    p.maximumPeakSlopeInside = cosineOfDegrees(70.0f / std::sqrt(std::sqrt(aspect)));
    p.maximumPeakSlopeOutside = cosineOfDegrees(65.0f / aspect);
}

void FoldModel::restore(const FoldSnapshot& fold) {
    _creases = fold.creasePoint;
    _profile = fold.coordinates;
    _leftDirection = fold.leftDirection;
    _rightDirection = fold.rightDirection;
    calculateLimits();
}

// ---- formula methods ------------------------------------------------------------------------

FoldPoint FoldModel::pointMoveDeltaX(float d, FoldPoint a, FoldPoint b) {
    // A vertical pair gives no slope: keep A's height.
    const double run = b.x - a.x;
    const double rise = run == 0.0 ? 0.0 : d * (b.y - a.y) / run;
    return {a.x + d, rise + a.y};
}

FoldPoint FoldModel::pointMoveDeltaY(float d, FoldPoint a, FoldPoint b) {
    // A horizontal pair gives no slope: keep A's x.
    const double rise = b.y - a.y;
    const double shift = rise == 0.0 ? 0.0 : (b.x - a.x) * d / rise;
    return {shift + a.x, a.y + d};
}
