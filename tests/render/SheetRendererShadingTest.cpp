// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "RenderTestSupport.h"
#include "render/SheetRenderer.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace {

const QSizeF exampleSheet(800, 600);

std::unique_ptr<SheetRenderer> makeView(const ClassicFold& fold) {
    std::unique_ptr<SheetRenderer> view = SheetRenderer::create(windowSize(fold.imageSize), 1.0);
    if (view)
        pushFold(*view, fold);
    return view;
}

QImage uniformGrey() {
    QImage picture(800, 600, QImage::Format_RGB32);
    picture.fill(qRgb(128, 128, 128));
    return picture;
}

// Both tents raised toward the viewer: facets 1 and 3 turn to the left, 2 and 4 to the right.
const ClassicFold raisedTents = tentFold(exampleSheet, 60, 1, 60, 1);

// The grey shown at the middle of each of the six facets.
std::array<int, 6> facetGreys(SheetRenderer& view, const ClassicFold& fold, float pitch,
                              float shading) {
    view.setPitch(pitch);
    view.setShading(shading);
    view.display();
    const QImage frame = view.captureFrame();
    const SheetProjection projection(frame.size(), fold, pitch);
    const double halfWidth = fold.imageSize.width() / 400;
    std::array<int, 6> greys{};
    for (int i = 0; i < 6; ++i) {
        const QPointF middle = (fold.coordinates[i] + fold.coordinates[i + 1]) / 400;
        const QPointF at = projection.project(middle.x() - halfWidth, 0, middle.y());
        const QColor pixel = framePixel(frame, int(at.x()), int(at.y()));
        EXPECT_EQ(pixel.red(), pixel.blue()) << "facet " << i;
        greys[i] = pixel.red();
    }
    return greys;
}

} // namespace

TEST(SheetRendererShadingTest, ShadingLightsFacetsFromTheUpperLeft) {
    std::unique_ptr<SheetRenderer> view = makeView(raisedTents);
    ASSERT_TRUE(view);
    ASSERT_TRUE(view->setImage(uniformGrey()));

    // Untilted, the margins face the viewer and the slopes facing left take the light fully:
    // all keep the picture's grey. The slopes facing right are clearly darker.
    const std::array<int, 6> untilted = facetGreys(*view, raisedTents, 0, 1);
    for (int facet : {0, 1, 3, 5})
        EXPECT_NEAR(untilted[facet], 128, 1) << facet;
    for (int facet : {2, 4})
        EXPECT_LT(untilted[facet], 0.8 * 128) << facet;

    // Tilted away from the light, every facet darkens, in the order of how far it turns away.
    const std::array<int, 6> full = facetGreys(*view, raisedTents, -20, 1);
    for (int facet : {1, 3})
        EXPECT_GT(full[facet], full[0] + 4) << facet;
    for (int facet : {2, 4})
        EXPECT_LT(full[facet], full[0] - 10) << facet;
    EXPECT_LT(full[0], 128 - 8);
    EXPECT_EQ(full[0], full[5]);

    // Half the shading goes half the way.
    const std::array<int, 6> half = facetGreys(*view, raisedTents, -20, 0.5f);
    for (int facet = 0; facet < 6; ++facet)
        EXPECT_NEAR(half[facet], (128 + full[facet]) / 2.0, 1.5) << facet;
}

TEST(SheetRendererShadingTest, WithoutShadingEveryFacetShowsThePictureUnchanged) {
    std::unique_ptr<SheetRenderer> view = makeView(raisedTents);
    ASSERT_TRUE(view);
    ASSERT_TRUE(view->setImage(uniformGrey()));
    for (int grey : facetGreys(*view, raisedTents, -20, 0))
        EXPECT_EQ(grey, 128);

    // Back to 0 after full shading gives the frame of a renderer never shaded, to the bit.
    std::unique_ptr<SheetRenderer> never = makeView(raisedTents);
    ASSERT_TRUE(never);
    const QImage picture = quadrantImage(QSize(800, 600), QImage::Format_RGB32);
    ASSERT_TRUE(view->setImage(picture));
    ASSERT_TRUE(never->setImage(picture));
    never->setPitch(-20);
    never->display();
    view->setShading(1);
    view->display();
    view->setShading(0);
    view->display();
    EXPECT_EQ(view->captureFrame(), never->captureFrame());
}

TEST(SheetRendererShadingTest, FlatUntiltedSheetLooksTheSameAtEveryShading) {
    std::unique_ptr<SheetRenderer> view = makeView(flatFold(exampleSheet));
    ASSERT_TRUE(view);
    ASSERT_TRUE(view->setImage(quadrantImage(QSize(800, 600), QImage::Format_RGB32)));
    view->display();
    const QImage unshaded = view->captureFrame();
    for (float shading : {0.5f, 1.0f}) {
        view->setShading(shading);
        view->display();
        EXPECT_EQ(view->captureFrame(), unshaded) << shading;
    }

    // The light stays with the viewer: tilting the flat sheet away from it darkens the sheet,
    // toward it leaves the picture at full brightness.
    ASSERT_TRUE(view->setImage(uniformGrey()));
    const ClassicFold flat = flatFold(exampleSheet);
    EXPECT_LT(facetGreys(*view, flat, -20, 1)[0], 128 - 8);
    EXPECT_EQ(facetGreys(*view, flat, 20, 1)[0], 128);
}

// The light set to where it always stood leaves every frame as it was, with and without the
// paper shader; anywhere else it lights the facets differently.
TEST(SheetRendererShadingTest, TheLightMovesAndItsDefaultChangesNothing) {
    std::unique_ptr<SheetRenderer> view = makeView(raisedTents);
    ASSERT_TRUE(view);
    ASSERT_TRUE(view->setImage(uniformGrey()));
    view->setPitch(10);
    view->setShading(1);
    FloorScene moved;
    moved.lightAzimuth = 50;
    moved.lightElevation = 40;
    for (const float gloss : {0.0f, 0.6f}) {
        SCOPED_TRACE(testing::Message() << "gloss " << gloss);
        PaperLook look;
        look.gloss = gloss;
        view->setPaperLook(look);
        view->display();
        const QImage original = view->captureFrame();
        view->setLight(FloorScene().lightDirection());
        view->display();
        EXPECT_EQ(view->captureFrame(), original);
        view->setLight(moved.lightDirection());
        view->display();
        EXPECT_NE(view->captureFrame(), original);
        view->setLight(FloorScene().lightDirection());
    }
}
