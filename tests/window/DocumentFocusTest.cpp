// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentFixture.h"

#include "window/DocumentWindow.h"
#include "window/PictureView.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QTest>

namespace {

class DocumentFocusTest : public DocumentFixture {
protected:
    // Hovers the left peak of a shown document, which highlights it in the control colour.
    QPointF hoverThePeak(DocumentController& controller) {
        const QPointF peak = lineMiddle(controller, 2);
        hover(controller, widgetPoint(controller, peak), 2);
        EXPECT_EQ(shownPixel(controller, peak), controlColor);
        return peak;
    }

    void expectNoHighlight(const DocumentController& controller, QPointF peak) {
        EXPECT_EQ(controller.controlArea(), 9);
        EXPECT_EQ(controller.window()->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(shownPixel(controller, peak), creaseColor);
    }
};

TEST_F(DocumentFocusTest, LeavingTheWindowClearsTheHighlightAtOnce) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    useOpaqueLineColors();
    const QPointF peak = hoverThePeak(*controller);

    // Before any hover poll can run.
    QCursor::setPos(1900, 1060);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(controller->window(), &leave);

    expectNoHighlight(*controller, peak);
}

TEST_F(DocumentFocusTest, LosingKeyClearsTheHighlightAndRestoresTheArrow) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    useOpaqueLineColors();
    const QPointF peak = hoverThePeak(*controller);

    QWidget other;
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));

    EXPECT_FALSE(controller->isTimerActive());
    expectNoHighlight(*controller, peak);
}

TEST_F(DocumentFocusTest, HoverPollPausesWhileAPopUpIsOpen) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    useOpaqueLineColors();
    const QPointF peak = hoverThePeak(*controller);
    const QImage seen = controller->window()->contentView()->image();

    QMenu menu;
    menu.addAction(QStringLiteral("Copy"));
    menu.popup(controller->window()->mapToGlobal(widgetPoint(*controller, peak)));
    ASSERT_TRUE(waitFor([&menu] { return menu.isVisible(); }));
    // The pointer crosses the window to line 3 while the menu is open: nothing follows it.
    QCursor::setPos(
        controller->window()->mapToGlobal(widgetPoint(*controller, lineMiddle(*controller, 3))));
    QTest::qWait(300);
    EXPECT_EQ(controller->controlArea(), 2);
    EXPECT_EQ(controller->window()->contentView()->image(), seen);

    menu.close();
    EXPECT_TRUE(waitFor([&] { return controller->controlArea() == 3; }));
}

} // namespace
