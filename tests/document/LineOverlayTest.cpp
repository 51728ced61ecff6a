// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/LineOverlay.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

const QColor crease(0, 0, 255);
const QColor control(0, 255, 0);

// Seven vertical lines 40 points apart on a 300 x 200 frame, from y 150 (top) to 50 (bottom).
LineEndPoints verticalLines() {
    LineEndPoints endPoints{};
    for (int i = 0; i < creaseLineCount; ++i) {
        endPoints[i][0] = QPointF(30 + 40 * i, 150);
        endPoints[i][1] = QPointF(30 + 40 * i, 50);
    }
    return endPoints;
}

QImage blankFrame() {
    QImage image(300, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The pixel at a frame point (y up).
QColor at(const QImage& image, double x, double y) {
    return image.pixelColor(int(x), image.height() - 1 - int(y));
}

QImage drawn(bool showCrease, bool showControl, int area) {
    QImage image = blankFrame();
    LineOverlay{crease, control, showCrease, showControl}.draw(image, verticalLines(), area);
    return image;
}

} // namespace

TEST(LineOverlayTest, WithoutAnAreaOnlyTheFiveCreaseLinesAreDrawn) {
    const QImage image = drawn(true, true, 9);
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(at(image, 30 + 40 * i, 100), crease) << i;
    EXPECT_EQ(at(image, 30, 100).alpha(), 0);  // left edge
    EXPECT_EQ(at(image, 270, 100).alpha(), 0); // right edge
    EXPECT_EQ(at(image, 50, 150).alpha(), 0);  // top polyline between lines 0 and 1
}

TEST(LineOverlayTest, TheControlAreaIsStrokedInTheControlColourOnly) {
    QImage image = drawn(true, true, 3);
    EXPECT_EQ(at(image, 150, 100), control);
    EXPECT_EQ(at(image, 110, 100), crease);

    image = drawn(false, true, 0);
    EXPECT_EQ(at(image, 30, 100), control);
    EXPECT_EQ(at(image, 110, 100).alpha(), 0);

    // The bands are the polylines through the top and the bottom ends.
    image = drawn(false, true, 8);
    EXPECT_EQ(at(image, 50, 50), control);
    EXPECT_EQ(at(image, 250, 50), control);
    EXPECT_EQ(at(image, 50, 150).alpha(), 0);

    // Control lines off: no highlight at all.
    image = drawn(false, false, 3);
    EXPECT_EQ(at(image, 150, 100).alpha(), 0);
}

TEST(LineOverlayTest, LinesAreTwoPointsWideWithSquareCapsAtTwiceTheScale) {
    QImage image(600, 400, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(Qt::transparent);
    LineOverlay{crease, control, true, true}.draw(image, verticalLines(), 9);
    // Line 1 at x = 70 points is x 136..143 pixels (2 points wide), y from 50 - 1 to 150 + 1.
    EXPECT_EQ(image.pixelColor(140, 400 - 1 - 200), crease);
    EXPECT_EQ(image.pixelColor(132, 400 - 1 - 200).alpha(), 0);
    EXPECT_EQ(image.pixelColor(140, 400 - 1 - 301), crease); // the square cap past the top end
    EXPECT_EQ(image.pixelColor(140, 400 - 1 - 306).alpha(), 0);
}

// An export smaller than the window has a ratio under 1: the lines shrink with the sheet.
TEST(LineOverlayTest, LinesFollowTheSheetAtAPixelRatioUnderOne) {
    QImage image(150, 100, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(0.5);
    image.fill(Qt::transparent);
    LineOverlay{crease, control, true, true}.draw(image, verticalLines(), 9);
    // Line 5 at x = 230 points lies one pixel wide across pixels 114 and 115, from y 25 to 75
    // pixels (y up), each half covered.
    const QColor onLine = image.pixelColor(115, 100 - 1 - 50);
    EXPECT_GT(onLine.alpha(), 100);
    EXPECT_EQ(onLine.red(), 0);
    EXPECT_EQ(onLine.green(), 0);
    EXPECT_EQ(image.pixelColor(115, 100 - 1 - 90).alpha(), 0);
    EXPECT_EQ(image.pixelColor(135, 100 - 1 - 50).alpha(), 0);
    EXPECT_EQ(image.devicePixelRatio(), 0.5);
}

// What changes between two overlays is what a partial redraw must cover: redrawing only there
// over the earlier picture gives the later one.
TEST(LineOverlayTest, ChangeCoversExactlyThePathsThatChanged) {
    const LineOverlay overlay{crease, control, true, true};
    const LineEndPoints endPoints = verticalLines();
    EXPECT_TRUE(overlay.changeFrom(overlay, endPoints, 2, endPoints, 2, 200).isEmpty());

    // Hover moves from line 2 to line 4: both lines, nothing of lines 1, 3 or 5.
    const QRect hover = overlay.changeFrom(overlay, endPoints, 2, endPoints, 4, 200);
    EXPECT_TRUE(hover.contains(QRect(110 - 3, 50 - 3, 6, 106)));
    EXPECT_TRUE(hover.contains(QRect(190 - 3, 50 - 3, 6, 106)));
    EXPECT_GT(hover.left(), 70 + 3);
    EXPECT_LT(hover.right(), 230 - 3);

    QImage partial = blankFrame();
    overlay.draw(partial, endPoints, 2);
    QImage fresh = partial;
    fresh.fill(Qt::transparent);
    QPainter(&partial).fillRect(hover, Qt::transparent);
    overlay.draw(partial, endPoints, 4, hover);
    overlay.draw(fresh, endPoints, 4);
    EXPECT_EQ(partial, fresh);

    // A new crease colour changes the five crease lines but not the highlighted one.
    const LineOverlay recoloured{Qt::red, control, true, true};
    const QRect colour = recoloured.changeFrom(overlay, endPoints, 3, endPoints, 3, 200);
    EXPECT_TRUE(colour.contains(QPoint(70, 100)));
    EXPECT_TRUE(colour.contains(QPoint(230, 100)));
    EXPECT_FALSE(colour.contains(QPoint(30, 100)));

    // Moved end points: where the line was and where it is.
    LineEndPoints moved = endPoints;
    moved[1][0].rx() += 20;
    const QRect move = overlay.changeFrom(overlay, endPoints, 9, moved, 9, 200);
    EXPECT_LE(move.left(), 70 - 2);
    EXPECT_GE(move.right(), 90);
    EXPECT_LT(move.right(), 110);
}
