// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/FoldMotion.h"
#include "fold/SheetFold.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct SweepCase {
    float yaw;
    double sweep;
    bool loop;
    bool ease;
    int framesPerSecond; // over one second: odd and even counts
};

const SweepCase sweepCases[] = {
    {0, 40, false, true, 21}, {10, 30, false, false, 20}, {-20, 60, true, true, 20},
    {5, 20, true, false, 21}, {50, 40, false, true, 21},  {-45, 120, true, true, 30},
    {12, 0, false, true, 11},
};

double clampedYaw(double yaw) {
    return std::clamp(yaw, -FoldMotion::largestYaw, FoldMotion::largestYaw);
}

// Each layout's flat sheet and its closed or folded pose, turned to the case's yaw.
std::vector<std::pair<FoldSnapshot, FoldSnapshot>> movesOf(FoldSize sheet, float yaw) {
    std::vector<std::pair<FoldSnapshot, FoldSnapshot>> moves;
    for (const FoldLayout& layout : FoldLayout::presets(FoldLayout::Axis::vertical)) {
        SheetFold fold(layout, sheet);
        FoldSnapshot start = fold.snapshot(4);
        fold.setPose(layout.isHinged() ? HingedFold::Pose::closed : HingedFold::Pose::flat);
        FoldSnapshot end = fold.snapshot(10);
        end.yaw = yaw;
        moves.emplace_back(start, start); // the fold stands still while the sheet turns
        moves.emplace_back(start, end);
    }
    return moves;
}

} // namespace

// The yaw runs from half the sweep before the end's yaw to half after it, within the yaws the
// sheet takes, at the fold's pace; it leaves the fold's own frames as they were.
TEST(FoldSweep, TheYawRunsAcrossTheSweepAndLeavesTheFoldAlone) {
    const FoldSize sheet{800, 600};
    for (const SweepCase& sweepCase : sweepCases) {
        for (const auto& [start, end] : movesOf(sheet, sweepCase.yaw)) {
            SCOPED_TRACE(testing::Message()
                         << end.layout.name() << " yaw " << sweepCase.yaw << " sweep "
                         << sweepCase.sweep << (sweepCase.loop ? " loop" : "")
                         << (sweepCase.ease ? " eased" : ""));
            FoldSnapshot turned = end;
            turned.yaw = sweepCase.yaw;
            const FoldMotion::Timing timing{1, sweepCase.framesPerSecond, sweepCase.loop,
                                            sweepCase.ease, sweepCase.sweep};
            const auto frames = FoldMotion::frames(sheet, start, turned, timing);
            FoldMotion::Timing still = timing;
            still.sweep = 0;
            const auto unswept = FoldMotion::frames(sheet, start, turned, still);
            ASSERT_EQ(frames.size(), unswept.size());
            const int count = int(frames.size());
            const double from = clampedYaw(sweepCase.yaw - sweepCase.sweep / 2);
            const double to = clampedYaw(sweepCase.yaw + sweepCase.sweep / 2);
            const int farEnd = sweepCase.loop ? count / 2 : count - 1;
            EXPECT_FLOAT_EQ(frames.front().yaw, float(from));
            EXPECT_FLOAT_EQ(frames[size_t(farEnd)].yaw, float(to));
            for (int index = 0; index < count; ++index) {
                FoldSnapshot fold = frames[size_t(index)];
                EXPECT_EQ(unswept[size_t(index)].yaw, turned.yaw) << "frame " << index;
                fold.yaw = turned.yaw;
                EXPECT_EQ(fold, unswept[size_t(index)]) << "frame " << index;
                if (index > 0 && index <= farEnd) {
                    EXPECT_GE(frames[size_t(index)].yaw, frames[size_t(index - 1)].yaw);
                }
                if (sweepCase.loop && index > 0) {
                    EXPECT_EQ(frames[size_t(index)].yaw, frames[size_t(count - index)].yaw);
                }
            }
            if (!sweepCase.loop && count % 2 == 1) {
                EXPECT_NEAR(frames[size_t(count / 2)].yaw, clampedYaw(sweepCase.yaw), 1e-4);
            }
            // Eased, the first step is well short of an even one (about 2.5 / steps of it).
            const double evenStep = sweepCase.sweep / farEnd;
            const double firstStep = frames[1].yaw - frames[0].yaw;
            if (sweepCase.ease) {
                EXPECT_LE(firstStep, 0.3 * evenStep + 1e-6);
            } else if (from == sweepCase.yaw - sweepCase.sweep / 2) {
                EXPECT_NEAR(firstStep, evenStep, 1e-4);
            }
        }
    }
}
