// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/FoldMotion.h"

#include "fold/FoldApplier.h"
#include "fold/FoldModel.h"
#include "fold/HingedFoldMotion.h"
#include "fold/PanelFoldModel.h"
#include "fold/PanelFoldMotion.h"
#include "fold/SheetFold.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Exactly from at 0 and exactly to at 1.
double between(double from, double to, double along) {
    return from * (1 - along) + to * along;
}

// A tent's signed compression as a share of the largest its creases allow, so that a tent folded
// as far as it goes stays so while its creases move.
double leftShare(const FoldModel& sheet, const FoldSnapshot& fold) {
    const auto& c = fold.creasePoint;
    const double largest = sheet.largestCompression(c[2] - c[1], c[3] - c[2]);
    return largest > 0 ? fold.leftDirection * fold.coordinates[0].x / largest : 0.0;
}

double rightShare(const FoldModel& sheet, const FoldSnapshot& fold) {
    const auto& c = fold.creasePoint;
    const double largest = sheet.largestCompression(c[5] - c[4], c[4] - c[3]);
    const double compression = sheet.sheetSize().width - fold.coordinates[6].x;
    return largest > 0 ? fold.rightDirection * compression / largest : 0.0;
}

} // namespace

int FoldMotion::frameCount(const Timing& timing) {
    return std::max(2, int(std::lround(timing.duration * timing.framesPerSecond)));
}

// A loop samples there and back over the whole count, so its last frame stops one step short of
// the first; a move alone reaches its end on the last frame.
double FoldMotion::progressOfFrame(int index, int count, bool loop) {
    if (!loop)
        return double(index) / (count - 1);
    return 2.0 * std::min(index, count - index) / count;
}

double FoldMotion::eased(double progress) {
    return (1 - std::cos(progress * std::numbers::pi)) / 2;
}

// The creases and the shares of the tents' largest compressions go in proportion; the profile
// follows from them, each peak where its two slopes meet.
FoldSnapshot FoldMotion::wantedAt(const FoldModel& sheet, const FoldSnapshot& start,
                                  const FoldSnapshot& end, double along) {
    FoldSnapshot wanted;
    auto& c = wanted.creasePoint;
    auto& p = wanted.coordinates;
    for (int i = 0; i < creaseLineCount; ++i)
        c[i] = float(between(start.creasePoint[i], end.creasePoint[i], along));
    const double left = between(leftShare(sheet, start), leftShare(sheet, end), along);
    const double right = between(rightShare(sheet, start), rightShare(sheet, end), along);
    wanted.leftDirection = left < 0 ? -1.0f : 1.0f;
    wanted.rightDirection = right < 0 ? -1.0f : 1.0f;
    const float leftIn = float(std::abs(left) * sheet.largestCompression(c[2] - c[1], c[3] - c[2]));
    const float rightIn =
        float(std::abs(right) * sheet.largestCompression(c[5] - c[4], c[4] - c[3]));
    const double width = sheet.sheetSize().width;
    p[0] = {leftIn, 0};
    p[1] = {c[1] + leftIn, 0};
    p[3] = {c[3], 0};
    p[5] = {c[5] - rightIn, 0};
    p[6] = {width - rightIn, 0};
    p[2] = peak(c[1] + leftIn, c[3], c[2] - c[1], c[3] - c[2], leftIn, wanted.leftDirection);
    p[4] = peak(c[3], c[5] - rightIn, c[4] - c[3], c[5] - c[4], rightIn, wanted.rightDirection);
    wanted.pitch = float(between(start.pitch, end.pitch, along));
    return wanted;
}

FoldPoint FoldMotion::peak(float left, float right, float leftSlope, float rightSlope,
                           float compression, float side) {
    const float x = FoldModel::peakXBetween(left, right, leftSlope, rightSlope);
    return {x, side * FoldModel::ellipsePeakY(left, x, right, compression, leftSlope, rightSlope)};
}

// One frame: the wanted fold itself when drag steps from the frame before reach it, or when
// applying it from the flat sheet does, as a fold file is applied; otherwise as near as the
// bounds let the steps go.
bool FoldMotion::stepTo(FoldModel& model, const FoldSnapshot& wanted) {
    if (FoldApplier::approach(model, wanted)) {
        model.restore(wanted);
        return true;
    }
    FoldModel fromFlat(model.sheetSize());
    if (FoldApplier::apply(fromFlat, wanted) != 0.0)
        return false;
    model = fromFlat;
    return true;
}

// The way there is driven from the start and, where that stops short, from the end back: a fold
// near the end may be reachable from there alone. A loop's way back repeats the way there.
// The creases turn in the order the piece folds; the tilt goes along evenly, eased as the fold.
std::vector<FoldSnapshot> FoldMotion::hingedFrames(FoldSize sheet, const FoldSnapshot& start,
                                                   const FoldSnapshot& end, const Timing& timing) {
    SheetFold fold(end.layout, sheet);
    fold.restore(end);
    const std::vector<std::vector<double>> angles =
        HingedFoldMotion::frames(*fold.hinged(), start.hingedAngles, end.hingedAngles, timing);
    const int count = int(angles.size());
    const int half = std::max(count / 2, 1);
    std::vector<FoldSnapshot> frames;
    frames.reserve(angles.size());
    for (int index = 0; index < count; ++index) {
        const double progress = timing.loop ? double(std::min(index, count - index)) / half
                                            : double(index) / std::max(count - 1, 1);
        const double along = timing.ease ? eased(progress) : progress;
        fold.hinged()->setAngles(angles[std::size_t(index)]);
        frames.push_back(fold.snapshot(float(start.pitch + (end.pitch - start.pitch) * along)));
    }
    return frames;
}

std::vector<FoldSnapshot> FoldMotion::frames(FoldSize sheet, const FoldSnapshot& start,
                                             const FoldSnapshot& end, const Timing& timing) {
    std::vector<FoldSnapshot> all = foldFrames(sheet, start, end, timing);
    sweep(all, end.yaw, timing);
    return all;
}

// The yaw goes from half the sweep before the end's to half after it, reaching the far end on
// frame count/2 of a loop as the panels do. The sheet turns no further than it can: past a limit
// the yaw holds there.
void FoldMotion::sweep(std::vector<FoldSnapshot>& frames, float yaw, const Timing& timing) {
    const int count = int(frames.size());
    for (int index = 0; index < count; ++index) {
        const double progress =
            timing.loop ? double(std::min(index, count - index)) / std::max(count / 2, 1)
                        : double(index) / std::max(count - 1, 1);
        const double along = timing.ease ? eased(progress) : progress;
        frames[size_t(index)].yaw =
            float(std::clamp(yaw + timing.sweep * (along - 0.5), -largestYaw, largestYaw));
    }
}

std::vector<FoldSnapshot> FoldMotion::foldFrames(FoldSize sheet, const FoldSnapshot& start,
                                                 const FoldSnapshot& end, const Timing& timing) {
    if (end.layout.isHinged())
        return hingedFrames(sheet, start, end, timing);
    if (!end.layout.isClassic())
        return PanelFoldMotion::frames(PanelFoldModel(end.layout, sheet), start, end, timing);
    const int count = frameCount(timing);
    const int last = timing.loop ? count / 2 : count - 1;
    const FoldModel shape(sheet);
    std::vector<FoldSnapshot> wanted{start};
    for (int step = 1; step <= last; ++step) {
        const double progress = progressOfFrame(step, count, timing.loop);
        const double along = timing.ease ? eased(progress) : progress;
        wanted.push_back(progress == 1.0 ? end : wantedAt(shape, start, end, along));
    }
    std::vector<FoldSnapshot> there{start};
    std::vector<bool> reached{true};
    FoldModel model(sheet);
    model.restore(start);
    for (int step = 1; step <= last; ++step) {
        reached.push_back(stepTo(model, wanted[size_t(step)]));
        there.push_back(FoldSnapshot::take(model, wanted[size_t(step)].pitch));
    }
    model.restore(end);
    const bool allReached = std::find(reached.begin(), reached.end(), false) == reached.end();
    for (int step = last; step > 0 && !allReached; --step) {
        if (stepTo(model, wanted[size_t(step)]) && !reached[size_t(step)])
            there[size_t(step)] = wanted[size_t(step)];
    }
    std::vector<FoldSnapshot> all;
    all.reserve(size_t(count));
    for (int index = 0; index < count; ++index)
        all.push_back(there[size_t(timing.loop ? std::min(index, count - index) : index)]);
    return all;
}
