// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentFixture.h"

#include "document/DropShadow.h"
#include "render/SheetRenderer.h"
#include "window/DocumentWindow.h"
#include "window/PictureView.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

namespace {

using DocumentDisplayTest = DocumentFixture;

bool isLineColor(const QColor& color, const QColor& lineColor) {
    return color.alpha() == 255 && color.rgb() == lineColor.rgb();
}

int openDocumentWindows() {
    const QWidgetList widgets = QApplication::topLevelWidgets();
    return static_cast<int>(std::count_if(widgets.begin(), widgets.end(), [](QWidget* widget) {
        return qobject_cast<DocumentWindow*>(widget) != nullptr;
    }));
}

const QMimeData& clipboardData() {
    return *QGuiApplication::clipboard()->mimeData();
}

QImage clipboardImage(const char* mimeType) {
    return QImage::fromData(clipboardData().data(QString::fromLatin1(mimeType)));
}

// The pixel of a window capture, in device pixels, that lies at a frame point.
QColor capturedPixel(const QImage& capture, QPointF framePoint, double scale) {
    const QPointF scaled = framePoint * scale;
    return capture.pixelColor(int(scaled.x()), int(capture.height() - 1 - scaled.y()));
}

TEST_F(DocumentDisplayTest, OpensAFloatingPictureOfTheSizedWindow) {
    if (QGuiApplication::primaryScreen()->geometry().height() != 1080)
        GTEST_SKIP() << "sizes below assume a 1080 points high screen";
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    DocumentWindow& window = *controller->window();

    EXPECT_EQ(window.size(), QSize(957, 600)); // 957.8643 x 600, in whole points
    EXPECT_EQ(window.windowTitle(), QStringLiteral("sheet.png"));
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(window.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_EQ(controller->scale(), window.devicePixelRatioF());
    EXPECT_TRUE(controller->isTimerActive());
    EXPECT_EQ(controller->controlArea(), 9);

    const QImage shown = window.contentView()->image();
    EXPECT_EQ(shown.size(), QSize(957, 600));
    EXPECT_EQ(shown.pixelColor(478, 300).alpha(), 255);
    EXPECT_EQ(shown.pixelColor(0, 0).alpha(), 0);

    // The end points come from the frame: lines left to right, tops above bottoms.
    const auto& endPoints = controller->endPoints();
    for (int i = 0; i < 7; ++i) {
        EXPECT_GT(endPoints[i][0].y(), endPoints[i][1].y()) << "line " << i;
        if (i > 0) {
            EXPECT_GT(endPoints[i][0].x(), endPoints[i - 1][0].x()) << "line " << i;
        }
    }
}

TEST_F(DocumentDisplayTest, UnreadableOrEmptyFileSaysWhyAndOpensNothing) {
    for (const QByteArray& content : {QByteArray("not a picture at all"), QByteArray()}) {
        const QString path = _dir.filePath(QStringLiteral("broken.png"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();

        QString failure;
        const auto controller = openDocument(QUrl::fromLocalFile(path), &failure);

        EXPECT_FALSE(controller);
        EXPECT_EQ(failure, QStringLiteral("Not a picture Pleatora can read"));
        EXPECT_EQ(openDocumentWindows(), 0);
    }
}

TEST_F(DocumentDisplayTest, OverlayDrawsCreaseLinesAndTheControlAreaInTheirColours) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    useOpaqueLineColors();
    const QImage blank = [&] {
        QImage image(controller->window()->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        return image;
    }();
    const QPointF topEdgeMiddle =
        (controller->endPoints()[2][0] + controller->endPoints()[3][0]) / 2;

    // No area under the pointer: crease lines 1..5 only, never the edges or the bands.
    QImage drawn = controller->drawLines(blank);
    for (int line = 1; line <= 5; ++line)
        EXPECT_TRUE(isLineColor(framePixel(drawn, lineMiddle(*controller, line)), creaseColor))
            << line;
    EXPECT_EQ(framePixel(drawn, lineMiddle(*controller, 0)).alpha(), 0);
    EXPECT_EQ(framePixel(drawn, lineMiddle(*controller, 6)).alpha(), 0);
    EXPECT_EQ(framePixel(drawn, topEdgeMiddle).alpha(), 0);

    // The hovered crease line is stroked in the control colour only.
    hover(*controller, widgetPoint(*controller, lineMiddle(*controller, 3)), 3);
    drawn = controller->drawLines(blank);
    EXPECT_TRUE(isLineColor(framePixel(drawn, lineMiddle(*controller, 3)), controlColor));
    EXPECT_TRUE(isLineColor(framePixel(drawn, lineMiddle(*controller, 2)), creaseColor));

    // Crease lines hidden: only the hovered line.
    _preferences->setValue(Preferences::showCreaseLine, false);
    drawn = controller->drawLines(blank);
    EXPECT_TRUE(isLineColor(framePixel(drawn, lineMiddle(*controller, 3)), controlColor));
    EXPECT_EQ(framePixel(drawn, lineMiddle(*controller, 2)).alpha(), 0);

    // A band is highlighted along the whole edge.
    hover(*controller, widgetPoint(*controller, topEdgeMiddle - QPointF(0, 3)), 7);
    drawn = controller->drawLines(blank);
    EXPECT_TRUE(isLineColor(framePixel(drawn, topEdgeMiddle), controlColor));
    EXPECT_EQ(framePixel(drawn, lineMiddle(*controller, 3)).alpha(), 0);
}

// The frame with its shadow and every line drawn anew, as the window should show it.
QImage redrawnWhole(DocumentController& controller) {
    QImage frame = controller.renderer().captureFrame();
    frame.convertTo(QImage::Format_ARGB32_Premultiplied);
    const DropShadow& shown = controller.presenter().shadow();
    DropShadow shadow;
    shadow.setOpacity(shown.opacity());
    shadow.setBlurRadius(shown.blurRadius());
    shadow.setOffset(shown.offset());
    shadow.update(frame);
    shadow.paintUnder(frame);
    return controller.drawLines(frame);
}

// Hover, colour and shadow changes reuse the last frame and redraw only what changed; drag steps
// redraw where the sheet and its shadow were and are. Nothing stale may stay anywhere.
TEST_F(DocumentDisplayTest, PartialRedrawsShowWhatAWholeRedrawShows) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    const auto shown = [&] { return controller->window()->contentView()->image(); };
    const QPoint peak = widgetPoint(*controller, lineMiddle(*controller, 2));

    hover(*controller, peak, 2);
    EXPECT_EQ(shown(), redrawnWhole(*controller)) << "hover";
    hover(*controller, widgetPoint(*controller, lineMiddle(*controller, 4)), 4);
    EXPECT_EQ(shown(), redrawnWhole(*controller)) << "hover elsewhere";
    useOpaqueLineColors();
    EXPECT_EQ(shown(), redrawnWhole(*controller)) << "line colours";
    _preferences->setValue(Preferences::shadowOffset, 20);
    EXPECT_EQ(shown(), redrawnWhole(*controller)) << "shadow";

    hover(*controller, peak, 2);
    press(*controller, peak);
    for (const QPoint step : {QPoint(-30, -40), QPoint(25, 10), QPoint(60, 30)}) {
        dragTo(*controller, peak + step);
        EXPECT_EQ(shown(), redrawnWhole(*controller)) << "drag to " << step.x() << ", " << step.y();
    }
    release(*controller, peak + QPoint(60, 30));
}

// A picture with alpha leaves translucent pixels in the frame, which the window's picture takes
// premultiplied; widths that are no multiple of four leave pixels after the last four at a time.
TEST_F(DocumentDisplayTest, TranslucentPicturesShowWhatAWholeRedrawShows) {
    QImage picture(QSize(641, 481), QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgba(x % 256, y % 256, 90, (x + 2 * y) % 256));
    const QString path = _dir.filePath(QStringLiteral("translucent.png"));
    ASSERT_TRUE(picture.save(path));
    auto controller = openDocument(QUrl::fromLocalFile(path));
    ASSERT_TRUE(controller);
    controller->showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(controller->window()));
    const auto shown = [&] { return controller->window()->contentView()->image(); };
    EXPECT_EQ(shown(), redrawnWhole(*controller)) << "opened";
    const QPoint peak = widgetPoint(*controller, lineMiddle(*controller, 2));
    hover(*controller, peak, 2);
    press(*controller, peak);
    dragTo(*controller, peak + QPoint(-31, -17));
    EXPECT_EQ(shown(), redrawnWhole(*controller)) << "dragged";
    release(*controller, peak + QPoint(-31, -17));
}

TEST_F(DocumentDisplayTest, ShadowFallsBelowTheSheet) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    const QImage shown = controller->window()->contentView()->image();
    const auto& endPoints = controller->endPoints();
    const double x = lineMiddle(*controller, 3).x() + 20;
    const int below = framePixel(shown, QPointF(x, endPoints[3][1].y() - 6)).alpha();
    const int above = framePixel(shown, QPointF(x, endPoints[3][0].y() + 6)).alpha();
    EXPECT_GT(below, 0);
    EXPECT_GT(below, above);
    EXPECT_EQ(shown.pixelColor(0, 0).alpha(), 0);
}

TEST_F(DocumentDisplayTest, DefaultsChangeRedrawsEveryOpenDocumentButNotClosedOnes) {
    auto first = openShown(QSize(640, 480));
    auto second = openShown(QSize(400, 300));
    auto closed = openShown(QSize(300, 300));
    ASSERT_TRUE(first && second && closed);
    useOpaqueLineColors();
    EXPECT_TRUE(isLineColor(shownPixel(*first, lineMiddle(*first, 3)), creaseColor));
    EXPECT_TRUE(isLineColor(shownPixel(*second, lineMiddle(*second, 3)), creaseColor));

    const QPointer<DocumentWindow> closedWindow = closed->window();
    closed.reset();
    EXPECT_TRUE(closedWindow.isNull());

    _preferences->setValue(Preferences::showCreaseLine, false);
    EXPECT_FALSE(isLineColor(shownPixel(*first, lineMiddle(*first, 3)), creaseColor));
    EXPECT_FALSE(isLineColor(shownPixel(*second, lineMiddle(*second, 3)), creaseColor));

    _preferences->setValue(Preferences::showCreaseLine, true);
    EXPECT_TRUE(isLineColor(shownPixel(*first, lineMiddle(*first, 3)), creaseColor));
}

TEST_F(DocumentDisplayTest, OnlyTheActiveWindowPolls) {
    auto first = openShown(QSize(640, 480));
    ASSERT_TRUE(first);
    hover(*first, widgetPoint(*first, lineMiddle(*first, 2)), 2);

    auto second = openShown(QSize(400, 300));
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->isTimerActive());
    EXPECT_FALSE(first->isTimerActive());
    EXPECT_EQ(first->controlArea(), 9);

    first->showWindow();
    EXPECT_TRUE(waitFor([&] { return first->isTimerActive(); }));
    EXPECT_FALSE(second->isTimerActive());
}

TEST_F(DocumentDisplayTest, CopyPutsTheWindowWithItsShadowAsPngAndTiff) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    controller->copyPicture(QStringLiteral("TIFF"));

    const QSize pixels = controller->window()->size() * controller->scale();
    for (const char* type : {"image/png", "image/tiff"}) {
        const QImage copied = clipboardImage(type);
        EXPECT_EQ(copied.size(), pixels) << type;
        EXPECT_TRUE(copied.hasAlphaChannel()) << type;
        EXPECT_EQ(copied.pixelColor(0, 0).alpha(), 0) << type;
        EXPECT_EQ(copied.pixelColor(pixels.width() / 2, pixels.height() / 2).alpha(), 255) << type;
    }
    EXPECT_FALSE(clipboardData().hasFormat(QStringLiteral("application/pdf")));
}

TEST_F(DocumentDisplayTest, CopyWithoutShadowIsTheBareFrameWithTheWantedLines) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    useOpaqueLineColors();
    _preferences->setValue(Preferences::copyWithShadow, false);
    _preferences->setValue(Preferences::showCreaseLine, false);

    controller->copyPicture(QStringLiteral("TIFF"));
    QImage copied = clipboardImage("image/png");
    EXPECT_EQ(copied.size(), controller->window()->size());
    EXPECT_EQ(copied.pixelColor(0, 0).alpha(), 0);
    // Lines whatever the window shows, and no shadow below the sheet.
    EXPECT_TRUE(isLineColor(framePixel(copied, lineMiddle(*controller, 3)), creaseColor));
    const QPointF belowSheet(lineMiddle(*controller, 3).x() + 20,
                             controller->endPoints()[3][1].y() - 6);
    EXPECT_EQ(framePixel(copied, belowSheet).alpha(), 0);

    _preferences->setValue(Preferences::copyWithCreaseLine, false);
    controller->copyPicture(QStringLiteral("TIFF"));
    copied = clipboardImage("image/png");
    EXPECT_FALSE(isLineColor(framePixel(copied, lineMiddle(*controller, 3)), creaseColor));
}

TEST_F(DocumentDisplayTest, CopyWithShadowRedrawsWithoutLinesOnlyForTheCapture) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    useOpaqueLineColors();
    _preferences->setValue(Preferences::copyWithCreaseLine, false);
    const QPointF creaseMiddle = lineMiddle(*controller, 3);
    ASSERT_TRUE(isLineColor(shownPixel(*controller, creaseMiddle), creaseColor));

    controller->copyPicture(QStringLiteral("TIFF"));
    const QImage copied = clipboardImage("image/png");
    EXPECT_FALSE(
        isLineColor(capturedPixel(copied, creaseMiddle, controller->scale()), creaseColor));
    EXPECT_TRUE(isLineColor(shownPixel(*controller, creaseMiddle), creaseColor));
}

TEST_F(DocumentDisplayTest, CopyWithShadowWithoutCreaseLinesLeavesOutTheLineUnderThePointer) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    useOpaqueLineColors();
    _preferences->setValue(Preferences::copyWithCreaseLine, false);
    const QPointF creaseMiddle = lineMiddle(*controller, 3);
    hover(*controller, widgetPoint(*controller, creaseMiddle), 3);
    ASSERT_TRUE(isLineColor(shownPixel(*controller, creaseMiddle), controlColor));

    controller->copyPicture(QStringLiteral("TIFF"));
    const QColor copied =
        capturedPixel(clipboardImage("image/png"), creaseMiddle, controller->scale());
    EXPECT_FALSE(isLineColor(copied, controlColor));
    EXPECT_FALSE(isLineColor(copied, creaseColor));
    EXPECT_EQ(copied.alpha(), 255) << "the sheet itself is there";
    // The window shows the highlight again.
    EXPECT_TRUE(isLineColor(shownPixel(*controller, creaseMiddle), controlColor));
}

TEST_F(DocumentDisplayTest, CopyAsPdfGivesOnePageOfThePictureSize) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    controller->copyPicture(QStringLiteral("PDF"));
    const QByteArray pdf = clipboardData().data(QStringLiteral("application/pdf"));
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_FALSE(clipboardData().hasImage());

    const QString text = QString::fromLatin1(pdf);
    EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))), 1);
    const QSize points = controller->window()->size();
    const QRegularExpressionMatch box =
        QRegularExpression(QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)"))
            .match(text);
    ASSERT_TRUE(box.hasMatch());
    EXPECT_DOUBLE_EQ(box.captured(1).toDouble(), points.width());
    EXPECT_DOUBLE_EQ(box.captured(2).toDouble(), points.height());

    // Only "PDF" exactly selects PDF.
    controller->copyPicture(QStringLiteral("pdf"));
    EXPECT_FALSE(clipboardData().hasFormat(QStringLiteral("application/pdf")));
    EXPECT_TRUE(clipboardData().hasFormat(QStringLiteral("image/png")));
}

} // namespace
