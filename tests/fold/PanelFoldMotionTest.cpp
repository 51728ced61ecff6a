// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelDragGenerator.h"
#include "fold/FoldMotion.h"
#include "fold/PanelFoldModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

INSTANTIATE_TEST_SUITE_P(Layouts, PanelMotion, testing::ValuesIn(panelLayouts()),
                         [](const testing::TestParamInfo<FoldLayout>& info) {
                             std::string name =
                                 info.param.name() + "_" +
                                 std::string(FoldLayout::axisName(info.param.axis()));
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
