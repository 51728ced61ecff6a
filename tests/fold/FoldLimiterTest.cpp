// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "MirroredFold.h"
#include "fold/FoldModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct Bounds {
    double lo, hi;
};

void expectBounds(const FoldModel& model, const std::array<Bounds, 7>& x, Bounds y2, Bounds y4) {
    for (int i = 0; i < 7; ++i) {
        EXPECT_NEAR(model.limits()[i].lower.x, x[i].lo, 1e-4) << "lower bound of line " << i;
        EXPECT_NEAR(model.limits()[i].upper.x, x[i].hi, 1e-4) << "upper bound of line " << i;
        if (i != 2 && i != 4) {
            EXPECT_EQ(model.limits()[i].lower.y, 0.0);
            EXPECT_EQ(model.limits()[i].upper.y, 0.0);
        }
    }
    EXPECT_NEAR(model.limits()[2].lower.y, y2.lo, 1e-4);
    EXPECT_NEAR(model.limits()[2].upper.y, y2.hi, 1e-4);
    EXPECT_NEAR(model.limits()[4].lower.y, y4.lo, 1e-4);
    EXPECT_NEAR(model.limits()[4].upper.y, y4.hi, 1e-4);
}

// Both tents of a 256 x 192 sheet compressed by 10, both peaks toward the viewer.
FoldModel foldedSmallSheet() {
    FoldModel model({256, 192});
    model.moveLine(0, {10, 0}, 0.0f);
    model.moveLine(6, {-10, 0}, 0.0f);
    return model;
}

FoldModel mirrored(const FoldModel& source) {
    FoldModel image(source.sheetSize());
    image.restore(mirrored(FoldSnapshot::take(source, 0), source.sheetSize().width));
    return image;
}

TEST(Limiter, FreshSmallSheet) {
    FoldModel model({256, 192});
    const double e = 21.9973;
    EXPECT_NEAR(model.largestCompression(38.4f, 51.2f), e, 1e-4);
    expectBounds(model,
                 {{{0, e},
                   {-15.9, 15.9},
                   {-15.9, 36.2},
                   {-36.2, 36.2},
                   {-36.2, 15.9},
                   {-15.9, 15.9},
                   {-e, 0}}},
                 {-e, e}, {-e, e});
}

TEST(Limiter, FoldedSmallSheet) {
    FoldModel model = foldedSmallSheet();
    const std::array<double, 7> xs{10, 48.4, 80.996, 128, 175.004, 207.6, 246};
    for (int i = 0; i < 7; ++i)
        EXPECT_NEAR(model.profile()[i].x, xs[i], 1e-3) << "vertex " << i;
    EXPECT_NEAR(model.profile()[2].y, 20.2993, 1e-4);
    EXPECT_NEAR(model.profile()[4].y, 20.2993, 1e-4);

    model.calculateLimits();
    expectBounds(model,
                 {{{-10, 11.9973},
                   {-15.9, 9.3258},
                   {-5.0790, 32.0040},
                   {-29.5294, 29.5294},
                   {-32.0040, 5.0790},
                   {-9.3258, 15.9},
                   {-11.9973, 10}}},
                 {-31.9973, 11.9973}, {-31.9973, 11.9973});

    FoldSnapshot awayFromTheViewer = FoldSnapshot::take(model, 0);
    awayFromTheViewer.leftDirection = -1.0f;
    awayFromTheViewer.coordinates[2].y = -awayFromTheViewer.coordinates[2].y;
    model.restore(awayFromTheViewer);
    EXPECT_NEAR(model.limits()[2].lower.y, -11.9973, 1e-4);
    EXPECT_NEAR(model.limits()[2].upper.y, 31.9973, 1e-4);
}

TEST(Limiter, FoldedSmallSheetIntermediateValues) {
    const FoldModel model = foldedSmallSheet();
    const float kO = model.parameters().maximumPeakSlopeOutside;
    const float kI = model.parameters().maximumPeakSlopeInside;
    const float sF = model.parameters().minimumSpaceFoot;
    const float sM = model.parameters().minimumSpaceMiddle;
    const float tO = 38.4f, tI = 51.2f, dx = 10.0f;
    EXPECT_NEAR(model.minimumSpaceForAngle(kO, sF, dx, tO, tI), 27.5170, 1e-4);
    EXPECT_EQ(model.minimumSpaceForAngle(kI, sM, dx, tI, tO), sM);
    EXPECT_NEAR(model.narrowStepForAngle(kO, sF, dx, tI, tO), 9.3258, 1e-4);
    EXPECT_NEAR(model.spreadStepForAngle(kI, sM, dx, tI, tO), 103.0788, 1e-3);
    EXPECT_NEAR(model.spreadStepForAngle(kO, sF, dx, tO, tI), 188.0021, 1e-3);
    EXPECT_NEAR(model.narrowStepForAngle(kI, sM, dx, tO, tI), 29.5294, 1e-4);
}

TEST(Limiter, MirroredStatesGetMirroredBounds) {
    // A few asymmetric folds: {line, dx, dy} steps from the flat 256 x 192 sheet.
    const std::vector<std::vector<std::array<double, 3>>> folds{
        {{0, 12, 0}, {1, -4, 0}, {6, -5, 0}},
        {{2, 0, 15}, {4, 0, -8}, {3, 6, 0}},
        {{0, 8, 0}, {2, 5, 0}, {5, 3, 0}, {4, 0, 6}},
        {{6, -14, 0}, {4, -6, 0}, {1, 7, 0}},
    };
    for (const auto& steps : folds) {
        FoldModel model({256, 192});
        for (const auto& step : steps)
            model.moveLine(long(step[0]), {step[1], step[2]}, 10.0f);
        model.calculateLimits();
        FoldModel image = mirrored(model);
        image.calculateLimits();
        for (int i = 0; i < 7; ++i) {
            EXPECT_NEAR(image.limits()[i].lower.x, -model.limits()[6 - i].upper.x, 2e-3)
                << "line " << i;
            EXPECT_NEAR(image.limits()[i].upper.x, -model.limits()[6 - i].lower.x, 2e-3)
                << "line " << i;
        }
        EXPECT_NEAR(image.limits()[2].lower.y, model.limits()[4].lower.y, 2e-3);
        EXPECT_NEAR(image.limits()[2].upper.y, model.limits()[4].upper.y, 2e-3);
        EXPECT_NEAR(image.limits()[4].lower.y, model.limits()[2].lower.y, 2e-3);
        EXPECT_NEAR(image.limits()[4].upper.y, model.limits()[2].upper.y, 2e-3);
    }
}

TEST(Limiter, RightEdgeBeyondTheSheetIsMovedBack) {
    FoldModel model({256, 192});
    FoldSnapshot beyond = FoldSnapshot::take(model, 0);
    beyond.coordinates[6].x = 256.5;
    model.restore(beyond);
    EXPECT_EQ(model.profile()[6].x, 256.0);
    // Measured as flat: no outward room, inward up to the largest compression.
    EXPECT_EQ(model.limits()[6].upper.x, 0.0);
    EXPECT_NEAR(model.limits()[6].lower.x, -21.9973, 1e-4);
    EXPECT_NEAR(model.limits()[4].upper.y, 21.9973, 1e-4);
}

TEST(Limiter, SmallRoomsReadZeroButVerticalBoundsKeepTheirValue) {
    FoldModel model({256, 192});
    const float e = model.largestCompression(38.4f, 51.2f);
    // Compress the left tent to 0.005 short of its largest compression.
    model.moveLine(0, {e - 0.005, 0}, 0.0f);
    model.calculateLimits();
    EXPECT_EQ(model.limits()[0].upper.x, 0.0);
    EXPECT_GT(model.limits()[2].upper.y, 0.0);
    EXPECT_LT(model.limits()[2].upper.y, 0.01);

    // The flat right foot moved to within 0.005 of its least outer slope.
    model.moveLine(5, {-15.895, 0}, 0.0f);
    model.calculateLimits();
    EXPECT_EQ(model.limits()[5].lower.x, 0.0);
    EXPECT_EQ(model.limits()[4].upper.x, 0.0);
}

TEST(FormulaMethods, PeakAndEllipse) {
    EXPECT_NEAR(FoldModel::peakXBetween(170, 500, 150, 200), 308.485, 1e-3);
    EXPECT_NEAR(FoldModel::ellipsePeakY(170, 313.485f, 500, 20, 150, 200), 57.867, 1e-3);
    EXPECT_EQ(FoldModel::ellipsePeakY(170, 313.485f, 500, 0, 150, 200), 0.0f);
    EXPECT_EQ(FoldModel::ellipsePeakY(170, 313.485f, 500, -3, 150, 200), 0.0f);
}

TEST(FormulaMethods, UndefinedInputsGiveFiniteNeutralResults) {
    // A base of no width puts the apex over it.
    EXPECT_EQ(FoldModel::peakXBetween(40, 40, 10, 10), 40.0f);
    // Slopes of no length: no height.
    EXPECT_EQ(FoldModel::ellipsePeakY(0, 0, 0, 1, 0, 0), 0.0f);
    // An apex offset beyond the ellipse has no real height.
    EXPECT_EQ(FoldModel::ellipsePeakY(0, 200, 100, 10, 50, 40), 0.0f);
    // tLim - dx - c = 0: the room grows without bound there, so this slope sets no limit.
    EXPECT_EQ(FoldModel::spreadStepForAngle(0.5f, 5, 10, 20, 30),
              std::numeric_limits<float>::max());
    // Zero-sized tent: the minimum space.
    EXPECT_EQ(FoldModel::minimumSpaceForAngle(0.5f, 0, 0, 0, 0), 0.0f);
    // k = 1: the minimum space alone limits the shortening.
    const float narrow = FoldModel::narrowStepForAngle(1, 5, 10, 40, 30);
    EXPECT_TRUE(std::isfinite(narrow));
    EXPECT_GE(narrow, 0.0f);
    const FoldModel model({256, 192});
    // Slopes too short for their minimum spaces cannot fold.
    EXPECT_EQ(model.largestCompression(10, 10), 0.0f);
    EXPECT_EQ(model.largestCompression(0, 0), 0.0f);
}

TEST(FormulaMethods, SpreadAtItsZeroDivisorLeavesTheOtherLimitsInCharge) {
    // Pulling the left edge in by this much on a tall sheet puts the left outer slope exactly at
    // its angle limit (tLim - dx - c = 0 in single precision).
    FoldModel model(FoldModel::sheetSizeForPicture({100, 1000}, FoldScreen{900, {1440, 900}}));
    ASSERT_NEAR(model.sheetSize().height, 702.4, 1e-4);
    model.moveLine(0, {15.9000006, 0}, 0);

    EXPECT_GT(model.limits()[3].upper.x, 5.0);
    EXPECT_NEAR(model.moveLine(3, {5, 0}, 0).x, 5.0, 1e-9);
}

} // namespace
