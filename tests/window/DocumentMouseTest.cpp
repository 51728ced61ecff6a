// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentFixture.h"

#include "document/ControlAreas.h"
#include "fold/FoldModel.h"
#include "render/SheetRenderer.h"
#include "window/DocumentWindow.h"

#include <QCursor>

namespace {

using DocumentMouseTest = DocumentFixture;

// Drives a separate fold the way a drag does: displacements count from a reference point that
// advances only by what the solver applied.
class ReferenceDrag {
public:
    ReferenceDrag(FoldSize imageSize, long line, QPointF pressedAt)
        : fold(imageSize), _line(line), _lastPoint(pressedAt) {}

    FoldPoint dragTo(QPointF pointer) {
        const FoldPoint applied = fold.moveLine(
            _line, FoldPoint{pointer.x() - _lastPoint.x(), pointer.y() - _lastPoint.y()}, 0);
        _lastPoint += QPointF(applied.x, applied.y);
        return applied;
    }

    FoldModel fold;

private:
    long _line;
    QPointF _lastPoint;
};

void expectSameFold(const FoldModel& actual, const FoldModel& expected) {
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(actual.creases()[i], expected.creases()[i]) << "crease " << i;
        EXPECT_EQ(actual.profile()[i].x, expected.profile()[i].x) << "vertex " << i;
        EXPECT_EQ(actual.profile()[i].y, expected.profile()[i].y) << "vertex " << i;
    }
    EXPECT_EQ(actual.leftDirection(), expected.leftDirection());
    EXPECT_EQ(actual.rightDirection(), expected.rightDirection());
}

// Screen displacements are y up; window positions y down.
QPointF screenOffset(QPoint from, QPoint to) {
    return QPointF(to.x() - from.x(), from.y() - to.y());
}

TEST_F(DocumentMouseTest, HoveringALineSelectsItShowsTheOpenHandAndHighlightsIt) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    useOpaqueLineColors();
    const QPointF peak = lineMiddle(*controller, 2);

    hover(*controller, widgetPoint(*controller, peak), 2);
    EXPECT_EQ(controller->window()->cursor().shape(), Qt::OpenHandCursor);
    EXPECT_EQ(shownPixel(*controller, peak), controlColor);
    EXPECT_EQ(shownPixel(*controller, lineMiddle(*controller, 3)), creaseColor);

    hover(*controller, QPoint(2, 2), 9);
    EXPECT_EQ(controller->window()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(shownPixel(*controller, peak), creaseColor);
}

TEST_F(DocumentMouseTest, DraggingTheLeftEdgeFoldsAsTheSolverComputesAndThePictureFollows) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    const QPoint start = widgetPoint(*controller, lineMiddle(*controller, 0) + QPointF(4, 0));
    hover(*controller, start, 0);
    const double edgeBefore = controller->endPoints()[0][0].x();
    ReferenceDrag reference(controller->foldModel().sheetSize(), 0, QPointF());

    press(*controller, start);
    EXPECT_EQ(controller->window()->cursor().shape(), Qt::ClosedHandCursor);
    EXPECT_FALSE(controller->isTimerActive());
    for (int dx : {6, 15, 40}) {
        const QPoint to = start + QPoint(dx, 0);
        dragTo(*controller, to);
        reference.dragTo(screenOffset(start, to));
        expectSameFold(controller->foldModel(), reference.fold);
    }
    release(*controller, start + QPoint(40, 0));

    EXPECT_GT(controller->foldModel().profile()[0].x, 0);
    EXPECT_GT(controller->endPoints()[0][0].x(), edgeBefore + 20);
    EXPECT_EQ(controller->window()->cursor().shape(), Qt::OpenHandCursor);
    EXPECT_TRUE(controller->isTimerActive());
}

TEST_F(DocumentMouseTest, HitAreasKeepTheShapeOfTheFirstDragStepUntilTheNextUpdateAfterIt) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    const QPoint start = widgetPoint(*controller, lineMiddle(*controller, 0) + QPointF(4, 0));
    hover(*controller, start, 0);
    const double edgeAtPress = controller->endPoints()[0][0].x();

    press(*controller, start);
    dragTo(*controller, start + QPoint(6, 0));
    const auto firstStepEnds = controller->endPoints();
    ASSERT_GT(firstStepEnds[0][0].x(), edgeAtPress);
    ControlAreas firstStep;
    firstStep.updateTrackingAreaPath(firstStepEnds);
    dragTo(*controller, start + QPoint(30, 0));
    dragTo(*controller, start + QPoint(40, 0));
    ASSERT_GT(controller->endPoints()[0][0].x(),
              firstStepEnds[0][0].x() + 2 * firstStep.edgeStripWidth);
    for (int area = 0; area < ControlAreas::areaCount; ++area)
        EXPECT_EQ(controller->controlAreas().path(area), firstStep.path(area)) << "area " << area;
    release(*controller, start + QPoint(40, 0));

    // The first update after the drag (here one a preference brings) puts the areas on the sheet
    // again.
    _preferences->setValue(Preferences::shading, 10);
    ControlAreas current;
    current.updateTrackingAreaPath(controller->endPoints());
    for (int area = 0; area < ControlAreas::areaCount; ++area)
        EXPECT_EQ(controller->controlAreas().path(area), current.path(area)) << "area " << area;
}

TEST_F(DocumentMouseTest, MotionPastABoundStaysPending) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    const QPoint start = widgetPoint(*controller, lineMiddle(*controller, 0) + QPointF(4, 0));
    hover(*controller, start, 0);
    ReferenceDrag reference(controller->foldModel().sheetSize(), 0, QPointF());

    press(*controller, start);
    const QPoint far = start + QPoint(500, 0);
    dragTo(*controller, far);
    const double applied = reference.dragTo(screenOffset(start, far)).x;
    ASSERT_LT(applied, 490) << "the edge should have met its bound";
    const FoldModel stopped = controller->foldModel();

    // Back toward the start, but still beyond where the edge stopped: nothing moves.
    const QPoint stillBeyond = start + QPoint(static_cast<int>(applied) + 10, 0);
    dragTo(*controller, stillBeyond);
    reference.dragTo(screenOffset(start, stillBeyond));
    expectSameFold(controller->foldModel(), stopped);

    // Back past the stop: the edge follows again, as the solver says.
    const QPoint back = start + QPoint(static_cast<int>(applied) - 30, 0);
    dragTo(*controller, back);
    reference.dragTo(screenOffset(start, back));
    expectSameFold(controller->foldModel(), reference.fold);
    EXPECT_LT(controller->foldModel().profile()[0].x, stopped.profile()[0].x);
    release(*controller, back);
}

TEST_F(DocumentMouseTest, DraggingTheTopBandTiltsUpToSixtyDegreesAndKeepsTheExcessPending) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    const QPoint start = widgetPoint(*controller, controller->endPoints()[3][0] - QPointF(0, 4));
    hover(*controller, start, 7);

    press(*controller, start);
    dragTo(*controller, start - QPoint(0, 100));
    EXPECT_FLOAT_EQ(controller->renderer().pitch(), 60);
    dragTo(*controller, start - QPoint(0, 70));
    EXPECT_FLOAT_EQ(controller->renderer().pitch(), 60);
    dragTo(*controller, start - QPoint(0, 50));
    EXPECT_FLOAT_EQ(controller->renderer().pitch(), 50);
    dragTo(*controller, start - QPoint(0, 45), Qt::AltModifier | Qt::ControlModifier);
    EXPECT_FLOAT_EQ(controller->renderer().pitch(), 45);
    release(*controller, start - QPoint(0, 45));
}

TEST_F(DocumentMouseTest, ShiftSnapsTheTiltToFifteenDegrees) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    const QPoint start = widgetPoint(*controller, controller->endPoints()[3][1] + QPointF(0, 4));
    hover(*controller, start, 8);

    press(*controller, start);
    const std::pair<int, float> steps[] = {{10, 0},  {16, 15}, {29, 15},
                                           {31, 30}, {44, 30}, {46, 45}};
    for (const auto& [up, pitch] : steps) {
        dragTo(*controller, start - QPoint(0, up), Qt::ShiftModifier);
        EXPECT_FLOAT_EQ(controller->renderer().pitch(), pitch) << up << " points up";
    }
    release(*controller, start - QPoint(0, 46));
}

TEST_F(DocumentMouseTest, ShiftKeepsAPeakDragHorizontalAndOptionVertical) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    const QPoint start = widgetPoint(*controller, lineMiddle(*controller, 2));
    hover(*controller, start, 2);
    const FoldModel before = controller->foldModel();

    press(*controller, start);
    dragTo(*controller, start + QPoint(0, -30), Qt::ShiftModifier);
    expectSameFold(controller->foldModel(), before);
    dragTo(*controller, start + QPoint(10, -30), Qt::ShiftModifier);
    EXPECT_NE(controller->foldModel().creases()[2], before.creases()[2]);
    EXPECT_EQ(controller->foldModel().profile()[2].y, 0) << "the tent stays flat";
    release(*controller, start + QPoint(10, -30));

    const QPoint second = widgetPoint(*controller, lineMiddle(*controller, 2));
    hover(*controller, second + QPoint(1, 0), 2);
    const FoldModel moved = controller->foldModel();
    press(*controller, second + QPoint(1, 0));
    dragTo(*controller, second + QPoint(41, -30), Qt::ControlModifier);
    EXPECT_EQ(controller->foldModel().creases()[2], moved.creases()[2]);
    EXPECT_NE(controller->foldModel().profile()[2].y, 0) << "the left peak leaves the plane";
    release(*controller, second + QPoint(41, -30));
}

TEST_F(DocumentMouseTest, DraggingOutsideEveryAreaMovesTheWindow) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    const QPoint corner(3, 3);
    hover(*controller, corner, 9);
    const QPoint windowAt = controller->window()->pos();
    const FoldModel before = controller->foldModel();

    press(*controller, corner);
    EXPECT_EQ(controller->window()->cursor().shape(), Qt::ArrowCursor);
    dragTo(*controller, corner + QPoint(30, 20));
    EXPECT_EQ(controller->window()->pos(), windowAt + QPoint(30, 20));
    release(*controller, corner);
    // The pointer is over no area of the moved window: no open hand is left behind.
    EXPECT_EQ(controller->window()->cursor().shape(), Qt::ArrowCursor);
    expectSameFold(controller->foldModel(), before);
}

} // namespace
