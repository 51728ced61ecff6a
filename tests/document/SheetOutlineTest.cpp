// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/SheetOutline.h"

#include <gtest/gtest.h>

namespace {

constexpr double windowHeight = 400.0;

// Seven vertical crease lines in frame coordinates (y up), from y = top down to y = bottom.
LineEndPoints verticalLines(const std::array<double, 7>& x, double top, double bottom) {
    LineEndPoints endPoints;
    for (int i = 0; i < 7; ++i)
        endPoints[i] = {QPointF(x[i], top), QPointF(x[i], bottom)};
    return endPoints;
}

// Whether a window point (y down) takes the mouse.
bool takesTheMouse(const LineEndPoints& endPoints, QPointF windowPoint) {
    for (const QPolygonF& polygon : SheetOutline::polygons(endPoints, windowHeight))
        if (polygon.containsPoint(windowPoint, Qt::WindingFill))
            return true;
    return false;
}

const LineEndPoints flatSheet =
    verticalLines({100, 160, 220, 300, 380, 440, 500}, /*top*/ 350, /*bottom*/ 50);

} // namespace

TEST(SheetOutlineTest, TheSheetAndAFewPointsAroundItTakeTheMouseTheRestOfTheWindowNot) {
    EXPECT_TRUE(takesTheMouse(flatSheet, {300, 200}));
    EXPECT_TRUE(takesTheMouse(flatSheet, {130, 200})) << "between two crease lines";
    // The left edge at x 100: the margin reaches a few points out, no farther.
    EXPECT_TRUE(takesTheMouse(flatSheet, {100 - SheetOutline::marginPoints + 0.5, 200}));
    EXPECT_FALSE(takesTheMouse(flatSheet, {100 - SheetOutline::marginPoints - 1.5, 200}));
    EXPECT_FALSE(takesTheMouse(flatSheet, {20, 200}));
    EXPECT_FALSE(takesTheMouse(flatSheet, {580, 200}));
    EXPECT_FALSE(takesTheMouse(flatSheet, {5, 5})) << "the window's corner";
}

TEST(SheetOutlineTest, FrameYUpBecomesWindowYDown) {
    // The top ends at frame y 350 are 50 points below the window's top.
    EXPECT_TRUE(takesTheMouse(flatSheet, {300, 50 - SheetOutline::marginPoints + 0.5}));
    EXPECT_FALSE(takesTheMouse(flatSheet, {300, 40}));
    // The bottom ends at frame y 50 are 350 points down.
    EXPECT_TRUE(takesTheMouse(flatSheet, {300, 352}));
    EXPECT_FALSE(takesTheMouse(flatSheet, {300, 360}));
}

TEST(SheetOutlineTest, ARaisedTentWidensTheOutlineOnlyWhereItRises) {
    // The left peak's top end (line 2) stands 50 points above the others, at the window's top,
    // as a tent toward the viewer looks in perspective.
    LineEndPoints raised = flatSheet;
    raised[2][0] = QPointF(220, 400);
    EXPECT_TRUE(takesTheMouse(raised, {220, 2}));
    EXPECT_TRUE(takesTheMouse(raised, {190, 30})) << "under the slope up to the peak";
    EXPECT_FALSE(takesTheMouse(raised, {120, 30})) << "above the flat margin";
    EXPECT_FALSE(takesTheMouse(raised, {320, 30})) << "above the right tent";
}

TEST(SheetOutlineTest, AnOutlineThatCrossesItselfCoversBothLobes) {
    // The right half turned over: its top ends lie below its bottom ends, so the outline through
    // top and bottom ends crosses itself at the middle line.
    LineEndPoints crossed = flatSheet;
    for (int i = 4; i < 7; ++i)
        std::swap(crossed[i][0], crossed[i][1]);
    EXPECT_TRUE(takesTheMouse(crossed, {200, 200}));
    EXPECT_TRUE(takesTheMouse(crossed, {450, 200}));
}
