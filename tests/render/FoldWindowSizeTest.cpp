// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/FoldWindowSize.h"
#include "RenderTestSupport.h"
#include "fold/PanelFoldModel.h"
#include "fold/SheetFold.h"
#include "render/SheetRenderer.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

namespace {

using Axis = FoldLayout::Axis;

constexpr double largestPitch = 60;

// Every line pushed and raised as far as the limits let it, toward the viewer or away.
PanelFoldModel pushedToTheLimits(const FoldLayout& layout, FoldSize sheet, double side) {
    PanelFoldModel fold(layout, sheet);
    const double reach = fold.length();
    const int last = fold.lineCount() - 1;
    for (int round = 0; round < 4; ++round) {
        fold.moveLine(0, {reach, side * reach}, 0);
        fold.moveLine(last, {-reach, side * reach}, 0);
        for (int line = 1; line < last; ++line)
            fold.moveLine(line, {0, side * reach}, 0);
    }
    return fold;
}

SheetFold sheetFoldOf(const PanelFoldModel& model) {
    SheetFold fold(model.layout(), model.sheetSize());
    fold.restore(FoldSnapshot::take(model, 0));
    return fold;
}

// The poses to show: the extremes (for hinged panels each crease folded either way as far as it
// goes, and the layout's own poses) and some met on a random walk of drag steps.
std::vector<SheetFold> poses(const FoldLayout& layout, FoldSize sheet) {
    std::vector<SheetFold> poses;
    if (layout.isHinged()) {
        for (const HingedFold::Pose pose :
             {HingedFold::Pose::presentation, HingedFold::Pose::closed}) {
            poses.emplace_back(layout, sheet);
            poses.back().setPose(pose);
        }
        for (const double side : {1.0, -1.0}) {
            SheetFold fold(layout, sheet);
            for (int line = 0; line < fold.lineCount(); ++line)
                fold.moveLine(line, {side * fold.sheetSize().width, 0}, 0);
            poses.push_back(fold);
        }
    } else {
        poses = {sheetFoldOf(pushedToTheLimits(layout, sheet, 1)),
                 sheetFoldOf(pushedToTheLimits(layout, sheet, -1))};
    }
    std::mt19937 random(20);
    std::uniform_real_distribution<double> step(-40, 40);
    SheetFold fold(layout, sheet);
    std::uniform_int_distribution<int> line(0, fold.lineCount() - 1);
    for (int i = 1; i <= 600; ++i) {
        fold.moveLine(line(random), {step(random), step(random)}, 0);
        if (i % 300 == 0)
            poses.push_back(fold);
    }
    return poses;
}

class LayoutWindows : public testing::TestWithParam<FoldLayout> {};

// The frame's outermost pixels stay clear: the whole sheet shows, at any pose and tilt.
TEST_P(LayoutWindows, HoldTheFoldAtEveryPoseAndTilt) {
    const FoldLayout layout = GetParam();
    for (const FoldSize sheet : {FoldSize{300, 200}, FoldSize{200, 320}}) {
        const FoldSize window = FoldWindowSize::forSheet(layout, sheet, {largestPitch});
        const FoldSize classic = FoldWindowSize::forSheet(FoldLayout(), sheet, {largestPitch});
        EXPECT_GE(window.width, classic.width);
        EXPECT_GE(window.height, classic.height);
        std::unique_ptr<SheetRenderer> view =
            SheetRenderer::create(QSizeF(window.width, window.height), 1.0);
        ASSERT_TRUE(view);
        view->setImageSize(QSizeF(sheet.width, sheet.height));
        QImage grey(int(sheet.width), int(sheet.height), QImage::Format_RGB32);
        grey.fill(qRgb(200, 200, 200));
        ASSERT_TRUE(view->setImage(grey));
        for (const SheetFold& fold : poses(layout, sheet)) {
            view->setFold(fold);
            for (float pitch : {-60.0f, -30.0f, 0.0f, 30.0f, 60.0f}) {
                view->setPitch(pitch);
                view->display();
                const QImage frame = view->captureFrame();
                const CoveredExtent covered = coveredExtent(frame);
                SCOPED_TRACE(testing::Message()
                             << sheet.width << " x " << sheet.height << " at pitch " << pitch);
                EXPECT_GT(covered.minX, 0);
                EXPECT_GT(covered.minY, 0);
                EXPECT_LT(covered.maxX, frame.width() - 1);
                EXPECT_LT(covered.maxY, frame.height() - 1);
            }
        }
    }
}

std::vector<FoldLayout> everyLayoutButTheClassic() {
    std::vector<FoldLayout> layouts;
    for (Axis axis : {Axis::vertical, Axis::horizontal})
        for (const FoldLayout& layout : FoldLayout::presets(axis))
            if (!layout.isClassic())
                layouts.push_back(layout);
    return layouts;
}

INSTANTIATE_TEST_SUITE_P(EveryPreset, LayoutWindows, testing::ValuesIn(everyLayoutButTheClassic()),
                         [](const testing::TestParamInfo<FoldLayout>& info) {
                             std::string name =
                                 info.param.name() + "_" +
                                 std::string(FoldLayout::axisName(info.param.axis()));
                             for (char& c : name)
                                 if (c == '-')
                                     c = '_';
                             return name;
                         });

// A picture sized for a layout opens in a window that fits the screen's free area.
TEST(FoldWindowSizeTest, TheSheetShrinksUntilItsWindowFitsTheScreen) {
    const FoldScreen screen{1080, {1920, 1050}};
    for (Axis axis : {Axis::vertical, Axis::horizontal}) {
        for (const FoldLayout& layout : FoldLayout::presets(axis)) {
            for (const FoldSize pixels : {FoldSize{4000, 3000}, FoldSize{1200, 4000}}) {
                const FoldSize sheet =
                    FoldWindowSize::sheetForPicture(layout, pixels, screen, {largestPitch});
                const FoldSize window = FoldWindowSize::forSheet(layout, sheet, {largestPitch});
                EXPECT_LE(window.width, 1920.5) << layout.name();
                EXPECT_LE(window.height, 1050.5) << layout.name();
                EXPECT_NEAR(sheet.width / sheet.height, pixels.width / pixels.height, 0.01);
            }
        }
    }
}

} // namespace
