// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DragGenerator.h"
#include "MirroredFold.h"
#include "fold/FoldModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

namespace {

// The single-precision tolerance of mirrored folds (see TentSide for where the sides round
// differently).
constexpr double kTolerance = 2e-3;

// Drag steps that stay inside the room the bounds leave, by up to 90 % of it and by at least
// twice the dead zone. At a bound the limiter's thresholds decide between rooms (a foot's outward
// room is 0 or the whole spread room as the peak's inward room crosses 0), so there a rounding
// error, not a side, can make mirrored folds differ by many points.
class DragsWithinTheRoom {
public:
    explicit DragsWithinTheRoom(unsigned seed) : _random(seed) {}

    Drag next(const FoldModel& model) {
        FoldModel bounded = model;
        bounded.calculateLimits();
        const float pitch = std::uniform_real_distribution<float>(-40.0f, 40.0f)(_random);
        for (;;) {
            const long line = std::uniform_int_distribution<long>(0, 6)(_random);
            const bool vertical =
                (line == 2 || line == 4) && std::bernoulli_distribution(0.5)(_random);
            const StepBounds& bounds = bounded.limits()[line];
            const FoldPoint lower = bounds.lower;
            const FoldPoint upper = bounds.upper;
            const double fraction = std::uniform_real_distribution<double>(-0.9, 0.9)(_random);
            const double room =
                fraction < 0.0 ? -(vertical ? lower.y : lower.x) : (vertical ? upper.y : upper.x);
            const double amount = fraction * room;
            if (std::abs(amount) < 0.2)
                continue;
            // Seen from below, an upward drag lowers the peak.
            if (vertical)
                return {line, {0.0, pitch < 0.0f ? -amount : amount}, pitch};
            return {line, {amount, 0.0}, pitch};
        }
    }

private:
    std::mt19937 _random;
};

Drag mirrored(const Drag& drag) {
    return {6 - drag.line, {-drag.move.x, drag.move.y}, drag.pitch};
}

// Creases and vertex x agree within the tolerance. A peak's height follows from them by
// Pythagoras, h * h = t * t - run * run, which turns the tolerance into one on h * h: what a
// nearly flat tent needs, whose height the last digits of its slope decide.
testing::AssertionResult sameFold(const FoldSnapshot& a, const FoldSnapshot& b) {
    for (int i = 0; i < creaseLineCount; ++i) {
        const double crease = std::abs(double(a.creasePoint[i]) - b.creasePoint[i]);
        const double x = std::abs(a.coordinates[i].x - b.coordinates[i].x);
        if (!(crease <= kTolerance && x <= kTolerance))
            return testing::AssertionFailure()
                   << "line " << i << ": crease off by " << crease << ", vertex x by " << x;
    }
    for (const int peak : {2, 4}) {
        const double slope = std::max(a.creasePoint[peak] - a.creasePoint[peak - 1],
                                      a.creasePoint[peak + 1] - a.creasePoint[peak]);
        const double ya = a.coordinates[peak].y;
        const double yb = b.coordinates[peak].y;
        if (!(std::abs(ya * std::abs(ya) - yb * std::abs(yb)) <= 4.0 * slope * kTolerance))
            return testing::AssertionFailure()
                   << "peak " << peak << " at height " << ya << " and " << yb;
    }
    return testing::AssertionSuccess();
}

std::string describe(int sequence, int step, const Drag& drag) {
    std::ostringstream text;
    text << "sequence " << sequence << " step " << step << ": line " << drag.line << " move ("
         << drag.move.x << ", " << drag.move.y << ") pitch " << drag.pitch;
    return text.str();
}

class MirroredDrags : public testing::TestWithParam<FoldSize> {};

// Scripts of every kind of step on either tent: edges, feet, peaks across and up and down
// (through flat to the other side), the middle. The sheets include widths that are no float,
// where the right tent starts compressed by a rounding error.
TEST_P(MirroredDrags, GiveTheMirroredFold) {
    const FoldSize size = GetParam();
    DragsWithinTheRoom drags(20261208u);
    for (int sequence = 0; sequence < 400; ++sequence) {
        FoldModel model(size);
        FoldModel image(size);
        for (int step = 0; step < 40; ++step) {
            const Drag drag = drags.next(model);
            const Drag reflected = mirrored(drag);
            SCOPED_TRACE(describe(sequence, step, drag));
            const FoldPoint applied = model.moveLine(drag.line, drag.move, drag.pitch);
            const FoldPoint imageApplied =
                image.moveLine(reflected.line, reflected.move, reflected.pitch);
            ASSERT_NEAR(imageApplied.x, -applied.x, kTolerance);
            ASSERT_NEAR(imageApplied.y, applied.y, kTolerance);
            ASSERT_TRUE(sameFold(FoldSnapshot::take(image, 0),
                                 mirrored(FoldSnapshot::take(model, 0), size.width)));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sheets, MirroredDrags,
                         testing::Values(FoldSize{256, 192}, FoldSize{1000, 500},
                                         FoldSize{900, 225}, FoldSize{256, 702.4},
                                         FoldSize{1053.6, 702.4}, FoldSize{957.3, 300.1}),
                         [](const testing::TestParamInfo<FoldSize>& info) {
                             return "W" + std::to_string(int(info.param.width)) + "H" +
                                    std::to_string(int(info.param.height));
                         });

// An edge pulled out all the way moves by the bound, its compression rounded to single
// precision; when that rounds up, the edge is stopped at the sheet's edge. The left edge then
// reports the part it applied, the right edge the whole step.
TEST(NamedSideDifferences, AnEdgePulledOutPastTheSheetReportsItsStepDifferently) {
    const double compression = 9.99999999; // rounds up to 10 in single precision
    FoldModel left({1000, 500});
    ASSERT_EQ(left.moveLine(0, {compression, 0}, 0).x, compression);
    EXPECT_EQ(left.moveLine(0, {-50, 0}, 0).x, -compression);
    EXPECT_EQ(left.profile()[0].x, 0.0);

    FoldModel right({1000, 500});
    ASSERT_EQ(right.moveLine(6, {-compression, 0}, 0).x, -compression);
    EXPECT_EQ(right.moveLine(6, {50, 0}, 0).x, 10.0);
    EXPECT_EQ(right.profile()[6].x, 1000.0);
}

} // namespace
