// The movement solver: one drag step of a crease line, within the limiter's bounds.
#include "fold/FoldModel.h"

#include "fold/FoldArithmetic.h"

using namespace FoldArithmetic;

FoldPoint FoldModel::moveLine(long line, FoldPoint move, float pitch) {
    if (line < 0 || line > 6)
        return {};
    calculateLimits();
    const StepBounds& bounds = _limits[line];
    double h = clampStep(finiteOrZero(move.x), bounds.lower.x, bounds.upper.x);
    if (std::abs(h) < deadZone)
        h = 0.0;
    if (line == 2 || line == 4) {
        // Seen from below, an upward drag lowers the peak.
        const bool reversed = pitch < 0.0f;
        const double v = reversed ? -finiteOrZero(move.y) : finiteOrZero(move.y);
        FoldPoint applied = line == 2 ? moveLeftPeak(h, v) : moveRightPeak(h, v);
        if (reversed)
            applied.y = -applied.y;
        return applied;
    }
    if (h == 0.0)
        return {};
    switch (line) {
    case 0:
        return {moveLeftEdge(h), 0.0};
    case 1:
        moveLeftFoot(h);
        break;
    case 3:
        moveMiddle(h);
        break;
    case 5:
        moveRightFoot(h);
        break;
    default:
        moveRightEdge(h);
        break;
    }
    return {h, 0.0};
}

double FoldModel::leftCompression() const {
    return _profile[0].x;
}

double FoldModel::rightCompression() const {
    return _sheetSize.width - _profile[6].x;
}

// The peak's height is taken from the slope on its left, which keeps that slope's length.
void FoldModel::refitLeftPeak() {
    const float t1 = _creases[2] - _creases[1];
    const float peakX = peakXBetween(x(1), x(3), t1, _creases[3] - _creases[2]);
    const float run = peakX - x(1);
    _profile[2] = {peakX, _leftDirection * rootOf(t1 * t1 - run * run)};
}

void FoldModel::refitRightPeak() {
    const float t1 = _creases[4] - _creases[3];
    const float peakX = peakXBetween(x(3), x(5), t1, _creases[5] - _creases[4]);
    const float run = peakX - x(3);
    _profile[4] = {peakX, _rightDirection * rootOf(t1 * t1 - run * run)};
}

double FoldModel::moveLeftEdge(double h) {
    const double moved = _profile[0].x + h;
    _profile[0].x = std::max(0.0, moved);
    _profile[1].x = _creases[1] + x(0);
    if (leftCompression() > 0.0) {
        refitLeftPeak();
    } else {
        _profile[2] = {_profile[1].x + (_creases[2] - _creases[1]), 0.0};
    }
    return moved < 0.0 ? h - moved : h;
}

void FoldModel::moveLeftFoot(double h) {
    _creases[1] = static_cast<float>(_creases[1] + h);
    _profile[1].x += h;
    if (leftCompression() > 0.0)
        refitLeftPeak();
}

FoldPoint FoldModel::moveLeftPeak(double h, double v) {
    if (h != 0.0) {
        _profile[2].x += h;
        const float rise = ellipsePeakY(x(1), x(2), x(3), x(0), _creases[2] - _creases[1],
                                        _creases[3] - _creases[2]);
        _profile[2].y = _leftDirection * rise;
        // The crease slides along the sheet so that the outer slope keeps its length.
        const float run = x(2) - x(1);
        _creases[2] = _creases[1] + rootOf(run * run + rise * rise);
        calculateLimits();
    }
    if (!(std::abs(v) > deadZone))
        return {h, 0.0};
    return {h, compressLeftTent(v)};
}

double FoldModel::compressLeftTent(double v) {
    double w = clampStep(v, _limits[2].lower.y, _limits[2].upper.y);
    if (std::abs(w) < deadZone)
        return 0.0;
    const float signedCompression = static_cast<float>(_leftDirection * _profile[0].x + w);
    _leftDirection = signedCompression < 0.0f ? -1.0f : 1.0f;
    const float t1 = _creases[2] - _creases[1];
    const float t3 = _creases[3] - _creases[2];
    const float largest = largestCompression(t1, t3);
    float compression = std::abs(signedCompression);
    if (compression > largest) {
        w -= compression - largest;
        compression = largest;
    }
    _profile[0].x = compression > 0.0f ? compression : 0.0f;
    const float foot = _creases[1] + compression;
    _profile[1].x = foot;
    const float peakX = peakXBetween(foot, x(3), t1, t3);
    const float rise = ellipsePeakY(foot, peakX, x(3), compression, t1, t3);
    _profile[2] = {peakX, rise * _leftDirection};
    return w;
}

void FoldModel::moveMiddle(double h) {
    _creases[3] = static_cast<float>(_creases[3] + h);
    _profile[3].x += h;
    if (leftCompression() > 0.0)
        refitLeftPeak();
    if (rightCompression() > 0.0)
        refitRightPeak();
}

FoldPoint FoldModel::moveRightPeak(double h, double v) {
    if (h != 0.0) {
        _profile[4].x += h;
        const float rise = ellipsePeakY(x(3), x(4), x(5), static_cast<float>(rightCompression()),
                                        _creases[4] - _creases[3], _creases[5] - _creases[4]);
        _profile[4].y = _rightDirection * rise;
        const float run = x(4) - x(3);
        _creases[4] = _creases[3] + rootOf(run * run + rise * rise);
        calculateLimits();
    }
    // Unlike the left peak, any nonzero vertical move is clamped and tried here.
    if (v == 0.0)
        return {h, 0.0};
    return {h, compressRightTent(v)};
}

double FoldModel::compressRightTent(double v) {
    double w = clampStep(v, _limits[4].lower.y, _limits[4].upper.y);
    if (std::abs(w) < deadZone)
        return 0.0;
    const double width = _sheetSize.width;
    const float signedCompression = static_cast<float>(_rightDirection * rightCompression() + w);
    _rightDirection = signedCompression < 0.0f ? -1.0f : 1.0f;
    const float t1 = _creases[4] - _creases[3];
    const float t3 = _creases[5] - _creases[4];
    const float largest = largestCompression(t3, t1);
    float compression = std::abs(signedCompression);
    if (compression > largest) {
        w -= compression - largest;
        compression = largest;
    }
    _profile[6].x = std::min(width - compression, width);
    const float foot = _creases[5] - compression;
    _profile[5].x = foot;
    const float peakX = peakXBetween(x(3), foot, t1, t3);
    const float rise = ellipsePeakY(x(3), peakX, foot, compression, t1, t3);
    _profile[4] = {peakX, rise * _rightDirection};
    return w;
}

void FoldModel::moveRightFoot(double h) {
    _creases[5] = static_cast<float>(_creases[5] + h);
    _profile[5].x += h;
    if (rightCompression() > 0.0)
        refitRightPeak();
}

void FoldModel::moveRightEdge(double h) {
    _profile[6].x = std::min(_profile[6].x + h, _sheetSize.width);
    _profile[5].x += h;
    if (rightCompression() > 0.0) {
        refitRightPeak();
    } else {
        _profile[4] = {_profile[3].x + (_creases[4] - _creases[3]), 0.0};
    }
}
