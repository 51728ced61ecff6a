// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelDragGenerator.h"
#include "fold/FoldMotion.h"
#include "fold/PanelFoldModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>

namespace {

using Axis = FoldLayout::Axis;

constexpr int kPairs = 12;

// A fold reached by random drag steps from the flat sheet, tilted.
FoldSnapshot randomFold(const FoldLayout& layout, FoldSize sheet, unsigned seed, int steps) {
    PanelFoldModel model(layout, sheet);
    PanelDragGenerator drags(seed, model.lineCount(), model.length());
    for (int step = 0; step < steps; ++step) {
        const Drag drag = drags.next();
        model.moveLine(static_cast<int>(drag.line), drag.move, drag.pitch);
    }
    return FoldSnapshot::take(model, float(seed % 90) - 45.0f);
}

// Every layout but the classic, which moves by FoldMotion's own rules.
std::vector<FoldLayout> panelLayouts() {
    std::vector<FoldLayout> layouts = FoldLayout::presets(Axis::horizontal);
    for (const FoldLayout& layout : FoldLayout::presets(Axis::vertical)) {
        if (!layout.isClassic())
            layouts.push_back(layout);
    }
    std::erase_if(layouts, [](const FoldLayout& layout) { return layout.isHinged(); });
    return layouts;
}

// The model takes the frame back as it is, within rounding: a fold its limits allow.
bool modelTakes(const FoldLayout& layout, FoldSize sheet, const FoldSnapshot& frame) {
    PanelFoldModel model(layout, sheet);
    if (!model.restore(frame.panelCreases, frame.panelProfile))
        return false;
    for (std::size_t i = 0; i < frame.panelProfile.size(); ++i) {
        if (std::abs(model.creases()[i] - frame.panelCreases[i]) > 1e-6 ||
            std::hypot(model.profile()[i].x - frame.panelProfile[i].x,
                       model.profile()[i].y - frame.panelProfile[i].y) > 1e-6)
            return false;
    }
    return true;
}

// The layouts that fold by bending panels, the classic aside.
std::vector<FoldLayout> bendingLayouts() {
    std::vector<FoldLayout> layouts = panelLayouts();
    std::erase_if(layouts, [](const FoldLayout& layout) { return layout.isHinged(); });
    return layouts;
}

// Every tent and free end turned by about two degrees: so shallow that each peak moves almost
// straight up as fast as its panel turns, and the sideways slide as the tents take up paper stays
// far slower.
FoldSnapshot shallowFold(const FoldLayout& layout, FoldSize sheet) {
    const double unturned = 1 - std::cos(2 * std::numbers::pi / 180);
    PanelFoldModel model(layout, sheet);
    const int last = model.lineCount() - 1;
    for (int line = 1; line <= last; ++line) {
        const double paper = model.creases()[std::min(line + 1, last)] - model.creases()[line - 1];
        model.moveLine(line, {0, unturned * paper}, 0.0f);
    }
    return FoldSnapshot::take(model, 0.0f);
}

// Each step's largest movement of any profile point between consecutive frames.
std::vector<double> steps(const std::vector<FoldSnapshot>& frames) {
    std::vector<double> result;
    for (std::size_t f = 1; f < frames.size(); ++f) {
        double largest = 0.0;
        for (std::size_t i = 0; i < frames[f].panelProfile.size(); ++i) {
            const FoldPoint a = frames[f - 1].panelProfile[i];
            const FoldPoint b = frames[f].panelProfile[i];
            largest = std::max(largest, std::hypot(b.x - a.x, b.y - a.y));
        }
        result.push_back(largest);
    }
    return result;
}

std::string layoutName(const testing::TestParamInfo<FoldLayout>& info) {
    std::string name =
        info.param.name() + "_" + std::string(FoldLayout::axisName(info.param.axis()));
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

class PanelMotion : public testing::TestWithParam<FoldLayout> {};

// Between random folds, from the flat sheet and back in a loop, every frame is a sound fold the
// model allows, the creases keep their order, the move starts and ends on its folds exactly, and
// no frame jumps: a crease moves at most a fifth of its way from one frame to the next.
TEST_P(PanelMotion, EveryFrameIsASoundFoldOfTheLayout) {
    const FoldLayout layout = GetParam();
    const FoldSize sheet{900, 500};
    const double length = layout.axis() == Axis::vertical ? sheet.width : sheet.height;
    for (int pair = 0; pair < kPairs; ++pair) {
        const FoldSnapshot start = pair % 3 == 0 ? randomFold(layout, sheet, 7u + pair, 0)
                                                 : randomFold(layout, sheet, 7u + pair, 60);
        const FoldSnapshot end = randomFold(layout, sheet, 1000u + pair, 40 + pair * 10);
        const FoldMotion::Timing timing{1.5, 20, pair % 2 == 1, pair % 4 < 2};
        const std::vector<FoldSnapshot> frames = FoldMotion::frames(sheet, start, end, timing);
        ASSERT_EQ(int(frames.size()), FoldMotion::frameCount(timing));
        EXPECT_EQ(frames.front(), start);
        if (!timing.loop) {
            EXPECT_EQ(frames.back(), end);
        }
        for (std::size_t f = 0; f < frames.size(); ++f) {
            const FoldSnapshot& frame = frames[f];
            std::ostringstream where;
            where << "pair " << pair << " frame " << f;
            ASSERT_EQ(frame.layout, layout) << where.str();
            ASSERT_TRUE(PanelFoldModel::isSound(frame.panelCreases, frame.panelProfile, length))
                << where.str();
            ASSERT_TRUE(std::is_sorted(frame.panelCreases.begin(), frame.panelCreases.end()))
                << where.str();
            ASSERT_TRUE(modelTakes(layout, sheet, frame)) << where.str();
            if (f == 0)
                continue;
            for (std::size_t i = 0; i < frame.panelCreases.size(); ++i) {
                const double way = std::abs(end.panelCreases[i] - start.panelCreases[i]);
                ASSERT_LE(std::abs(frame.panelCreases[i] - frames[f - 1].panelCreases[i]),
                          way / 5 + 1e-9)
                    << where.str() << " line " << i;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, PanelMotion, testing::ValuesIn(panelLayouts()), layoutName);

class BendingMotion : public testing::TestWithParam<FoldLayout> {};

// A loop turns on the end fold and comes back the way it went, whether the count is even or odd.
TEST_P(BendingMotion, ALoopTurnsOnTheEndFoldAndMirrorsItself) {
    const FoldLayout layout = GetParam();
    const FoldSize sheet{900, 500};
    const FoldSnapshot start = randomFold(layout, sheet, 11u, 60);
    const FoldSnapshot end = randomFold(layout, sheet, 12u, 80);
    for (const int count : {8, 9, 30, 31}) {
        const auto frames = FoldMotion::frames(sheet, start, end, {count / 10.0, 10, true});
        ASSERT_EQ(int(frames.size()), count);
        EXPECT_EQ(frames.front(), start);
        EXPECT_EQ(frames[std::size_t(count / 2)], end) << "count " << count;
        for (int i = 1; i < count; ++i)
            EXPECT_EQ(frames[std::size_t(i)], frames[std::size_t(count - i)])
                << "count " << count << " frame " << i;
    }
}

// Without a loop the move starts and ends on its folds exactly, eased or not.
TEST_P(BendingMotion, AMoveStartsAndEndsOnItsFoldsExactly) {
    const FoldLayout layout = GetParam();
    const FoldSize sheet{640, 880};
    for (const bool ease : {true, false}) {
        const FoldSnapshot start = randomFold(layout, sheet, 21u, 50);
        const FoldSnapshot end = randomFold(layout, sheet, 22u, 70);
        const auto frames = FoldMotion::frames(sheet, start, end, {1.2, 10, false, ease});
        EXPECT_EQ(frames.front(), start);
        EXPECT_EQ(frames.back(), end);
    }
}

// Uneased, the panels turn at one speed, so the steps are equal within 5%: at two degrees a peak
// rises within cos 2 (0.06%) of its panel's turn, but the sheet's edges slide in as the tents take
// up paper, by as much as 4% of a step on twelve panels. Eased, the fastest step, at the middle,
// is pi/2 of the uneased step there (sin(pi/60) x 30 makes it 0.1% less), and the first step
// about a twelfth of the uneased one.
TEST_P(BendingMotion, EasingSlowsTheEndsAndSpeedsTheMiddleByHalfPi) {
    const FoldLayout layout = GetParam();
    const FoldSize sheet{3000, 3000};
    const FoldSnapshot start = FoldSnapshot::take(PanelFoldModel(layout, sheet), 0.0f);
    const FoldSnapshot end = shallowFold(layout, sheet);
    const auto uniform = steps(FoldMotion::frames(sheet, start, end, {3.1, 10, false, false}));
    const auto eased = steps(FoldMotion::frames(sheet, start, end, {3.1, 10, false, true}));
    const auto [fewest, most] = std::minmax_element(uniform.begin(), uniform.end());
    ASSERT_GT(*most, 0.0);
    EXPECT_GT(*fewest / *most, 0.95);
    const double uniformStep = uniform[uniform.size() / 2];
    const double fastest = *std::max_element(eased.begin(), eased.end());
    EXPECT_NEAR(fastest / uniformStep, std::numbers::pi / 2, 0.03);
    EXPECT_LT(eased.front() / uniformStep, 0.15);
}

INSTANTIATE_TEST_SUITE_P(Layouts, BendingMotion, testing::ValuesIn(bendingLayouts()), layoutName);

} // namespace
