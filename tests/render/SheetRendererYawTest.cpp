// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "RenderTestSupport.h"
#include "render/SheetRenderer.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

namespace {

const QSizeF exampleSheet(800, 600);

struct Sheet {
    const char* name;
    std::optional<ClassicFold> classic; // else a flat accordion
    FoldLayout::Axis axis;              // the yaw turns about it on the screen
    bool symmetric;                     // the same sheet seen from either side
};

// A renderer showing the sheet at the tilt and yaw, shaded so that the facets' normals count.
std::unique_ptr<SheetRenderer> shown(const Sheet& sheet, float pitch, float yaw) {
    std::unique_ptr<SheetRenderer> view = sheet.classic
                                              ? SheetRenderer::create(windowSize(exampleSheet), 1.0)
                                              : flatAccordionView(exampleSheet, sheet.axis);
    if (!view)
        return view;
    if (sheet.classic)
        pushFold(*view, *sheet.classic);
    EXPECT_TRUE(view->setImage(quadrantImage(QSize(800, 600), QImage::Format_RGB32)));
    view->setShading(0.5f);
    view->setPitch(pitch);
    if (yaw != 0.0f)
        view->setYaw(yaw);
    view->display();
    return view;
}

class YawTest : public ::testing::TestWithParam<Sheet> {};

// A renderer turned and turned back draws, to the bit, what one never turned draws.
TEST_P(YawTest, YawZeroDrawsAsWithoutAnyYaw) {
    for (const float pitch : {0.0f, 20.0f, -35.0f}) {
        std::unique_ptr<SheetRenderer> untouched = shown(GetParam(), pitch, 0);
        std::unique_ptr<SheetRenderer> view = shown(GetParam(), pitch, 25);
        ASSERT_TRUE(untouched && view);
        const QImage turned = view->captureFrame();
        view->setYaw(0);
        view->display();
        EXPECT_NE(turned, untouched->captureFrame()) << "pitch " << pitch;
        EXPECT_EQ(view->captureFrame(), untouched->captureFrame()) << "pitch " << pitch;
        EXPECT_EQ(view->lineEndPoints(), untouched->lineEndPoints()) << "pitch " << pitch;
    }
}

// Seen from further round, the sheet shows narrower across the turn axis; a symmetric sheet
// turned the other way is the mirror image about the frame's centre.
TEST_P(YawTest, OutlineNarrowsWithYawAndMirrorsForTheOtherWay) {
    const Sheet& sheet = GetParam();
    const bool vertical = sheet.axis == FoldLayout::Axis::vertical;
    const auto across = [&](float yaw) {
        std::unique_ptr<SheetRenderer> view = shown(sheet, 0, yaw);
        const QImage frame = view ? view->captureFrame() : QImage();
        const CoveredExtent extent = coveredExtent(frame);
        const int size = vertical ? frame.width() : frame.height();
        return vertical ? std::tuple(extent.minX, extent.maxX, size)
                        : std::tuple(extent.minY, extent.maxY, size);
    };
    int lastSpan = std::numeric_limits<int>::max();
    for (const float yaw : {0.0f, 15.0f, 30.0f, 45.0f, 60.0f}) {
        SCOPED_TRACE(testing::Message() << "yaw " << yaw);
        const auto [low, high, size] = across(yaw);
        const auto [mirroredLow, mirroredHigh, mirroredSize] = across(-yaw);
        ASSERT_GT(high, low);
        EXPECT_LT(high - low, lastSpan);
        lastSpan = high - low;
        if (sheet.symmetric) {
            EXPECT_NEAR(low, size - 1 - mirroredHigh, 1);
            EXPECT_NEAR(high, size - 1 - mirroredLow, 1);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, YawTest,
    ::testing::Values(
        Sheet{"classicTents", tentFold(exampleSheet, 70, 1, 50, -1), FoldLayout::Axis::vertical,
              false},
        Sheet{"classicFlat", flatFold(exampleSheet), FoldLayout::Axis::vertical, true},
        Sheet{"verticalAccordion", std::nullopt, FoldLayout::Axis::vertical, true},
        Sheet{"horizontalAccordion", std::nullopt, FoldLayout::Axis::horizontal, true}),
    [](const ::testing::TestParamInfo<Sheet>& info) { return std::string(info.param.name); });

} // namespace
