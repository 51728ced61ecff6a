// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/FoldSnapshot.h"
#include "DragGenerator.h"
#include "fold/FoldModel.h"
#include "fold/FoldTarget.h"

#include <algorithm>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using Fault = FoldTarget::Fault;

void drag(FoldModel& model, DragGenerator& drags, int steps) {
    for (int step = 0; step < steps; ++step) {
        const Drag next = drags.next();
        model.moveLine(next.line, next.move, next.pitch);
    }
}

TEST(FoldSnapshot, RestoringPutsBackTheWholeFoldAndItsBounds) {
    DragGenerator drags(3u, 1000);
    FoldModel model({1000, 500});
    for (int sequence = 0; sequence < 50; ++sequence) {
        drag(model, drags, 8);
        model.calculateLimits();
        const FoldModel before = model;
        const FoldSnapshot snapshot = FoldSnapshot::take(model, -12.5f);
        drag(model, drags, 8);

        model.restore(snapshot);
        EXPECT_EQ(model.creases(), before.creases());
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(model.profile()[i], before.profile()[i]);
            EXPECT_EQ(model.limits()[i].lower, before.limits()[i].lower) << "line " << i;
            EXPECT_EQ(model.limits()[i].upper, before.limits()[i].upper) << "line " << i;
        }
        EXPECT_EQ(model.leftDirection(), before.leftDirection());
        EXPECT_EQ(model.rightDirection(), before.rightDirection());
        EXPECT_EQ(FoldSnapshot::take(model, -12.5f), snapshot);
    }
}

// Every fold the solver reaches is a fold by the target's rules, and comes back from its
// fractions unchanged on the sheet it was made on.
TEST(FoldTarget, EveryReachedFoldIsSoundAndComesBackOnItsOwnSheet) {
    for (const FoldSize size : {FoldSize{256, 192}, FoldSize{1000, 500}, FoldSize{256, 702.4},
                                FoldSize{1053.6, 702.4}, FoldSize{702.4, 993.4}}) {
        DragGenerator drags(11u, size.width);
        for (int sequence = 0; sequence < 200; ++sequence) {
            FoldModel model(size);
            drag(model, drags, 1 + sequence % 40);
            const FoldSnapshot made = FoldSnapshot::take(model, 30.0f);
            const FoldTarget target = FoldTarget::fromSnapshot(made, size.width);
            ASSERT_EQ(target.fault(), Fault::none) << size.width << " sequence " << sequence;
            // A fold file refuses fractions outside the sheet.
            ASSERT_TRUE(std::ranges::all_of(
                target.creases, [](double crease) { return crease >= 0 && crease <= 1; }))
                << size.width << " sequence " << sequence;

            const FoldSnapshot back = target.onSheet(size.width);
            EXPECT_EQ(back.creasePoint, made.creasePoint);
            for (int i = 0; i < 7; ++i) {
                EXPECT_NEAR(back.coordinates[i].x, made.coordinates[i].x, 1e-9);
                EXPECT_NEAR(back.coordinates[i].y, made.coordinates[i].y, 1e-9);
            }
            // A flat tent has no side of its own to keep.
            if (made.coordinates[2].y != 0) {
                EXPECT_EQ(back.leftDirection, made.leftDirection);
            }
            if (made.coordinates[4].y != 0) {
                EXPECT_EQ(back.rightDirection, made.rightDirection);
            }
            EXPECT_EQ(back.pitch, 30.0f);
        }
    }
}

FoldTarget foldedTarget() {
    FoldModel model({1000, 500});
    model.moveLine(2, {0, 20}, 0);
    model.moveLine(4, {0, -30}, 0);
    return FoldTarget::fromSnapshot(FoldSnapshot::take(model, 0), 1000);
}

TEST(FoldTarget, FaultsSayWhatIsWrong) {
    const std::pair<std::function<void(FoldTarget&)>, Fault> cases[] = {
        {[](FoldTarget& t) { t.creases[6] = 0.99; }, Fault::edgeCreasesOffTheEdges},
        {[](FoldTarget& t) { t.creases[0] = 0.01; }, Fault::edgeCreasesOffTheEdges},
        {[](FoldTarget& t) { std::swap(t.creases[2], t.creases[3]); }, Fault::creasesOutOfOrder},
        {[](FoldTarget& t) { t.creases[4] = t.creases[3]; }, Fault::creasesOutOfOrder},
        {[](FoldTarget& t) { t.profile[0].x = -0.01; }, Fault::edgeBeyondTheSheet},
        {[](FoldTarget& t) { t.profile[6].x = 1.01; }, Fault::edgeBeyondTheSheet},
        {[](FoldTarget& t) { std::swap(t.profile[1], t.profile[5]); }, Fault::profileOutOfOrder},
        {[](FoldTarget& t) { t.profile[3].y = 0.01; }, Fault::vertexOffThePlane},
        {[](FoldTarget& t) { t.profile[3].x += 0.01; }, Fault::vertexOffItsCrease},
        {[](FoldTarget& t) { t.profile[5].x -= 0.01; }, Fault::vertexOffItsCrease},
        {[](FoldTarget& t) { t.profile[2].y *= 1.1; }, Fault::segmentLengthChanged},
        {[](FoldTarget& t) { t.creases[2] += 0.01; }, Fault::segmentLengthChanged},
    };
    ASSERT_EQ(foldedTarget().fault(), Fault::none);
    int index = 0;
    for (const auto& [spoil, fault] : cases) {
        FoldTarget target = foldedTarget();
        spoil(target);
        EXPECT_EQ(target.fault(), fault) << "case " << index++;
    }
}

} // namespace
