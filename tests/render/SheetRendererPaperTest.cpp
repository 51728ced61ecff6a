// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "RenderTestSupport.h"
#include "fold/PanelFoldModel.h"
#include "render/SheetRenderer.h"

#include <QVector3D>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>

namespace {

const QSizeF exampleSheet(800, 600);
constexpr double pointsPerWorldUnit = 200.0;

std::unique_ptr<SheetRenderer> makeView(const ClassicFold& fold, const QImage& picture) {
    std::unique_ptr<SheetRenderer> view = SheetRenderer::create(windowSize(fold.imageSize), 1.0);
    if (!view)
        return nullptr;
    pushFold(*view, fold);
    if (!view->setImage(picture))
        return nullptr;
    return view;
}

QImage uniformGrey() {
    QImage picture(800, 600, QImage::Format_RGB32);
    picture.fill(qRgb(128, 128, 128));
    return picture;
}

// Where the point of the fold's profile a fraction of the way along facet lies in the frame;
// across runs from -0.5 (the picture's top) to 0.5.
QPointF facetPoint(const ClassicFold& fold, float pitch, QSize frameSize, int facet,
                   double fraction, double across = 0) {
    const QPointF profile = (fold.coordinates[facet] +
                             (fold.coordinates[facet + 1] - fold.coordinates[facet]) * fraction) /
                            pointsPerWorldUnit;
    const double halfWidth = fold.imageSize.width() / pointsPerWorldUnit / 2;
    const double breadth = fold.imageSize.height() / pointsPerWorldUnit;
    return SheetProjection(frameSize, fold, pitch)
        .project(profile.x() - halfWidth, across * breadth, profile.y());
}

QColor pixelAt(const QImage& frame, QPointF at) {
    return framePixel(frame, int(at.x()), int(at.y()));
}

QImage frameWith(SheetRenderer& view, const PaperLook& look, float pitch = 0) {
    view.setPitch(pitch);
    view.setPaperLook(look);
    view.display();
    return view.captureFrame();
}

// Facet 5 folds back over the flat sheet from the crease at 600 points: the viewer sees its back.
ClassicFold flapFold() {
    ClassicFold fold = flatFold(exampleSheet);
    fold.creasePoint = {0, 100, 200, 300, 400, 600, 800};
    fold.coordinates = {QPointF(0, 0),   QPointF(100, 0), QPointF(200, 0), QPointF(300, 0),
                        QPointF(400, 0), QPointF(600, 0), QPointF(420, 60)};
    return fold;
}

// The mean grey inside box (image rows).
double meanGrey(const QImage& image, QRect box) {
    double sum = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            sum += qRed(image.pixel(x, y));
    return sum / (double(box.width()) * box.height());
}

// The mean grey of the factor x factor pixels of large that make pixel (x, y) of a picture
// factor times smaller.
double boxFiltered(const QImage& large, int x, int y, int factor) {
    return meanGrey(large, QRect(x * factor, y * factor, factor, factor));
}

} // namespace

TEST(SheetRendererPaperTest, EveryEffectOffDrawsTheFrameOfARendererWithoutThem) {
    const ClassicFold fold = tentFold(exampleSheet, 60, 1, 60, -1);
    const QImage picture = quadrantImage(QSize(800, 600), QImage::Format_RGB32);
    std::unique_ptr<SheetRenderer> view = makeView(fold, picture);
    std::unique_ptr<SheetRenderer> never = makeView(fold, picture);
    ASSERT_TRUE(view && never);
    view->setShading(0.7f);
    never->setShading(0.7f);
    never->setPitch(-15);
    never->display();
    const QImage expected = never->captureFrame();

    PaperLook everything;
    everything.back = PaperLook::Back::paper;
    everything.grain = everything.creaseShading = everything.gloss = 1;
    EXPECT_NE(frameWith(*view, everything, -15), expected);
    EXPECT_EQ(frameWith(*view, PaperLook(), -15), expected);
    EXPECT_FALSE(view->needsDisplay());
    // A different back colour alone changes nothing while the back shows the picture.
    PaperLook colourOnly;
    colourOnly.backColour = Qt::red;
    EXPECT_TRUE(colourOnly.plain());
    EXPECT_EQ(frameWith(*view, colourOnly, -15), expected);
}

TEST(SheetRendererPaperTest, ValleysDarkenAndMountainsLightenInTheirBandsByTheFoldAngle) {
    // Both tents raised: lines 2 and 4 are the peaks, 1, 3 and 5 the valleys around them.
    const ClassicFold fold = tentFold(exampleSheet, 60, 1, 60, 1);
    std::unique_ptr<SheetRenderer> view = makeView(fold, uniformGrey());
    ASSERT_TRUE(view);
    PaperLook look;
    look.creaseShading = 1;
    const QImage frame = frameWith(*view, look);
    const QSize size = frame.size();
    for (int facet = 1; facet < 5; ++facet) {
        const int middle = pixelAt(frame, facetPoint(fold, 0, size, facet, 0.5)).red();
        EXPECT_EQ(middle, 128) << facet;
        // Two points from the crease before the facet and from the one after it, on the paper.
        const double length = fold.creasePoint[facet + 1] - fold.creasePoint[facet];
        const int start = pixelAt(frame, facetPoint(fold, 0, size, facet, 2 / length)).red();
        const int end = pixelAt(frame, facetPoint(fold, 0, size, facet, 1 - 2 / length)).red();
        const bool peakFirst = facet == 2 || facet == 4;
        EXPECT_GT(peakFirst ? start : end, middle + 20) << facet;
        EXPECT_LT(peakFirst ? end : start, middle - 10) << facet;
    }

    // A shallower fold bends its creases less, so its bands are fainter; a flat one shows none.
    const ClassicFold shallow = tentFold(exampleSheet, 15, 1, 15, 1);
    pushFold(*view, shallow);
    const QImage shallowFrame = frameWith(*view, look);
    const int shallowPeak = pixelAt(shallowFrame, facetPoint(shallow, 0, size, 2, 2 / 200.0)).red();
    const int steepPeak = pixelAt(frame, facetPoint(fold, 0, size, 2, 2 / 200.0)).red();
    EXPECT_GT(shallowPeak, 128 + 3);
    EXPECT_LT(shallowPeak, steepPeak - 5);
    const ClassicFold flat = flatFold(exampleSheet);
    pushFold(*view, flat);
    const QImage flatFrame = frameWith(*view, look);
    for (int line = 1; line < 6; ++line)
        EXPECT_EQ(pixelAt(flatFrame, facetPoint(flat, 0, size, line, 0.01)).red(), 128) << line;
}

TEST(SheetRendererPaperTest, TheBackShowsOnlyWherePanelsFaceAway) {
    const ClassicFold fold = flapFold();
    std::unique_ptr<SheetRenderer> view = makeView(fold, uniformGrey());
    ASSERT_TRUE(view);
    PaperLook look;
    look.back = PaperLook::Back::paper;
    look.backColour = QColor(200, 40, 10);
    QImage frame = frameWith(*view, look);
    EXPECT_EQ(pixelAt(frame, facetPoint(fold, 0, frame.size(), 5, 0.5)), look.backColour);
    for (int facet = 0; facet < 4; ++facet)
        EXPECT_EQ(pixelAt(frame, facetPoint(fold, 0, frame.size(), facet, 0.5)).red(), 128)
            << facet;

    // The back picture reads the right way round from behind: the flap, the right end of the
    // sheet, shows the back picture's left quadrants, its top above.
    ASSERT_TRUE(view->setBackImage(quadrantImage(QSize(400, 300), QImage::Format_RGB32)));
    look.back = PaperLook::Back::picture;
    frame = frameWith(*view, look);
    EXPECT_EQ(pixelAt(frame, facetPoint(fold, 0, frame.size(), 5, 0.5, -0.25)).rgb(),
              topLeftColour);
    EXPECT_EQ(pixelAt(frame, facetPoint(fold, 0, frame.size(), 5, 0.5, 0.25)).rgb(),
              bottomLeftColour);
    EXPECT_EQ(pixelAt(frame, facetPoint(fold, 0, frame.size(), 2, 0.5)).red(), 128);

    // Tilted past the edge, the whole flat sheet turns its back to the viewer.
    const ClassicFold flat = flatFold(exampleSheet);
    pushFold(*view, flat);
    look.back = PaperLook::Back::paper;
    frame = frameWith(*view, look, 120);
    EXPECT_EQ(pixelAt(frame, facetPoint(flat, 120, frame.size(), 2, 0.5)), look.backColour);
    frame = frameWith(*view, look, 40);
    EXPECT_EQ(pixelAt(frame, facetPoint(flat, 40, frame.size(), 2, 0.5)).red(), 128);
}

TEST(SheetRendererPaperTest, GlossIsBrightestOnTheFacetFacingHalfwayBetweenLightAndViewer) {
    const ClassicFold fold = tentFold(exampleSheet, 60, 1, 60, 1);
    std::unique_ptr<SheetRenderer> view = makeView(fold, uniformGrey());
    ASSERT_TRUE(view);
    PaperLook look;
    look.gloss = 1;
    const QVector3D light = QVector3D(-1, -1, 2).normalized();
    for (float pitch : {-20.0f, 0.0f, 20.0f}) {
        const QImage frame = frameWith(*view, look, pitch);
        // The halfway vector at each facet's middle, and the facet's normal turned to the viewer,
        // both as the frame's camera sees them (the tilt turns the sheet about X).
        const double eyeZ = exampleSheet.height() * 1.25 / 1.4 * 7.5 / 1000;
        const double angle = pitch * M_PI / 180;
        std::array<double, 6> alignments{};
        std::array<int, 6> greys{};
        for (int facet = 0; facet < 6; ++facet) {
            const QPointF d = fold.coordinates[facet + 1] - fold.coordinates[facet];
            const QPointF m = (fold.coordinates[facet] + d * 0.5) / pointsPerWorldUnit;
            const double length = std::hypot(d.x(), d.y());
            const QVector3D normal(-d.y() / length, -d.x() / length * std::sin(angle),
                                   d.x() / length * std::cos(angle));
            const QVector3D middle(m.x() - 2, -m.y() * std::sin(angle), m.y() * std::cos(angle));
            const QVector3D halfway =
                (light + (QVector3D(0, 0, eyeZ) - middle).normalized()).normalized();
            alignments[facet] = QVector3D::dotProduct(normal.normalized(), halfway);
            greys[facet] = pixelAt(frame, facetPoint(fold, pitch, frame.size(), facet, 0.5)).red();
            EXPECT_GE(greys[facet], 128) << facet;
        }
        // The closer a facet's normal to the halfway vector, the brighter; a facet that faces it
        // nearly shines clearly.
        for (int a = 0; a < 6; ++a) {
            for (int b = 0; b < 6; ++b) {
                if (alignments[a] > alignments[b] + 0.02)
                    EXPECT_GE(greys[a], greys[b]) << pitch << ": " << a << " and " << b;
            }
            if (alignments[a] > 0.95)
                EXPECT_GT(greys[a], 128 + 15) << pitch << ": " << a;
        }
    }
}

TEST(SheetRendererPaperTest, GrainBelongsToThePaperNotToThePixels) {
    const ClassicFold fold = flatFold(exampleSheet);
    std::unique_ptr<SheetRenderer> view = makeView(fold, uniformGrey());
    ASSERT_TRUE(view);
    PaperLook look;
    look.grain = 1;
    const QImage frame = frameWith(*view, look);
    const QImage large = view->renderAtSize(frame.size() * 4, QImage(), {});
    ASSERT_EQ(large.size(), frame.size() * 4);

    // The middle of the sheet, in the frame's image rows.
    const QPoint centre(frame.width() / 2, frame.height() / 2);
    const QRect box(centre - QPoint(300, 200), QSize(600, 400));
    const double mean = meanGrey(frame, box);
    EXPECT_NEAR(mean, 128, 1.5);
    EXPECT_NEAR(meanGrey(large, QRect(box.topLeft() * 4, box.size() * 4)), mean, 0.5);

    // Box-filtered to the frame's size, the large picture shows the same grain, pixel by pixel.
    double grain = 0;
    double difference = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            grain += std::abs(qRed(frame.pixel(x, y)) - mean);
            difference += std::abs(qRed(frame.pixel(x, y)) - boxFiltered(large, x, y, 4));
        }
    }
    const double pixels = double(box.width()) * box.height();
    EXPECT_GT(grain / pixels, 3.0);
    EXPECT_LT(difference / pixels, 0.25 * grain / pixels);
}

// Turned over, the flat sheet shows plain paper of the back's colour, with the grain when asked.
TEST(SheetRendererPaperTest, ThePlainBackCarriesTheGrainInItsColour) {
    std::unique_ptr<SheetRenderer> view = makeView(flatFold(exampleSheet), uniformGrey());
    ASSERT_TRUE(view);
    PaperLook look;
    look.back = PaperLook::Back::paper;
    look.backColour = QColor(200, 100, 50);
    QImage frame = frameWith(*view, look, 180);
    const QRect box(QPoint(frame.width() / 2 - 100, frame.height() / 2 - 50), QSize(200, 100));
    EXPECT_EQ(frame.pixel(box.center()), qRgb(200, 100, 50));
    look.grain = 1;
    frame = frameWith(*view, look, 180);
    EXPECT_NEAR(meanGrey(frame, box), 200, 2);
    double spread = 0;
    for (int x = box.left(); x <= box.right(); ++x)
        spread += std::abs(qGreen(frame.pixel(x, box.center().y())) - 100);
    EXPECT_GT(spread / box.width(), 2.0);
}

// Either axis: the flat sheet shows its front, turned over it shows its back, the back picture
// mirrored across the creases' axis.
TEST(SheetRendererPaperTest, PanelsOfEitherAxisShowTheirBackOnlyWhenTurnedOver) {
    for (const FoldLayout::Axis axis : {FoldLayout::Axis::vertical, FoldLayout::Axis::horizontal}) {
        SCOPED_TRACE(FoldLayout::axisName(axis).data());
        std::unique_ptr<SheetRenderer> view = flatAccordionView(exampleSheet, axis);
        ASSERT_TRUE(view);
        ASSERT_TRUE(view->setImage(uniformGrey()));
        ASSERT_TRUE(view->setBackImage(quadrantImage(QSize(800, 600), QImage::Format_RGB32)));
        PaperLook look;
        look.back = PaperLook::Back::picture;
        // The flat sheet spans frame x 198 to 999 and frame y 75 to 675 (y up).
        QImage frame = frameWith(*view, look);
        EXPECT_EQ(framePixel(frame, 398, 525).red(), 128);
        // The back reads the right way round when the sheet turns over a crease; turned over the
        // tilt axis instead, across the creases, it stands upside down, as a page printed on both
        // sides does.
        frame = frameWith(*view, look, 180);
        EXPECT_EQ(framePixel(frame, 398, 525).rgba(), bottomRightColour);
        EXPECT_EQ(framePixel(frame, 798, 525).rgba(), bottomLeftColour);
        EXPECT_EQ(framePixel(frame, 398, 225).rgba(), topRightColour);
    }
}

// A grey back picture, seen turned over, shows the grain the picture seen through the paper shows
// there: the grain lies on the paper through the back picture's mirror, for either axis.
TEST(SheetRendererPaperTest, TheBackPictureShowsTheGrainOfThePaperBehindIt) {
    for (const FoldLayout::Axis axis : {FoldLayout::Axis::vertical, FoldLayout::Axis::horizontal}) {
        SCOPED_TRACE(FoldLayout::axisName(axis).data());
        std::unique_ptr<SheetRenderer> view = flatAccordionView(exampleSheet, axis);
        ASSERT_TRUE(view);
        ASSERT_TRUE(view->setImage(uniformGrey()));
        ASSERT_TRUE(view->setBackImage(uniformGrey()));
        PaperLook look;
        look.grain = 1;
        const QImage through = frameWith(*view, look, 180);
        look.back = PaperLook::Back::picture;
        const QImage back = frameWith(*view, look, 180);
        ASSERT_EQ(back.size(), through.size());
        int apart = 0;
        int grained = 0;
        for (int y = 0; y < back.height(); ++y) {
            for (int x = 0; x < back.width(); ++x) {
                apart += std::abs(qRed(back.pixel(x, y)) - qRed(through.pixel(x, y))) > 1;
                grained += qAlpha(back.pixel(x, y)) != 0 && qRed(back.pixel(x, y)) != 128;
            }
        }
        EXPECT_GT(grained, 100000);
        EXPECT_LT(apart, grained / 1000);
    }
}
