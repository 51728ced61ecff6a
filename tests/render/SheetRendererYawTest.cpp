// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "RenderTestSupport.h"
#include "fold/FoldWindowSize.h"
#include "render/SheetRenderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

const QSizeF exampleSheet(800, 600);

struct Sheet {
    const char* name;
    std::function<std::unique_ptr<SheetRenderer>()> make;
    // Vertical creases turn about the screen's vertical axis, so the outline narrows across it.
    bool vertical;
    bool symmetric; // the same sheet seen from either side
    FoldLayout layout;
};

const std::vector<Sheet> sheets = {
    {"classicTents",
     [] {
         auto view = SheetRenderer::create(windowSize(exampleSheet), 1.0);
         if (view)
             pushFold(*view, tentFold(exampleSheet, 70, 1, 50, -1));
         return view;
     },
     true, false, FoldLayout()},
    {"classicFlat",
     [] {
         auto view = SheetRenderer::create(windowSize(exampleSheet), 1.0);
         if (view)
             pushFold(*view, flatFold(exampleSheet));
         return view;
     },
     true, true, FoldLayout()},
    {"verticalAccordion",
     [] { return flatAccordionView(exampleSheet, FoldLayout::Axis::vertical); }, true, true,
     FoldLayout::accordion(5, FoldLayout::Axis::vertical)},
    {"horizontalAccordion",
     [] { return flatAccordionView(exampleSheet, FoldLayout::Axis::horizontal); }, false, true,
     FoldLayout::accordion(5, FoldLayout::Axis::horizontal)},
};

struct Drawn {
    QImage frame;
    LineEndPoints endPoints;
    int lineCount = 0;
};

// turnedWindow: the window a turned document has, which holds the sheet at every yaw.
Drawn draw(const Sheet& sheet, float pitch, std::optional<float> yaw, float shading = 0.5f,
           bool turnedWindow = false) {
    std::unique_ptr<SheetRenderer> view = sheet.make();
    EXPECT_TRUE(view);
    if (!view)
        return {};
    if (turnedWindow) {
        const FoldSize window = FoldWindowSize::forSheet(
            sheet.layout, {exampleSheet.width(), exampleSheet.height()}, {60, 60});
        EXPECT_TRUE(view->resize(QSizeF(window.width, window.height)));
    }
    EXPECT_TRUE(view->setImage(quadrantImage(QSize(800, 600), QImage::Format_RGB32)));
    view->setShading(shading);
    view->setPitch(pitch);
    if (yaw)
        view->setYaw(*yaw);
    view->display();
    return {view->captureFrame(), view->lineEndPoints(), view->lineCount()};
}

// The extent of the sheet across the axis it turns about, and where it starts.
std::pair<int, int> acrossTurnAxis(const QImage& frame, bool vertical) {
    const CoveredExtent extent = coveredExtent(frame);
    return vertical ? std::pair(extent.minX, extent.maxX) : std::pair(extent.minY, extent.maxY);
}

class YawTest : public ::testing::TestWithParam<Sheet> {};

// A renderer turned and turned back draws, to the bit, what one never turned draws.
TEST_P(YawTest, YawZeroDrawsAsWithoutAnyYaw) {
    const Sheet& sheet = GetParam();
    for (const float pitch : {0.0f, 20.0f, -35.0f}) {
        const Drawn untouched = draw(sheet, pitch, std::nullopt);
        std::unique_ptr<SheetRenderer> view = sheet.make();
        ASSERT_TRUE(view);
        ASSERT_TRUE(view->setImage(quadrantImage(QSize(800, 600), QImage::Format_RGB32)));
        view->setShading(0.5f);
        view->setPitch(pitch);
        view->setYaw(25);
        view->display();
        const QImage turned = view->captureFrame();
        view->setYaw(0);
        view->display();
        EXPECT_NE(turned, untouched.frame) << "pitch " << pitch;
        EXPECT_EQ(view->captureFrame(), untouched.frame) << "pitch " << pitch;
        EXPECT_EQ(view->lineEndPoints(), untouched.endPoints) << "pitch " << pitch;
    }
}

// Seen from further round, the sheet shows narrower across the turn axis; a symmetric sheet
// turned the other way is the mirror image about the frame's centre.
TEST_P(YawTest, OutlineNarrowsWithYawAndMirrorsForTheOtherWay) {
    const Sheet& sheet = GetParam();
    int lastSpan = std::numeric_limits<int>::max();
    for (const float yaw : {0.0f, 15.0f, 30.0f, 45.0f, 60.0f}) {
        SCOPED_TRACE(testing::Message() << "yaw " << yaw);
        const Drawn positive = draw(sheet, 0, yaw, 0);
        const Drawn negative = draw(sheet, 0, -yaw, 0);
        const auto [low, high] = acrossTurnAxis(positive.frame, sheet.vertical);
        const auto [mirroredLow, mirroredHigh] = acrossTurnAxis(negative.frame, sheet.vertical);
        const int size = sheet.vertical ? positive.frame.width() : positive.frame.height();
        ASSERT_GT(high, low);
        EXPECT_LT(high - low, lastSpan);
        lastSpan = high - low;
        if (!sheet.symmetric)
            continue;
        EXPECT_NEAR(low, size - 1 - mirroredHigh, 1);
        EXPECT_NEAR(high, size - 1 - mirroredLow, 1);
    }
}

// In the window a turned document has, every line's ends, projected when turned, lie on the
// sheet's drawn outline: the lines reach a point past the edge, so within a few pixels of it.
TEST_P(YawTest, TurnedEndPointsLieOnTheSheet) {
    const Sheet& sheet = GetParam();
    for (const float yaw : {-35.0f, 35.0f}) {
        const Drawn drawn = draw(sheet, 15, yaw, 0, true);
        ASSERT_GT(drawn.lineCount, 0);
        for (int line = 0; line < drawn.lineCount; ++line) {
            for (const QPointF& end : drawn.endPoints[line]) {
                bool covered = false;
                for (int dx = -3; dx <= 3; ++dx)
                    for (int dy = -3; dy <= 3; ++dy)
                        covered |=
                            framePixel(drawn.frame, int(end.x()) + dx, int(end.y()) + dy).alpha() >
                            0;
                EXPECT_TRUE(covered)
                    << "yaw " << yaw << ", line " << line << " at " << end.x() << ", " << end.y();
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sheets, YawTest, ::testing::ValuesIn(sheets),
                         [](const ::testing::TestParamInfo<Sheet>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
