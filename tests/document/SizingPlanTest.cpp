// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/SizingPlan.h"
#include "document/Document.h"
#include "document/ExportPicture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct PlanCase {
    const char* name;
    QSize picture;
    FoldLayout layout;
};

ExportOptions scaled(int scale) {
    ExportOptions options;
    options.scale = scale;
    return options;
}

ExportOptions byWidth(int width) {
    ExportOptions options;
    options.scale = 0;
    options.pixelWidth = width;
    return options;
}

// The plan gives the numbers the sizing rules, the layout's window and the export options gave
// when each use worked them out on its own.
TEST(SizingPlanTest, GivesTheSizesEachUseWorkedOutBefore) {
    const SheetSizing sizing(FoldScreen{1080, {1920, 1050}}, 1.0);
    const FoldLayout horizontal = FoldLayout::accordion(12, FoldLayout::Axis::horizontal);
    const PlanCase cases[] = {
        {"classic", QSize(1054, 703), FoldLayout()},
        {"classic, large", QSize(6000, 4000), FoldLayout()},
        {"classic, tall", QSize(700, 2400), FoldLayout()},
        {"horizontal accordion", QSize(1054, 703), horizontal},
        {"horizontal accordion, large", QSize(6000, 4000), horizontal},
        {"horizontal z-fold", QSize(900, 1300),
         *FoldLayout::fromName("z-fold", FoldLayout::Axis::horizontal)},
    };
    for (const PlanCase& test : cases) {
        SCOPED_TRACE(test.name);
        const SizingPlan plan = SizingPlan::forPicture(sizing, test.picture, test.layout);
        const FoldSize sheet = sizing.displaySize(test.picture, test.layout);
        EXPECT_EQ(plan.sheet(), sheet);
        const FoldSize window = SheetSizing::windowSize(sheet, test.layout);
        const QSize windowPoints(int(window.width), int(window.height));
        EXPECT_EQ(plan.windowPoints(), windowPoints);
        for (const ExportOptions& options : {scaled(1), scaled(3), byWidth(5000), byWidth(160)}) {
            EXPECT_EQ(plan.exportPixels(options), options.pixelSize(windowPoints));
            const double pixelsPerPoint = ExportPicture::pixelsPerPoint(options, windowPoints);
            EXPECT_DOUBLE_EQ(plan.exportPixelsPerPoint(options), pixelsPerPoint);
            EXPECT_EQ(plan.exportDecodePixels(options),
                      QSize(int(std::ceil(sheet.width * pixelsPerPoint)),
                            int(std::ceil(sheet.height * pixelsPerPoint))));
        }
        // A document keeps its sheet and gives the same plan.
        const Document document(sheet, QUrl(), test.picture, test.layout);
        EXPECT_EQ(document.sizingPlan().windowPoints(), windowPoints);
        EXPECT_EQ(document.sizingPlan().sheet(), sheet);
    }
}

// Pinned numbers, so that a change to any of the rules the plan composes shows here.
TEST(SizingPlanTest, ClassicAndHorizontalAccordionKeepTheirSizes) {
    const SheetSizing sizing(FoldScreen{1080, {1920, 1050}}, 1.0);
    const SizingPlan classic = SizingPlan::forPicture(sizing, QSize(1054, 703), FoldLayout());
    EXPECT_EQ(classic.windowPoints(), QSize(1577, 878));
    EXPECT_EQ(classic.exportPixels(scaled(2)), QSize(2 * 1577, 2 * 878));
    const SizingPlan horizontal = SizingPlan::forPicture(
        sizing, QSize(1054, 703), FoldLayout::accordion(12, FoldLayout::Axis::horizontal));
    EXPECT_EQ(horizontal.windowPoints(), QSize(1319, 1050));
}

} // namespace
