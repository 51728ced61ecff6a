// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentFixture.h"

#include "render/SheetRenderer.h"
#include "window/DocumentWindow.h"

#include <QFile>
#include <QScreen>
#include <QTest>
#include <QUndoStack>

#include <cmath>

namespace {

using DocumentLayoutTest = DocumentFixture;
using Axis = FoldLayout::Axis;

std::vector<double> creasesOf(const DocumentController& controller) {
    return controller.document().fold().panels()->creases();
}

// A crease of horizontal creases moves down the screen with the pointer, and Undo puts it back.
TEST_F(DocumentLayoutTest, AMouseDragMovesAHorizontalCreaseAndUndoPutsItBack) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    controller->document().setLayout(*FoldLayout::fromName("z-fold", Axis::horizontal));
    ASSERT_EQ(controller->renderer().lineCount(), 4);
    const std::vector<double> flat = creasesOf(*controller);
    const QPointF startLine = lineMiddle(*controller, 1);
    const QPoint start = widgetPoint(*controller, startLine);
    hover(*controller, start, 1);

    press(*controller, start);
    for (int dy : {6, 14, 20})
        dragTo(*controller, start + QPoint(0, dy));
    release(*controller, start + QPoint(0, 20));
    EXPECT_NEAR(creasesOf(*controller)[1], flat[1] + 20, 1e-9);
    EXPECT_EQ(creasesOf(*controller)[2], flat[2]);
    EXPECT_NEAR(lineMiddle(*controller, 1).y(), startLine.y() - 20, 1.5);
    QUndoStack& stack = controller->undoStack();
    ASSERT_EQ(stack.count(), 2);
    EXPECT_EQ(stack.undoText(), "Fold");

    stack.undo();
    EXPECT_EQ(creasesOf(*controller), flat);
    stack.undo();
    EXPECT_EQ(controller->document().layout(), FoldLayout());
    EXPECT_EQ(controller->renderer().lineCount(), creaseLineCount);
}

// The sides of a sheet with horizontal creases tilt it about the vertical axis.
TEST_F(DocumentLayoutTest, ASideBandTiltsASheetOfHorizontalCreases) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    const QSize classic = controller->window()->size();
    const FoldLayout layout = FoldLayout::accordion(4, Axis::horizontal);
    controller->document().setLayout(layout);
    // The window grows to hold the fold at every pose and tilt, and the frame with it.
    const FoldSize room = SheetSizing::windowSize(controller->document().sheetSize(), layout);
    EXPECT_EQ(controller->window()->size(), QSize(int(room.width), int(room.height)));
    EXPECT_GT(controller->window()->height(), classic.height());
    const QImage frame = controller->renderer().captureFrame();
    EXPECT_EQ(frame.deviceIndependentSize().toSize(), controller->window()->size());
    const QPointF left = (controller->endPoints()[1][0] + controller->endPoints()[2][0]) / 2;
    const QPoint start = widgetPoint(*controller, left + QPointF(3, 0));
    hover(*controller, start, controller->controlAreas().firstBand());

    press(*controller, start);
    dragTo(*controller, start + QPoint(-10, 0));
    dragTo(*controller, start + QPoint(-25, 0));
    release(*controller, start + QPoint(-25, 0));
    EXPECT_EQ(controller->document().pitch(), 25.0f);
    EXPECT_EQ(controller->undoStack().undoText(), "Tilt");
    controller->undoStack().undo();
    EXPECT_EQ(controller->document().pitch(), 0.0f);
}

// A picture opened in a layout starts flat in it, its window sized for it, with no step to undo.
TEST_F(DocumentLayoutTest, APictureOpensFlatInTheLayoutAsked) {
    const FoldLayout layout = FoldLayout::tent(Axis::horizontal);
    const QUrl url = writeImage(QSize(500, 400));
    const SheetSizing sizing = SheetSizing::ofFirstScreen();
    const PictureReader::Result picture = PictureReader::read(
        QFile::encodeName(url.toLocalFile()), sizing.decodeSize(QSize(500, 400), layout));
    QString failure;
    auto controller =
        DocumentController::create(picture, sizing, url, *_preferences, &failure, layout);
    ASSERT_TRUE(controller) << failure.toStdString();
    EXPECT_EQ(controller->document().layout(), layout);
    EXPECT_EQ(controller->document().snapshot(), controller->document().flatSnapshot());
    EXPECT_EQ(controller->undoStack().count(), 0);
    EXPECT_EQ(controller->renderer().lineCount(), 5);
    EXPECT_EQ(controller->controlAreas().lineCount(), 5);
    const FoldSize room = SheetSizing::windowSize(controller->document().sheetSize(), layout);
    EXPECT_EQ(controller->window()->size(), QSize(int(room.width), int(room.height)));
}

// A large picture switched to a layout whose window would not fit takes a smaller sheet: the
// window fits the screen's available area and the renderer draws the sheet at its new size. Undo
// gives back the classic's window.
TEST_F(DocumentLayoutTest, TheWindowFitsTheScreenAfterAChangeOfLayout) {
    auto controller = openShown(QSize(3000, 2000));
    ASSERT_TRUE(controller);
    const QRect available = controller->window()->screen()->availableGeometry();
    const QSize classic = controller->window()->size();
    const FoldSize opened = controller->document().sheetSize();
    const FoldLayout layout = FoldLayout::accordion(12, Axis::horizontal);
    const FoldSize unshrunk = SheetSizing::windowSize(opened, layout);
    ASSERT_GT(unshrunk.height, available.height());

    controller->document().setLayout(layout);
    const FoldSize sheet = controller->document().sheetSize();
    EXPECT_LT(sheet.height, opened.height);
    const FoldSize room = SheetSizing::windowSize(sheet, layout);
    EXPECT_EQ(controller->window()->size(), QSize(int(room.width), int(room.height)));
    EXPECT_TRUE(available.contains(controller->window()->geometry()))
        << controller->window()->geometry().height() << " in " << available.height();
    const QImage frame = controller->renderer().captureFrame();
    EXPECT_EQ(frame.deviceIndependentSize().toSize(), controller->window()->size());
    // Flat, the edges lie the sheet's length apart down the frame.
    const int last = layout.panelCount();
    EXPECT_NEAR(lineMiddle(*controller, 0).y() - lineMiddle(*controller, last).y(), sheet.height,
                2.0);

    controller->undoStack().undo();
    EXPECT_EQ(controller->document().sheetSize(), opened);
    EXPECT_EQ(controller->window()->size(), classic);
    EXPECT_NEAR(lineMiddle(*controller, 6).x() - lineMiddle(*controller, 0).x(), opened.width, 2.0);
}

} // namespace

namespace {

// Dragging the first edge of a letter fold toward the middle folds that panel away from the
// viewer, as far as the pointer goes and no further than the paper allows; Escape puts the fold
// back, and a finished drag is one step for Undo.
TEST_F(DocumentLayoutTest, DraggingAHingedPanelsEdgeTurnsItAboutItsCrease) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    Document& document = controller->document();
    document.setLayout(FoldLayout::hinged(FoldLayout::Shape::letter));
    ASSERT_EQ(document.fold().hinged()->angles(), (std::vector<double>{0, 0}));
    const QPoint start = widgetPoint(*controller, lineMiddle(*controller, 0) + QPointF(3, 0));
    hover(*controller, start, 0);

    press(*controller, start);
    dragTo(*controller, start + QPoint(30, 0));
    const double turned = document.fold().hinged()->angles()[0];
    EXPECT_LT(turned, -5.0);
    EXPECT_EQ(document.fold().hinged()->angles()[1], 0.0);
    QTest::keyClick(controller->window(), Qt::Key_Escape);
    EXPECT_EQ(document.fold().hinged()->angles()[0], 0.0);

    press(*controller, start);
    for (int dx = 20; dx <= 2000; dx += 20)
        dragTo(*controller, start + QPoint(dx, 0));
    release(*controller, start + QPoint(2000, 0));
    const HingedFold& hinged = *document.fold().hinged();
    EXPECT_GE(hinged.angles()[0], -180.0);
    EXPECT_LT(hinged.angles()[0], -150.0);
    EXPECT_TRUE(hinged.allows(hinged.angles()));
    EXPECT_EQ(controller->undoStack().undoText(), "Fold");
    controller->undoStack().undo();
    EXPECT_EQ(document.fold().hinged()->angles()[0], 0.0);

    // Shift takes whole steps of 15 degrees.
    press(*controller, start, Qt::ShiftModifier);
    for (const int dx : {7, 19, 33, 41})
        dragTo(*controller, start + QPoint(dx, 0), Qt::ShiftModifier);
    const double snapped = document.fold().hinged()->angles()[0];
    EXPECT_LT(snapped, 0.0);
    EXPECT_DOUBLE_EQ(std::remainder(snapped, 15.0), 0.0);
    release(*controller, start + QPoint(41, 0));
}

} // namespace
