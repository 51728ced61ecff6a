// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/FoldModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

namespace {

constexpr float kPitchUp = 20.0f;

void expectPoint(FoldPoint actual, FoldPoint expected, double tolerance = 1e-3) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

bool sameState(const FoldModel& a, const FoldModel& b) {
    for (int i = 0; i < 7; ++i) {
        if (a.creases()[i] != b.creases()[i] || a.profile()[i].x != b.profile()[i].x ||
            a.profile()[i].y != b.profile()[i].y)
            return false;
    }
    return a.leftDirection() == b.leftDirection() && a.rightDirection() == b.rightDirection();
}

class WideSheet : public testing::Test {
protected:
    FoldModel model{FoldSize{1000, 500}};
};

TEST_F(WideSheet, LeftEdgeFoldsTheLeftTent) {
    expectPoint(model.moveLine(0, {20, 0}, kPitchUp), {20, 0});
    EXPECT_NEAR(model.profile()[0].x, 20, 1e-3);
    EXPECT_NEAR(model.profile()[1].x, 170, 1e-3);
    expectPoint(model.profile()[2], {308.485, 57.636});

    expectPoint(model.moveLine(2, {5, 0}, kPitchUp), {5, 0});
    expectPoint(model.profile()[2], {313.485, 57.867});
    EXPECT_NEAR(model.creases()[2], 304.714, 1e-3);
}

TEST_F(WideSheet, VerticalDragsCompressFlipAndStopAtTheLargestCompression) {
    model.moveLine(0, {20, 0}, kPitchUp);
    expectPoint(model.moveLine(2, {0, 10}, kPitchUp), {0, 10});
    EXPECT_NEAR(model.profile()[0].x, 30, 1e-3);
    EXPECT_NEAR(model.profile()[1].x, 180, 1e-3);
    expectPoint(model.profile()[2], {312.656, 70.017});

    expectPoint(model.moveLine(2, {0, -35}, kPitchUp), {0, -35});
    EXPECT_EQ(model.leftDirection(), -1.0f);
    EXPECT_NEAR(model.profile()[0].x, 5, 1e-3);
    EXPECT_NEAR(model.profile()[1].x, 155, 1e-3);
    expectPoint(model.profile()[2], {302.138, -29.163});

    const float largest = model.largestCompression(150, 200);
    EXPECT_NEAR(largest, 40.449, 1e-3);
    expectPoint(model.moveLine(2, {0, -20}, kPitchUp), {0, -20});
    const FoldPoint last = model.moveLine(2, {0, -20}, kPitchUp);
    EXPECT_NEAR(last.y, -(largest - 25), 1e-3);
    EXPECT_NEAR(model.profile()[0].x, largest, 1e-3);
    expectPoint(model.moveLine(2, {0, -20}, kPitchUp), {0, 0}, 0.0);
    EXPECT_NEAR(model.profile()[0].x, largest, 1e-3);
    EXPECT_LT(model.profile()[2].y, 0.0);

    // The right tent, its outer slope 150 and inner slope 200, stops at the same compression.
    expectPoint(model.moveLine(4, {0, 100}, kPitchUp), {0, largest});
    EXPECT_NEAR(1000 - model.profile()[6].x, largest, 1e-3);
    EXPECT_NEAR(model.profile()[5].x, 850 - largest, 1e-3);
    EXPECT_GT(model.profile()[4].y, 0.0);
}

TEST_F(WideSheet, NegativePitchReversesTheVerticalDragButNotTheResult) {
    model.moveLine(0, {20, 0}, kPitchUp);
    expectPoint(model.moveLine(2, {0, 8}, -kPitchUp), {0, 8});
    EXPECT_NEAR(model.profile()[0].x, 12, 1e-3);
    expectPoint(model.moveLine(4, {0, -6}, -kPitchUp), {0, -6});
    EXPECT_NEAR(1000 - model.profile()[6].x, 6, 1e-3);
    EXPECT_GT(model.profile()[4].y, 0.0);
    // A pitch of exactly zero keeps the mouse's sense.
    expectPoint(model.moveLine(4, {0, -10}, 0.0f), {0, -10});
    EXPECT_EQ(model.rightDirection(), -1.0f);
    EXPECT_LT(model.profile()[4].y, 0.0);
}

TEST_F(WideSheet, DeadZonesLeaveSmallMovesPending) {
    const FoldModel flat = model;
    for (const long line : {0L, 1L, 3L, 5L})
        expectPoint(model.moveLine(line, {0.09, 0}, kPitchUp), {0, 0}, 0.0);
    // The right edge of a flat sheet cannot move right: the clamped step is 0.
    expectPoint(model.moveLine(6, {0.5, 0}, kPitchUp), {0, 0}, 0.0);
    // A vertical step of exactly 0.1 is ignored on the left peak ...
    expectPoint(model.moveLine(2, {0, 0.1}, kPitchUp), {0, 0}, 0.0);
    EXPECT_TRUE(sameState(model, flat));
    // ... but clamped and applied on the right peak.
    expectPoint(model.moveLine(4, {0, 0.1}, kPitchUp), {0, 0.1}, 1e-12);
    EXPECT_NEAR(1000 - model.profile()[6].x, 0.1, 1e-4);
}

TEST_F(WideSheet, MovesBeyondABoundApplyOnlyUpToIt) {
    const double footRoom = 300 - 150 - double(model.parameters().minimumSpaceFoot);
    expectPoint(model.moveLine(1, {100, 0}, kPitchUp), {footRoom, 0}, 1e-9);
    EXPECT_NEAR(model.creases()[1], 150 + footRoom, 1e-4);
    // The foot has no inward room left, so neither has the edge.
    expectPoint(model.moveLine(0, {10, 0}, kPitchUp), {0, 0}, 0.0);

    // Pulling a folded edge out past 0 stops at 0 and reports only that part.
    FoldModel folded({1000, 500});
    folded.moveLine(6, {-10, 0}, kPitchUp);
    expectPoint(folded.moveLine(6, {50, 0}, kPitchUp), {10, 0}, 1e-4);
    EXPECT_EQ(folded.profile()[6].x, 1000.0);
    EXPECT_NEAR(folded.profile()[4].y, 0.0, 0.05);
}

TEST_F(WideSheet, CreasesBesideAFlatTentMoveAlone) {
    expectPoint(model.moveLine(3, {10, 0}, kPitchUp), {10, 0});
    expectPoint(model.moveLine(1, {-7, 0}, kPitchUp), {-7, 0});
    expectPoint(model.moveLine(5, {4, 0}, kPitchUp), {4, 0});
    const std::array<double, 7> xs{0, 143, 300, 510, 700, 854, 1000};
    for (int i = 0; i < 7; ++i) {
        EXPECT_NEAR(model.profile()[i].x, xs[i], 1e-4) << "vertex " << i;
        EXPECT_NEAR(model.creases()[i], xs[i], 1e-4) << "crease " << i;
        EXPECT_EQ(model.profile()[i].y, 0.0) << "vertex " << i;
    }
}

TEST_F(WideSheet, OutOfRangeLinesAndNonFiniteMovesChangeNothing) {
    const FoldModel flat = model;
    expectPoint(model.moveLine(7, {10, 10}, kPitchUp), {0, 0}, 0.0);
    expectPoint(model.moveLine(-1, {10, 10}, kPitchUp), {0, 0}, 0.0);
    expectPoint(model.moveLine(3, {NAN, 0}, kPitchUp), {0, 0}, 0.0);
    expectPoint(model.moveLine(2, {INFINITY, NAN}, kPitchUp), {0, 0}, 0.0);
    EXPECT_TRUE(sameState(model, flat));
}

// Only vertical drags and the edges are bounded by the largest compression: moving the middle
// of a fully compressed tent can take it past that and lift its peak past the height limit; the
// next vertical step that applies anything cuts the compression back.
TEST(Overshoot, MiddleMoveCanOvershootUntilTheNextVerticalStep) {
    // side = +1: the left tent (peak line 2); side = -1: its mirror image (peak line 4).
    for (const int side : {1, -1}) {
        SCOPED_TRACE(side);
        FoldModel model({1000, 500});
        const auto& c = model.creases();
        const long peak = side > 0 ? 2 : 4;
        const auto compression = [&] {
            return side > 0 ? model.profile()[0].x : 1000 - model.profile()[6].x;
        };
        const auto largest = [&] {
            return side > 0 ? model.largestCompression(c[2] - c[1], c[3] - c[2])
                            : model.largestCompression(c[5] - c[4], c[4] - c[3]);
        };
        model.moveLine(peak, {side * 100.0, 0}, kPitchUp);
        model.moveLine(peak, {0, 300}, kPitchUp);
        model.moveLine(3, {side * 60.0, 0}, kPitchUp);
        model.moveLine(peak, {0, 300}, kPitchUp);
        EXPECT_NEAR(compression(), largest(), 1e-3);

        expectPoint(model.moveLine(3, {side * 30.0, 0}, kPitchUp), {side * 30.0, 0}, 1e-9);
        const double overshoot = compression();
        EXPECT_GT(overshoot, largest() + 10);
        EXPECT_GT(model.profile()[peak].y, model.parameters().maximumPeakHeight + 5);

        expectPoint(model.moveLine(peak, {0, 5}, kPitchUp), {0, 0}, 0.0);
        const FoldPoint cut = model.moveLine(peak, {0, -1}, kPitchUp);
        EXPECT_NEAR(cut.y, largest() - overshoot, 1e-3);
        EXPECT_NEAR(compression(), largest(), 1e-4);
        EXPECT_LE(model.profile()[peak].y, model.parameters().maximumPeakHeight + 1e-3);
    }
}

// Pulling an edge out leaves a compression of a rounding error that the refit still uses;
// the peak must stay finite and on the axis.
TEST(SolverRounding, EdgePulledOutLeavesAFiniteFlatPeak) {
    for (const FoldSize size :
         {FoldSize{1053.6, 702.4}, FoldSize{957.3, 300.1}, FoldSize{256, 192}}) {
        FoldModel model(size);
        model.moveLine(6, {-17.3, 0}, kPitchUp);
        model.moveLine(5, {-3.7, 0}, kPitchUp);
        model.moveLine(6, {500, 0}, kPitchUp);
        model.moveLine(5, {2.1, 0}, kPitchUp);
        model.moveLine(3, {-1.3, 0}, kPitchUp);
        EXPECT_TRUE(std::isfinite(model.profile()[4].x));
        EXPECT_NEAR(model.profile()[4].y, 0.0, 0.05);
        EXPECT_LE(model.profile()[6].x, size.width);
    }
}

TEST(SolverRounding, SheetWidthRoundedInSinglePrecisionStartsFinite) {
    // float(W) < W: the right tent starts with a compression of about 1e-5, and the refit of a
    // base that spans both slopes must not take the root of a rounding error below zero.
    const std::vector<std::tuple<double, long, double>> moves{
        {1053.6, 5, -5}, {1053.6, 3, 5}, {957.3, 5, 1.3}, {957.3, 3, -5}, {700.1, 3, 3}};
    for (const auto& [width, line, dx] : moves) {
        FoldModel model({width, 702.4});
        ASSERT_GT(width - model.profile()[6].x, 0.0);
        model.moveLine(line, {dx, 0}, kPitchUp);
        EXPECT_TRUE(std::isfinite(model.profile()[4].x)) << width << " line " << line;
        EXPECT_NEAR(model.profile()[4].y, 0.0, 0.05) << width << " line " << line;
    }
}

TEST(PointHelpers, PointsOnTheLineThroughTwoPoints) {
    expectPoint(FoldModel::pointMoveDeltaX(4, {10, 0}, {20, 10}), {14, 4}, 1e-12);
    expectPoint(FoldModel::pointMoveDeltaY(-8, {0, 100}, {10, 0}), {0.8, 92}, 1e-12);
    // Degenerate pairs keep A's other coordinate.
    expectPoint(FoldModel::pointMoveDeltaX(4, {10, 3}, {10, 50}), {14, 3}, 0.0);
    expectPoint(FoldModel::pointMoveDeltaY(4, {10, 3}, {60, 3}), {10, 7}, 0.0);
}

} // namespace
