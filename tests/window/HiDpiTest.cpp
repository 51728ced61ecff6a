// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Run at QT_SCALE_FACTOR=2 (ctest sets it): a backing scale of 2, two device pixels per point.
#include "DocumentFixture.h"

#include "window/DocumentWindow.h"
#include "window/PictureView.h"

#include <QApplication>
#include <QClipboard>
#include <QPainter>
#include <QScreen>
#include <QTest>

#include <algorithm>

namespace {

const QRgb light = qRgb(230, 220, 210);
const QRgb dark = qRgb(40, 30, 20);

// Light, with a dark band one pixel wide at 40% of the width and dark from 60% on: clear of
// every crease line, which lie at 15, 30, 50, 70 and 85%.
QImage bandedPicture(QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(light);
    QPainter painter(&picture);
    painter.fillRect(size.width() * 2 / 5, 0, 1, size.height(), QColor(dark));
    painter.fillRect(size.width() * 3 / 5, 0, size.width(), size.height(), QColor(dark));
    return picture;
}

// How far a pixel is from light toward dark, 0..1, by its red channel.
double darkness(QRgb pixel) {
    return double(qRed(light) - qRed(pixel)) / double(qRed(light) - qRed(dark));
}

class HiDpiTest : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        ASSERT_EQ(qApp->devicePixelRatio(), 2.0) << "run with QT_SCALE_FACTOR=2";
    }

    // A picture twice as tall as the sheet's height limit on this screen is shown at about one
    // picture pixel per device pixel.
    std::unique_ptr<DocumentController> openBanded() {
        const double heightLimit =
            (QGuiApplication::screens().first()->geometry().height() - 22) / 1.25;
        const QSize size(1000, int(heightLimit * 2) + 1);
        const QString path = _dir.filePath(QStringLiteral("banded.png"));
        EXPECT_TRUE(bandedPicture(size).save(path));
        auto controller = openDocument(QUrl::fromLocalFile(path));
        if (controller) {
            controller->showWindow();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(controller->window()));
        }
        return controller;
    }

    // The shown picture's darkness along its middle row, between two crease lines.
    static std::vector<double> middleRow(const DocumentController& controller, int fromLine,
                                         int toLine) {
        const QImage& shown = controller.window()->contentView()->image();
        const double scale = shown.devicePixelRatio();
        const int row = shown.height() / 2;
        std::vector<double> values;
        const int begin = int(controller.endPoints()[fromLine][0].x() * scale) + 8;
        const int end = int(controller.endPoints()[toLine][0].x() * scale) - 8;
        for (int x = begin; x < end; ++x)
            values.push_back(darkness(shown.pixel(x, row)));
        return values;
    }
};

TEST_F(HiDpiTest, TheSheetIsDrawnAtDevicePixels) {
    auto controller = openBanded();
    ASSERT_TRUE(controller);
    const QImage& shown = controller->window()->contentView()->image();
    EXPECT_EQ(shown.devicePixelRatio(), 2.0);
    EXPECT_EQ(shown.size(), controller->window()->size() * 2);

    // The band one picture pixel wide, between lines 2 and 3, is one device pixel wide.
    const std::vector<double> band = middleRow(*controller, 2, 3);
    EXPECT_EQ(std::count_if(band.begin(), band.end(), [](double d) { return d > 0.5; }), 1);

    // The edge from light to dark, between lines 3 and 4, turns within one device pixel.
    const std::vector<double> edge = middleRow(*controller, 3, 4);
    EXPECT_LE(
        std::count_if(edge.begin(), edge.end(), [](double d) { return d > 0.05 && d < 0.95; }), 1);
}

TEST_F(HiDpiTest, EndPointsAndHitAreasStayInPoints) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    // The flat sheet's edges lie inside the window, a sixth of its width in from each side.
    const double width = controller->window()->width();
    EXPECT_NEAR(controller->endPoints()[0][0].x(), width / 6, 3);
    EXPECT_NEAR(controller->endPoints()[6][0].x(), width * 5 / 6, 3);
    EXPECT_NEAR(controller->endPoints()[0][0].y(), controller->window()->height() * 0.9, 3);

    const QPoint peak = widgetPoint(*controller, lineMiddle(*controller, 2));
    hover(*controller, peak, 2);
    press(*controller, peak);
    dragTo(*controller, peak + QPoint(20, 0));
    release(*controller, peak + QPoint(20, 0));
    // Twenty points of drag move the peak twenty points, not ten or forty.
    EXPECT_NEAR(controller->endPoints()[2][0].x() - lineMiddle(*controller, 2).x(), 0, 1);
    EXPECT_NEAR(lineMiddle(*controller, 2).x(), peak.x() + 20, 2);
}

TEST_F(HiDpiTest, CopyGivesThePictureAtDevicePixels) {
    _preferences->setValue(Preferences::copyWithShadow, false);
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);

    controller->copyPicture(QStringLiteral("TIFF"));

    const QImage copied = QApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), controller->window()->size() * 2);
    const QPointF centre = lineMiddle(*controller, 3) + QPointF(20, 0);
    EXPECT_EQ(copied.pixelColor((centre * 2).toPoint()).alpha(), 255);
}

} // namespace
