// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/FoldApplier.h"

#include "fold/FoldArithmetic.h"
#include "fold/FoldModel.h"
#include "fold/TentSide.h"

#include <algorithm>
#include <cmath>

namespace {

// The solver leaves steps below its dead zone pending; a fold this near the wanted one in every
// crease and compression is the wanted one, up to what a drag can resolve.
constexpr double kResolution = FoldArithmetic::deadZone + 1e-3;
constexpr int kMostRounds = 50;
constexpr int kPeakCreaseTrials = 20;
// With a pitch of 0 an upward step raises the signed compression, as seen from the front.
constexpr float kFrontView = 0.0f;

const TentSide& tentOfPeak(int line) {
    return line == leftTent.peak ? leftTent : rightTent;
}

// How far the tent's edge is pulled in from the sheet's edge.
double compressionOf(const TentSide& side, const std::array<FoldPoint, creaseLineCount>& profile,
                     double width) {
    return side.inwardDistance(side.left ? 0.0 : width, profile[side.edge].x);
}

// The compression signed by the side the tent's peak rises to.
double signedCompression(const TentSide& side, const FoldSnapshot& fold, double width) {
    const float direction = side.left ? fold.leftDirection : fold.rightDirection;
    return direction * compressionOf(side, fold.coordinates, width);
}

double compressionStep(const FoldModel& model, const FoldSnapshot& wanted, int line) {
    const TentSide& side = tentOfPeak(line);
    const double width = model.sheetSize().width;
    return signedCompression(side, wanted, width) -
           signedCompression(side, FoldSnapshot::take(model, kFrontView), width);
}

} // namespace

// A tent whose compression the bounds stop short at one peak position may take it at another and
// keep it while the peak moves on, so each peak crease is also tried at points along its tent.
double FoldApplier::apply(FoldModel& model, const FoldSnapshot& wanted) {
    model = FoldModel(model.sheetSize());
    drive(model, wanted);
    for (const int line : {leftTent.peak, rightTent.peak}) {
        for (int trial = 1; trial < kPeakCreaseTrials; ++trial) {
            if (unresolved(model, wanted) <= kResolution)
                break;
            const FoldModel tried =
                viaPeakCrease(model, wanted, line, double(trial) / kPeakCreaseTrials);
            if (distance(tried, wanted) < distance(model, wanted))
                model = tried;
        }
    }
    if (unresolved(model, wanted) <= kResolution) {
        model.restore(wanted);
        return 0.0;
    }
    return distance(model, wanted);
}

// The compressions go first: each leaves its peak where the creases put it, so that the peaks'
// own steps move no more than the creases move.
bool FoldApplier::approach(FoldModel& model, const FoldSnapshot& wanted) {
    compress(model, wanted);
    drive(model, wanted);
    return unresolved(model, wanted) <= kResolution;
}

void FoldApplier::drive(FoldModel& model, const FoldSnapshot& wanted) {
    for (int round = 0; round < kMostRounds; ++round) {
        if (!stepToward(model, wanted))
            break;
    }
}

// One round: every crease along the sheet, then both tents' compressions. False when nothing
// moved, since the bounds then stop every further round as well.
bool FoldApplier::stepToward(FoldModel& model, const FoldSnapshot& wanted) {
    bool moved = false;
    for (const int line : {1, 5, 3, 2, 4}) {
        const double h = horizontalStep(model, wanted, line);
        moved |= model.moveLine(line, {h, 0.0}, kFrontView).x != 0.0;
    }
    return compress(model, wanted) || moved;
}

bool FoldApplier::compress(FoldModel& model, const FoldSnapshot& wanted) {
    bool moved = false;
    for (const int line : {leftTent.peak, rightTent.peak}) {
        const double v = compressionStep(model, wanted, line);
        moved |= model.moveLine(line, {0.0, v}, kFrontView).y != 0.0;
    }
    return moved;
}

// The peak of a folded tent moves across the sheet and its crease follows; on a flat tent the two
// are one point.
double FoldApplier::horizontalStep(const FoldModel& model, const FoldSnapshot& wanted, int line) {
    const bool folded =
        (line == leftTent.peak || line == rightTent.peak) &&
        compressionOf(tentOfPeak(line), model.profile(), model.sheetSize().width) > 0.0;
    if (folded)
        return wanted.coordinates[line].x - model.profile()[line].x;
    return wanted.creasePoint[line] - model.creases()[line];
}

// Flattens the peak's tent, puts its crease at a fraction of the way from the foot to the middle,
// folds the tent there and drives on to the wanted fold.
FoldModel FoldApplier::viaPeakCrease(FoldModel model, const FoldSnapshot& wanted, int line,
                                     double fraction) {
    const double compression = signedCompression(
        tentOfPeak(line), FoldSnapshot::take(model, kFrontView), model.sheetSize().width);
    model.moveLine(line, {0.0, -compression}, kFrontView);
    const double from = model.creases()[line - 1];
    const double to = model.creases()[line + 1];
    const double step = from + fraction * (to - from) - model.creases()[line];
    model.moveLine(line, {step, 0.0}, kFrontView);
    model.moveLine(line, {0.0, compressionStep(model, wanted, line)}, kFrontView);
    drive(model, wanted);
    return model;
}

double FoldApplier::unresolved(const FoldModel& model, const FoldSnapshot& wanted) {
    double largest = std::max(std::abs(compressionStep(model, wanted, leftTent.peak)),
                              std::abs(compressionStep(model, wanted, rightTent.peak)));
    for (int i = 0; i < creaseLineCount; ++i)
        largest = std::max(largest, std::abs(double(wanted.creasePoint[i]) - model.creases()[i]));
    return largest;
}

double FoldApplier::distance(const FoldModel& model, const FoldSnapshot& wanted) {
    double largest = 0.0;
    for (int i = 0; i < creaseLineCount; ++i) {
        largest = std::max(largest, std::abs(double(wanted.creasePoint[i]) - model.creases()[i]));
        const FoldPoint& a = wanted.coordinates[i];
        const FoldPoint& b = model.profile()[i];
        largest = std::max(largest, std::hypot(a.x - b.x, a.y - b.y));
    }
    return largest;
}
