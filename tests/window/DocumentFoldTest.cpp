// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentFixture.h"

#include "fold/FoldModel.h"
#include "render/SheetRenderer.h"
#include "window/DocumentWindow.h"
#include "window/PictureView.h"

#include <QTest>
#include <QUndoStack>

namespace {

using DocumentFoldTest = DocumentFixture;

FoldSnapshot flatSnapshot(const DocumentController& controller) {
    return FoldSnapshot::take(FoldModel(controller.foldModel().sheetSize()), 0);
}

QImage shownPicture(const DocumentController& controller) {
    return controller.window()->contentView()->image();
}

// Through the window system's queue, as a key press from the keyboard comes.
void key(DocumentController& controller, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(controller.window()->windowHandle(), key, modifiers);
}

// The fold a drag step of the given move on one line gives from where the controller is now.
FoldModel afterStep(const DocumentController& controller, long line, FoldPoint move) {
    FoldModel fold = controller.foldModel();
    fold.moveLine(line, move, controller.renderer().pitch());
    return fold;
}

TEST_F(DocumentFoldTest, ADragIsOneUndoStepAndUndoBringsBackTheWholeFoldAndPicture) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    const QPoint start = widgetPoint(*controller, lineMiddle(*controller, 0) + QPointF(4, 0));
    hover(*controller, start, 0);
    const QImage flatPicture = shownPicture(*controller);
    const FoldModel flat = controller->foldModel();

    press(*controller, start);
    for (int dx : {8, 20, 30})
        dragTo(*controller, start + QPoint(dx, 0));
    release(*controller, start + QPoint(30, 0));
    const FoldSnapshot folded = controller->snapshot();
    ASSERT_NE(folded, flatSnapshot(*controller));
    QUndoStack& stack = controller->undoStack();
    ASSERT_EQ(stack.count(), 1);
    EXPECT_EQ(stack.undoText(), "Fold");

    stack.undo();
    EXPECT_EQ(controller->snapshot(), flatSnapshot(*controller));
    for (int i = 0; i < creaseLineCount; ++i) {
        EXPECT_EQ(controller->foldModel().limits()[i].lower, flat.limits()[i].lower)
            << "line " << i;
        EXPECT_EQ(controller->foldModel().limits()[i].upper, flat.limits()[i].upper)
            << "line " << i;
    }
    EXPECT_EQ(shownPicture(*controller), flatPicture);
    stack.redo();
    EXPECT_EQ(controller->snapshot(), folded);
}

TEST_F(DocumentFoldTest, ATiltDragIsOneTiltStep) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    const QPoint start = widgetPoint(*controller, controller->endPoints()[3][0] - QPointF(0, 4));
    hover(*controller, start, 7);

    press(*controller, start);
    dragTo(*controller, start - QPoint(0, 10));
    dragTo(*controller, start - QPoint(0, 25));
    release(*controller, start - QPoint(0, 25));
    ASSERT_EQ(controller->undoStack().count(), 1);
    EXPECT_EQ(controller->undoStack().undoText(), "Tilt");
    controller->undoStack().undo();
    EXPECT_EQ(controller->renderer().pitch(), 0.0f);
}

TEST_F(DocumentFoldTest, ArrowKeysMoveTheLineUnderThePointerAsADragOfOneOrTenPoints) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    hover(*controller, widgetPoint(*controller, lineMiddle(*controller, 3)), 3);

    FoldModel expected = afterStep(*controller, 3, {1, 0});
    key(*controller, Qt::Key_Right);
    EXPECT_EQ(controller->foldModel().creases(), expected.creases());
    expected = afterStep(*controller, 3, {-10, 0});
    key(*controller, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(controller->foldModel().creases(), expected.creases());
    // Up and down only move the peak lines.
    const FoldSnapshot before = controller->snapshot();
    key(*controller, Qt::Key_Up);
    EXPECT_EQ(controller->snapshot(), before);

    ASSERT_EQ(controller->undoStack().count(), 1) << "key steps in a row are one undo step";
    EXPECT_EQ(controller->undoStack().undoText(), "Fold");
    controller->undoStack().undo();
    EXPECT_EQ(controller->snapshot(), flatSnapshot(*controller));
}

TEST_F(DocumentFoldTest, UpAndDownRaiseAndLowerAPeakAsAVerticalDragDoes) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    hover(*controller, widgetPoint(*controller, lineMiddle(*controller, 4)), 4);

    FoldModel expected = afterStep(*controller, 4, {0, 10});
    key(*controller, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(controller->foldModel().profile(), expected.profile());
    EXPECT_GT(controller->foldModel().profile()[4].y, 0) << "the right peak rises";
    expected = afterStep(*controller, 4, {0, -1});
    key(*controller, Qt::Key_Down);
    EXPECT_EQ(controller->foldModel().profile(), expected.profile());
}

TEST_F(DocumentFoldTest, WithoutALineUnderThePointerTheKeysMoveTheLineDraggedLast) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    key(*controller, Qt::Key_Right);
    EXPECT_EQ(controller->snapshot(), flatSnapshot(*controller)) << "no line dragged yet";

    const QPoint start = widgetPoint(*controller, lineMiddle(*controller, 1));
    hover(*controller, start, 1);
    press(*controller, start);
    dragTo(*controller, start + QPoint(6, 0));
    release(*controller, start + QPoint(6, 0));
    hover(*controller, QPoint(2, 2), 9);

    const FoldModel expected = afterStep(*controller, 1, {-1, 0});
    key(*controller, Qt::Key_Left);
    EXPECT_EQ(controller->foldModel().creases(), expected.creases());
    EXPECT_EQ(controller->undoStack().count(), 2) << "the drag, then the key step";
}

TEST_F(DocumentFoldTest, PageKeysTiltByADegreeWithinSixty) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    for (int i = 0; i < 3; ++i)
        key(*controller, Qt::Key_PageUp);
    EXPECT_EQ(controller->renderer().pitch(), 3.0f);
    key(*controller, Qt::Key_PageDown);
    EXPECT_EQ(controller->renderer().pitch(), 2.0f);
    ASSERT_EQ(controller->undoStack().count(), 1);
    EXPECT_EQ(controller->undoStack().undoText(), "Tilt");

    controller->undoStack().undo();
    EXPECT_EQ(controller->renderer().pitch(), 0.0f);
    for (int i = 0; i < 65; ++i)
        key(*controller, Qt::Key_PageDown);
    EXPECT_EQ(controller->renderer().pitch(), -60.0f);
    EXPECT_EQ(controller->undoStack().count(), 1) << "a new row after the undo, still one step";
}

TEST_F(DocumentFoldTest, EscapeDuringADragPutsTheFoldBackAndEndsTheDrag) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    const QPoint start = widgetPoint(*controller, lineMiddle(*controller, 0) + QPointF(4, 0));
    hover(*controller, start, 0);
    const QImage flatPicture = shownPicture(*controller);

    press(*controller, start);
    dragTo(*controller, start + QPoint(25, 0));
    ASSERT_NE(controller->snapshot(), flatSnapshot(*controller));
    key(*controller, Qt::Key_Escape);
    EXPECT_EQ(controller->snapshot(), flatSnapshot(*controller));
    EXPECT_EQ(shownPicture(*controller), flatPicture);
    EXPECT_TRUE(controller->isTimerActive());

    dragTo(*controller, start + QPoint(40, 0));
    release(*controller, start + QPoint(40, 0));
    EXPECT_EQ(controller->snapshot(), flatSnapshot(*controller));
    EXPECT_EQ(controller->undoStack().count(), 0);
}

TEST_F(DocumentFoldTest, UndoDuringADragEndsTheDragWithoutAStepOfItsOwn) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    hover(*controller, widgetPoint(*controller, lineMiddle(*controller, 3)), 3);
    key(*controller, Qt::Key_Right, Qt::ShiftModifier);
    const QPoint start = widgetPoint(*controller, lineMiddle(*controller, 3));
    hover(*controller, start, 3);

    press(*controller, start);
    dragTo(*controller, start + QPoint(12, 0));
    controller->undoStack().undo();
    dragTo(*controller, start + QPoint(20, 0));
    release(*controller, start + QPoint(20, 0));
    EXPECT_EQ(controller->snapshot(), flatSnapshot(*controller));
    EXPECT_EQ(controller->undoStack().index(), 0);
    EXPECT_TRUE(controller->undoStack().canRedo());
}

TEST_F(DocumentFoldTest, ResetFoldFlattensAndUntiltsAsOneUndoStep) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    hover(*controller, widgetPoint(*controller, lineMiddle(*controller, 2)), 2);
    key(*controller, Qt::Key_Up, Qt::ShiftModifier);
    key(*controller, Qt::Key_PageUp);
    const FoldSnapshot folded = controller->snapshot();

    controller->document().resetFold();
    EXPECT_EQ(controller->snapshot(), flatSnapshot(*controller));
    EXPECT_EQ(controller->undoStack().undoText(), "Reset Fold");
    controller->undoStack().undo();
    EXPECT_EQ(controller->snapshot(), folded);
}

TEST_F(DocumentFoldTest, AFoldSavedFromOneDocumentIsReproducedOnAPictureOfTheSameSize) {
    auto first = openShown(QSize(640, 480));
    ASSERT_TRUE(first);
    hover(*first, widgetPoint(*first, lineMiddle(*first, 2)), 2);
    key(*first, Qt::Key_Up, Qt::ShiftModifier);
    key(*first, Qt::Key_Left, Qt::ShiftModifier);
    key(*first, Qt::Key_PageDown);
    const QString path = _dir.filePath("kept.pleatfold");
    first->saveFoldToFile(path);
    const FoldModel made = first->foldModel();
    first.reset();

    auto second = openDocument(writeImage(QSize(640, 480), "other.png"));
    ASSERT_TRUE(second);
    second->applyFoldFile(path);
    for (int i = 0; i < creaseLineCount; ++i) {
        EXPECT_NEAR(second->foldModel().creases()[i], made.creases()[i], 1e-4);
        EXPECT_NEAR(second->foldModel().profile()[i].x, made.profile()[i].x, 1e-4);
        EXPECT_NEAR(second->foldModel().profile()[i].y, made.profile()[i].y, 1e-4);
    }
    EXPECT_EQ(second->renderer().pitch(), -1.0f);
    EXPECT_EQ(second->undoStack().undoText(), "Apply Fold");
    second->undoStack().undo();
    EXPECT_EQ(second->snapshot(), flatSnapshot(*second));
}

} // namespace
