// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelDragGenerator.h"
#include "fold/PanelFoldModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

using Axis = FoldLayout::Axis;
using LineKind = PanelFoldModel::LineKind;

// Far tighter than the half point the paper may stretch by: the profile is built to keep it.
constexpr double kLengthTolerance = 1e-6;
constexpr double kTolerance = 1e-9;
constexpr int kSequences = 250;
constexpr int kStepsPerSequence = 48; // 12,000 steps per layout

testing::AssertionResult failure(const std::string& what, int index) {
    return testing::AssertionFailure() << what << " (line " << index << ")";
}

testing::AssertionResult creasesAreSound(const PanelFoldModel& m) {
    const auto& c = m.creases();
    const double length =
        m.layout().axis() == Axis::vertical ? m.sheetSize().width : m.sheetSize().height;
    if (c.front() != 0.0 || c.back() != length)
        return failure("sheet edge moved along the paper", 0);
    for (int i = 0; i + 1 < m.lineCount(); ++i) {
        if (!std::isfinite(c[i]) || c[i + 1] - c[i] < m.limits().shortestPanel() - kTolerance)
            return failure("panel shorter than the shortest", i);
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult panelIsSound(const PanelFoldModel& m, int i) {
    const FoldPoint a = m.profile()[i];
    const FoldPoint b = m.profile()[i + 1];
    const double paper = m.creases()[i + 1] - m.creases()[i];
    if (!std::isfinite(a.x) || !std::isfinite(a.y))
        return failure("non-finite vertex", i);
    if (std::abs(std::hypot(b.x - a.x, b.y - a.y) - paper) > kLengthTolerance)
        return failure("panel stretched: " + std::to_string(std::hypot(b.x - a.x, b.y - a.y)) +
                           " vs " + std::to_string(paper),
                       i);
    if (b.x - a.x < m.limits().slopeFactor() * paper - kLengthTolerance)
        return failure("panel steeper than the steepest angle", i);
    return testing::AssertionSuccess();
}

testing::AssertionResult profileIsSound(const PanelFoldModel& m) {
    const auto& p = m.profile();
    for (int i = 0; i + 1 < m.lineCount(); ++i) {
        if (const testing::AssertionResult panel = panelIsSound(m, i); !panel)
            return panel;
    }
    for (int i = 0; i < m.lineCount(); ++i) {
        if (std::abs(p[i].y) > m.limits().highestPoint() + kTolerance)
            return failure("vertex above the highest point", i);
        const bool onThePlane = m.lineKind(i) == LineKind::crease || i == 0;
        if (onThePlane && p[i].y != 0.0)
            return failure("foot or valley off the sheet's plane", i);
    }
    if (p.front().x < -kTolerance || p.back().x > m.length() + kTolerance)
        return failure("edge beyond the flat sheet's", 0);
    return testing::AssertionSuccess();
}

std::string describe(int sequence, int step, const Drag& drag) {
    std::ostringstream text;
    text << "sequence " << sequence << " step " << step << ": line " << drag.line << " move ("
         << drag.move.x << ", " << drag.move.y << ") pitch " << drag.pitch;
    return text.str();
}

// Sheets of many shapes, the 256-point narrowest sheet among them.
FoldSize sheetFor(int sequence) {
    constexpr FoldSize sizes[] = {
        {1000, 500}, {256, 192}, {900, 225}, {256, 702.4}, {957.3, 300.1}};
    return sizes[sequence % std::size(sizes)];
}

std::vector<FoldLayout> everyLayout() {
    std::vector<FoldLayout> layouts = FoldLayout::presets(Axis::vertical);
    for (const FoldLayout& layout : FoldLayout::presets(Axis::horizontal))
        layouts.push_back(layout);
    std::erase_if(layouts, [](const FoldLayout& layout) { return layout.isHinged(); });
    return layouts;
}

std::string layoutName(const testing::TestParamInfo<FoldLayout>& info) {
    std::string name =
        info.param.name() + "_" + std::string(FoldLayout::axisName(info.param.axis()));
    for (char& c : name) {
        if (c == '-')
            c = '_';
    }
    return name;
}

// The layouts that fold by bending panels.
std::vector<FoldLayout> bendingLayouts() {
    std::vector<FoldLayout> layouts = everyLayout();
    std::erase_if(layouts, [](const FoldLayout& layout) { return layout.isHinged(); });
    return layouts;
}

class PanelRandomDrags : public testing::TestWithParam<FoldLayout> {};

// Every step keeps the fold sound, applies no more than was asked, and moves the dragged line
// with the pointer by the part it reports applied. The steps reach the limits: many apply only
// part of their move.
TEST_P(PanelRandomDrags, KeepTheFoldSound) {
    const FoldLayout layout = GetParam();
    int applied = 0;
    int cut = 0;
    for (int sequence = 0; sequence < kSequences; ++sequence) {
        PanelFoldModel model(layout, sheetFor(sequence));
        PanelDragGenerator drags(20261208u + sequence, model.lineCount(), model.length());
        for (int step = 0; step < kStepsPerSequence; ++step) {
            const Drag drag = drags.next();
            const int line = static_cast<int>(drag.line);
            const double before = model.profile()[line].x;
            const FoldPoint part = model.moveLine(line, drag.move, drag.pitch);
            ASSERT_LE(std::abs(part.x), std::abs(drag.move.x) + kTolerance)
                << describe(sequence, step, drag);
            ASSERT_LE(std::abs(part.y), std::abs(drag.move.y) + kTolerance)
                << describe(sequence, step, drag);
            if (part.y == 0.0) {
                ASSERT_NEAR(model.profile()[line].x - before, part.x, kLengthTolerance)
                    << describe(sequence, step, drag);
            }
            ASSERT_TRUE(creasesAreSound(model)) << describe(sequence, step, drag);
            ASSERT_TRUE(profileIsSound(model)) << describe(sequence, step, drag);
            applied += part != FoldPoint{};
            cut += std::abs(part.x) + std::abs(part.y) + 1.0 <
                   std::abs(drag.move.x) + std::abs(drag.move.y);
        }
    }
    EXPECT_GT(applied, kSequences * kStepsPerSequence / 4);
    EXPECT_GT(cut, kSequences * kStepsPerSequence / 4);
}

INSTANTIATE_TEST_SUITE_P(Layouts, PanelRandomDrags, testing::ValuesIn(everyLayout()), layoutName);

class PanelPresentationPose : public testing::TestWithParam<FoldLayout> {};

// From the flat sheet or from random drags, on sheets of many shapes: the pose is a sound fold
// within the limits that the model takes back as it is, with the creases where they were, every
// tent and free end raised toward the viewer, the fold in the sheet's middle, and as much paper
// left to take up as the pose took.
TEST_P(PanelPresentationPose, IsASoundFoldHalfwayToItsLimits) {
    const FoldLayout layout = GetParam();
    for (int sequence = 0; sequence < 10; ++sequence) {
        SCOPED_TRACE(testing::Message() << "sequence " << sequence);
        PanelFoldModel model(layout, sheetFor(sequence));
        PanelDragGenerator drags(20261210u + sequence, model.lineCount(), model.length());
        for (int step = 0; step < (sequence % 2) * 40; ++step) {
            const Drag drag = drags.next();
            model.moveLine(static_cast<int>(drag.line), drag.move, drag.pitch);
        }
        const std::vector<double> creases = model.creases();
        model.presentationPose();
        ASSERT_TRUE(creasesAreSound(model));
        ASSERT_TRUE(profileIsSound(model));
        EXPECT_TRUE(PanelFoldModel::isSound(model.creases(), model.profile(), model.length()));
        EXPECT_EQ(model.creases(), creases);

        PanelFoldModel restored(layout, model.sheetSize());
        ASSERT_TRUE(restored.restore(model.creases(), model.profile()));
        for (int i = 0; i < model.lineCount(); ++i) {
            EXPECT_NEAR(restored.profile()[i].x, model.profile()[i].x, kLengthTolerance);
            EXPECT_NEAR(restored.profile()[i].y, model.profile()[i].y, kLengthTolerance);
            if (model.lineKind(i) == LineKind::peak) {
                EXPECT_GT(model.profile()[i].y, 0.0) << "line " << i;
            }
        }
        const bool freeEnd =
            layout.shape() == FoldLayout::Shape::accordion && layout.panelCount() % 2 == 1;
        EXPECT_EQ(model.profile().back().y > 0.0, freeEnd);

        const FoldPoint first = model.profile().front();
        const FoldPoint last = model.profile().back();
        const double taken = model.length() - (last.x - first.x);
        EXPECT_GT(taken, kLengthTolerance);
        EXPECT_NEAR(first.x, model.length() - last.x, kLengthTolerance);
        EXPECT_NEAR(model.moveLine(0, {model.length(), 0.0}, 0.0f).x, taken, kLengthTolerance);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, PanelPresentationPose, testing::ValuesIn(bendingLayouts()),
                         layoutName);

} // namespace
