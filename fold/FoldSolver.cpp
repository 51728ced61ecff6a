// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The movement solver: one drag step of a crease line, within the limiter's bounds.
#include "fold/FoldModel.h"

#include "fold/FoldArithmetic.h"
#include "fold/TentSide.h"

using namespace FoldArithmetic;

FoldPoint FoldModel::moveLine(long line, FoldPoint move, float pitch) {
    if (line < 0 || line > 6)
        return {};
    calculateLimits();
    const StepBounds& bounds = _limits[line];
    double h = clampStep(finiteOrZero(move.x), bounds.lower.x, bounds.upper.x);
    if (std::abs(h) < deadZone)
        h = 0.0;
    if (line == leftTent.peak || line == rightTent.peak) {
        // Seen from below, an upward drag lowers the peak.
        const bool reversed = pitch < 0.0f;
        const double v = reversed ? -finiteOrZero(move.y) : finiteOrZero(move.y);
        FoldPoint applied =
            line == leftTent.peak ? movePeak<leftTent>(h, v) : movePeak<rightTent>(h, v);
        if (reversed)
            applied.y = -applied.y;
        return applied;
    }
    if (h == 0.0)
        return {};
    switch (line) {
    case leftTent.edge:
        return {moveEdge<leftTent>(h), 0.0};
    case leftTent.foot:
        moveFoot<leftTent>(h);
        break;
    case middleLine:
        moveMiddle(h);
        break;
    case rightTent.foot:
        moveFoot<rightTent>(h);
        break;
    default:
        return {moveEdge<rightTent>(h), 0.0};
    }
    return {h, 0.0};
}

// The peak's height is taken from the slope on its left, which keeps that slope's length.
template <const TentSide& side> void FoldModel::refitPeak() {
    const int before = side.peak - 1;
    const int after = side.peak + 1;
    const float t1 = _creases[side.peak] - _creases[before];
    const float peakX =
        peakXBetween(x(before), x(after), t1, _creases[after] - _creases[side.peak]);
    const float run = peakX - x(before);
    _profile[side.peak] = {peakX, direction<side>() * rootOf(t1 * t1 - run * run)};
}

// Returns the part of the step applied (see TentSide::edgeReportsThePartApplied).
template <const TentSide& side> double FoldModel::moveEdge(double h) {
    const double moved = _profile[side.edge].x + h;
    _profile[side.edge].x = side.left ? std::max(0.0, moved) : std::min(moved, _sheetSize.width);
    if constexpr (side.footPlacedFromItsCrease)
        _profile[side.foot].x = _creases[side.foot] + x(side.edge);
    else
        _profile[side.foot].x += h;
    if (compressionOf<side>() > 0.0) {
        refitPeak<side>();
    } else {
        const int before = side.peak - 1;
        _profile[side.peak] = {_profile[before].x + (_creases[side.peak] - _creases[before]), 0.0};
    }
    // What the sheet's edge stopped was not applied.
    if constexpr (side.edgeReportsThePartApplied)
        return h - (moved - _profile[side.edge].x);
    return h;
}

template <const TentSide& side> void FoldModel::moveFoot(double h) {
    _creases[side.foot] = static_cast<float>(_creases[side.foot] + h);
    _profile[side.foot].x += h;
    if (compressionOf<side>() > 0.0)
        refitPeak<side>();
}

template <const TentSide& side> FoldPoint FoldModel::movePeak(double h, double v) {
    const int before = side.peak - 1;
    const int after = side.peak + 1;
    if (h != 0.0) {
        _profile[side.peak].x += h;
        const float rise = ellipsePeakY(
            x(before), x(side.peak), x(after), static_cast<float>(compressionOf<side>()),
            _creases[side.peak] - _creases[before], _creases[after] - _creases[side.peak]);
        _profile[side.peak].y = direction<side>() * rise;
        // The crease slides along the sheet so that the slope on its left keeps its length.
        const float run = x(side.peak) - x(before);
        _creases[side.peak] = _creases[before] + rootOf(run * run + rise * rise);
        calculateLimits();
    }
    const bool ignored =
        side.ignoresVerticalStepAtTheDeadZone ? !(std::abs(v) > deadZone) : v == 0.0;
    if (ignored)
        return {h, 0.0};
    return {h, compressTent<side>(v)};
}

template <const TentSide& side> double FoldModel::compressTent(double v) {
    double w = clampStep(v, _limits[side.peak].lower.y, _limits[side.peak].upper.y);
    if (std::abs(w) < deadZone)
        return 0.0;
    float& sense = direction<side>();
    const float signedCompression = static_cast<float>(sense * compressionOf<side>() + w);
    sense = signedCompression < 0.0f ? -1.0f : 1.0f;
    const int before = side.peak - 1;
    const int after = side.peak + 1;
    const float t1 = _creases[side.peak] - _creases[before];
    const float t3 = _creases[after] - _creases[side.peak];
    const float largest = largestCompression(side.left ? t1 : t3, side.left ? t3 : t1);
    float compression = std::abs(signedCompression);
    if (compression > largest) {
        w -= compression - largest;
        compression = largest;
    }
    _profile[side.edge].x = side.inwardFrom(sheetEdgeX<side>(), double(compression));
    _profile[side.foot].x = side.inwardFrom(_creases[side.foot], compression);
    const float peakX = peakXBetween(x(before), x(after), t1, t3);
    const float rise = ellipsePeakY(x(before), peakX, x(after), compression, t1, t3);
    _profile[side.peak] = {peakX, rise * sense};
    return w;
}

void FoldModel::moveMiddle(double h) {
    _creases[middleLine] = static_cast<float>(_creases[middleLine] + h);
    _profile[middleLine].x += h;
    if (compressionOf<leftTent>() > 0.0)
        refitPeak<leftTent>();
    if (compressionOf<rightTent>() > 0.0)
        refitPeak<rightTent>();
}