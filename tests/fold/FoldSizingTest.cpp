// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fold/FoldModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

namespace {

// A screen of that height, wide enough for every sheet of the table.
FoldScreen wideScreen(double height) {
    return {height, {1920, height}};
}

struct SizingCase {
    FoldSize pixels;
    std::optional<FoldScreen> screen;
    FoldSize display;
    FoldSize window;
};

class DisplaySize : public testing::TestWithParam<SizingCase> {};

TEST_P(DisplaySize, FollowsTheSizingRulesAndWindowFactors) {
    const SizingCase& c = GetParam();
    const FoldSize display = FoldModel::sheetSizeForPicture(c.pixels, c.screen);
    EXPECT_NEAR(display.width, c.display.width, 1e-4);
    EXPECT_NEAR(display.height, c.display.height, 1e-4);
    const FoldSize window = FoldModel::windowSizeForSheet(display);
    EXPECT_NEAR(window.width, c.window.width, 1e-4);
    EXPECT_NEAR(window.height, c.window.height, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DisplaySize,
    testing::Values(
        SizingCase{{640, 480}, wideScreen(1080), {640, 480}, {957.8643, 600}},
        SizingCase{{256, 192}, wideScreen(900), {256, 192}, {383.1457, 240}},
        SizingCase{{200, 150}, wideScreen(900), {256, 192}, {383.1457, 240}}, // widened to 256
        SizingCase{
            {1000, 200}, wideScreen(900), {900, 225}, {1346.9967, 281.25}}, // reshaped to 4 : 1
        SizingCase{
            {3000, 2000}, wideScreen(900), {1053.6, 702.4}, {1576.8842, 878}}, // height limit
        SizingCase{
            {100, 1000}, wideScreen(900), {256, 702.4}, {383.1457, 878}}, // 0.26, limit, widened
        SizingCase{
            {3000, 2000}, std::nullopt, {3000, 2000}, {4489.9889, 2500}}, // no screen: no limit
        SizingCase{
            {3000, 2000}, FoldScreen{10, {}}, {3000, 2000}, {4489.9889, 2500}}, // no height left
        SizingCase{{0, 0}, wideScreen(900), {256, 256}, {383.1457, 320}}, // sized as one pixel
        SizingCase{{0, 100}, wideScreen(900), {256, 702.4}, {383.1457, 878}}),
    [](const testing::TestParamInfo<SizingCase>& info) {
        const SizingCase& c = info.param;
        return "Pixels" + std::to_string(int(c.pixels.width)) + "x" +
               std::to_string(int(c.pixels.height)) +
               (c.screen ? "Screen" + std::to_string(int(c.screen->frameHeight)) : "NoScreen");
    });

TEST(WindowFit, LongStripOpensNoWiderThanTheScreen) {
    const FoldScreen screen{1080, {1920, 1080}};
    const FoldSize display = FoldModel::sheetSizeForPicture({20000, 1}, screen);
    const FoldSize window = FoldModel::windowSizeForSheet(display);
    EXPECT_NEAR(window.width, 1920, 1e-6);
    EXPECT_LE(window.height, 1080);
    EXPECT_NEAR(display.width / display.height, 4.0, 1e-9); // still reshaped to 4 : 1
}

TEST(WindowFit, SheetsThatFitKeepTheSizesOfTheRules) {
    const FoldScreen screen{900, {1440, 900}};
    for (const FoldSize pixels : {FoldSize{640, 480}, FoldSize{100, 1000}, FoldSize{900, 225}}) {
        const FoldSize fitted = FoldModel::sheetSizeForPicture(pixels, screen);
        const FoldSize ruled =
            FoldModel::sheetSizeForPicture(pixels, wideScreen(screen.frameHeight));
        EXPECT_EQ(fitted.width, ruled.width);
        EXPECT_EQ(fitted.height, ruled.height);
    }
    // 3000 x 2000 by the height rule alone opens 1576.9 points wide: too wide for 1440.
    const FoldSize fitted = FoldModel::sheetSizeForPicture({3000, 2000}, screen);
    EXPECT_NEAR(FoldModel::windowSizeForSheet(fitted).width, 1440, 1e-6);
    EXPECT_NEAR(fitted.width / fitted.height, 1.5, 1e-9);
}

TEST(WindowFit, TallerThanTheAvailableHeightShrinksToIt) {
    // A panel taller than the rule's 22 points leaves less than the rule expects.
    const FoldScreen screen{1080, {1920, 1000}};
    const FoldSize fitted = FoldModel::sheetSizeForPicture({3000, 3000}, screen);
    EXPECT_NEAR(FoldModel::windowSizeForSheet(fitted).height, 1000, 1e-6);
    EXPECT_NEAR(fitted.width, fitted.height, 1e-9);
}

TEST(InitialLayout, SmallSheetCreasesAndFoldParameters) {
    const FoldModel model({256, 192});
    const std::array<float, 7> creases{0.0f, 38.4f, 76.8f, 128.0f, 179.2f, 217.6f, 256.0f};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(model.creases()[i], creases[i]) << "crease " << i;
        EXPECT_EQ(model.profile()[i].x, double(creases[i])) << "vertex " << i;
        EXPECT_EQ(model.profile()[i].y, 0.0) << "vertex " << i;
    }
    EXPECT_FLOAT_EQ(model.parameters().minimumSpaceMiddle, 15.0f);
    EXPECT_FLOAT_EQ(model.parameters().minimumSpaceFoot, 22.5f);
    EXPECT_FLOAT_EQ(model.parameters().minimumSpaceSide, 22.5f);
    EXPECT_FLOAT_EQ(model.parameters().maximumPeakHeight, 48.0f);
    EXPECT_NEAR(model.parameters().maximumPeakSlopeInside, std::cos(65.142 * M_PI / 180), 2e-5);
    EXPECT_NEAR(model.parameters().maximumPeakSlopeInside, 0.42037, 5e-6);
    EXPECT_NEAR(model.parameters().maximumPeakSlopeOutside, 0.65935, 5e-6);
    EXPECT_EQ(model.leftDirection(), 1.0f);
    EXPECT_EQ(model.rightDirection(), 1.0f);
}

TEST(InitialLayout, AngleCoefficientsFollowTheAspect) {
    const FoldModel wide({900, 225});
    EXPECT_NEAR(wide.parameters().maximumPeakSlopeInside, 0.64948, 5e-6);
    EXPECT_NEAR(wide.parameters().maximumPeakSlopeOutside, 0.96005, 5e-6);
    // Both angles capped at 85 degrees.
    const FoldModel tall({256, 702.4});
    EXPECT_NEAR(tall.parameters().maximumPeakSlopeInside, 0.087156, 5e-7);
    EXPECT_NEAR(tall.parameters().maximumPeakSlopeOutside, 0.087156, 5e-7);
}

TEST(InitialLayout, DegenerateSheetsGiveFiniteParameters) {
    for (const FoldSize size : {FoldSize{0, 0}, FoldSize{256, 0}}) {
        const FoldModel model(size);
        for (const float value :
             {model.parameters().maximumPeakSlopeInside, model.parameters().maximumPeakSlopeOutside,
              model.parameters().minimumSpaceMiddle, model.parameters().maximumPeakHeight})
            EXPECT_TRUE(std::isfinite(value));
        for (const StepBounds& bounds : model.limits())
            for (const FoldPoint& b : {bounds.lower, bounds.upper})
                EXPECT_TRUE(std::isfinite(b.x) && std::isfinite(b.y));
    }
}

} // namespace
