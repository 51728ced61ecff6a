// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "HingedSheets.h"
#include "fold/ClosingCheck.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using Shape = FoldLayout::Shape;
using Pose = HingedFold::Pose;

// A5's short side to A3's long side.
constexpr double sheetLengthsMm[] = {148, 210, 297, 420};

void expectPosesAllowed(const HingedFold& fold) {
    for (Pose pose : {Pose::flat, Pose::presentation, Pose::closed})
        EXPECT_TRUE(fold.allows(fold.poseAngles(pose))) << "pose " << int(pose);
    EXPECT_TRUE(ClosingCheck(fold.layout(), fold.widths(), fold.thickness()).closes());
}

TEST(HingedPresets, WidthsFillTheSheetAndEveryPoseIsAllowed) {
    for (Shape shape : hingedShapes()) {
        for (double mm : sheetLengthsMm) {
            const double length = mm * pointsPerMm;
            const HingedFold fold = presetFold(shape, length);
            SCOPED_TRACE(fold.layout().name() + " " + std::to_string(mm) + " mm");
            const FoldLayout layout = FoldLayout::hinged(shape);
            EXPECT_EQ(fold.widths(),
                      HingedPreset::widths(shape, layout.panelCount(), length, allowance));
            EXPECT_NEAR(fold.length(), length, 1e-12 * length);
            expectPosesAllowed(fold);
        }
    }
}

TEST(HingedPresets, RollsOfEveryLengthCloseAndPresent) {
    for (int panels = 2; panels <= FoldLayout::mostAccordionPanels; ++panels) {
        SCOPED_TRACE(std::to_string(panels) + " panels");
        const HingedFold roll(FoldLayout::hinged(Shape::roll),
                              HingedPreset::widths(Shape::roll, panels, a4Length, allowance),
                              paperThickness);
        ASSERT_EQ(roll.panelCount(), panels);
        expectPosesAllowed(roll);
    }
}

// A layout that is not hinged, or widths that do not fit the shape, give the preset on a sheet one
// unit long.
TEST(HingedPresets, UnusableWidthsFallBackToThePreset) {
    const struct {
        FoldLayout layout;
        std::vector<double> widths;
        Shape shape;
    } cases[] = {
        {FoldLayout::hinged(Shape::letter), {1, 1}, Shape::letter},
        {FoldLayout::hinged(Shape::gate), {1, -1, 1}, Shape::gate},
        {FoldLayout::hinged(Shape::roll), std::vector<double>(13, 1.0), Shape::roll},
        {FoldLayout::accordion(3), {1, 1, 1}, Shape::letter},
    };
    for (const auto& c : cases) {
        const HingedFold fold(c.layout, c.widths, 1e-4);
        EXPECT_EQ(fold.layout().shape(), c.shape);
        EXPECT_EQ(fold.panelCount(), FoldLayout::hinged(c.shape).panelCount());
        EXPECT_NEAR(fold.length(), 1.0, 1e-12);
    }
}

TEST(HingedFold, FlatSurfaceIsTheFlatSheet) {
    for (Shape shape : hingedShapes()) {
        const HingedFold fold = presetFold(shape);
        const std::vector<double> lines = fold.creases();
        const std::vector<HingedFold::SurfacePoint> surface = fold.surface();
        ASSERT_EQ(surface.size(), lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(surface[i], (HingedFold::SurfacePoint{lines[i], {lines[i], 0}}));
            EXPECT_EQ(fold.profile()[i], surface[i].at);
        }
        EXPECT_EQ(lines.back(), fold.length());
    }
}

// Both sides' paper bounds how far the sheet reaches from its plane.
TEST(HingedFold, ReachHoldsEveryPose) {
    for (Shape shape : hingedShapes()) {
        HingedFold fold = presetFold(shape);
        for (Pose pose : {Pose::presentation, Pose::closed}) {
            ASSERT_TRUE(fold.setAngles(fold.poseAngles(pose)));
            for (const HingedFold::SurfacePoint& p : fold.surface())
                EXPECT_LE(std::abs(p.at.y), fold.reach());
        }
    }
}

// Where the drawn surface is at this paper position, between the points either side of it.
double heightAt(const std::vector<HingedFold::SurfacePoint>& surface, double paper) {
    for (std::size_t i = 0; i + 1 < surface.size(); ++i) {
        const HingedFold::SurfacePoint& a = surface[i];
        const HingedFold::SurfacePoint& b = surface[i + 1];
        if (paper >= a.paper && paper <= b.paper)
            return a.at.y + (b.at.y - a.at.y) * (paper - a.paper) / (b.paper - a.paper);
    }
    return NAN;
}

// Closed, each panel lies a whole number of thicknesses behind the anchor, in the order the
// folding stacks them.
TEST(HingedPresets, ClosedPanelsStackInFoldingOrder) {
    const struct {
        Shape shape;
        std::vector<int> layersBehind;
    } cases[] = {
        {Shape::letter, {2, 0, 1}},
        {Shape::roll, {0, 3, 1, 2}},
        {Shape::gate, {1, 0, 1}},
        {Shape::doubleGate, {1, 0, 3, 2}},
        {Shape::doubleParallel, {3, 0, 1, 2}},
    };
    for (const auto& c : cases) {
        HingedFold fold = presetFold(c.shape);
        ASSERT_TRUE(fold.setAngles(fold.poseAngles(Pose::closed)));
        const std::vector<double> lines = fold.creases();
        for (int i = 0; i < fold.panelCount(); ++i) {
            const double middle = (lines[i] + lines[i + 1]) / 2;
            EXPECT_NEAR(heightAt(fold.surface(), middle), -c.layersBehind[i] * paperThickness,
                        1e-9 * a4Length)
                << fold.layout().name() << " panel " << i;
        }
    }
}

TEST(HingedFold, FixedWidthsDoNotMove) {
    HingedFold fold = presetFold(Shape::doubleGate);
    const std::vector<double> widths = fold.widths();
    fold.setWidthsFixed(true);
    EXPECT_EQ(fold.moveCrease(1, 10), 0);
    EXPECT_EQ(fold.widths(), widths);
    fold.setWidthsFixed(false);
    EXPECT_EQ(fold.moveCrease(1, 10), 10);
    EXPECT_NEAR(fold.widths()[1], widths[1] + 10, 1e-9);
    fold.moveCrease(1, -a4Length);
    EXPECT_NEAR(fold.widths()[1], 0.03 * a4Length, 1e-9 * a4Length) << "the shortest panel";
    EXPECT_NEAR(fold.length(), a4Length, 1e-9 * a4Length);
}

TEST(ClosingCheck, TellsWhichLeafletsCloseFlat) {
    const double t = 0.1;
    const struct {
        Shape shape;
        std::vector<double> widths;
        bool closes;
    } cases[] = {
        {Shape::letter, {99, 99, 99}, false},
        {Shape::letter, {100, 100, 97}, true},
        {Shape::gate, {75, 140, 75}, false},
        {Shape::gate, HingedPreset::widths(Shape::gate, 3, 297, 1.5875), true},
        {Shape::doubleGate, {70, 80, 80, 70}, true},
        {Shape::doubleGate, {80, 70, 70, 80}, false},
    };
    for (const auto& c : cases) {
        const ClosingCheck check(FoldLayout::hinged(c.shape), c.widths, t);
        EXPECT_EQ(check.closes(), c.closes) << int(c.shape) << " " << c.widths[0];
        for (const ClosingCheck::PanelFit& fit : check.fits())
            EXPECT_NEAR(fit.excess, c.widths[fit.panel] - fit.largestWidth, 1e-12);
    }
}

// Tucked in, the letter's third panel must end where the bend around it starts: a quarter turn of
// that bend's radius short of the middle panel's width.
TEST(ClosingCheck, LetterInnerPanelFitsInsideTheOuterBend) {
    for (double t : {0.05, 0.1, 0.3}) {
        const ClosingCheck check(FoldLayout::hinged(Shape::letter), {100, 100, 97}, t);
        ASSERT_EQ(check.fits().size(), 1u);
        EXPECT_EQ(check.fits()[0].panel, 2);
        EXPECT_NEAR(check.fits()[0].largestWidth, 100 - std::numbers::pi * t / 2, 0.01 * t);
    }
}

// Folding the letter's third panel, a little too wide, in and then the first over it stops where
// the first panel's bend reaches the third panel's edge, past a right angle.
TEST(HingedFold, TurnStopsAtContact) {
    HingedFold fold(FoldLayout::hinged(Shape::letter), {100, 100, 99.9}, 0.1);
    EXPECT_EQ(fold.turnCrease(1, -200), -180);
    const double applied = fold.turnCrease(0, -180);
    EXPECT_LT(applied, -90);
    EXPECT_GT(applied, -180);
    EXPECT_TRUE(fold.allows(fold.angles()));
    EXPECT_GT(fold.turnCrease(0, -0.01), -1e-5);
    EXPECT_EQ(fold.turnCrease(0, 30), 30);
}

} // namespace
