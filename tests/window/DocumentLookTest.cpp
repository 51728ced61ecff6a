// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentFixture.h"

#include "render/SheetRenderer.h"
#include "window/DocumentWindow.h"
#include "window/PictureView.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>
#include <cstdlib>

namespace {

using DocumentLookTest = DocumentFixture;

QImage copiedPicture() {
    return QImage::fromData(QGuiApplication::clipboard()->mimeData()->data("image/png"))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest =
                std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    }
    return largest;
}

bool isDarker(const QColor& color, const QColor& than) {
    return color.red() < than.red() && color.green() < than.green() && color.blue() < than.blue();
}

TEST_F(DocumentLookTest, CopyShowsTheShadingAndShadowOfTheWindow) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    if (controller->scale() != 1.0)
        GTEST_SKIP() << "compares the copy with the window pixel for pixel";
    // Tilted away from the light, where shading shows.
    controller->document().setPitch(-20);
    controller->updateDisplay();
    const QPointF onSheet = lineMiddle(*controller, 3) + QPointF(24, 0);
    const QPointF belowSheet = controller->endPoints()[3][1] + QPointF(24, -20);
    const QColor unshaded = shownPixel(*controller, onSheet);
    ASSERT_EQ(unshaded.alpha(), 255);
    const int usualShadow = shownPixel(*controller, belowSheet).alpha();

    _preferences->setValue(Preferences::shading, 100);
    _preferences->setValue(Preferences::shadowOpacity, 90);
    _preferences->setValue(Preferences::shadowOffset, 18);
    const QColor shaded = shownPixel(*controller, onSheet);
    EXPECT_TRUE(isDarker(shaded, unshaded));
    EXPECT_GT(shownPixel(*controller, belowSheet).alpha(), usualShadow * 2);

    // With its shadow, the copy is the window as it shows.
    controller->copyPicture(QStringLiteral("TIFF"));
    const QImage shown = controller->window()->contentView()->image();
    const QImage copied = copiedPicture();
    ASSERT_EQ(copied.size(), shown.size());
    EXPECT_LE(largestDifference(copied, shown), 1);

    // Without it, the bare frame is shaded all the same.
    _preferences->setValue(Preferences::copyWithShadow, false);
    _preferences->setValue(Preferences::copyWithCreaseLine, false);
    controller->copyPicture(QStringLiteral("TIFF"));
    EXPECT_EQ(framePixel(copiedPicture(), onSheet), shaded);
    EXPECT_EQ(framePixel(copiedPicture(), belowSheet).alpha(), 0);
}

} // namespace
