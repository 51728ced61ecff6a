// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentFixture.h"
#include "XWindowBehind.h"

#include "window/DocumentWindow.h"

#include <QCursor>
#include <QGuiApplication>
#include <QTest>

namespace {

class ClickThroughTest : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X server";
        _behind = std::make_unique<XWindowBehind>();
        ASSERT_TRUE(_behind->isMapped());
    }
    void TearDown() override {
        _behind.reset();
        DocumentFixture::TearDown();
    }

    // A point of the sheet's middle facet, between the hit areas of lines 3 and 4.
    static QPoint onTheSheet(const DocumentController& controller) {
        return widgetPoint(controller, (lineMiddle(controller, 3) + lineMiddle(controller, 4)) / 2);
    }

    std::unique_ptr<XWindowBehind> _behind;
};

TEST_F(ClickThroughTest, DragInTheTransparentMarginReachesTheWindowBehind) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    DocumentWindow* window = controller->window();
    const QPoint windowAt = window->pos();
    // The corner of the window, far outside the sheet.
    const QPoint corner = window->mapToGlobal(QPoint(6, 6));

    _behind->clickAndDrag(corner, QPoint(30, 20));

    QPoint pressedAt;
    ASSERT_TRUE(_behind->waitForPress(3000, &pressedAt));
    EXPECT_EQ(pressedAt, corner * qApp->devicePixelRatio());
    QTest::qWait(100);
    EXPECT_EQ(window->pos(), windowAt) << "Pleatora moved";
}

TEST_F(ClickThroughTest, DragOnTheSheetMovesPleatoraAndNothingReachesTheWindowBehind) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    DocumentWindow* window = controller->window();
    const QPoint windowAt = window->pos();

    _behind->clickAndDrag(window->mapToGlobal(onTheSheet(*controller)), QPoint(30, 20));

    EXPECT_TRUE(waitFor([&] { return window->pos() == windowAt + QPoint(30, 20); }))
        << window->pos().x() << "," << window->pos().y();
    EXPECT_FALSE(_behind->waitForPress(200));
}

TEST_F(ClickThroughTest, TheInputAreaFollowsTheFoldWhenADragEndsAndOnUndo) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    DocumentWindow* window = controller->window();
    // On the sheet beside its left edge, clear of the edge's hit area, at first; pushing the edge
    // inward leaves it in the margin.
    const QPointF edgeMiddle = lineMiddle(*controller, 0);
    const QPoint besideTheEdge = widgetPoint(*controller, edgeMiddle + QPointF(12, 0));
    const QPoint edgeGrip = widgetPoint(*controller, edgeMiddle + QPointF(4, 0));
    hover(*controller, edgeGrip, 0);
    press(*controller, edgeGrip);
    dragTo(*controller, edgeGrip + QPoint(80, 0));
    release(*controller, edgeGrip + QPoint(80, 0));
    ASSERT_GT(controller->endPoints()[0][0].x(), edgeMiddle.x() + 40);
    QCursor::setPos(1900, 1060);
    const QPoint windowAt = window->pos();

    _behind->clickAndDrag(window->mapToGlobal(besideTheEdge), QPoint(30, 20));

    EXPECT_TRUE(_behind->waitForPress());
    QTest::qWait(100);
    EXPECT_EQ(window->pos(), windowAt);

    // Undone, the edge is back and the sheet takes the click there again: a drag moves Pleatora.
    controller->undoStack().undo();
    _behind->clickAndDrag(window->mapToGlobal(besideTheEdge), QPoint(30, 20));
    EXPECT_TRUE(waitFor([&] { return window->pos() == windowAt + QPoint(30, 20); }));
    EXPECT_FALSE(_behind->waitForPress(200));
}

} // namespace
