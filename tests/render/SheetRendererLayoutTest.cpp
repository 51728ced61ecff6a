// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "RenderTestSupport.h"
#include "fold/PanelFoldModel.h"
#include "render/SheetRenderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using Axis = FoldLayout::Axis;

const QSizeF exampleSheet(800, 600);

// The shading tells facets apart; a tilt turning the sheet's plane away from the light keeps
// flat margins from showing the picture as brightly as slopes turned toward it.
float tiltAwayFromTheLight(Axis axis) {
    return axis == Axis::vertical ? -30.0f : 15.0f;
}

struct GreyRun {
    int grey;
    int start;
    int length;
};

// The runs of one grey along the frame's middle line across the creases, leaving out slivers
// of a pixel or two where a crease's edge rasterises; pixels not covered end a run.
std::vector<GreyRun> greyRuns(const QImage& frame, Axis axis) {
    const int extent = axis == Axis::vertical ? frame.width() : frame.height();
    std::vector<GreyRun> runs;
    for (int i = 0; i < extent; ++i) {
        // Across vertical creases left to right; across horizontal ones from the top down.
        const QColor colour = axis == Axis::vertical
                                  ? framePixel(frame, i, frame.height() / 2)
                                  : framePixel(frame, frame.width() / 2, frame.height() - 1 - i);
        const int grey = colour.alpha() == 255 ? colour.red() : -1;
        if (!runs.empty() && runs.back().grey == grey)
            ++runs.back().length;
        else
            runs.push_back({grey, i, 1});
    }
    std::vector<GreyRun> facets;
    for (const GreyRun& run : runs) {
        if (run.grey < 0 || run.length < 3)
            continue;
        if (!facets.empty() && facets.back().grey == run.grey)
            facets.back().length = run.start + run.length - facets.back().start;
        else
            facets.push_back(run);
    }
    return facets;
}

// Where a found line crosses the middle line, counted as greyRuns counts.
double crossing(const SheetRenderer& view, int line, QSize frame, Axis axis) {
    const QPointF a = view.endPoint(line, LineEnd::Top);
    const QPointF b = view.endPoint(line, LineEnd::Bottom);
    if (axis == Axis::vertical) {
        const double t = (frame.height() / 2 - a.y()) / (b.y() - a.y());
        return a.x() + t * (b.x() - a.x());
    }
    const double t = (frame.width() / 2 - a.x()) / (b.x() - a.x());
    return frame.height() - 1 - (a.y() + t * (b.y() - a.y()));
}

bool coveredNear(const QImage& frame, QPointF point, int reach) {
    for (int dx = -reach; dx <= reach; ++dx) {
        for (int dy = -reach; dy <= reach; ++dy) {
            const int x = int(std::lround(point.x())) + dx;
            const int y = int(std::lround(point.y())) + dy;
            if (x >= 0 && y >= 0 && x < frame.width() && y < frame.height() &&
                framePixel(frame, x, y).alpha() > 0)
                return true;
        }
    }
    return false;
}

bool onTheFramesBorder(const QImage& frame, QPointF point) {
    return point.x() < 1 || point.y() < 1 || point.x() > frame.width() - 2 ||
           point.y() > frame.height() - 2;
}

// Each end found lies on the sheet, at its edge: a few points further along the line the frame
// is empty, unless the line runs out of the frame.
void expectEndsAtTheSheetsEdges(const SheetRenderer& view, const QImage& frame) {
    for (int line = 0; line < view.lineCount(); ++line) {
        const QPointF top = view.endPoint(line, LineEnd::Top);
        const QPointF bottom = view.endPoint(line, LineEnd::Bottom);
        const QPointF outward =
            (top - bottom) / std::hypot(top.x() - bottom.x(), top.y() - bottom.y());
        for (const auto& [end, away] : {std::pair{top, outward}, std::pair{bottom, -outward}}) {
            SCOPED_TRACE(testing::Message()
                         << "line " << line << " end " << end.x() << ", " << end.y());
            EXPECT_TRUE(coveredNear(frame, end, 2));
            if (!onTheFramesBorder(frame, end))
                EXPECT_FALSE(coveredNear(frame, end + 6 * away, 1));
        }
    }
}

class LayoutFrames : public testing::TestWithParam<FoldLayout> {};

// Every panel shows as one facet of its own grey, and the search finds each crease line where
// one facet meets the next.
TEST_P(LayoutFrames, ShowTheLayoutsCreases) {
    const FoldLayout layout = GetParam();
    PanelFoldModel fold(layout, {exampleSheet.width(), exampleSheet.height()});
    ASSERT_NE(fold.moveLine(0, {60, 0}, 0.0f).x, 0.0);
    std::unique_ptr<SheetRenderer> view = SheetRenderer::create(windowSize(exampleSheet), 1.0);
    ASSERT_TRUE(view);
    view->setImageSize(exampleSheet);
    view->setFold(fold);
    QImage grey(800, 600, QImage::Format_RGB32);
    grey.fill(qRgb(200, 200, 200));
    ASSERT_TRUE(view->setImage(grey));
    view->setShading(1.0f);
    view->setPitch(tiltAwayFromTheLight(layout.axis()));
    view->display();
    const QImage frame = view->captureFrame();

    const std::vector<GreyRun> facets = greyRuns(frame, layout.axis());
    ASSERT_EQ(static_cast<int>(facets.size()), layout.panelCount());
    EXPECT_EQ(view->lineCount(), layout.panelCount() + 1);
    for (int line = 1; line < layout.panelCount(); ++line) {
        SCOPED_TRACE(testing::Message() << "line " << line);
        const double found = crossing(*view, line, frame.size(), layout.axis());
        EXPECT_NEAR(found, facets[line].start, 3.0);
    }
    for (int edge : {0, layout.panelCount()}) {
        const double found = crossing(*view, edge, frame.size(), layout.axis());
        const GreyRun& facet = facets[edge == 0 ? 0 : edge - 1];
        EXPECT_NEAR(found, edge == 0 ? facet.start : facet.start + facet.length, 3.0) << edge;
    }
    expectEndsAtTheSheetsEdges(*view, frame);
    // The tilt turns the sheet about the axis across its creases, so in perspective the first
    // edge's ends lie at different distances from the viewer: a vertical edge's top and bottom
    // ends shift apart sideways, a horizontal edge's left and right ends up and down.
    const QPointF shift = view->endPoint(0, LineEnd::Top) - view->endPoint(0, LineEnd::Bottom);
    if (layout.axis() == Axis::vertical) {
        EXPECT_GT(std::abs(shift.x()), 10.0);
    } else {
        EXPECT_LT(shift.x(), -700.0); // the top end is the left end
        EXPECT_GT(std::abs(shift.y()), 10.0);
    }
}

// A flat sheet with horizontal creases shows the picture upright, as one with vertical creases.
TEST(LayoutFrame, HorizontalCreasesKeepThePictureUpright) {
    for (const Axis axis : {Axis::vertical, Axis::horizontal}) {
        SCOPED_TRACE(FoldLayout::axisName(axis).data());
        std::unique_ptr<SheetRenderer> view = flatAccordionView(exampleSheet, axis);
        ASSERT_TRUE(view);
        ASSERT_TRUE(view->setImage(quadrantImage(QSize(800, 600), QImage::Format_RGB32)));
        view->display();
        const QImage frame = view->captureFrame();
        // The flat sheet spans frame x 198 to 999 and frame y 75 to 675 (y up).
        EXPECT_EQ(framePixel(frame, 398, 525).rgba(), topLeftColour);
        EXPECT_EQ(framePixel(frame, 798, 525).rgba(), topRightColour);
        EXPECT_EQ(framePixel(frame, 398, 225).rgba(), bottomLeftColour);
        EXPECT_EQ(framePixel(frame, 798, 225).rgba(), bottomRightColour);
    }
}

// Hinged panels project their lines rather than search them, and are drawn with their bends.
std::vector<FoldLayout> everyLayout() {
    std::vector<FoldLayout> layouts = FoldLayout::presets(Axis::vertical);
    for (const FoldLayout& layout : FoldLayout::presets(Axis::horizontal))
        layouts.push_back(layout);
    std::erase_if(layouts, [](const FoldLayout& layout) { return layout.isHinged(); });
    return layouts;
}

INSTANTIATE_TEST_SUITE_P(Presets, LayoutFrames, testing::ValuesIn(everyLayout()),
                         [](const testing::TestParamInfo<FoldLayout>& info) {
                             std::string name =
                                 info.param.name() + "_" +
                                 std::string(FoldLayout::axisName(info.param.axis()));
                             for (char& c : name) {
                                 if (c == '-')
                                     c = '_';
                             }
                             return name;
                         });

} // namespace
