// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/ControlAreas.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using EndPoints = LineEndPoints;

// Seven crease lines from (x, top) to (x, bottom).
EndPoints verticalLines(const std::array<double, 7>& x, double top = 300.0, double bottom = 20.0) {
    EndPoints endPoints;
    for (int i = 0; i < 7; ++i)
        endPoints[i] = {QPointF(x[i], top), QPointF(x[i], bottom)};
    return endPoints;
}

const std::array<double, 7> wideFold{40, 100, 180, 260, 340, 420, 480};

ControlAreas built(const EndPoints& endPoints) {
    ControlAreas areas;
    areas.updateTrackingAreaPath(endPoints);
    return areas;
}

bool allFinite(const QPainterPath& path) {
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (!std::isfinite(e.x) || !std::isfinite(e.y))
            return false;
    }
    return true;
}

} // namespace

TEST(ControlAreasTest, NothingIsHitBeforeTheFirstBuild) {
    const ControlAreas areas;
    EXPECT_EQ(areas.controlAreaPoint({260, 160}), ControlAreas::noArea);
    for (int area = 0; area < ControlAreas::areaCount; ++area)
        EXPECT_TRUE(areas.path(area).isEmpty()) << area;
}

TEST(ControlAreasTest, BandsReachEightPointsAlongAVerticalLine) {
    // Line 1 runs from (100, 300) to (100, 20).
    const ControlAreas areas = built(verticalLines(wideFold));
    EXPECT_EQ(areas.controlAreaPoint({100, 299}), 7);
    EXPECT_EQ(areas.controlAreaPoint({100, 292.5}), 7);
    EXPECT_EQ(areas.controlAreaPoint({100, 291.5}), 1);
    EXPECT_EQ(areas.controlAreaPoint({100, 28.5}), 1);
    EXPECT_EQ(areas.controlAreaPoint({100, 27.5}), 8);
    EXPECT_EQ(areas.controlAreaPoint({100, 21}), 8);
    EXPECT_EQ(areas.controlAreaPoint({100, 301}), ControlAreas::noArea);
    EXPECT_EQ(areas.controlAreaPoint({100, 19}), ControlAreas::noArea);
}

TEST(ControlAreasTest, BandsFollowTheEdgesAndMeasureAlongEachLine) {
    // A sheet seen in perspective: each line slants and the edges are not horizontal.
    EndPoints endPoints;
    const std::array<double, 7> topX{40, 105, 185, 260, 335, 415, 480};
    const std::array<double, 7> bottomX{50, 100, 180, 260, 340, 420, 470};
    const std::array<double, 7> topY{290, 300, 320, 305, 320, 300, 290};
    for (int i = 0; i < 7; ++i)
        endPoints[i] = {QPointF(topX[i], topY[i]), QPointF(bottomX[i], 20 - (topY[i] - 290) / 2)};
    const ControlAreas areas = built(endPoints);

    // Line 2 from (185, 320) to (180, 5): 8 points below its top end it is at x 185 - 5 * 8 / 315.
    const double x2 = 185 - 5.0 * 8 / 315;
    EXPECT_EQ(areas.controlAreaPoint({x2, 312.2}), 7);
    EXPECT_EQ(areas.controlAreaPoint({x2, 311.8}), 2);
    // Between lines 2 and 3 the band's lower boundary runs straight from 312 to 297.
    EXPECT_EQ(areas.controlAreaPoint({222.5, 304.8}), 7);
    EXPECT_EQ(areas.controlAreaPoint({222.5, 304.2}), ControlAreas::noArea);
    // The bottom band under line 2 reaches from y 5 up to 13.
    EXPECT_EQ(areas.controlAreaPoint({180.1, 12.8}), 8);
    EXPECT_EQ(areas.controlAreaPoint({180.1, 13.2}), 2);
}

TEST(ControlAreasTest, BandsWinOverCreasesAndHigherCreasesOverLower) {
    const ControlAreas wide = built(verticalLines(wideFold));
    const QPointF topOfLine3(260, 296);
    ASSERT_TRUE(wide.path(3).contains(topOfLine3));
    EXPECT_EQ(wide.controlAreaPoint(topOfLine3), 7);
    const QPointF bottomOfLine3(260, 24);
    ASSERT_TRUE(wide.path(3).contains(bottomOfLine3));
    EXPECT_EQ(wide.controlAreaPoint(bottomOfLine3), 8);

    // Lines 2 and 3 only 6 points apart: their hexagons overlap between them.
    const ControlAreas narrow = built(verticalLines({40, 100, 180, 186, 340, 420, 480}));
    const QPointF between(183, 160);
    ASSERT_TRUE(narrow.path(2).contains(between));
    ASSERT_TRUE(narrow.path(3).contains(between));
    EXPECT_EQ(narrow.controlAreaPoint(between), 3);
}

TEST(ControlAreasTest, CreaseHexagonsAreFourPointsEitherSideOfTheLine) {
    const ControlAreas areas = built(verticalLines(wideFold));
    for (int k = 1; k <= 5; ++k) {
        const double x = wideFold[k];
        EXPECT_EQ(areas.controlAreaPoint({x, 160}), k);
        EXPECT_EQ(areas.controlAreaPoint({x - 3.5, 160}), k);
        EXPECT_EQ(areas.controlAreaPoint({x + 3.5, 160}), k);
        EXPECT_EQ(areas.controlAreaPoint({x - 4.5, 160}), ControlAreas::noArea);
        EXPECT_EQ(areas.controlAreaPoint({x + 4.5, 160}), ControlAreas::noArea);
    }

    // A slanting crease: the hexagon runs from its top end to its bottom end.
    EndPoints slanted = verticalLines(wideFold);
    slanted[3] = {QPointF(240, 300), QPointF(280, 20)};
    const ControlAreas tilted = built(slanted);
    EXPECT_EQ(tilted.controlAreaPoint({260, 160}), 3);
    EXPECT_EQ(tilted.controlAreaPoint({240, 160}), ControlAreas::noArea);
    EXPECT_EQ(tilted.controlAreaPoint({280, 160}), ControlAreas::noArea);
}

TEST(ControlAreasTest, EdgeStripsLieOnTheSheetSide) {
    const ControlAreas areas = built(verticalLines(wideFold));
    EXPECT_EQ(areas.controlAreaPoint({40.5, 160}), 0);
    EXPECT_EQ(areas.controlAreaPoint({47.5, 160}), 0);
    EXPECT_EQ(areas.controlAreaPoint({48.5, 160}), ControlAreas::noArea);
    EXPECT_EQ(areas.controlAreaPoint({39.5, 160}), ControlAreas::noArea);

    EXPECT_EQ(areas.controlAreaPoint({479.5, 160}), 6);
    EXPECT_EQ(areas.controlAreaPoint({472.5, 160}), 6);
    EXPECT_EQ(areas.controlAreaPoint({471.5, 160}), ControlAreas::noArea);
    EXPECT_EQ(areas.controlAreaPoint({480.5, 160}), ControlAreas::noArea);

    // Between the creases and outside the sheet there is no area.
    EXPECT_EQ(areas.controlAreaPoint({140, 160}), ControlAreas::noArea);
    EXPECT_EQ(areas.controlAreaPoint({10, 160}), ControlAreas::noArea);
    EXPECT_EQ(areas.controlAreaPoint({-1000, -1000}), ControlAreas::noArea);
}

TEST(ControlAreasTest, RebuildReplacesTheAreas) {
    ControlAreas areas = built(verticalLines(wideFold));
    ASSERT_EQ(areas.controlAreaPoint({180, 160}), 2);
    areas.updateTrackingAreaPath(verticalLines({40, 100, 200, 260, 340, 420, 480}));
    EXPECT_EQ(areas.controlAreaPoint({180, 160}), ControlAreas::noArea);
    EXPECT_EQ(areas.controlAreaPoint({200, 160}), 2);
}

TEST(ControlAreasTest, DegenerateEndPointsGiveFiniteUsableAreas) {
    // Everything at one point (as when no line was found).
    EndPoints collapsed;
    for (auto& line : collapsed)
        line = {QPointF(50, 50), QPointF(50, 50)};
    const ControlAreas single = built(collapsed);
    for (int area = 0; area < ControlAreas::areaCount; ++area)
        EXPECT_TRUE(allFinite(single.path(area))) << area;
    EXPECT_EQ(single.controlAreaPoint({200, 200}), ControlAreas::noArea);

    // Two creases on top of each other (a vertical neighbour pair for the hexagons) and a
    // crease of zero length.
    EndPoints coincident = verticalLines({40, 100, 180, 180, 340, 420, 480});
    coincident[5] = {QPointF(420, 160), QPointF(420, 160)};
    const ControlAreas areas = built(coincident);
    for (int area = 0; area < ControlAreas::areaCount; ++area)
        EXPECT_TRUE(allFinite(areas.path(area))) << area;
    EXPECT_EQ(areas.controlAreaPoint({178, 160}), 3);
    EXPECT_EQ(areas.controlAreaPoint({182, 160}), 3);
    EXPECT_EQ(areas.controlAreaPoint({100, 160}), 1);
    EXPECT_EQ(areas.controlAreaPoint({340, 160}), 4);
}

namespace {

// A horizontal accordion of four panels: five lines from (20, y) to (420, y), the first on top.
EndPoints horizontalLines(const std::array<double, 5>& y) {
    EndPoints endPoints;
    for (int i = 0; i < 5; ++i)
        endPoints[i] = {QPointF(20, y[i]), QPointF(420, y[i])};
    return endPoints;
}

} // namespace

TEST(ControlAreasTest, AHorizontalAccordionHasItsLinesAndTiltBandsAtTheSides) {
    ControlAreas areas;
    areas.setLayout(5, FoldLayout::Axis::horizontal);
    EXPECT_EQ(areas.firstBand(), 5);
    EXPECT_EQ(areas.secondBand(), 6);
    EXPECT_EQ(areas.outside(), 7);
    EXPECT_EQ(areas.controlAreaPoint({200, 240}), areas.outside());
    areas.updateTrackingAreaPath(horizontalLines({300, 240, 180, 120, 60}));

    // The edge strips reach eight points inward: down from the top edge, up from the bottom one.
    EXPECT_EQ(areas.controlAreaPoint({200, 299}), 0);
    EXPECT_EQ(areas.controlAreaPoint({200, 292.5}), 0);
    EXPECT_EQ(areas.controlAreaPoint({200, 291.5}), areas.outside());
    EXPECT_EQ(areas.controlAreaPoint({200, 301}), areas.outside());
    EXPECT_EQ(areas.controlAreaPoint({200, 67.5}), 4);
    EXPECT_EQ(areas.controlAreaPoint({200, 59}), areas.outside());
    for (int line = 1; line <= 3; ++line) {
        const double y = 300 - 60 * line;
        EXPECT_EQ(areas.controlAreaPoint({200, y}), line);
        EXPECT_EQ(areas.controlAreaPoint({200, y + 3.5}), line);
        EXPECT_EQ(areas.controlAreaPoint({200, y - 3.5}), line);
        EXPECT_EQ(areas.controlAreaPoint({200, y + 4.5}), areas.outside());
        EXPECT_EQ(areas.controlAreaPoint({200, y - 4.5}), areas.outside());
    }
    // The tilt bands run down the left and right ends and win over the lines.
    EXPECT_EQ(areas.controlAreaPoint({21, 210}), areas.firstBand());
    EXPECT_EQ(areas.controlAreaPoint({27.5, 210}), areas.firstBand());
    EXPECT_EQ(areas.controlAreaPoint({28.5, 210}), areas.outside());
    EXPECT_EQ(areas.controlAreaPoint({23, 240}), areas.firstBand());
    EXPECT_EQ(areas.controlAreaPoint({419, 150}), areas.secondBand());
    EXPECT_EQ(areas.controlAreaPoint({412.5, 150}), areas.secondBand());
    EXPECT_EQ(areas.controlAreaPoint({411.5, 150}), areas.outside());
    EXPECT_EQ(areas.controlAreaPoint({421, 150}), areas.outside());
    EXPECT_TRUE(areas.isTiltBand(5) && areas.isTiltBand(6) && !areas.isTiltBand(4));
    EXPECT_TRUE(areas.isLine(4) && !areas.isLine(5));
}

// Twelve panels number thirteen lines before the bands, so the classic's numbers mean lines.
TEST(ControlAreasTest, AVerticalAccordionOfTwelvePanelsNumbersEveryLine) {
    EndPoints endPoints;
    for (int i = 0; i < 13; ++i)
        endPoints[i] = {QPointF(40 + 30 * i, 300), QPointF(40 + 30 * i, 20)};
    ControlAreas areas;
    areas.setLayout(13, FoldLayout::Axis::vertical);
    areas.updateTrackingAreaPath(endPoints);
    for (int line = 1; line < 12; ++line)
        EXPECT_EQ(areas.controlAreaPoint({40 + 30.0 * line, 160}), line);
    EXPECT_EQ(areas.controlAreaPoint({42, 160}), 0);
    EXPECT_EQ(areas.controlAreaPoint({398, 160}), 12);
    EXPECT_EQ(areas.controlAreaPoint({100, 299}), 13);
    EXPECT_EQ(areas.controlAreaPoint({100, 21}), 14);
    EXPECT_EQ(areas.controlAreaPoint({55, 160}), 15);
}
