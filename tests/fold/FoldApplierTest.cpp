// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/FoldApplier.h"
#include "DragGenerator.h"
#include "fold/FoldModel.h"
#include "fold/FoldTarget.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Both tents raised, the left one away from the viewer, the middle and a foot moved: a fold a
// user makes in a few drags.
FoldModel handMadeFold(FoldSize size) {
    FoldModel model(size);
    const double w = size.width / 1000;
    model.moveLine(3, {25 * w, 0}, 0);
    model.moveLine(1, {-12 * w, 0}, 0);
    model.moveLine(2, {0, -22 * w}, 0);
    model.moveLine(4, {0, 30 * w}, 0);
    model.moveLine(4, {-15 * w, 0}, 0);
    return model;
}

FoldSnapshot scaled(const FoldModel& made, double width) {
    return FoldTarget::fromSnapshot(FoldSnapshot::take(made, 0), made.sheetSize().width)
        .onSheet(width);
}

double largestDistance(const FoldModel& model, const FoldSnapshot& wanted) {
    double largest = 0;
    for (int i = 0; i < 7; ++i) {
        largest = std::max(largest, std::abs(double(model.creases()[i]) - wanted.creasePoint[i]));
        largest = std::max(largest, std::hypot(model.profile()[i].x - wanted.coordinates[i].x,
                                               model.profile()[i].y - wanted.coordinates[i].y));
    }
    return largest;
}

testing::AssertionResult isSoundFold(const FoldModel& m) {
    const auto& c = m.creases();
    const auto& p = m.profile();
    for (int i = 0; i < 6; ++i) {
        const double span = std::hypot(p[i + 1].x - p[i].x, p[i + 1].y - p[i].y);
        if (!(std::abs(span - (c[i + 1] - c[i])) < 5e-3))
            return testing::AssertionFailure() << "segment " << i << " is " << span;
    }
    for (const int i : {0, 1, 3, 5, 6}) {
        if (p[i].y != 0)
            return testing::AssertionFailure() << "vertex " << i << " off the plane";
    }
    if (p[0].x < 0 || p[6].x > m.sheetSize().width)
        return testing::AssertionFailure() << "an edge outside the flat sheet";
    return testing::AssertionSuccess();
}

TEST(FoldApplier, AFoldOfTheSameShapeOnALargerSheetIsReachedExactly) {
    const FoldModel made = handMadeFold({1000, 500});
    const FoldSnapshot wanted = scaled(made, 1400);

    FoldModel model({1400, 700});
    EXPECT_EQ(FoldApplier::apply(model, wanted), 0.0);
    EXPECT_EQ(FoldSnapshot::take(model, 0), wanted);
    EXPECT_EQ(model.leftDirection(), -1.0f);
    EXPECT_LT(model.profile()[2].y, 0.0);
}

TEST(FoldApplier, StartsFromTheFlatSheetWhateverTheFoldBefore) {
    const FoldSnapshot wanted = scaled(handMadeFold({1000, 500}), 800);
    FoldModel fromFlat({800, 400});
    FoldModel fromFolded = handMadeFold({800, 400});
    fromFolded.moveLine(0, {15, 0}, 0);

    EXPECT_EQ(FoldApplier::apply(fromFolded, wanted), FoldApplier::apply(fromFlat, wanted));
    EXPECT_EQ(FoldSnapshot::take(fromFolded, 0), FoldSnapshot::take(fromFlat, 0));
}

TEST(FoldApplier, AFoldTheSheetDoesNotAllowStopsAtTheBoundsAndSaysHowFarItIs) {
    // Deep tents on a tall sheet; a wide, low sheet allows far lower peaks.
    FoldModel made({256, 702.4});
    made.moveLine(2, {0, 60}, 0);
    made.moveLine(4, {0, -60}, 0);
    const FoldSnapshot wanted = scaled(made, 1000);

    FoldModel model({1000, 250});
    const double distance = FoldApplier::apply(model, wanted);
    EXPECT_GT(distance, 10);
    EXPECT_NEAR(distance, largestDistance(model, wanted), 1e-9);
    EXPECT_TRUE(isSoundFold(model));
    const auto& c = model.creases();
    EXPECT_LE(model.profile()[0].x, model.largestCompression(c[2] - c[1], c[3] - c[2]) + 1e-3);
    EXPECT_LE(std::abs(model.profile()[2].y), model.parameters().maximumPeakHeight + 1e-3);
    EXPECT_GT(model.profile()[2].y, 0.0) << "the left peak rises toward the viewer as wanted";
    EXPECT_LT(model.profile()[4].y, 0.0) << "the right peak falls away as wanted";
}

// Folds reached by random drags on one sheet, applied to sheets of other shapes.
TEST(FoldApplier, EveryResultIsASoundFoldAtTheDistanceItReports) {
    const FoldSize made{1000, 500};
    DragGenerator drags(99u, made.width);
    for (const FoldSize sheet : {FoldSize{256, 702.4}, FoldSize{900, 225}, FoldSize{640, 480}}) {
        for (int sequence = 0; sequence < 150; ++sequence) {
            FoldModel model(made);
            for (int step = 0; step <= sequence % 30; ++step) {
                const Drag drag = drags.next();
                model.moveLine(drag.line, drag.move, drag.pitch);
            }
            const FoldSnapshot wanted = scaled(model, sheet.width);
            FoldModel applied(sheet);
            const double distance = FoldApplier::apply(applied, wanted);
            SCOPED_TRACE("sheet " + std::to_string(sheet.width) + " sequence " +
                         std::to_string(sequence));
            ASSERT_TRUE(std::isfinite(distance));
            ASSERT_NEAR(distance, largestDistance(applied, wanted), 1e-9);
            ASSERT_TRUE(isSoundFold(applied));
        }
    }
}

} // namespace
