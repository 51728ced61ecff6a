// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/PanelFoldModel.h"
#include "PanelDragGenerator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace {

using Axis = FoldLayout::Axis;
using LineKind = PanelFoldModel::LineKind;

constexpr FoldSize kSheet{1000, 500};
constexpr double kTolerance = 1e-9;

// The classic's inner slope angle on a sheet twice as wide as it is high.
double slopeFactorOfAWideSheet() {
    return std::cos(70.0 / std::sqrt(std::sqrt(2.0)) * std::numbers::pi / 180.0);
}

std::string kinds(const PanelFoldModel& model) {
    std::string text;
    for (int line = 0; line < model.lineCount(); ++line) {
        const LineKind kind = model.lineKind(line);
        text += kind == LineKind::edge ? 'E' : kind == LineKind::peak ? 'P' : 'C';
    }
    return text;
}

// The turn of the profile at each inner line: 1 for a mountain (toward the viewer), -1 for a
// valley, 0 where it runs straight on.
std::vector<int> turns(const PanelFoldModel& model) {
    std::vector<int> result;
    const auto& p = model.profile();
    for (int i = 1; i + 1 < model.lineCount(); ++i) {
        const double cross = (p[i].x - p[i - 1].x) * (p[i + 1].y - p[i].y) -
                             (p[i].y - p[i - 1].y) * (p[i + 1].x - p[i].x);
        result.push_back(cross < -kTolerance ? 1 : cross > kTolerance ? -1 : 0);
    }
    return result;
}

TEST(PanelFold, StartsFlatWithTheLayoutsLines) {
    const struct {
        FoldLayout layout;
        const char* lines;
    } cases[] = {{FoldLayout::twoTents(), "ECPCPCE"}, {FoldLayout::tent(), "ECPCE"},
                 {FoldLayout::accordion(2), "EPE"},   {FoldLayout::accordion(3), "EPCE"},
                 {FoldLayout::accordion(4), "EPCPE"}, {FoldLayout::accordion(7), "EPCPCPCE"}};
    for (const auto& c : cases) {
        const PanelFoldModel model(c.layout, kSheet);
        EXPECT_EQ(kinds(model), c.lines) << c.layout.name();
        for (int line = 0; line < model.lineCount(); ++line) {
            EXPECT_EQ(model.profile()[line], (FoldPoint{model.creases()[line], 0.0}));
        }
    }
    EXPECT_NEAR(PanelFoldModel(FoldLayout::twoTents(), kSheet).creases()[1], 150.0, kTolerance);
    EXPECT_NEAR(PanelFoldModel(FoldLayout::accordion(8), kSheet).creases()[3], 375.0, kTolerance);
}

TEST(PanelFold, HorizontalCreasesRunTheProfileDownTheSheet) {
    const PanelFoldModel model(FoldLayout::accordion(4, Axis::horizontal), kSheet);
    EXPECT_EQ(model.length(), 500.0);
    EXPECT_EQ(model.creases()[2], 250.0);
    EXPECT_EQ(model.limits().highestPoint(), 250.0);
    EXPECT_NEAR(model.limits().shortestPanel(), 500.0 * 15 / 256, kTolerance);
}

TEST(PanelFoldLimits, FromTheSheetsShape) {
    const PanelFoldLimits wide(1000, 500, 4);
    EXPECT_NEAR(wide.slopeFactor(), slopeFactorOfAWideSheet(), 1e-6);
    EXPECT_EQ(wide.highestPoint(), 125.0);
    EXPECT_NEAR(wide.shortestPanel(), 1000.0 * 15 / 256, kTolerance);
    // Twelve panels of a twelfth leave room to move a crease.
    EXPECT_NEAR(PanelFoldLimits(1000, 500, 12).shortestPanel(), 1000.0 / 24, kTolerance);
    // A tall sheet is capped at the classic's largest angle.
    EXPECT_NEAR(PanelFoldLimits(256, 702.4, 4).slopeFactor(),
                std::cos(static_cast<float>(85.0 * std::numbers::pi / 180.0)), 1e-6);
}

TEST(PanelFoldLimits, LargestCompressionOfEvenTents) {
    const PanelFoldLimits limits(1000, 500, 4);
    const double k = slopeFactorOfAWideSheet();
    // The slopes reach the steepest angle below the highest point...
    EXPECT_NEAR(limits.largestTentCompression(100, 100), 200 - 2 * 100 * k, 1e-5);
    // ...and long ones the highest point first.
    EXPECT_NEAR(limits.largestTentCompression(200, 200),
                400 - 2 * std::sqrt(200.0 * 200 - 125 * 125), 1e-9);
    EXPECT_NEAR(limits.largestFreeCompression(100), 100 - 100 * k, 1e-5);
    EXPECT_NEAR(limits.largestFreeCompression(300), 300 - std::sqrt(300.0 * 300 - 125 * 125), 1e-9);
}

// At its largest compression a tent of any two slopes meets one limit and passes none.
TEST(PanelFoldLimits, LargestCompressionMeetsALimit) {
    const PanelFoldLimits limits(1000, 500, 4);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> slope(20.0, 400.0);
    for (int trial = 0; trial < 500; ++trial) {
        const double a = slope(random);
        const double b = slope(random);
        const double base = a + b - limits.largestTentCompression(a, b);
        const double runA = (base * base + a * a - b * b) / (2 * base);
        const double runB = base - runA;
        const double height = std::sqrt(a * a - runA * runA);
        const double k = limits.slopeFactor();
        SCOPED_TRACE(testing::Message() << "slopes " << a << ", " << b);
        EXPECT_GE(runA, k * a - 1e-7);
        EXPECT_GE(runB, k * b - 1e-7);
        EXPECT_LE(height, limits.highestPoint() + 1e-7);
        const double slack = std::min({runA - k * a, runB - k * b, limits.highestPoint() - height});
        EXPECT_NEAR(slack, 0.0, 1e-6);
    }
}

TEST(PanelFold, PushingAnEdgeFoldsAnAccordionInZigZag) {
    PanelFoldModel model(FoldLayout::accordion(6), kSheet);
    EXPECT_EQ(model.moveLine(0, {30, 0}, 0.0f), (FoldPoint{30, 0}));
    EXPECT_NEAR(model.profile().front().x, 30.0, kTolerance);
    EXPECT_NEAR(model.profile().back().x, 1000.0, kTolerance);
    EXPECT_EQ(turns(model), (std::vector<int>{1, -1, 1, -1, 1}));
    // Even tents share the push evenly.
    EXPECT_NEAR(model.profile()[1].y, model.profile()[5].y, 1e-9);
    EXPECT_GT(model.profile()[1].y, 0.0);
}

TEST(PanelFold, AnEdgeStopsAtTheLimitsAndComesBack) {
    PanelFoldModel model(FoldLayout::accordion(4), kSheet);
    const double room = 2 * model.limits().largestTentCompression(250, 250);
    const FoldPoint pushed = model.moveLine(4, {-1000, 0}, 0.0f);
    EXPECT_NEAR(pushed.x, -room, 1e-9);
    EXPECT_EQ(model.moveLine(4, {-10, 0}, 0.0f), (FoldPoint{}));
    // Pulled back, it stops where the flat sheet's edge was.
    const FoldPoint pulled = model.moveLine(4, {2000, 0}, 0.0f);
    EXPECT_NEAR(pulled.x, room, 1e-9);
    EXPECT_NEAR(model.profile().back().x, 1000.0, 1e-9);
    EXPECT_NEAR(model.profile()[1].y, 0.0, 1e-6);
    // The first edge cannot be pulled past the sheet's start.
    EXPECT_EQ(model.moveLine(0, {-10, 0}, 0.0f), (FoldPoint{}));
}

TEST(PanelFold, DeepeningFlipsPastFlat) {
    PanelFoldModel card(FoldLayout::accordion(2), kSheet);
    EXPECT_EQ(card.moveLine(1, {0, 20}, 0.0f), (FoldPoint{0, 20}));
    EXPECT_GT(card.profile()[1].y, 0.0);
    // A tent across the sheet's middle takes its paper from both sides.
    EXPECT_NEAR(card.profile().front().x, 10.0, kTolerance);
    EXPECT_NEAR(card.profile().back().x, 990.0, kTolerance);
    EXPECT_EQ(card.moveLine(1, {0, -50}, 0.0f), (FoldPoint{0, -50}));
    EXPECT_LT(card.profile()[1].y, 0.0);
    EXPECT_NEAR(card.profile().front().x, 15.0, kTolerance);
    // Seen from below, the same drag goes the other way.
    EXPECT_EQ(card.moveLine(1, {0, -20}, -10.0f), (FoldPoint{0, -20}));
    EXPECT_NEAR(card.profile().front().x, 5.0, kTolerance);
    EXPECT_LT(card.profile()[1].y, 0.0);
    // The peak stops at the highest point; the rest of the drag is refused.
    const FoldPoint deepest = card.moveLine(1, {0, -100}, 0.0f);
    EXPECT_GT(deepest.y, -100.0);
    EXPECT_NEAR(card.profile()[1].y, -card.limits().highestPoint(), 1e-6);
}

TEST(PanelFold, DeepeningSlidesTheOuterSide) {
    PanelFoldModel model(FoldLayout::accordion(4), kSheet);
    model.moveLine(1, {0, 20}, 0.0f);
    EXPECT_NEAR(model.profile()[0].x, 20.0, kTolerance);
    EXPECT_NEAR(model.profile()[2].x, 500.0, kTolerance);
    model.moveLine(3, {0, 12}, 0.0f);
    EXPECT_NEAR(model.profile()[2].x, 500.0, kTolerance);
    EXPECT_NEAR(model.profile()[4].x, 988.0, kTolerance);
    // Flattened, the left tent gives its paper back to the left.
    model.moveLine(1, {0, -20}, 0.0f);
    EXPECT_NEAR(model.profile()[0].x, 0.0, kTolerance);
}

TEST(PanelFold, ACreaseMovesAlongThePaper) {
    PanelFoldModel model(FoldLayout::tent(), kSheet);
    model.moveLine(2, {0, 40}, 0.0f);
    const FoldPoint peak = model.profile()[2];
    EXPECT_EQ(model.moveLine(1, {20, 0}, 0.0f), (FoldPoint{20, 0}));
    EXPECT_NEAR(model.creases()[1], 270.0, kTolerance);
    EXPECT_NEAR(model.profile()[1].x, 290.0, kTolerance);
    EXPECT_NE(model.profile()[2], peak);
    EXPECT_NEAR(model.profile()[3].x, 730.0, kTolerance);
    // A panel shorter than the shortest is refused.
    const double shortest = model.limits().shortestPanel();
    EXPECT_NEAR(model.moveLine(1, {-1000, 0}, 0.0f).x, shortest - 270.0, kTolerance);
}

TEST(PanelFold, APeakFollowsThePointerSideways) {
    PanelFoldModel card(FoldLayout::accordion(2), kSheet);
    card.moveLine(1, {0, 30}, 0.0f);
    const double peakX = card.profile()[1].x;
    EXPECT_EQ(card.moveLine(1, {10, 0}, 0.0f), (FoldPoint{10, 0}));
    EXPECT_NEAR(card.profile()[1].x, peakX + 10, 1e-9);
    // The crease slides by the base's share of the paper.
    EXPECT_NEAR(card.creases()[1], 500 + 10 * 0.97, 1e-9);
    EXPECT_NEAR(card.profile()[2].x, 985.0, kTolerance);
}

// Pushed together as far as they go, even tents have both slopes at the steepest angle: a
// sideways move of a peak would steepen one of them, and is refused.
TEST(PanelFold, ASteepTentKeepsItsPeak) {
    PanelFoldModel model(FoldLayout::accordion(12), kSheet);
    model.moveLine(12, {-1000, 0}, 0.0f);
    const std::vector<FoldPoint> steepest = model.profile();
    const double k = model.limits().slopeFactor();
    EXPECT_NEAR(steepest[1].x - steepest[0].x, k * 1000 / 12, 1e-6);
    EXPECT_EQ(model.moveLine(1, {40, 0}, 0.0f), (FoldPoint{}));
    EXPECT_EQ(model.moveLine(5, {-3, 0}, 0.0f), (FoldPoint{}));
    EXPECT_EQ(model.profile(), steepest);
}

TEST(PanelFold, AFreeEdgeRisesAndFalls) {
    PanelFoldModel zFold(FoldLayout::accordion(3), kSheet);
    const FoldPoint applied = zFold.moveLine(3, {0, 20}, 0.0f);
    EXPECT_EQ(applied, (FoldPoint{0, 20}));
    EXPECT_NEAR(zFold.profile()[3].x, 980.0, kTolerance);
    EXPECT_GT(zFold.profile()[3].y, 0.0);
    EXPECT_EQ(zFold.profile()[0].x, 0.0);
    EXPECT_EQ(zFold.profile()[2].x, zFold.creases()[2]);
    zFold.moveLine(3, {0, -40}, 0.0f);
    EXPECT_LT(zFold.profile()[3].y, 0.0);
}

TEST(PanelFold, StepsBelowTheDeadZoneAndStrayInputWait) {
    PanelFoldModel model(FoldLayout::accordion(5), kSheet);
    const std::vector<FoldPoint> flat = model.profile();
    EXPECT_EQ(model.moveLine(0, {0.05, 0}, 0.0f), (FoldPoint{}));
    EXPECT_EQ(model.moveLine(1, {0.05, 0.05}, 0.0f), (FoldPoint{}));
    EXPECT_EQ(model.moveLine(-1, {10, 0}, 0.0f), (FoldPoint{}));
    EXPECT_EQ(model.moveLine(6, {10, 0}, 0.0f), (FoldPoint{}));
    EXPECT_EQ(model.moveLine(1, {NAN, INFINITY}, 0.0f), (FoldPoint{}));
    EXPECT_EQ(model.profile(), flat);
}

// A fold shaped by random drags.
PanelFoldModel shapedAtRandom(FoldLayout layout, FoldSize sheet, unsigned seed) {
    PanelFoldModel model(layout, sheet);
    PanelDragGenerator drags(seed, model.lineCount(), model.length());
    for (int step = 0; step < 60; ++step) {
        const Drag drag = drags.next();
        model.moveLine(static_cast<int>(drag.line), drag.move, drag.pitch);
    }
    return model;
}

std::vector<double> scaled(const std::vector<double>& values, double factor) {
    std::vector<double> result;
    for (double value : values)
        result.push_back(value * factor);
    return result;
}

std::vector<FoldPoint> scaled(const std::vector<FoldPoint>& points, double factor) {
    std::vector<FoldPoint> result;
    for (FoldPoint point : points)
        result.push_back({point.x * factor, point.y * factor});
    return result;
}

void expectSameFold(const std::vector<FoldPoint>& a, const std::vector<FoldPoint>& b,
                    double tolerance) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_NEAR(a[i].x, b[i].x, tolerance) << "line " << i;
        EXPECT_NEAR(a[i].y, b[i].y, tolerance) << "line " << i;
    }
}

// Any fold the limits allow is put back, on its own sheet and, scaled, on a sheet of the same
// shape and another size. A tent's compression is read back from its ends' positions, whose
// rounding a nearly flat tent's peak height magnifies (its height grows with the root of the
// compression): hence a tolerance far above the rounding, far below what anyone sees.
TEST(PanelFoldRestore, PutsBackWhatTheLimitsAllowed) {
    for (const FoldLayout& layout : FoldLayout::presets(Axis::horizontal)) {
        if (layout.isHinged())
            continue; // folded by HingedFold
        for (unsigned seed = 1; seed <= 20; ++seed) {
            SCOPED_TRACE(testing::Message() << layout.name() << " seed " << seed);
            const PanelFoldModel shaped = shapedAtRandom(layout, kSheet, seed);
            PanelFoldModel same(layout, kSheet);
            ASSERT_TRUE(same.restore(shaped.creases(), shaped.profile()));
            expectSameFold(same.profile(), shaped.profile(), 1e-5);
            EXPECT_EQ(same.creases(), shaped.creases());

            PanelFoldModel larger(layout, {kSheet.width * 1.5, kSheet.height * 1.5});
            ASSERT_TRUE(
                larger.restore(scaled(shaped.creases(), 1.5), scaled(shaped.profile(), 1.5)));
            expectSameFold(larger.profile(), scaled(shaped.profile(), 1.5), 1e-5);
        }
    }
}

// A sheet whose limits are tighter takes the fold as near as they let it.
TEST(PanelFoldRestore, KeepsTheLimitsOfTheSheet) {
    PanelFoldModel card(FoldLayout::accordion(2), kSheet);
    card.moveLine(1, {0, 30}, 0.0f);
    PanelFoldModel low(FoldLayout::accordion(2), {1000, 300});
    ASSERT_TRUE(low.restore(card.creases(), card.profile()));
    EXPECT_NEAR(low.profile()[1].y, low.limits().highestPoint(), 1e-6);
    EXPECT_LT(low.profile()[1].y, card.profile()[1].y);
    EXPECT_NEAR(low.profile()[2].x - low.profile()[0].x,
                1000 - 2 * (500 - std::sqrt(500.0 * 500 - 75 * 75)), 1e-6);
}

TEST(PanelFoldRestore, RefusesWhatIsNoFold) {
    PanelFoldModel model(FoldLayout::accordion(3), kSheet);
    const PanelFoldModel shaped = shapedAtRandom(FoldLayout::accordion(3), kSheet, 5);
    const std::vector<FoldPoint> before = model.profile();
    std::vector<FoldPoint> stretched = shaped.profile();
    stretched[2].x += 1.0;
    EXPECT_FALSE(model.restore(shaped.creases(), stretched));
    std::vector<double> crossed = shaped.creases();
    std::swap(crossed[1], crossed[2]);
    EXPECT_FALSE(model.restore(crossed, shaped.profile()));
    std::vector<FoldPoint> notANumber = shaped.profile();
    notANumber[1].y = NAN;
    EXPECT_FALSE(model.restore(shaped.creases(), notANumber));
    const PanelFoldModel other(FoldLayout::accordion(4), kSheet);
    EXPECT_FALSE(model.restore(other.creases(), other.profile()));
    // A sheet of another length.
    EXPECT_FALSE(model.restore(scaled(shaped.creases(), 0.9), scaled(shaped.profile(), 0.9)));
    // Panels shorter than this sheet allows.
    std::vector<double> squeezed = model.creases();
    squeezed[1] = 20.0;
    std::vector<FoldPoint> flat;
    for (double crease : squeezed)
        flat.push_back({crease, 0.0});
    EXPECT_FALSE(model.restore(squeezed, flat));
    EXPECT_EQ(model.profile(), before);
    // Within half a point the paper may stretch.
    std::vector<FoldPoint> nearly = shaped.profile();
    nearly.back().x += 0.4;
    EXPECT_TRUE(PanelFoldModel::isSound(shaped.creases(), nearly, 1000));
}

} // namespace
