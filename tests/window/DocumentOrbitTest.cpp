// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentFixture.h"

#include "render/SheetRenderer.h"
#include "window/DocumentWindow.h"
#include "window/PictureView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <vector>

namespace {

using Axis = FoldLayout::Axis;

// A middle-button drag on the screen: the window grows about its centre as the sheet turns, so
// the pointer's screen place, not its place in the window, carries the motion.
class OrbitDrag {
public:
    OrbitDrag(DocumentController& controller, QPoint at, Qt::KeyboardModifiers modifiers = {})
        : _controller(controller), _global(controller.window()->mapToGlobal(at)) {
        send(QEvent::MouseButtonPress, {}, Qt::MiddleButton, Qt::MiddleButton, modifiers);
    }

    // right and up in points, from the press.
    void to(int right, int up, Qt::KeyboardModifiers modifiers = {}) {
        send(QEvent::MouseMove, QPoint(right, -up), Qt::NoButton, Qt::MiddleButton, modifiers);
        _offset = QPoint(right, -up);
    }
    void release() {
        send(QEvent::MouseButtonRelease, _offset, Qt::MiddleButton, Qt::NoButton, {});
    }

private:
    void send(QEvent::Type type, QPoint offset, Qt::MouseButton button, Qt::MouseButtons buttons,
              Qt::KeyboardModifiers modifiers) {
        const QPoint global = _global + offset;
        QMouseEvent event(type, QPointF(_controller.window()->mapFromGlobal(global)),
                          QPointF(global), button, buttons, modifiers);
        QApplication::sendEvent(_controller.window()->contentView(), &event);
    }

    DocumentController& _controller;
    QPoint _global;
    QPoint _offset;
};

class DocumentOrbitTest : public DocumentFixture {
protected:
    // Beside the middle line, on the sheet.
    static QPoint sheetMiddle(const DocumentController& controller) {
        return widgetPoint(controller, lineMiddle(controller, 3) + QPointF(5, 0));
    }
};

struct Turn {
    int right;
    int up;
    float pitch;
    float yaw;
};

// One degree a point, either way, held at 60, the excess pending; Shift snaps both to 5 degrees.
TEST_F(DocumentOrbitTest, TheMiddleButtonTurnsYawAcrossAndPitchUpAndDown) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    const struct {
        Qt::KeyboardModifiers modifiers;
        std::vector<Turn> steps;
    } drags[] = {
        {{},
         {{20, 10, 10, 20}, {-15, -5, -5, -15}, {90, 0, 0, 60}, {70, 0, 0, 60}, {55, 3, 3, 55}}},
        {Qt::ShiftModifier, {{3, 4, 0, 0}, {7, 6, 5, 5}, {12, -9, -5, 10}, {14, -11, -10, 10}}},
    };
    for (const auto& drag : drags) {
        OrbitDrag orbit(*controller, sheetMiddle(*controller), drag.modifiers);
        for (const Turn& step : drag.steps) {
            orbit.to(step.right, step.up, drag.modifiers);
            EXPECT_FLOAT_EQ(controller->document().pitch(), step.pitch)
                << step.right << " right, " << step.up << " up";
            EXPECT_FLOAT_EQ(controller->document().yaw(), step.yaw)
                << step.right << " right, " << step.up << " up";
            EXPECT_FLOAT_EQ(controller->renderer().yaw(), step.yaw);
        }
        orbit.release();
        EXPECT_EQ(controller->undoStack().undoText(), "Orbit");
        controller->undoStack().undo();
        EXPECT_EQ(controller->document().yaw(), 0.0f);
        EXPECT_EQ(controller->document().pitch(), 0.0f);
    }
}

// The window grows to hold every yaw once the sheet is turned, and is as before once it is not;
// Escape ends the orbit without a step.
TEST_F(DocumentOrbitTest, EscapeAndUndoPutTheSheetAndTheWindowBack) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    const QSize unturned = controller->window()->size();
    OrbitDrag orbit(*controller, sheetMiddle(*controller));
    orbit.to(30, 12);
    EXPECT_GT(controller->window()->height(), unturned.height());
    // The other button, pressed and let go meanwhile, leaves the orbit going.
    press(*controller, sheetMiddle(*controller));
    release(*controller, sheetMiddle(*controller));
    orbit.to(35, 12);
    EXPECT_FLOAT_EQ(controller->document().yaw(), 35);
    EXPECT_GE(controller->window()->width(), unturned.width());
    QTest::keyClick(controller->window()->windowHandle(), Qt::Key_Escape);
    EXPECT_EQ(controller->document().yaw(), 0.0f);
    EXPECT_EQ(controller->document().pitch(), 0.0f);
    EXPECT_EQ(controller->window()->size(), unturned);
    orbit.release();
    EXPECT_EQ(controller->undoStack().count(), 0);
}

// Ctrl+Alt with the arrows steps the tilt and the yaw a degree, a row of them one Orbit step.
TEST_F(DocumentOrbitTest, CtrlAltArrowsStepADegree) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    const Qt::KeyboardModifiers orbitKeys = Qt::ControlModifier | Qt::AltModifier;
    const struct {
        Qt::Key key;
        float pitch;
        float yaw;
    } steps[] = {{Qt::Key_Right, 0, 1}, {Qt::Key_Right, 0, 2}, {Qt::Key_Up, 1, 2},
                 {Qt::Key_Left, 1, 1},  {Qt::Key_Down, 0, 1},  {Qt::Key_Down, -1, 1}};
    for (const auto& step : steps) {
        QTest::keyClick(controller->window()->windowHandle(), step.key, orbitKeys);
        EXPECT_FLOAT_EQ(controller->document().pitch(), step.pitch);
        EXPECT_FLOAT_EQ(controller->document().yaw(), step.yaw);
    }
    EXPECT_EQ(controller->undoStack().count(), 1);
    EXPECT_EQ(controller->undoStack().undoText(), "Orbit");
}

struct TurnedLayout {
    const char* name;
    Axis axis;
    float yaw;
};

class TurnedHitAreas : public DocumentFixture,
                       public ::testing::WithParamInterface<TurnedLayout> {};

// Turned, each line's hit area still lies on the line drawn, and a drag from it moves that line.
TEST_P(TurnedHitAreas, TakeTheLineUnderThePointer) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    const TurnedLayout& turned = GetParam();
    controller->document().setLayout(*FoldLayout::fromName(turned.name, turned.axis));
    controller->document().setPitch(10);
    controller->document().setYaw(turned.yaw);
    ASSERT_FLOAT_EQ(controller->renderer().yaw(), turned.yaw);
    const int lines = controller->renderer().lineCount();
    for (int line = 0; line < lines; ++line) {
        SCOPED_TRACE(testing::Message() << "line " << line);
        const QPointF middle = lineMiddle(*controller, line);
        const QPoint at = widgetPoint(*controller, middle);
        hover(*controller, at, line);

        const FoldSnapshot before = controller->snapshot();
        press(*controller, at);
        const QPoint along = turned.axis == Axis::vertical ? QPoint(6, 0) : QPoint(0, 6);
        dragTo(*controller, at + (line == 0 ? along : -along));
        release(*controller, at + (line == 0 ? along : -along));
        EXPECT_NE(controller->snapshot(), before) << "the line did not move";
        controller->undoStack().undo();
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, TurnedHitAreas,
                         ::testing::Values(TurnedLayout{"two-tents", Axis::vertical, 35},
                                           TurnedLayout{"two-tents", Axis::vertical, -35},
                                           TurnedLayout{"accordion-4", Axis::vertical, 35},
                                           TurnedLayout{"z-fold", Axis::horizontal, 35},
                                           TurnedLayout{"letter", Axis::vertical, -35}));

} // namespace
