// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/FoldMotion.h"
#include "DragGenerator.h"
#include "fold/FoldApplier.h"
#include "fold/FoldModel.h"
#include "fold/FoldTarget.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr double kLength = 5e-3; // single-precision lengths on sheets up to about 1000 wide

// resources/sample.pleatfold: both tents raised toward the viewer, tilted by 8 degrees.
FoldSnapshot sampleFold(FoldSize sheet) {
    FoldTarget target;
    target.creases = {0, 0.15, 0.3, 0.5, 0.7, 0.85, 1};
    target.profile = {{{0.0859268, 0},
                       {0.2359268, 0},
                       {0.3348286, 0.1127760},
                       {0.5, 0},
                       {0.6651714, 0.1127760},
                       {0.7640732, 0},
                       {0.9140732, 0}}};
    target.pitch = 8;
    FoldModel model(sheet);
    FoldApplier::apply(model, target.onSheet(sheet.width));
    return FoldSnapshot::take(model, 8);
}

FoldSnapshot flat(FoldSize sheet) {
    return FoldSnapshot::take(FoldModel(sheet), 0);
}

// A tent's signed compression as a share of the largest compression its creases allow.
double leftShare(const FoldSnapshot& f, const FoldModel& sheet) {
    const auto& c = f.creasePoint;
    const double largest = sheet.largestCompression(c[2] - c[1], c[3] - c[2]);
    return largest > 0 ? f.leftDirection * f.coordinates[0].x / largest : 0;
}

double rightShare(const FoldSnapshot& f, const FoldModel& sheet) {
    const auto& c = f.creasePoint;
    const double largest = sheet.largestCompression(c[5] - c[4], c[4] - c[3]);
    return largest > 0 ? f.rightDirection * (sheet.sheetSize().width - f.coordinates[6].x) / largest
                       : 0;
}

// Drags can compress a tent as far as it goes and then move its creases so that it could go less
// far: such a fold is reached only in that order, not by moving everything in proportion.
bool withinLargestCompressions(const FoldSnapshot& f, FoldSize sheet) {
    const FoldModel shape(sheet);
    return std::abs(leftShare(f, shape)) <= 1 + 1e-4 && std::abs(rightShare(f, shape)) <= 1 + 1e-4;
}

// A fold of a few dozen random drags from the flat sheet, within its largest compressions or not.
FoldSnapshot randomFold(FoldSize sheet, DragGenerator& drags, bool within = true) {
    for (;;) {
        FoldModel model(sheet);
        for (int i = 0; i < 30; ++i) {
            const Drag drag = drags.next();
            model.moveLine(drag.line, drag.move, drag.pitch);
        }
        const FoldSnapshot fold = FoldSnapshot::take(model, drags.next().pitch);
        if (withinLargestCompressions(fold, sheet) == within)
            return fold;
    }
}

testing::AssertionResult paperKept(const FoldSnapshot& frame) {
    const auto& c = frame.creasePoint;
    const auto& p = frame.coordinates;
    for (int i = 0; i < 6; ++i) {
        const double span = std::hypot(p[i + 1].x - p[i].x, p[i + 1].y - p[i].y);
        if (!(std::abs(span - (c[i + 1] - c[i])) < kLength))
            return testing::AssertionFailure() << "segment " << i << " stretched to " << span;
    }
    for (const int i : {0, 1, 3, 5, 6}) {
        if (p[i].y != 0)
            return testing::AssertionFailure() << "vertex " << i << " off the plane";
    }
    return testing::AssertionSuccess();
}

// What the limiter allows, checked from the geometry: paper neither stretched nor torn, the
// plane vertices on the plane, the edges within the flat sheet, no tent compressed past its
// largest compression or raised past the highest peak, and the middle within its range.
testing::AssertionResult withinTheBounds(const FoldSnapshot& frame, FoldSize sheet) {
    if (auto kept = paperKept(frame); !kept)
        return kept;
    FoldModel m(sheet);
    m.restore(frame);
    const auto& p = m.profile();
    if (p[0].x < 0 || p[6].x > sheet.width)
        return testing::AssertionFailure() << "an edge outside the flat sheet";
    if (!withinLargestCompressions(frame, sheet))
        return testing::AssertionFailure() << "a tent compressed past its largest compression";
    if (std::abs(p[2].y) > m.parameters().maximumPeakHeight + kLength ||
        std::abs(p[4].y) > m.parameters().maximumPeakHeight + kLength)
        return testing::AssertionFailure() << "a peak above the highest";
    if (p[3].x < 0.35 * sheet.width - kLength || p[3].x > 0.65 * sheet.width + kLength)
        return testing::AssertionFailure() << "the middle out of its range";
    return testing::AssertionSuccess();
}

// No crease and no tent's share of its largest compression moves between two frames by more than
// its share of the whole move, at the fastest point of the easing, beyond what the solver leaves
// pending.
testing::AssertionResult smooth(const std::vector<FoldSnapshot>& frames, FoldSize sheet,
                                bool eased) {
    const FoldModel shape(sheet);
    const double steps = double(frames.size() - 1);
    const double fastest = eased ? std::numbers::pi / 2 : 1.0;
    const auto check = [&](auto value, double pending, const std::string& what) {
        const double share =
            std::abs(value(frames.back()) - value(frames.front())) / steps * fastest;
        for (size_t k = 1; k < frames.size(); ++k) {
            const double step = std::abs(value(frames[k]) - value(frames[k - 1]));
            if (step > share * 1.02 + pending)
                return testing::AssertionFailure() << what << " jumps by " << step << " at frame "
                                                   << k << ", its share being " << share;
        }
        return testing::AssertionSuccess();
    };
    const double deadZone = 0.11; // a tenth of a point
    for (int i = 1; i < 6; ++i) {
        const auto crease = [i](const FoldSnapshot& f) { return double(f.creasePoint[i]); };
        if (auto result = check(crease, deadZone, "crease " + std::to_string(i)); !result)
            return result;
    }
    const auto left = [&](const FoldSnapshot& f) { return leftShare(f, shape); };
    const auto right = [&](const FoldSnapshot& f) { return rightShare(f, shape); };
    const double sharePending = 0.01;
    if (auto result = check(left, sharePending, "the left tent"); !result)
        return result;
    return check(right, sharePending, "the right tent");
}

TEST(FoldMotion, FrameCountIsDurationTimesRate) {
    EXPECT_EQ(FoldMotion::frameCount({3, 30}), 90);
    EXPECT_EQ(FoldMotion::frameCount({0.5, 15}), 8); // 7.5 rounds up
    EXPECT_EQ(FoldMotion::frameCount({30, 60}), 1800);
    const FoldSize sheet{800, 600};
    EXPECT_EQ(FoldMotion::frames(sheet, flat(sheet), sampleFold(sheet), {1.5, 12}).size(), 18u);
    EXPECT_EQ(FoldMotion::frames(sheet, flat(sheet), sampleFold(sheet), {1.5, 12, true}).size(),
              18u);
}

TEST(FoldMotion, AMoveStartsAtTheStartFoldAndEndsAtTheEndFoldExactly) {
    for (const FoldSize sheet : {FoldSize{800, 600}, FoldSize{1053.6, 702.4}, FoldSize{256, 700}}) {
        const FoldSnapshot start = flat(sheet);
        FoldSnapshot end = sampleFold(sheet);
        const auto frames = FoldMotion::frames(sheet, start, end, {2, 30});
        EXPECT_EQ(frames.front(), start);
        EXPECT_EQ(frames.back(), end);
        // On the way both tents rise and the tilt turns.
        const FoldSnapshot& middle = frames[frames.size() / 2];
        EXPECT_GT(middle.coordinates[0].x, 0.2 * end.coordinates[0].x);
        EXPECT_LT(middle.coordinates[0].x, 0.8 * end.coordinates[0].x);
        EXPECT_GT(middle.pitch, 0.2f * end.pitch);
        EXPECT_LT(middle.pitch, 0.8f * end.pitch);
    }
}

TEST(FoldMotion, ALoopGoesThereAndBackAndStopsOneStepShortOfTheStart) {
    const FoldSize sheet{800, 600};
    const FoldSnapshot start = flat(sheet);
    const FoldSnapshot end = sampleFold(sheet);
    for (const int count : {60, 61}) {
        SCOPED_TRACE(count);
        const auto frames = FoldMotion::frames(sheet, start, end, {count / 30.0, 30, true});
        ASSERT_EQ(int(frames.size()), count);
        EXPECT_EQ(frames.front(), start);
        // Played in a loop, the last frame leads into the first as the first into the second.
        EXPECT_NE(frames.back(), start);
        EXPECT_EQ(frames.back(), frames[1]);
        for (int k = 1; k < count; ++k)
            EXPECT_EQ(frames[size_t(k)], frames[size_t(count - k)]) << "frame " << k;
        // An even count turns on the end fold; an odd one turns between two frames next to it.
        if (count % 2 == 0)
            EXPECT_EQ(frames[size_t(count / 2)], end);
        else
            EXPECT_NE(frames[size_t(count / 2)], frames[size_t(count / 2 - 1)]);
    }
}

TEST(FoldMotion, EasingSlowsTheStartAndTheEndAndNothingElse) {
    const FoldSize sheet{800, 600};
    const auto compressionAt = [&](bool ease, size_t frame) {
        const auto frames =
            FoldMotion::frames(sheet, flat(sheet), sampleFold(sheet), {2, 30, false, ease});
        return frames[frame].coordinates[0].x;
    };
    // A straight move takes equal steps; an eased one starts and ends slower and is as far at the
    // half-way point.
    const double firstStraight = compressionAt(false, 1);
    EXPECT_NEAR(compressionAt(false, 30) - compressionAt(false, 29), firstStraight, 0.15);
    EXPECT_LT(compressionAt(true, 1), 0.1 * firstStraight);
    EXPECT_NEAR(compressionAt(true, 30) - compressionAt(true, 29),
                firstStraight * std::numbers::pi / 2, 0.15);
    EXPECT_DOUBLE_EQ(FoldMotion::eased(0.5), 0.5);
    EXPECT_DOUBLE_EQ(FoldMotion::eased(0), 0);
    EXPECT_DOUBLE_EQ(FoldMotion::eased(1), 1);
}

TEST(FoldMotion, TheTiltTurnsFromItsStartToTheEndFoldsTilt) {
    const FoldSize sheet{800, 600};
    FoldSnapshot start = flat(sheet);
    start.pitch = -20;
    const auto frames = FoldMotion::frames(sheet, start, sampleFold(sheet), {1, 20, false, false});
    EXPECT_EQ(frames.front().pitch, -20.0f);
    EXPECT_EQ(frames.back().pitch, 8.0f);
    for (size_t k = 1; k < frames.size(); ++k)
        EXPECT_NEAR(frames[k].pitch - frames[k - 1].pitch, 28.0 / 19, 1e-4);
}

// Between two folds made by random drags on sheets of many shapes, in both directions: every frame
// is within the bounds, the end is reached and nothing jumps.
TEST(FoldMotion, EveryFrameOfAMoveBetweenRandomFoldsIsWithinTheBoundsAndSmooth) {
    int reached = 0;
    int moves = 0;
    for (const FoldSize sheet : {FoldSize{800, 600}, FoldSize{256, 192}, FoldSize{900, 225},
                                 FoldSize{256, 702.4}, FoldSize{1053.6, 702.4}}) {
        DragGenerator drags(20270321u, sheet.width);
        for (int pair = 0; pair < 40; ++pair) {
            const FoldSnapshot a = randomFold(sheet, drags);
            const FoldSnapshot b = pair % 4 == 0 ? flat(sheet) : randomFold(sheet, drags);
            for (const bool ease : {true, false}) {
                SCOPED_TRACE(testing::Message() << "sheet " << sheet.width << " x " << sheet.height
                                                << ", pair " << pair << ", ease " << ease);
                const auto frames = FoldMotion::frames(sheet, a, b, {1, 30, false, ease});
                for (size_t k = 0; k < frames.size(); ++k)
                    ASSERT_TRUE(withinTheBounds(frames[k], sheet)) << "frame " << k;
                EXPECT_TRUE(smooth(frames, sheet, ease));
                reached += frames.back() == b;
                ++moves;
            }
        }
    }
    EXPECT_EQ(reached, moves);
}

// Such a fold cannot be passed through in proportion; the move still starts and ends on its folds
// exactly and keeps the paper whole on the way.
TEST(FoldMotion, AMoveFromOrToAFoldPastItsLargestCompressionStillEndsOnItsFolds) {
    const FoldSize sheet{900, 225};
    DragGenerator drags(20270322u, sheet.width);
    for (int pair = 0; pair < 3; ++pair) {
        const FoldSnapshot past = randomFold(sheet, drags, false);
        const FoldSnapshot other = randomFold(sheet, drags);
        for (const auto& [a, b] : {std::pair(past, other), std::pair(other, past)}) {
            const auto frames = FoldMotion::frames(sheet, a, b, {1, 30});
            EXPECT_EQ(frames.front(), a);
            EXPECT_EQ(frames.back(), b);
            for (size_t k = 0; k < frames.size(); ++k)
                ASSERT_TRUE(paperKept(frames[k])) << "pair " << pair << " frame " << k;
        }
    }
}

} // namespace
