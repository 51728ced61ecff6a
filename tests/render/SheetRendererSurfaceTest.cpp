// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "RenderTestSupport.h"
#include "fold/HingedFold.h"
#include "fold/PanelFoldModel.h"
#include "fold/SheetFold.h"
#include "render/SheetRenderer.h"

#include <gtest/gtest.h>

#include <QtMath>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

using Axis = FoldLayout::Axis;
using SurfacePoint = HingedFold::SurfacePoint;

const QSizeF letterSheet(600, 400);
// 0.1 mm in points.
constexpr double thickness = 0.283;

// A closed letter fold on the letter sheet, as the hinged model lays it: the middle panel faces
// the viewer, the last panel lies folded behind it and the first behind both.
SheetFold closedLetter(double t) {
    PanelPaper paper;
    paper.thickness = t;
    SheetFold fold(FoldLayout::hinged(FoldLayout::Shape::letter),
                   {letterSheet.width(), letterSheet.height()}, paper);
    fold.setPose(HingedFold::Pose::closed);
    return fold;
}

// The same fold turned end for end: the last panel outside at the back, the first inside.
std::vector<SurfacePoint> turnedEndForEnd(std::vector<SurfacePoint> surface) {
    std::reverse(surface.begin(), surface.end());
    for (SurfacePoint& point : surface) {
        point.paper = letterSheet.width() - point.paper;
        point.at.x = letterSheet.width() - point.at.x;
    }
    return surface;
}

QImage solid(QRgb colour) {
    QImage image(letterSheet.toSize(), QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Red throughout, each panel a shade of its own: which panel shows can be read back.
constexpr std::array<int, 3> panelReds{255, 200, 150};

QImage redPanels(const std::vector<double>& creases) {
    QImage image = solid(qRgb(panelReds[0], 0, 0));
    for (int x = 0; x < image.width(); ++x) {
        const int panel = int(std::upper_bound(creases.begin() + 1, creases.end() - 1, x + 0.5) -
                              creases.begin()) -
                          1;
        for (int y = 0; y < image.height(); ++y)
            image.setPixel(x, y, qRgb(panelReds[std::size_t(panel)], 0, 0));
    }
    return image;
}

// Turned end for end, the panels and their shades swap sides: the first panel is inside.
std::unique_ptr<SheetRenderer> closedLetterView(double t, bool endForEnd) {
    const SheetFold fold = closedLetter(t);
    std::unique_ptr<SheetRenderer> view = SheetRenderer::create(windowSize(letterSheet), 1.0);
    if (!view)
        return view;
    view->setImageSize(letterSheet);
    view->setFold(fold);
    std::vector<double> creases = fold.creases();
    if (endForEnd) {
        const std::vector<FoldPoint> lines = fold.profile();
        const std::size_t count = creases.size();
        for (std::size_t line = 0; line < count; ++line) {
            const FoldPoint at = lines[count - 1 - line];
            view->setCreasePoint(float(letterSheet.width() - creases[count - 1 - line]), int(line));
            view->setCoordinates(QPointF(letterSheet.width() - at.x, at.y), int(line));
        }
        view->setSurface(turnedEndForEnd(fold.surface()), t);
        std::reverse(creases.begin(), creases.end());
        for (double& crease : creases)
            crease = letterSheet.width() - crease;
    }
    PaperLook look;
    look.back = PaperLook::Back::picture;
    view->setPaperLook(look);
    if (!view->setImage(redPanels(creases)) || !view->setBackImage(solid(qRgb(0, 0, 255))))
        return nullptr;
    return view;
}

struct Colours {
    int blue = 0;
    std::array<int, 3> panels{};
    int redAcrossMiddle = 0;
};

// Red and blue are told apart by their strongest channel.
Colours coloursOf(const QImage& frame) {
    Colours colours;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const QColor colour = framePixel(frame, x, y);
            if (colour.alpha() == 0)
                continue;
            const bool red = colour.red() > colour.blue();
            colours.blue += !red;
            colours.redAcrossMiddle += red && y == frame.height() / 2;
            for (int panel = 0; panel < 3; ++panel)
                colours.panels[panel] += red && std::abs(colour.red() - panelReds[panel]) <= 3;
        }
    }
    return colours;
}

struct View {
    bool endForEnd;
    float pitch;
    // Seen square on, the sheet shows one panel's width of red across its middle.
    bool squareOn;
};

class ClosedLetterFold : public testing::TestWithParam<View> {};

// The layers lie one paper thickness apart: the depth buffer must keep the outer sides in front,
// from the front, from behind and tilted. From the front the middle panel shows; from behind the
// panel folded outermost.
TEST_P(ClosedLetterFold, ShowsOnlyTheOuterSides) {
    const View seen = GetParam();
    std::unique_ptr<SheetRenderer> view = closedLetterView(thickness, seen.endForEnd);
    ASSERT_TRUE(view);
    view->setPitch(seen.pitch);
    view->display();
    const Colours colours = coloursOf(view->captureFrame());
    EXPECT_EQ(colours.blue, 0);
    const int outer = std::abs(seen.pitch) < 90 ? 1 : seen.endForEnd ? 2 : 0;
    EXPECT_GT(colours.panels[outer], 1000);
    for (int panel = 0; panel < 3; ++panel) {
        if (panel != outer)
            EXPECT_LT(colours.panels[panel], colours.panels[outer] / 50) << "panel " << panel;
    }
    if (seen.squareOn) {
        EXPECT_NEAR(colours.redAcrossMiddle, 200, 12);
    }
}

INSTANTIATE_TEST_SUITE_P(Tilts, ClosedLetterFold,
                         testing::Values(View{false, 0, true}, View{false, 180, true},
                                         View{false, 30, false}, View{false, -30, false},
                                         View{false, 60, false}, View{false, -60, false},
                                         View{false, 150, false}, View{false, -150, false},
                                         View{true, 0, true}, View{true, 180, true},
                                         View{true, 60, false}, View{true, -150, false}),
                         [](const testing::TestParamInfo<View>& info) {
                             const int pitch = int(info.param.pitch);
                             return std::string(info.param.endForEnd ? "endForEnd_" : "") +
                                    (pitch < 0 ? "minus" : "plus") +
                                    std::to_string(std::abs(pitch));
                         });

// The closed panels hide each other's lines from a pixel search: the projected ends lie where
// the lines are, measured from the sheet's left side (the first crease's bend) a point per point
// on the sheet's plane, top end first.
TEST(ClosedLetterFoldLines, EndWhereTheLinesLie) {
    std::unique_ptr<SheetRenderer> view = closedLetterView(thickness, false);
    ASSERT_TRUE(view);
    view->display();
    const CoveredExtent covered = coveredExtent(view->captureFrame());
    const SheetFold fold = closedLetter(thickness);
    double left = letterSheet.width();
    for (const SurfacePoint& point : fold.surface())
        left = std::min(left, point.at.x);
    for (int line = 0; line < view->lineCount(); ++line) {
        SCOPED_TRACE(testing::Message() << "line " << line);
        const double x = covered.minX + fold.profile()[std::size_t(line)].x - left;
        EXPECT_NEAR(view->endPoint(line, LineEnd::Top).x(), x, 1.5);
        EXPECT_NEAR(view->endPoint(line, LineEnd::Bottom).x(), x, 1.5);
        EXPECT_NEAR(view->endPoint(line, LineEnd::Top).y(), covered.maxY, 1.5);
        EXPECT_NEAR(view->endPoint(line, LineEnd::Bottom).y(), covered.minY, 2.0);
    }
}

// Where the pixel search can see every line, the projected ends agree with it, for either axis
// and tilt: the same frame points, in the same order.
TEST(SurfaceLines, ProjectWhereTheSearchFindsThem) {
    for (const Axis axis : {Axis::vertical, Axis::horizontal}) {
        for (const float pitch : {0.0f, 12.0f, -12.0f}) {
            SCOPED_TRACE(testing::Message()
                         << FoldLayout::axisName(axis).data() << " pitch " << pitch);
            PanelFoldModel fold(FoldLayout::accordion(4, axis),
                                {letterSheet.width(), letterSheet.height()});
            ASSERT_NE(fold.moveLine(1, {40, 0}, 0.0f).x, 0.0);
            std::unique_ptr<SheetRenderer> view =
                SheetRenderer::create(windowSize(letterSheet), 1.0);
            ASSERT_TRUE(view);
            view->setImageSize(letterSheet);
            view->setFold(fold);
            ASSERT_TRUE(view->setImage(solid(qRgb(200, 200, 200))));
            view->setPitch(pitch);
            view->display();
            const LineEndPoints searched = view->lineEndPoints();

            std::vector<SurfacePoint> surface;
            for (int line = 0; line < fold.lineCount(); ++line)
                surface.push_back({fold.creases()[line], fold.profile()[line]});
            view->setSurface(surface, thickness);
            ASSERT_TRUE(view->needsDisplay());
            view->display();
            for (int line = 0; line < fold.lineCount(); ++line) {
                for (const int end : {0, 1}) {
                    const QPointF offset = view->lineEndPoints()[line][end] - searched[line][end];
                    EXPECT_LT(std::hypot(offset.x(), offset.y()), 2.0)
                        << "line " << line << " end " << end;
                }
            }
        }
    }
}

} // namespace
