// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/LineEndPointSearch.h"

#include <gtest/gtest.h>

#include <QColor>

#include <cmath>

namespace {

// A transparent frame on which pixels are covered in frame coordinates (origin bottom-left, y up).
class LineFrame {
public:
    LineFrame(int width, int height) : _image(width, height, QImage::Format_RGBA8888) {
        _image.fill(Qt::transparent);
    }

    // Pixels outside the frame are dropped, as the rasteriser clips them.
    void cover(int x, int y) {
        if (_image.rect().contains(x, _image.height() - 1 - y))
            _image.setPixelColor(x, _image.height() - 1 - y, Qt::black);
    }

    void verticalLine(int x, int fromY, int toY) {
        for (int y = fromY; y <= toY; ++y)
            cover(x, y);
    }

    // One pixel per row from (x, fromY) up to row toY, moving `step` pixels sideways every
    // `rowsPerStep` rows.
    void slantedLine(int x, int fromY, int toY, int step, int rowsPerStep) {
        for (int y = fromY; y <= toY; ++y)
            cover(x + (y - fromY) / rowsPerStep * step, y);
    }

    const QImage& image() const { return _image; }

private:
    QImage _image;
};

QPointF top(const LineEndPoints& endPoints, int line) {
    return endPoints[line][0];
}
QPointF bottom(const LineEndPoints& endPoints, int line) {
    return endPoints[line][1];
}

void expectFinite(const LineEndPoints& endPoints) {
    for (const auto& line : endPoints) {
        for (const QPointF& point : line) {
            EXPECT_TRUE(std::isfinite(point.x()) && std::isfinite(point.y()));
        }
    }
}

} // namespace

TEST(LineEndPointSearch, VerticalLinesOfAFlatSheet) {
    // Odd height: the middle row is the exact middle, row 50 of 101.
    LineFrame frame(300, 101);
    const int xs[7] = {20, 60, 100, 140, 190, 230, 270};
    frame.verticalLine(xs[0], 5, 95);
    for (int i = 1; i < 7; ++i)
        frame.verticalLine(xs[i], 20, 90);

    const LineEndPoints endPoints = searchLineEndPoints(frame.image(), 0.0f);

    EXPECT_EQ(top(endPoints, 0), QPointF(20, 95));
    EXPECT_EQ(bottom(endPoints, 0), QPointF(20, 5));
    for (int i = 1; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(top(endPoints, i), QPointF(xs[i], 90));
    }
    // Peaks are traced down; the others reach the height of the left edge's bottom end.
    EXPECT_EQ(bottom(endPoints, 2), QPointF(100, 20));
    EXPECT_EQ(bottom(endPoints, 4), QPointF(190, 20));
    for (int i : {1, 3, 5, 6}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(bottom(endPoints, i), QPointF(xs[i], 5));
    }
}

TEST(LineEndPointSearch, EvenHeightUsesTheUpperMiddleRowAndFrameRowsRunUpward) {
    // Height 100: the middle row is 50, with 50 rows below it and 49 above.
    LineFrame frame(100, 100);
    frame.verticalLine(10, 0, 49); // below the middle row only: not found
    frame.verticalLine(30, 50, 99);
    frame.verticalLine(40, 49, 50);

    const LineEndPoints endPoints = searchLineEndPoints(frame.image(), 0.0f);

    EXPECT_EQ(top(endPoints, 0), QPointF(30, 99));
    EXPECT_EQ(bottom(endPoints, 0), QPointF(30, 50));
    EXPECT_EQ(top(endPoints, 1), QPointF(40, 50));
}

TEST(LineEndPointSearch, TracesStopAtGapsAndAtSidewaysStepsOfFourPixels) {
    LineFrame frame(200, 101);
    frame.verticalLine(10, 10, 69); // gap at row 70
    frame.verticalLine(10, 71, 90);
    frame.verticalLine(30, 10, 70); // three pixels right at row 71: followed
    frame.verticalLine(33, 71, 90);
    frame.verticalLine(50, 30, 70); // four pixels right at row 71: not followed
    frame.verticalLine(54, 71, 90);
    frame.verticalLine(50, 10, 28); // and a gap at row 29 going down
    frame.verticalLine(70, 20, 50);
    frame.verticalLine(90, 30, 50); // line 4: three pixels left (against the lean) at row 29
    frame.verticalLine(87, 5, 29);

    const LineEndPoints endPoints = searchLineEndPoints(frame.image(), 0.0f);

    EXPECT_EQ(top(endPoints, 0), QPointF(10, 69));
    EXPECT_EQ(top(endPoints, 1), QPointF(33, 90));
    EXPECT_EQ(top(endPoints, 2), QPointF(50, 70));
    EXPECT_EQ(bottom(endPoints, 0), QPointF(10, 10));
    EXPECT_EQ(bottom(endPoints, 2), QPointF(50, 30));
    EXPECT_EQ(top(endPoints, 3), QPointF(70, 50));
    EXPECT_EQ(bottom(endPoints, 4), QPointF(87, 5));
}

TEST(LineEndPointSearch, LeanFollowsPerspectiveAndFlipsWithNegativePitch) {
    // Converging lines (sheet tilted back, positive pitch): left half leans right going up.
    LineFrame converging(200, 101);
    converging.slantedLine(40, 10, 90, 1, 2);   // x grows going up
    converging.slantedLine(160, 10, 90, -1, 2); // x shrinks going up
    const LineEndPoints tiltedBack = searchLineEndPoints(converging.image(), 30.0f);
    EXPECT_EQ(top(tiltedBack, 0), QPointF(80, 90));
    EXPECT_EQ(bottom(tiltedBack, 0), QPointF(40, 10));
    EXPECT_EQ(top(tiltedBack, 1), QPointF(120, 90));

    // The same lines under a negative pitch are expected to diverge, so the trace looks the
    // other way and stops at the first sideways step.
    const LineEndPoints tiltedForward = searchLineEndPoints(converging.image(), -30.0f);
    EXPECT_EQ(top(tiltedForward, 0), QPointF(60, 51));
    EXPECT_EQ(top(tiltedForward, 1), QPointF(140, 51));

    LineFrame diverging(200, 101);
    diverging.slantedLine(80, 10, 90, -1, 2);
    diverging.slantedLine(120, 10, 90, 1, 2);
    const LineEndPoints spread = searchLineEndPoints(diverging.image(), -30.0f);
    EXPECT_EQ(top(spread, 0), QPointF(40, 90));
    EXPECT_EQ(bottom(spread, 0), QPointF(80, 10));
    EXPECT_EQ(top(spread, 1), QPointF(160, 90));
}

TEST(LineEndPointSearch, AtPitchZeroTheMiddleColumnBelongsToTheRightHalf) {
    // Width 201: half = 100. A line crossing at x = 100 leans left going up.
    LineFrame frame(201, 101);
    frame.slantedLine(99, 50, 80, 1, 1); // crossing 99: left half, leans right
    const LineEndPoints leftOfHalf = searchLineEndPoints(frame.image(), 0.0f);
    EXPECT_EQ(top(leftOfHalf, 0), QPointF(129, 80));

    LineFrame atHalf(201, 101);
    atHalf.slantedLine(100, 50, 80, -1, 1);
    const LineEndPoints rightHalf = searchLineEndPoints(atHalf.image(), 0.0f);
    EXPECT_EQ(top(rightHalf, 0), QPointF(70, 80));
}

TEST(LineEndPointSearch, ExtrapolatesUntracedBottomEndsThroughTopEndAndCrossing) {
    LineFrame frame(300, 101);
    frame.verticalLine(20, 10, 90);
    frame.slantedLine(100, 50, 90, 1, 2); // line 1: top (120, 90), crossing (100, 50)
    frame.verticalLine(130, 50, 50);      // line 2: the middle row alone
    frame.verticalLine(160, 0, 50);       // line 3: nothing above the middle row

    const LineEndPoints endPoints = searchLineEndPoints(frame.image(), 10.0f);

    EXPECT_EQ(top(endPoints, 1), QPointF(120, 90));
    // Through (120, 90) and (100, 50), down to line 0's bottom height 10.
    EXPECT_EQ(bottom(endPoints, 1), QPointF(80, 10));
    EXPECT_EQ(top(endPoints, 2), QPointF(130, 50));
    EXPECT_EQ(bottom(endPoints, 2), QPointF(130, 50));
    // A top end left on the middle row gives no direction: the line is taken as vertical.
    EXPECT_EQ(top(endPoints, 3), QPointF(160, 50));
    EXPECT_EQ(bottom(endPoints, 3), QPointF(160, 10));
}

TEST(LineEndPointSearch, MiddleLineExactlyAtHalfTakesTheLeftEdgesHeight) {
    LineFrame frame(300, 101);
    frame.verticalLine(20, 10, 90);
    frame.verticalLine(60, 30, 70);
    frame.verticalLine(100, 30, 70);
    frame.verticalLine(150, 40, 60); // line 3 at half = 150: not traced
    frame.verticalLine(200, 30, 70);
    frame.verticalLine(240, 30, 70);
    frame.verticalLine(280, 30, 70);

    const LineEndPoints endPoints = searchLineEndPoints(frame.image(), 0.0f);

    EXPECT_EQ(top(endPoints, 3), QPointF(150, 90));
    EXPECT_EQ(bottom(endPoints, 3), QPointF(150, 10));
    EXPECT_EQ(top(endPoints, 4), QPointF(200, 70));
}

TEST(LineEndPointSearch, LinesCloserThanFourPixelsMergeAndMissingLinesStayUsable) {
    LineFrame frame(300, 101);
    const int xs[6] = {20, 60, 63, 150, 200, 250}; // 63 lies within 60's crossing
    for (int x : xs)
        frame.verticalLine(x, 10, 90);

    const LineEndPoints endPoints = searchLineEndPoints(frame.image(), 0.0f);

    // Later crossings shift to lower line numbers.
    EXPECT_EQ(top(endPoints, 1), QPointF(60, 90));
    EXPECT_EQ(top(endPoints, 2), QPointF(150, 90));
    EXPECT_EQ(top(endPoints, 4), QPointF(250, 90));
    // Lines 5 and 6 were not found: each lies four pixels right of the line before it, keeping
    // its length.
    EXPECT_EQ(top(endPoints, 5), QPointF(254, 90));
    EXPECT_EQ(bottom(endPoints, 5), QPointF(254, 10));
    EXPECT_EQ(top(endPoints, 6), QPointF(258, 90));
    EXPECT_EQ(bottom(endPoints, 6), QPointF(258, 10));
    expectFinite(endPoints);
}

TEST(LineEndPointSearch, LinesLeavingTheFrameEndAtItsBorder) {
    LineFrame frame(100, 51);
    frame.verticalLine(0, 0, 50);       // the left column, bottom to top row
    frame.slantedLine(90, 0, 50, 1, 3); // leaves through the right border at row 30

    const LineEndPoints endPoints = searchLineEndPoints(frame.image(), -5.0f);

    EXPECT_EQ(top(endPoints, 0), QPointF(0, 50));
    EXPECT_EQ(bottom(endPoints, 0), QPointF(0, 0));
    // Leaning right (right half, negative pitch), the trace tries columns past the border.
    EXPECT_EQ(top(endPoints, 1), QPointF(99, 29));
    expectFinite(endPoints);
}

TEST(LineEndPointSearch, EmptyAndDegenerateFramesGiveFiniteEndPoints) {
    const LineEndPoints empty = searchLineEndPoints(LineFrame(80, 60).image(), 0.0f);
    EXPECT_EQ(top(empty, 0), QPointF(40, 59));
    EXPECT_EQ(bottom(empty, 0), QPointF(40, 0));
    for (int i = 1; i < 7; ++i)
        EXPECT_EQ(top(empty, i), top(empty, i - 1) + QPointF(4, 0));
    expectFinite(empty);

    expectFinite(searchLineEndPoints(QImage(), 0.0f));
    LineFrame oneRow(40, 1);
    oneRow.cover(5, 0);
    const LineEndPoints flat = searchLineEndPoints(oneRow.image(), 0.0f);
    EXPECT_EQ(top(flat, 0), QPointF(5, 0));
    EXPECT_EQ(bottom(flat, 0), QPointF(5, 0));
    expectFinite(flat);
}

// Any number of lines: each is traced to both its ends, whichever way it leans, and none is
// extrapolated.
TEST(LineEndPointSearch, EveryLineOfALayoutTracedBothWays) {
    LineFrame frame(400, 101);
    for (int i = 0; i < 13; ++i) {
        const int x = 20 + 28 * i;
        if (i % 3 == 1)
            frame.slantedLine(x, 10 + i, 90, 1, 8); // x grows going up
        else if (i % 3 == 2)
            frame.slantedLine(x, 10 + i, 90, -1, 8);
        else
            frame.verticalLine(x, 10 + i, 90 - i);
    }
    const LineEndPoints endPoints =
        searchLineEndPoints(frame.image(), 13, FoldLayout::Axis::vertical);
    for (int i = 0; i < 13; ++i) {
        SCOPED_TRACE(i);
        const int x = 20 + 28 * i;
        const int lean = i % 3 == 1 ? 1 : i % 3 == 2 ? -1 : 0;
        const int topY = lean == 0 ? 90 - i : 90;
        EXPECT_EQ(bottom(endPoints, i), QPointF(x, 10 + i));
        EXPECT_EQ(top(endPoints, i), QPointF(x + lean * ((topY - 10 - i) / 8), topY));
    }
}

// Horizontal creases: the lines are met from the top of the frame down, and each one's first end
// is its left end.
TEST(LineEndPointSearch, HorizontalLinesFromTheTopDown) {
    LineFrame frame(300, 200);
    const int ys[4] = {170, 120, 80, 30};
    for (int i = 0; i < 4; ++i) {
        for (int x = 40 + i; x <= 260 - i; ++x)
            frame.cover(x, ys[i] + (x - 40) / 50 * (i % 2 == 0 ? 1 : -1));
    }
    const LineEndPoints endPoints =
        searchLineEndPoints(frame.image(), 4, FoldLayout::Axis::horizontal);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const int rise = i % 2 == 0 ? 1 : -1;
        EXPECT_EQ(top(endPoints, i), QPointF(40 + i, ys[i] + (i / 50) * rise));
        EXPECT_EQ(bottom(endPoints, i), QPointF(260 - i, ys[i] + (220 - i) / 50 * rise));
    }
}

// Lines missing from the middle follow the last one found, 4 points on across the creases: down
// the frame for horizontal ones.
TEST(LineEndPointSearch, MissingHorizontalLinesFollowTheLastFound) {
    LineFrame frame(300, 200);
    for (int x = 40; x <= 260; ++x)
        frame.cover(x, 150);
    const LineEndPoints endPoints =
        searchLineEndPoints(frame.image(), 3, FoldLayout::Axis::horizontal);
    EXPECT_EQ(top(endPoints, 0), QPointF(40, 150));
    EXPECT_EQ(top(endPoints, 1), QPointF(40, 146));
    EXPECT_EQ(bottom(endPoints, 2), QPointF(260, 142));
}
