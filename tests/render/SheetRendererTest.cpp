// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/SheetRenderer.h"
#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>

#include <array>
#include <cmath>
#include <iostream>
#include <string>

namespace {

const QSizeF exampleSheet(800, 600);

std::unique_ptr<SheetRenderer> makeView(const ClassicFold& fold, double scale = 1.0) {
    std::unique_ptr<SheetRenderer> view = SheetRenderer::create(windowSize(fold.imageSize), scale);
    if (view)
        pushFold(*view, fold);
    return view;
}

QString frameFileName(const char* label) {
    QString name = QString::fromLatin1(label);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QDir::temp().filePath(QStringLiteral("pleatora-render-%1.png").arg(name));
}

class SheetRendererTest : public ::testing::Test {
protected:
    QImage capture(SheetRenderer& view) {
        _lastFrame = view.captureFrame();
        return _lastFrame;
    }

    void TearDown() override {
        if (!HasFailure() || _lastFrame.isNull())
            return;
        const QString path =
            frameFileName(::testing::UnitTest::GetInstance()->current_test_info()->name());
        _lastFrame.save(path);
        std::cout << "Captured frame saved to " << path.toStdString() << std::endl;
    }

private:
    QImage _lastFrame;
};

// Checks each quadrant's colour a quarter of the sheet in from its corners.
void expectUprightQuadrants(const QImage& frame, QRectF sheetInFrame) {
    const int left = int(sheetInFrame.left() + sheetInFrame.width() / 4);
    const int right = int(sheetInFrame.right() - sheetInFrame.width() / 4);
    const int upper = int(sheetInFrame.bottom() - sheetInFrame.height() / 4);
    const int lower = int(sheetInFrame.top() + sheetInFrame.height() / 4);
    EXPECT_EQ(framePixel(frame, left, upper).rgba(), topLeftColour);
    EXPECT_EQ(framePixel(frame, right, upper).rgba(), topRightColour);
    EXPECT_EQ(framePixel(frame, left, lower).rgba(), bottomLeftColour);
    EXPECT_EQ(framePixel(frame, right, lower).rgba(), bottomRightColour);
}

// The flat example sheet in frame coordinates (y up), as the perspective shows it.
const QRectF exampleSheetInFrame(QPointF(198.2, 74.8), QPointF(998.8, 675.2));

} // namespace

TEST_F(SheetRendererTest, FlatSheetCoversItsRectangleUprightOnATransparentFrame) {
    std::unique_ptr<SheetRenderer> view = makeView(flatFold(exampleSheet));
    ASSERT_TRUE(view);
    ASSERT_TRUE(view->setImage(quadrantImage(QSize(800, 600), QImage::Format_RGB32)));
    view->display();
    const QImage frame = capture(*view);

    ASSERT_EQ(frame.size(), QSize(1197, 750));
    EXPECT_EQ(frame.format(), QImage::Format_RGBA8888);
    const CoveredExtent extent = coveredExtent(frame);
    // A pixel is covered when its centre lies inside the sheet.
    EXPECT_NEAR(extent.minX, 198.2, 1.0);
    EXPECT_NEAR(extent.maxX + 1, 998.8, 1.0);
    EXPECT_NEAR(extent.minY, 74.8, 1.0);
    EXPECT_NEAR(extent.maxY + 1, 675.2, 1.0);
    for (QPoint outside : {QPoint(0, 0), QPoint(100, 375), QPoint(598, 20), QPoint(1196, 749)}) {
        EXPECT_EQ(framePixel(frame, outside.x(), outside.y()), QColor(0, 0, 0, 0)) << outside.x();
    }
    expectUprightQuadrants(frame, exampleSheetInFrame);
}

TEST_F(SheetRendererTest, FlatSheetEndPointsSitOnePointRightOfEachVerticalCrease) {
    const ClassicFold fold = flatFold(exampleSheet);
    std::unique_ptr<SheetRenderer> view = makeView(fold);
    ASSERT_TRUE(view);
    ASSERT_TRUE(view->setImage(quadrantImage(QSize(800, 600), QImage::Format_RGB32)));
    view->display();

    // Lines 0 and 6 are drawn at x = 199.2 and 999.8: crossings at columns 199 and 999.
    EXPECT_EQ(view->endPoint(0, LineEnd::Top).x(), 199);
    EXPECT_EQ(view->endPoint(6, LineEnd::Top).x(), 999);
    const double bottomOfLeftEdge = view->endPoint(0, LineEnd::Bottom).y();
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        const QPointF top = view->endPoint(i, LineEnd::Top);
        const QPointF bottom = view->endPoint(i, LineEnd::Bottom);
        EXPECT_NEAR(top.x(), 199.2 + fold.creasePoint[i], 1.0);
        EXPECT_EQ(bottom.x(), top.x());       // vertical
        EXPECT_NEAR(top.y() + 1, 675.2, 1.0); // the top pixel's upper side
        // The line runs one point past the sheet's lower edge.
        EXPECT_NEAR(bottom.y(), 73.8, 1.0);
        EXPECT_EQ(bottom.y(), bottomOfLeftEdge);
    }
}

TEST_F(SheetRendererTest, FramePassBeforeAnImageChangesNothing) {
    std::unique_ptr<SheetRenderer> view = makeView(flatFold(exampleSheet));
    ASSERT_TRUE(view);
    const QImage before = capture(*view);
    view->display();
    const QImage after = capture(*view);

    EXPECT_EQ(before, after);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(view->endPoint(i, LineEnd::Top), QPointF(0, 0));
        EXPECT_EQ(view->endPoint(i, LineEnd::Bottom), QPointF(0, 0));
    }
}

TEST_F(SheetRendererTest, OpaqueSourcesOfAnyRowLayoutShowUnchanged) {
    // 333 pixels of 3 bytes leave padded rows in the source image.
    const QSizeF sheet(333, 250);
    for (QImage::Format format : {QImage::Format_RGB888, QImage::Format_RGB32}) {
        SCOPED_TRACE(format);
        std::unique_ptr<SheetRenderer> view = makeView(flatFold(sheet));
        ASSERT_TRUE(view);
        ASSERT_TRUE(view->setImage(quadrantImage(sheet.toSize(), format)));
        view->display();
        const QImage frame = capture(*view);
        const CoveredExtent extent = coveredExtent(frame);
        expectUprightQuadrants(
            frame, QRectF(QPointF(extent.minX, extent.minY), QPointF(extent.maxX, extent.maxY)));
        EXPECT_NEAR(extent.maxX - extent.minX + 1, 333, 1.0);
    }
}

TEST_F(SheetRendererTest, SourceAlphaReachesTheFrame) {
    QImage image(400, 300, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter(&image).fillRect(200, 0, 200, 300, QColor(0, 0, 255, 128));
    std::unique_ptr<SheetRenderer> view = makeView(flatFold(QSizeF(400, 300)));
    ASSERT_TRUE(view);
    ASSERT_TRUE(view->setImage(image));
    view->display();
    const QImage frame = capture(*view);

    const QPoint centre(frame.width() / 2, frame.height() / 2);
    EXPECT_EQ(framePixel(frame, centre.x() - 100, centre.y()), QColor(0, 0, 0, 0));
    const QColor translucent = framePixel(frame, centre.x() + 100, centre.y());
    EXPECT_NEAR(translucent.alpha(), 128, 1);
    EXPECT_NEAR(translucent.blue(), 255, 2);
    EXPECT_EQ(translucent.red(), 0);
}

TEST_F(SheetRendererTest, BackingScaleDrawsAtDevicePixelsAndKeepsEndPointsInPoints) {
    std::unique_ptr<SheetRenderer> pointView = makeView(flatFold(exampleSheet));
    std::unique_ptr<SheetRenderer> view = makeView(flatFold(exampleSheet), 2.0);
    ASSERT_TRUE(view && pointView);
    EXPECT_EQ(view->scale(), 2.0);
    const QImage picture = quadrantImage(QSize(800, 600), QImage::Format_ARGB32);
    ASSERT_TRUE(view->setImage(picture) && pointView->setImage(picture));
    view->display();
    pointView->display();
    const QImage frame = capture(*view);

    EXPECT_EQ(frame.size(), QSize(2394, 1500));
    EXPECT_EQ(frame.devicePixelRatio(), 2.0);
    EXPECT_EQ(frame.deviceIndependentSize(), QSizeF(1197, 750));
    const CoveredExtent extent = coveredExtent(frame);
    EXPECT_NEAR(extent.minX / 2.0, exampleSheetInFrame.left(), 0.5);
    EXPECT_NEAR((extent.maxX + 1) / 2.0, exampleSheetInFrame.right(), 0.5);
    const QRectF sheetInPixels(exampleSheetInFrame.topLeft() * 2, exampleSheetInFrame.size() * 2);
    expectUprightQuadrants(frame, sheetInPixels);
    // The same lines as at one pixel per point, to within half a point.
    for (int line = 0; line < 7; ++line) {
        for (bool top : {true, false}) {
            const QPointF end = view->endPoint(line, top ? LineEnd::Top : LineEnd::Bottom);
            const QPointF pointEnd =
                pointView->endPoint(line, top ? LineEnd::Top : LineEnd::Bottom);
            EXPECT_NEAR(end.x(), pointEnd.x(), 0.5)
                << "line " << line << (top ? " top" : " bottom");
            EXPECT_NEAR(end.y(), pointEnd.y(), 1.0)
                << "line " << line << (top ? " top" : " bottom");
        }
    }
}

TEST_F(SheetRendererTest, ImagesLargerThanTheTextureLimitAreScaledToFit) {
    // Wider than any texture this renderer can make (the limit is at most 16384 here).
    QImage image(40000, 2, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, 20000, 2, Qt::red);
    painter.fillRect(20000, 0, 20000, 2, Qt::blue);
    painter.end();
    std::unique_ptr<SheetRenderer> view = makeView(flatFold(exampleSheet));
    ASSERT_TRUE(view);
    ASSERT_TRUE(view->setImage(image));
    view->display();
    const QImage frame = capture(*view);

    EXPECT_EQ(framePixel(frame, 300, 375), QColor(Qt::red));
    EXPECT_EQ(framePixel(frame, 900, 375), QColor(Qt::blue));
}

TEST_F(SheetRendererTest, RefusesWhatItCannotRender) {
    EXPECT_FALSE(SheetRenderer::create(QSizeF(0.5, 100), 1.0));
    EXPECT_FALSE(SheetRenderer::create(QSizeF(100, 0), 1.0));
    // Beyond any framebuffer size the GL allows; the failure says what could not be made.
    QString failure;
    EXPECT_FALSE(SheetRenderer::create(QSizeF(1 << 20, 100), 1.0, &failure));
    EXPECT_TRUE(failure.contains(QStringLiteral("framebuffer"))) << failure.toStdString();

    std::unique_ptr<SheetRenderer> view = makeView(flatFold(exampleSheet));
    ASSERT_TRUE(view);
    EXPECT_FALSE(view->setImage(QImage()));
    view->display();
    EXPECT_EQ(view->endPoint(0, LineEnd::Top), QPointF(0, 0));
}

TEST_F(SheetRendererTest, EachViewDrawsInItsOwnContext) {
    std::unique_ptr<SheetRenderer> red = makeView(flatFold(exampleSheet));
    std::unique_ptr<SheetRenderer> blue = makeView(flatFold(QSizeF(400, 300)));
    ASSERT_TRUE(red && blue);
    QImage redImage(8, 6, QImage::Format_RGB32);
    redImage.fill(Qt::red);
    QImage blueImage(8, 6, QImage::Format_RGB32);
    blueImage.fill(Qt::blue);
    ASSERT_TRUE(red->setImage(redImage));
    ASSERT_TRUE(blue->setImage(blueImage));

    red->display();
    blue->display();
    const QImage redFrame = capture(*red);
    EXPECT_EQ(redFrame.size(), QSize(1197, 750));
    EXPECT_EQ(framePixel(redFrame, 598, 375), QColor(Qt::red));
    const QImage blueFrame = capture(*blue);
    EXPECT_EQ(framePixel(blueFrame, blueFrame.width() / 2, blueFrame.height() / 2),
              QColor(Qt::blue));
    EXPECT_NEAR(red->endPoint(6, LineEnd::Top).x(), 999, 1.0);
}

TEST_F(SheetRendererTest, NearerFacetsHideFartherOnes) {
    // The right tent is pushed so far that its peak overhangs its foot: seen from the front, the
    // inner slope covers the outer slope and the margin, which are drawn after it.
    const ClassicFold fold = tentFold(exampleSheet, 40, 1, 200, 1);
    QImage picture(800, 600, QImage::Format_RGB32);
    QPainter painter(&picture);
    for (int x = 0; x < 800; ++x)
        painter.fillRect(x, 0, 1, 600, QColor(x * 255 / 799, 0, 0));
    painter.end();
    std::unique_ptr<SheetRenderer> view = makeView(fold);
    ASSERT_TRUE(view);
    ASSERT_TRUE(view->setImage(picture));
    view->display();
    const QImage frame = capture(*view);

    const SheetProjection projection(frame.size(), fold, 0);
    const double halfWidth = exampleSheet.width() / 400;
    const QPointF foot = projection.project(fold.coordinates[5].x() / 200 - halfWidth, 0, 0);
    const QPointF peak = projection.project(fold.coordinates[4].x() / 200 - halfWidth, 0,
                                            fold.coordinates[4].y() / 200);
    ASSERT_GT(peak.x(), foot.x() + 10);
    const QColor seen = framePixel(frame, int((foot.x() + peak.x()) / 2), int(foot.y()));
    // The inner slope shows the picture between 50% and 70% of its width.
    EXPECT_GT(seen.red(), 0.5 * 255);
    EXPECT_LT(seen.red(), 0.7 * 255);
}

struct FoldCase {
    float pitch;
    int rightDirection;
};

void PrintTo(const FoldCase& foldCase, std::ostream* out) {
    *out << "pitch " << foldCase.pitch << ", right peak " << foldCase.rightDirection;
}

class FoldedEndPoints : public SheetRendererTest, public ::testing::WithParamInterface<FoldCase> {};

TEST_P(FoldedEndPoints, LieOnTheRenderedCreaseEdges) {
    const FoldCase foldCase = GetParam();
    const ClassicFold fold = tentFold(exampleSheet, 60, 1, 50, foldCase.rightDirection);
    std::unique_ptr<SheetRenderer> view = makeView(fold);
    ASSERT_TRUE(view);
    ASSERT_TRUE(view->setImage(quadrantImage(QSize(800, 600), QImage::Format_RGB32)));
    view->setPitch(foldCase.pitch);
    view->display();
    capture(*view);

    const SheetProjection projection(QSize(1197, 750), fold, foldCase.pitch);
    std::array<std::array<QPointF, 2>, 7> unshaded;
    for (int i = 0; i < 7; ++i) {
        for (bool top : {true, false}) {
            SCOPED_TRACE(testing::Message() << "line " << i << (top ? " top" : " bottom"));
            const QPointF found = view->endPoint(i, top ? LineEnd::Top : LineEnd::Bottom);
            const QPointF expected = projection.creaseEnd(i, top);
            EXPECT_NEAR(found.x(), expected.x(), 2.0);
            EXPECT_NEAR(found.y(), expected.y(), 2.0);
            unshaded[i][top ? 0 : 1] = found;
        }
    }

    // The line pass draws without the shading: the same end points at full shading.
    view->setShading(1.0f);
    view->display();
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(view->endPoint(i, LineEnd::Top), unshaded[i][0]) << i;
        EXPECT_EQ(view->endPoint(i, LineEnd::Bottom), unshaded[i][1]) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(PitchAndPeakSide, FoldedEndPoints,
                         ::testing::Values(FoldCase{0, 1}, FoldCase{30, 1}, FoldCase{-30, 1},
                                           FoldCase{0, -1}, FoldCase{30, -1}, FoldCase{-30, -1}),
                         [](const ::testing::TestParamInfo<FoldCase>& info) {
                             const FoldCase c = info.param;
                             return std::string(c.pitch < 0 ? "pitchMinus" : "pitch") +
                                    std::to_string(int(std::abs(c.pitch))) +
                                    (c.rightDirection > 0 ? "_rightPeakUp" : "_rightPeakDown");
                         });

TEST_F(SheetRendererTest, TwoRaisedTentsInPerspective) {
    QImage picture = quadrantImage(QSize(800, 600), QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setPen(QPen(Qt::black, 3));
    for (int x = 0; x <= 800; x += 50)
        painter.drawLine(x, 0, x, 600);
    for (int y = 0; y <= 600; y += 50)
        painter.drawLine(0, y, 800, y);
    painter.end();

    const float pitch = 20.0f;
    const ClassicFold fold = tentFold(exampleSheet, 70, 1, 70, 1);
    std::unique_ptr<SheetRenderer> view = makeView(fold);
    ASSERT_TRUE(view);
    ASSERT_TRUE(view->setImage(picture));
    view->setPitch(pitch);
    view->display();
    const QImage frame = capture(*view);
    const QString path = frameFileName("two-raised-tents");
    ASSERT_TRUE(frame.save(path));
    std::cout << "Folded picture written to " << path.toStdString() << std::endl;

    // Both peaks, raised toward the viewer, are drawn where the projection puts them.
    const SheetProjection projection(frame.size(), fold, pitch);
    for (int peak : {2, 4}) {
        const QPointF middle =
            (projection.creaseEnd(peak, true) + projection.creaseEnd(peak, false)) / 2;
        EXPECT_EQ(framePixel(frame, int(middle.x()), int(middle.y())).alpha(), 255) << peak;
    }
    // Upright: the picture's top-left corner at the sheet's upper left.
    const QPointF upperLeft = projection.creaseEnd(0, true) + QPointF(20, -20);
    EXPECT_EQ(framePixel(frame, int(upperLeft.x()), int(upperLeft.y())).rgba(), topLeftColour);
    const QPointF lowerRight = projection.creaseEnd(6, false) + QPointF(-20, 20);
    EXPECT_EQ(framePixel(frame, int(lowerRight.x()), int(lowerRight.y())).rgba(),
              bottomRightColour);
}

// Without a display server the renderer draws through EGL's surfaceless platform: the same frame
// and the same end points as through the window system.
TEST_F(SheetRendererTest, SurfacelessContextDrawsTheSameFrame) {
    const ClassicFold fold = tentFold(exampleSheet, 70, 1, 50, -1);
    const QImage picture = quadrantImage(QSize(800, 600), QImage::Format_RGB32);
    QImage frames[2];
    LineEndPoints endPoints[2];
    const OffscreenContext::Platform platforms[2] = {OffscreenContext::Platform::WindowSystem,
                                                     OffscreenContext::Platform::Surfaceless};
    for (int i = 0; i < 2; ++i) {
        QString failure;
        auto view = SheetRenderer::create(windowSize(fold.imageSize), 1.0, &failure, platforms[i]);
        ASSERT_TRUE(view) << failure.toStdString();
        pushFold(*view, fold);
        ASSERT_TRUE(view->setImage(picture));
        view->setPitch(-12);
        view->display();
        frames[i] = capture(*view);
        for (int line = 0; line < creaseLineCount; ++line)
            endPoints[i][line] = {view->endPoint(line, LineEnd::Top),
                                  view->endPoint(line, LineEnd::Bottom)};
    }
    EXPECT_GT(coveredExtent(frames[1]).maxX, 0);
    EXPECT_TRUE(frames[0] == frames[1]);
    EXPECT_EQ(endPoints[0], endPoints[1]);
}

// A pass clears and reads back only where the sheet is and was: the frame and the end points must
// be those of a renderer that drew the same fold once, transparent wherever the sheet is not,
// at both scales.
TEST_F(SheetRendererTest, PassesAfterTheFirstDrawTheSameFrameAsAFreshRenderer) {
    const QImage picture = quadrantImage(QSize(800, 600), QImage::Format_RGB32);
    const ClassicFold wide = tentFold(exampleSheet, 40, 1, 40, -1);
    const ClassicFold narrow = tentFold(exampleSheet, 150, 1, 180, 1);
    for (const double scale : {1.0, 2.0}) {
        std::unique_ptr<SheetRenderer> view = makeView(wide, scale);
        ASSERT_TRUE(view);
        ASSERT_TRUE(view->setImage(picture));
        view->setPitch(-40);
        view->display();
        const QImage first = view->captureFrame();
        EXPECT_EQ(view->lastCaptureChange(), first.rect()) << "the first capture reads it all";

        pushFold(*view, narrow);
        view->setPitch(30);
        view->display();
        const QImage second = capture(*view);
        EXPECT_LT(view->lastCaptureChange().width(), second.width());

        std::unique_ptr<SheetRenderer> fresh = makeView(narrow, scale);
        ASSERT_TRUE(fresh);
        ASSERT_TRUE(fresh->setImage(picture));
        fresh->setPitch(30);
        fresh->display();
        EXPECT_EQ(second, fresh->captureFrame()) << "scale " << scale;
        EXPECT_NE(second, first);
        for (int line = 0; line < 7; ++line)
            for (const bool top : {true, false})
                EXPECT_EQ(view->endPoint(line, top ? LineEnd::Top : LineEnd::Bottom),
                          fresh->endPoint(line, top ? LineEnd::Top : LineEnd::Bottom))
                    << "line " << line << ", scale " << scale;
    }
}

// Only a change of what the pass draws asks for one; the same values pushed again do not.
TEST_F(SheetRendererTest, NeedsDisplayOnlyAfterAChangeOfWhatItDraws) {
    const ClassicFold fold = tentFold(exampleSheet, 40, 1, 40, -1);
    std::unique_ptr<SheetRenderer> view = makeView(fold);
    ASSERT_TRUE(view);
    ASSERT_TRUE(view->setImage(quadrantImage(QSize(800, 600), QImage::Format_RGB32)));
    EXPECT_TRUE(view->needsDisplay());
    view->display();
    EXPECT_FALSE(view->needsDisplay());

    for (int i = 0; i < 7; ++i) {
        view->setCreasePoint(fold.creasePoint[i], i);
        view->setCoordinates(fold.coordinates[i], i);
    }
    view->setPitch(view->pitch());
    view->setShading(view->shading());
    EXPECT_FALSE(view->needsDisplay());

    view->setPitch(5);
    EXPECT_TRUE(view->needsDisplay());
    view->display();
    view->setShading(0.5f);
    EXPECT_TRUE(view->needsDisplay());
    view->display();
    view->setCoordinates(fold.coordinates[2] + QPointF(1, 0), 2);
    EXPECT_TRUE(view->needsDisplay());
}

// One renderer serves pictures of many sizes: resized, it draws the frame, the end points and an
// export of a fresh renderer made at the new size, at both scales.
TEST_F(SheetRendererTest, AResizedRendererDrawsWhatAFreshOneOfThatSizeDraws) {
    const ClassicFold large = tentFold(exampleSheet, 70, 1, 50, -1);
    const ClassicFold small = tentFold(QSizeF(500, 700), 40, 1, 60, 1);
    const QImage picture = quadrantImage(QSize(500, 700), QImage::Format_RGB32);
    for (const double scale : {1.0, 2.0}) {
        std::unique_ptr<SheetRenderer> view = makeView(large, scale);
        ASSERT_TRUE(view);
        ASSERT_TRUE(view->setImage(quadrantImage(QSize(800, 600), QImage::Format_RGB32)));
        view->display();
        view->captureFrame();

        ASSERT_TRUE(view->resize(windowSize(small.imageSize)));
        pushFold(*view, small);
        ASSERT_TRUE(view->setImage(picture));
        view->display();
        const QImage resized = capture(*view);

        std::unique_ptr<SheetRenderer> fresh = makeView(small, scale);
        ASSERT_TRUE(fresh);
        ASSERT_TRUE(fresh->setImage(picture));
        fresh->display();
        EXPECT_EQ(resized, fresh->captureFrame()) << "scale " << scale;
        EXPECT_EQ(view->lineEndPoints(), fresh->lineEndPoints()) << "scale " << scale;
        const QSize exportSize(640, 480);
        EXPECT_EQ(view->renderAtSize(exportSize, QImage(), {}),
                  fresh->renderAtSize(exportSize, QImage(), {}));
    }
    std::unique_ptr<SheetRenderer> view = makeView(large);
    ASSERT_TRUE(view);
    EXPECT_FALSE(view->resize(QSizeF(0.5, 100)));
}
