// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "RenderTestSupport.h"
#include "fold/HingedFold.h"
#include "fold/PanelFoldModel.h"
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
constexpr int arcSegments = 8;

// A half circle about centre from height centre.y + below * radius to centre.y - below * radius,
// bulging toward side (-1 left, +1 right), its paper starting at paper.
void addArc(std::vector<SurfacePoint>& surface, FoldPoint centre, double radius, int side,
            double below, double paper) {
    for (int i = 1; i < arcSegments; ++i) {
        const double angle = M_PI * i / arcSegments;
        surface.push_back({paper + radius * angle,
                           {centre.x + side * radius * std::sin(angle),
                            centre.y + below * radius * std::cos(angle)}});
    }
}

// A closed letter fold on the letter sheet: the middle panel faces the viewer, the last panel
// lies folded behind it and the first behind both, each layer one thickness further back. Each
// arc takes its paper half from either panel.
std::vector<SurfacePoint> closedLetterSurface(double t) {
    const double firstArc = M_PI * t;
    const double lastArc = M_PI * t / 2;
    std::vector<SurfacePoint> surface;
    surface.push_back({0, {400 - firstArc / 2, -2 * t}});
    surface.push_back({200 - firstArc / 2, {200, -2 * t}});
    addArc(surface, {200, -t}, t, -1, -1, 200 - firstArc / 2);
    surface.push_back({200 + firstArc / 2, {200, 0}});
    surface.push_back({400 - lastArc / 2, {400, 0}});
    addArc(surface, {400, -t / 2}, t / 2, 1, 1, 400 - lastArc / 2);
    surface.push_back({400 + lastArc / 2, {400, -t}});
    surface.push_back({600, {200 + lastArc / 2, -t}});
    return surface;
}

// The lines of that fold: the edges where the paper ends, the creases at their arcs' middles.
std::vector<FoldPoint> closedLetterLines(double t) {
    return {{400 - M_PI * t / 2, -2 * t},
            {200 - t, -t},
            {400 + t / 2, -t / 2},
            {200 + M_PI * t / 4, -t}};
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

QImage redPanels() {
    QImage image = solid(qRgb(panelReds[0], 0, 0));
    for (int x = 200; x < 600; ++x) {
        for (int y = 0; y < image.height(); ++y)
            image.setPixel(x, y, qRgb(panelReds[x / 200], 0, 0));
    }
    return image;
}

std::unique_ptr<SheetRenderer> closedLetterView(double t, bool endForEnd) {
    const PanelFoldModel fold(FoldLayout::accordion(3),
                              {letterSheet.width(), letterSheet.height()});
    std::unique_ptr<SheetRenderer> view = SheetRenderer::create(windowSize(letterSheet), 1.0);
    if (!view)
        return view;
    view->setImageSize(letterSheet);
    view->setFold(fold);
    const std::vector<FoldPoint> lines = closedLetterLines(t);
    for (int line = 0; line < 4; ++line) {
        const FoldPoint at = endForEnd ? lines[3 - line] : lines[line];
        view->setCreasePoint(float(200 * line), line);
        view->setCoordinates(QPointF(endForEnd ? letterSheet.width() - at.x : at.x, at.y), line);
    }
    const std::vector<SurfacePoint> surface = closedLetterSurface(t);
    view->setSurface(endForEnd ? turnedEndForEnd(surface) : surface, t);
    PaperLook look;
    look.back = PaperLook::Back::picture;
    view->setPaperLook(look);
    if (!view->setImage(redPanels()) || !view->setBackImage(solid(qRgb(0, 0, 255))))
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

// The closed panels hide each other's lines from a pixel search: the projected ends lie at the
// red panel's corners, the creases on the left and the first edge and the middle crease on the
// right, top end first.
TEST(ClosedLetterFoldLines, EndAtThePanelsCorners) {
    std::unique_ptr<SheetRenderer> view = closedLetterView(thickness, false);
    ASSERT_TRUE(view);
    view->display();
    const CoveredExtent covered = coveredExtent(view->captureFrame());
    for (int line = 0; line < view->lineCount(); ++line) {
        SCOPED_TRACE(testing::Message() << "line " << line);
        const double x = line % 2 == 0 ? covered.maxX : covered.minX;
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
