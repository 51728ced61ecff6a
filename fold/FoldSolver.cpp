// The movement solver: one drag step of a crease line, within the limiter's bounds.
#include "fold/FoldModel.h"

#include "fold/FoldArithmetic.h"

using namespace FoldArithmetic;

FoldPoint FoldModel::handlingLine(long line, FoldPoint move, float pitch) {
    if (line < 0 || line > 6)
        return {};
    caliculateLimitter();
    const auto& bounds = _limitter[line];
    double h = clampStep(finiteOrZero(move.x), bounds[0].x, bounds[1].x);
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
    return _coordinates[0].x;
}

double FoldModel::rightCompression() const {
    return _imageSize.width - _coordinates[6].x;
}

// The peak's height is taken from the slope on its left, which keeps that slope's length.
void FoldModel::refitLeftPeak() {
    const float t1 = _creasePoint[2] - _creasePoint[1];
    const float peakX = caliculatePeakX2WithX1(x(1), x(3), t1, _creasePoint[3] - _creasePoint[2]);
    const float run = peakX - x(1);
    _coordinates[2] = {peakX, _dirL * rootOf(t1 * t1 - run * run)};
}

void FoldModel::refitRightPeak() {
    const float t1 = _creasePoint[4] - _creasePoint[3];
    const float peakX = caliculatePeakX2WithX1(x(3), x(5), t1, _creasePoint[5] - _creasePoint[4]);
    const float run = peakX - x(3);
    _coordinates[4] = {peakX, _dirR * rootOf(t1 * t1 - run * run)};
}

double FoldModel::moveLeftEdge(double h) {
    const double moved = _coordinates[0].x + h;
    _coordinates[0].x = std::max(0.0, moved);
    _coordinates[1].x = _creasePoint[1] + x(0);
    if (leftCompression() > 0.0) {
        refitLeftPeak();
    } else {
        _coordinates[2] = {_coordinates[1].x + (_creasePoint[2] - _creasePoint[1]), 0.0};
    }
    return moved < 0.0 ? h - moved : h;
}

void FoldModel::moveLeftFoot(double h) {
    _creasePoint[1] = static_cast<float>(_creasePoint[1] + h);
    _coordinates[1].x += h;
    if (leftCompression() > 0.0)
        refitLeftPeak();
}

FoldPoint FoldModel::moveLeftPeak(double h, double v) {
    if (h != 0.0) {
        _coordinates[2].x += h;
        const float rise =
            caliculateEllipsePeakY2WithX1(x(1), x(2), x(3), x(0), _creasePoint[2] - _creasePoint[1],
                                          _creasePoint[3] - _creasePoint[2]);
        _coordinates[2].y = _dirL * rise;
        // The crease slides along the sheet so that the outer slope keeps its length.
        const float run = x(2) - x(1);
        _creasePoint[2] = _creasePoint[1] + rootOf(run * run + rise * rise);
        caliculateLimitter();
    }
    if (!(std::abs(v) > deadZone))
        return {h, 0.0};
    return {h, compressLeftTent(v)};
}

double FoldModel::compressLeftTent(double v) {
    double w = clampStep(v, _limitter[2][0].y, _limitter[2][1].y);
    if (std::abs(w) < deadZone)
        return 0.0;
    const float signedCompression = static_cast<float>(_dirL * _coordinates[0].x + w);
    _dirL = signedCompression < 0.0f ? -1.0f : 1.0f;
    const float t1 = _creasePoint[2] - _creasePoint[1];
    const float t3 = _creasePoint[3] - _creasePoint[2];
    const float largest = caliculateEdxWithTO(t1, t3);
    float compression = std::abs(signedCompression);
    if (compression > largest) {
        w -= compression - largest;
        compression = largest;
    }
    _coordinates[0].x = compression > 0.0f ? compression : 0.0f;
    const float foot = _creasePoint[1] + compression;
    _coordinates[1].x = foot;
    const float peakX = caliculatePeakX2WithX1(foot, x(3), t1, t3);
    const float rise = caliculateEllipsePeakY2WithX1(foot, peakX, x(3), compression, t1, t3);
    _coordinates[2] = {peakX, rise * _dirL};
    return w;
}

void FoldModel::moveMiddle(double h) {
    _creasePoint[3] = static_cast<float>(_creasePoint[3] + h);
    _coordinates[3].x += h;
    if (leftCompression() > 0.0)
        refitLeftPeak();
    if (rightCompression() > 0.0)
        refitRightPeak();
}

FoldPoint FoldModel::moveRightPeak(double h, double v) {
    if (h != 0.0) {
        _coordinates[4].x += h;
        const float rise = caliculateEllipsePeakY2WithX1(
            x(3), x(4), x(5), static_cast<float>(rightCompression()),
            _creasePoint[4] - _creasePoint[3], _creasePoint[5] - _creasePoint[4]);
        _coordinates[4].y = _dirR * rise;
        const float run = x(4) - x(3);
        _creasePoint[4] = _creasePoint[3] + rootOf(run * run + rise * rise);
        caliculateLimitter();
    }
    // Unlike the left peak, any nonzero vertical move is clamped and tried here.
    if (v == 0.0)
        return {h, 0.0};
    return {h, compressRightTent(v)};
}

double FoldModel::compressRightTent(double v) {
    double w = clampStep(v, _limitter[4][0].y, _limitter[4][1].y);
    if (std::abs(w) < deadZone)
        return 0.0;
    const double width = _imageSize.width;
    const float signedCompression = static_cast<float>(_dirR * rightCompression() + w);
    _dirR = signedCompression < 0.0f ? -1.0f : 1.0f;
    const float t1 = _creasePoint[4] - _creasePoint[3];
    const float t3 = _creasePoint[5] - _creasePoint[4];
    const float largest = caliculateEdxWithTO(t3, t1);
    float compression = std::abs(signedCompression);
    if (compression > largest) {
        w -= compression - largest;
        compression = largest;
    }
    _coordinates[6].x = std::min(width - compression, width);
    const float foot = _creasePoint[5] - compression;
    _coordinates[5].x = foot;
    const float peakX = caliculatePeakX2WithX1(x(3), foot, t1, t3);
    const float rise = caliculateEllipsePeakY2WithX1(x(3), peakX, foot, compression, t1, t3);
    _coordinates[4] = {peakX, rise * _dirR};
    return w;
}

void FoldModel::moveRightFoot(double h) {
    _creasePoint[5] = static_cast<float>(_creasePoint[5] + h);
    _coordinates[5].x += h;
    if (rightCompression() > 0.0)
        refitRightPeak();
}

void FoldModel::moveRightEdge(double h) {
    _coordinates[6].x = std::min(_coordinates[6].x + h, _imageSize.width);
    _coordinates[5].x += h;
    if (rightCompression() > 0.0) {
        refitRightPeak();
    } else {
        _coordinates[4] = {_coordinates[3].x + (_creasePoint[4] - _creasePoint[3]), 0.0};
    }
}
