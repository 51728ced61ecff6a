// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/HingedFoldMotion.h"
#include "HingedSheets.h"

#include <gtest/gtest.h>

namespace {

using Pose = HingedFold::Pose;

// Closing, no crease moves before every crease folded before it is closed; opening, the reverse.
void expectFoldingOrder(const std::vector<std::vector<double>>& frames,
                        const std::vector<double>& end, const std::vector<int>& stages) {
    const std::vector<double>& start = frames.front();
    for (const std::vector<double>& frame : frames) {
        for (std::size_t moving = 0; moving < frame.size(); ++moving) {
            if (frame[moving] == start[moving])
                continue;
            for (std::size_t earlier = 0; earlier < frame.size(); ++earlier) {
                if (stages[earlier] < stages[moving]) {
                    EXPECT_EQ(frame[earlier], end[earlier]);
                }
            }
        }
    }
}

TEST(HingedFoldMotion, FramesAreAllowedAndFollowTheFoldingOrder) {
    const std::pair<Pose, Pose> moves[] = {
        {Pose::flat, Pose::closed}, {Pose::presentation, Pose::closed}, {Pose::closed, Pose::flat}};
    for (FoldLayout::Shape shape : hingedShapes()) {
        const HingedFold fold = presetFold(shape);
        const HingedPreset preset = HingedPreset::of(shape, fold.panelCount());
        for (const auto& [from, to] : moves) {
            for (bool loop : {false, true}) {
                SCOPED_TRACE(fold.layout().name() + " " + std::to_string(int(from)) + " to " +
                             std::to_string(int(to)) + (loop ? " loop" : ""));
                const FoldMotion::Timing timing{2, 30, loop, true};
                const std::vector<double> start = fold.poseAngles(from);
                const std::vector<double> end = fold.poseAngles(to);
                const auto frames = HingedFoldMotion::frames(fold, start, end, timing);
                const int count = FoldMotion::frameCount(timing);
                ASSERT_EQ(int(frames.size()), count);
                for (const std::vector<double>& frame : frames)
                    ASSERT_TRUE(fold.allows(frame));
                EXPECT_EQ(frames.front(), start);
                if (loop) {
                    EXPECT_EQ(frames[count / 2], end);
                    for (int i = 1; i < count; ++i)
                        EXPECT_EQ(frames[i], frames[count - i]) << i;
                } else {
                    EXPECT_EQ(frames.back(), end);
                }
                std::vector<int> stages = preset.steps;
                if (to == Pose::flat) {
                    for (int& stage : stages)
                        stage = preset.stepCount() - 1 - stage;
                }
                expectFoldingOrder(frames, end, stages);
            }
        }
    }
}

} // namespace
